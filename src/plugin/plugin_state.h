#pragma once
// The module-wide state that the host's thread and the worker share, and the forms of the
// functions that cross the boundary between host and plug-in.
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "platform/threads.h"

#ifdef _WIN32
#define PIROWEND_CALL __stdcall
#else
#define PIROWEND_CALL
#endif

namespace pirowend {

using IconHandle = void*;
using WindowHandle = void*;

// The host's allocator: (the pointer its slot holds now, the size wanted) -> a block.
using HostAllocFn = void*(PIROWEND_CALL*)(void* old_block, std::uint32_t size);
using CommandHandler = void(PIROWEND_CALL*)(std::uintptr_t, std::uintptr_t);
// (owner window for the shell, unused) -> the shell's result.
using IconClickHandler = std::intptr_t(PIROWEND_CALL*)(WindowHandle owner, std::uintptr_t);

#ifdef _WIN32
inline constexpr std::size_t kPathBufferBytes = 260;
#else
inline constexpr std::size_t kPathBufferBytes = 4096;
#endif

struct PluginState {
  std::atomic<bool> running;
  // Raised with a release store after changed_url is complete; readers acquire.
  std::atomic<bool> page_changed;
  char* changed_url;  // the line of the page last found changed; null until the first change
  std::atomic<bool> check_now;
  std::atomic<bool> document_complete;  // the worker's own; atomic for uniformity
  char settings_path[kPathBufferBytes];
  HostAllocFn host_alloc;
  platform::ThreadHandle worker_handle;
};

// The one record, all zero when the library is loaded.
PluginState& plugin_state();

}  // namespace pirowend
