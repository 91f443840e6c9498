#pragma once
// A virtual clock: sleeps pass at once and advance the time; a hook runs after every sleep, so
// a test can act at chosen moments of a wait that would last minutes.
#include <atomic>
#include <cstdint>
#include <functional>

#include "platform/clock.h"

namespace pirowend::testing {

class FakeClock final : public platform::Clock {
 public:
  std::uint64_t now_ms() override { return now_; }
  void sleep_ms(std::uint32_t ms) override {
    now_ += ms;
    if (on_sleep) on_sleep();
  }

  std::function<void()> on_sleep;

 private:
  std::atomic<std::uint64_t> now_{1000};
};

}  // namespace pirowend::testing
