// The clock, POSIX half.
#include <time.h>

#include "platform/clock.h"

namespace pirowend::platform {
namespace {

class SystemClock final : public Clock {
 public:
  std::uint64_t now_ms() override {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000u +
           static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
  }
  void sleep_ms(std::uint32_t ms) override {
    timespec span{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&span, &span) != 0) {
    }
  }
};

}  // namespace

Clock& system_clock() {
  static SystemClock instance;
  return instance;
}

}  // namespace pirowend::platform
