#include "checking/check_cycle.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "checking/check_page.h"
#include "plugin/plugin_state.h"
#include "support/scripted_worker.h"

namespace pirowend {
namespace {

using testing::FakePage;

class CheckCycle : public ::testing::Test {
 protected:
  PluginState& state = plugin_state();

  void settings(const std::string& interval, const std::vector<std::string>& pages) {
    std::string file = "[SETTINGS]\r\n" + interval + "[PAGES]\r\n";
    for (const auto& line : pages) file += line + "\r\n";
    world_.host.write_settings(file);
  }
  // Runs the worker on this thread until the hook clears `running`.
  void run(std::function<void()> hook) {
    world_.clock.on_sleep = std::move(hook);
    state.running = true;
    EXPECT_EQ(worker_main(nullptr), 0u);
    world_.clock.on_sleep = nullptr;
  }
  int passes() const { return world_.engine.browsers_created; }
  std::vector<std::uint64_t> times(const std::string& prefix) const {
    return world_.engine.times_of(prefix);
  }
  std::uint64_t now() { return world_.clock.now_ms(); }
  // The click on the changed-page icon.
  void click() { state.page_changed.store(false, std::memory_order_release); }

  testing::ScriptedWorld world_;
};

struct IntervalCase {
  const char* line;
  std::int64_t wait_ms;
};

void PrintTo(const IntervalCase& c, std::ostream* out) { *out << c.line; }

class CycleInterval : public CheckCycle, public ::testing::WithParamInterface<IntervalCase> {};

TEST_P(CycleInterval, WaitsBetweenPasses) {
  settings(GetParam().line, {"http://a.test/"});
  run([&] {
    if (passes() >= 3) state.running = false;
  });
  auto quits = times("quit");
  auto creates = times("create");
  ASSERT_GE(creates.size(), 3u);
  EXPECT_EQ(static_cast<std::int64_t>(creates[1] - quits[0]), GetParam().wait_ms);
  EXPECT_EQ(static_cast<std::int64_t>(creates[2] - quits[1]), GetParam().wait_ms);
  EXPECT_EQ(world_.engine.live_browsers, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CycleInterval,
    ::testing::Values(IntervalCase{"interval=1\r\n", 60000}, IntervalCase{"interval=3\r\n", 180000},
                      IntervalCase{"interval=0\r\n", 60000}, IntervalCase{"", 60000},
                      IntervalCase{"interval=abc\r\n", 60000}, IntervalCase{"interval=-5\r\n", 0}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(WaitForInterval, NeverWrapsAround) {
  EXPECT_EQ(wait_for_interval(0), 60000);
  EXPECT_EQ(wait_for_interval(1), 60000);
  EXPECT_EQ(wait_for_interval(35791), 2147460000);
  EXPECT_EQ(wait_for_interval(35792), 2147520000LL);
  EXPECT_EQ(wait_for_interval(999999999), 59999999940000LL);
  EXPECT_EQ(wait_for_interval(-999999999), -59999999940000LL);
}

TEST_F(CheckCycle, EveryPassStartsAHiddenBrowserAndClosesIt) {
  settings("interval=1\r\n", {"http://a.test/", "http://b.test/"});
  run([&] {
    if (passes() >= 2) state.running = false;
  });
  auto log = world_.engine.entries();
  std::vector<std::string> first_pass(log.begin(), log.begin() + 11);
  EXPECT_EQ(first_pass,
            (std::vector<std::string>{"create", "advise", "visible 0", "navigate http://a.test/",
                                      "stop", "navigate http://b.test/", "stop", "unadvise", "quit",
                                      "destroy", "create"}));
}

TEST_F(CheckCycle, ImmediateCheckDuringTheWaitStartsThePassAtOnce) {
  settings("interval=30\r\n", {"http://a.test/"});
  std::uint64_t asked = 0;
  run([&] {
    if (passes() == 1 && world_.engine.live_browsers == 0 && !asked && !times("quit").empty() &&
        now() - times("quit")[0] >= 5000) {
      asked = now();
      state.check_now = true;
    }
    if (passes() >= 2) state.running = false;
  });
  ASSERT_EQ(times("create").size(), 2u);
  EXPECT_LE(times("create")[1] - asked, 1u);
}

TEST_F(CheckCycle, ImmediateCheckDuringAPassHasNoEffect) {
  settings("interval=1\r\n", {"http://a.test/"});
  world_.engine.page("http://a.test/").busy_polls = 5;
  run([&] {
    if (world_.engine.live_browsers == 1) state.check_now = true;
    if (passes() >= 2) state.running = false;
  });
  EXPECT_EQ(times("create")[1] - times("quit")[0], 60000u);
}

TEST_F(CheckCycle, ChangeOnLineTwoHoldsLineThreeUntilTheClick) {
  const std::vector<std::string> pages = {"http://1.test/", "http://2.test/", "http://3.test/",
                                          "http://4.test/", "http://5.test/"};
  settings("interval=1\r\n", pages);
  std::uint64_t clicked = 0;
  run([&] {
    if (passes() == 1 && world_.engine.live_browsers == 0) {
      world_.engine.page("http://2.test/").text = u"changed text";  // before the second pass
    }
    if (state.page_changed && !clicked) {
      if (times("navigate http://3.test/").size() > 1) ADD_FAILURE() << "line 3 was not held";
      if (now() - times("navigate http://2.test/").back() > 7000) {
        clicked = now();
        click();
      }
    }
    if (times("navigate http://5.test/").size() >= 2) state.running = false;
  });
  ASSERT_NE(clicked, 0u);
  EXPECT_STREQ(state.changed_url, "http://2.test/");
  EXPECT_GE(times("navigate http://3.test/").back(), clicked);
  EXPECT_EQ(times("quit").size(), 2u);  // the browser stayed open through the hold
  EXPECT_GT(times("quit").back(), clicked);
}

TEST_F(CheckCycle, ChangeOnTheLastLineHoldsTheNextPassBeforeItsFirstLine) {
  settings("interval=1\r\n", {"http://a.test/", "http://b.test/"});
  std::uint64_t clicked = 0;
  run([&] {
    if (passes() == 1 && world_.engine.live_browsers == 0) {
      world_.engine.page("http://b.test/").text = u"new";
    }
    if (passes() == 3 && world_.engine.live_browsers == 1 && state.page_changed && !clicked &&
        now() - times("create").back() > 3000) {
      clicked = now();
      click();
    }
    if (times("navigate http://a.test/").size() >= 3) state.running = false;
  });
  ASSERT_NE(clicked, 0u);
  EXPECT_EQ(times("create")[2] - times("quit")[1], 60000u);  // the wait ran as usual
  EXPECT_GE(times("navigate http://a.test/")[2], clicked);
}

TEST_F(CheckCycle, PageWithoutTextIsTriedTwiceFiveSecondsApartWithoutAHold) {
  settings("interval=1\r\n", {"http://gone.test/", "http://b.test/"});
  world_.engine.page("http://gone.test/").navigate_status = automation::kFail;
  run([&] {
    if (!times("navigate http://b.test/").empty()) state.running = false;
  });
  auto tries = times("navigate http://gone.test/");
  ASSERT_EQ(tries.size(), 2u);
  EXPECT_EQ(tries[1] - tries[0], kRetryPauseMs);
  EXPECT_FALSE(state.page_changed);
  EXPECT_EQ(times("navigate http://b.test/").size(), 1u);
}

TEST_F(CheckCycle, NoTextThenAChangeIsRecordedAndHoldsTheNextLine) {
  settings("interval=1\r\n", {"http://flaky.test/", "http://b.test/"});
  world_.engine.page("http://flaky.test/").text = u"old";
  std::uint64_t clicked = 0;
  bool failed_once = false;
  run([&] {
    if (passes() == 1 && world_.engine.live_browsers == 0 && !failed_once) {
      failed_once = true;
      world_.engine.page("http://flaky.test/").navigate_status = automation::kFail;
    }
    if (times("navigate http://flaky.test/").size() == 2) {
      world_.engine.page("http://flaky.test/") = {.text = u"new"};  // the retry succeeds
    }
    if (state.page_changed && !clicked &&
        now() - times("navigate http://flaky.test/").back() > 500) {
      EXPECT_EQ(times("navigate http://b.test/").size(), 1u);
      clicked = now();
      click();
    }
    if (times("navigate http://b.test/").size() >= 2) state.running = false;
  });
  ASSERT_NE(clicked, 0u);
  EXPECT_GE(times("navigate http://b.test/")[1], clicked);
}

TEST_F(CheckCycle, ShutDownDuringAHoldClosesTheBrowserAndChecksNoFurtherLine) {
  settings("interval=1\r\n", {"http://a.test/", "http://b.test/", "http://c.test/"});
  run([&] {
    if (passes() == 1 && world_.engine.live_browsers == 0) {
      world_.engine.page("http://a.test/").text = u"changed";
    }
    if (state.page_changed && now() - times("navigate http://a.test/").back() > 1000) {
      state.running = false;  // while line b is held
    }
  });
  EXPECT_EQ(times("navigate http://a.test/").size(), 2u);
  EXPECT_EQ(times("navigate http://b.test/").size(), 2u);  // the held line was still started
  EXPECT_EQ(times("navigate http://c.test/").size(), 1u);
  EXPECT_EQ(world_.engine.live_browsers, 0);
  EXPECT_EQ(world_.engine.entries().back(), "destroy");
}

TEST_F(CheckCycle, ShutDownDuringTheWaitEndsWithinMilliseconds) {
  settings("interval=30\r\n", {"http://a.test/"});
  std::uint64_t cleared = 0;
  run([&] {
    if (!cleared && !times("quit").empty() && now() - times("quit")[0] > 1000) {
      cleared = now();
      state.running = false;
    }
  });
  EXPECT_LE(now() - cleared, 2u);
  EXPECT_EQ(passes(), 1);
}

TEST_F(CheckCycle, EmptyPageListStillStartsAndQuitsAHiddenBrowser) {
  settings("interval=1\r\n", {});
  run([&] {
    if (passes() >= 2) state.running = false;
  });
  auto log = world_.engine.entries();
  EXPECT_EQ(
      std::vector<std::string>(log.begin(), log.begin() + 6),
      (std::vector<std::string>{"create", "advise", "visible 0", "unadvise", "quit", "destroy"}));
  EXPECT_EQ(times("create")[1] - times("quit")[0], 60000u);
}

TEST_F(CheckCycle, WithoutABrowserThePassChecksNothingAndWaitsAMinute) {
  settings("interval=5\r\n", {"http://a.test/"});
  world_.engine.create_status = automation::kClassNotRegistered;
  run([&] {
    if (now() > 200000) state.running = false;
  });
  // A failed start comes back once a minute, not in a tight loop.
  EXPECT_EQ(world_.engine.create_attempts, 4);
  EXPECT_EQ(passes(), 0);
}

TEST_F(CheckCycle, ShutDownBeforeTheFirstPassStartsNothing) {
  settings("", {"http://a.test/"});
  state.running = false;
  EXPECT_EQ(worker_main(nullptr), 0u);
  EXPECT_EQ(passes(), 0);
}

}  // namespace
}  // namespace pirowend
