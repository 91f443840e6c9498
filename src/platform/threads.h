#pragma once
// The worker's thread: start, bounded wait, last-resort stop, close.
#include <cstdint>

namespace pirowend::platform {

using ThreadProc = std::uint32_t (*)(void* parameter);

struct ThreadRecord;
using ThreadHandle = ThreadRecord*;

// Starts proc(parameter) at once; null when no thread could be made.
ThreadHandle start_thread(ThreadProc proc, void* parameter);

enum class WaitResult { ended, timed_out, failed };
WaitResult wait_for_thread(ThreadHandle thread, std::uint32_t timeout_ms);

// The last resort for a thread that did not end in time. On Windows the thread is terminated
// with exit code 0. Elsewhere a thread cannot be killed safely: it is left to end by itself,
// and this library stays mapped for it, whatever the host unloads.
void abandon_thread(ThreadHandle thread);

// Releases the handle; true on success.
bool close_thread(ThreadHandle thread);

}  // namespace pirowend::platform
