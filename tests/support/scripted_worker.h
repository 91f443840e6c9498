#pragma once
// A test's world for page checking: a throwaway host directory, a virtual clock and a scripted
// browser engine, all put into the seams for the test's duration.
#include "platform/seams.h"
#include "support/fake_browser.h"
#include "support/fake_clock.h"
#include "support/temp_host.h"

namespace pirowend::testing {

class ScriptedWorld {
 public:
  ScriptedWorld() : engine(clock) {
    platform::seams().clock = &clock;
    platform::seams().browser_factory = engine.factory();
  }
  ~ScriptedWorld() {
    platform::seams().clock = nullptr;
    platform::seams().browser_factory = nullptr;
  }
  ScriptedWorld(const ScriptedWorld&) = delete;
  ScriptedWorld& operator=(const ScriptedWorld&) = delete;

  TempHost host;
  FakeClock clock;
  FakeEngine engine;
};

}  // namespace pirowend::testing
