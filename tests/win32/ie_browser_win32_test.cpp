// The browser's COM automation server under wine: it is not registered in the test prefix, so
// starting it must fail at once with that status, show the message, and leave the cycle
// waiting rather than retrying without pause.
#include <gtest/gtest.h>

#include "checking/browser_sink.h"
#include "checking/check_cycle.h"
#include "platform/apartment.h"
#include "plugin/plugin_state.h"
#include "support/scripted_worker.h"

namespace pirowend {
namespace {

TEST(IeBrowser, NotRegisteredGivesItsStatusAtOnce) {
  platform::ApartmentScope apartment;
  std::unique_ptr<automation::WebBrowser> browser;
  EXPECT_EQ(automation::create_platform_browser(browser), automation::kClassNotRegistered);
  EXPECT_EQ(automation::kClassNotRegistered, -2147221164);
  EXPECT_EQ(browser, nullptr);
}

TEST(IeBrowser, SinkWithoutABrowserReportsZero) {
  testing::TempHost host;
  platform::ApartmentScope apartment;
  CIEComCtrlSink sink;
  EXPECT_EQ(sink.create_browser(), 0);  // the message box returns at once without a desktop
  EXPECT_EQ(sink.get_browser(), nullptr);
  EXPECT_TRUE(sink.disconnect_events());
}

TEST(IeBrowser, CycleWithoutABrowserWaitsBetweenAttempts) {
  testing::ScriptedWorld world;
  world.host.write_settings("[SETTINGS]\r\ninterval=5\r\n[PAGES]\r\nhttp://a.test/\r\n");
  int attempts = 0;
  std::vector<automation::Status> statuses;
  platform::seams().browser_factory = [&](std::unique_ptr<automation::WebBrowser>& browser) {
    ++attempts;
    statuses.push_back(automation::create_platform_browser(browser));
    return statuses.back();
  };
  world.clock.on_sleep = [&] {
    if (world.clock.now_ms() > 200000) plugin_state().running = false;
  };
  plugin_state().running = true;
  EXPECT_EQ(worker_main(nullptr), 0u);
  EXPECT_EQ(attempts, 4);
  for (auto status : statuses) EXPECT_EQ(status, automation::kClassNotRegistered);
}

}  // namespace
}  // namespace pirowend
