#pragma once
// The worker thread: pass after pass over the page list while the plug-in runs, holding after
// a change until the user has seen it, and waiting the configured interval between passes.
#include <cstdint>
#include <optional>

namespace pirowend {

inline constexpr std::uint32_t kRetryPauseMs = 5000;
inline constexpr std::int64_t kDefaultWaitMs = 60000;

// The wait between passes for an interval in minutes: 0 gives one minute, a negative interval
// no wait. Computed in 64 bits, so that no interval wraps around.
std::int64_t wait_for_interval(std::int32_t minutes);

// The thread procedure; its parameter is unused and its exit code is 0.
std::uint32_t worker_main(void* parameter);

}  // namespace pirowend
