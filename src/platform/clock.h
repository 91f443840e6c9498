#pragma once
// Time as the worker sees it: a monotonic clock and a sleep. Tests put a virtual clock in its
// place (see seams.h) so that waits of minutes pass at once.
#include <cstdint>

namespace pirowend::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds on a monotonic clock; only differences mean anything.
  virtual std::uint64_t now_ms() = 0;
  virtual void sleep_ms(std::uint32_t ms) = 0;
};

// The operating system's clock.
Clock& system_clock();

}  // namespace pirowend::platform
