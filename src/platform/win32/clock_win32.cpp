// The clock, Windows half.
#include "platform/clock.h"
#include "platform/win32/windows_api.h"

namespace pirowend::platform {
namespace {

class SystemClock final : public Clock {
 public:
  std::uint64_t now_ms() override { return GetTickCount64(); }
  void sleep_ms(std::uint32_t ms) override { Sleep(ms); }
};

}  // namespace

Clock& system_clock() {
  static SystemClock instance;
  return instance;
}

}  // namespace pirowend::platform
