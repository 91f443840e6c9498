// The worker's cycle with a real headless Chromium: passes over fixture pages, a change held
// until the click, and a clean end.
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "checking/check_cycle.h"
#include "platform/seams.h"
#include "plugin/plugin_state.h"
#include "support/fixture_server.h"
#include "support/processes.h"
#include "support/temp_host.h"

namespace pirowend {
namespace {

using testing::html_page;

TEST(ChromiumCycle, PassesOverThePagesAndHoldsAfterAChange) {
  using namespace std::chrono_literals;
  testing::TempHost host;
  testing::FixtureServer server;
  const std::string a = server.url("/a"), b = server.url("/b"), c = server.url("/c");
  server.route("/a", {html_page("<p>a</p>")});
  server.route("/b", {html_page("<p>b, version 1</p>")});
  server.route("/c", {html_page("<p>c</p>")});
  // A negative interval: the passes follow each other without a wait.
  host.write_settings("[SETTINGS]\r\ninterval=-1\r\n[PAGES]\r\n" + a + "\r\n" + b + "\r\n" + c +
                      "\r\n");

  PluginState& state = plugin_state();
  state.running = true;
  std::thread worker([] { worker_main(nullptr); });
  auto wait_until = [](const std::function<bool()>& condition) {
    for (int n = 0; n < 3000 && !condition(); ++n) std::this_thread::sleep_for(5ms);
    return condition();
  };
  // After the first pass, the page changes; the second pass finds it and holds.
  EXPECT_TRUE(wait_until([&] { return server.requests("/c") == 1; }));
  server.route("/b", {html_page("<p>b, version 2</p>")});
  EXPECT_TRUE(wait_until([&] { return state.page_changed.load(); }));
  std::this_thread::sleep_for(500ms);   // the user looks
  EXPECT_EQ(server.requests("/c"), 1);  // line c waits for the click
  EXPECT_STREQ(state.changed_url, b.c_str());
  state.page_changed.store(false, std::memory_order_release);  // the click
  EXPECT_TRUE(wait_until([&] { return server.requests("/c") == 2; }));
  state.running = false;
  worker.join();

  EXPECT_EQ(host.snapshot(b), std::string("b, version 2") + '\0');
  EXPECT_EQ(host.snapshot(a), std::string("a") + '\0');
  EXPECT_TRUE(testing::browser_processes().empty());
  EXPECT_EQ(testing::zombie_children(), 0);
}

}  // namespace
}  // namespace pirowend
