#pragma once
// A clock that runs `factor` times faster than the real one: a minute-long page limit passes in
// seconds while the real browser keeps its own time.
#include <chrono>
#include <cstdint>
#include <thread>

#include "platform/clock.h"

namespace pirowend::testing {

class FastClock final : public platform::Clock {
 public:
  explicit FastClock(std::uint32_t factor) : factor_(factor) {}
  std::uint64_t now_ms() override {
    auto real = std::chrono::steady_clock::now() - start_;
    return static_cast<std::uint64_t>(
               std::chrono::duration_cast<std::chrono::microseconds>(real).count()) *
           factor_ / 1000;
  }
  void sleep_ms(std::uint32_t ms) override {
    std::this_thread::sleep_for(std::chrono::microseconds(std::uint64_t{ms} * 1000 / factor_));
  }

 private:
  std::uint32_t factor_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace pirowend::testing
