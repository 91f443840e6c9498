// check_page against a real headless Chromium and pages served on 127.0.0.1 by the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "checking/browser_sink.h"
#include "checking/check_page.h"
#include "platform/posix/chromium/chromium_browser.h"
#include "platform/seams.h"
#include "plugin/plugin_state.h"
#include "support/fast_clock.h"
#include "support/fixture_server.h"
#include "support/processes.h"
#include "support/temp_host.h"

namespace pirowend {
namespace {

using testing::FixtureResponse;

using testing::with_nul;

using testing::html_page;

class Chromium : public ::testing::Test {
 protected:
  explicit Chromium(std::uint32_t clock_factor = 1) : clock_(clock_factor) {}
  void SetUp() override {
    profiles_before_ = testing::browser_profiles();
    platform::seams().clock = &clock_;
    plugin_state().running = true;
    ASSERT_EQ(sink_->create_browser(), 1) << "headless Chromium did not start";
  }
  void TearDown() override {
    if (sink_) close_browser();
    platform::seams().clock = nullptr;
    EXPECT_TRUE(testing::browser_processes().empty());
    EXPECT_EQ(testing::browser_profiles(), profiles_before_);
    EXPECT_EQ(testing::zombie_children(), 0);
  }
  void close_browser() {
    sink_->disconnect_events();
    sink_->get_browser()->quit();
    sink_.reset();
  }
  int check(const std::string& line) { return check_page(line.c_str(), sink_->get_browser()); }
  int check_path(const std::string& path) { return check(server_.url(path)); }
  std::optional<std::string> snapshot_of(const std::string& path) {
    return host_.snapshot(server_.url(path));
  }

  testing::TempHost host_;
  testing::FixtureServer server_;
  testing::FastClock clock_;
  std::unique_ptr<CIEComCtrlSink> sink_ = std::make_unique<CIEComCtrlSink>();
  std::vector<std::string> profiles_before_;
};

TEST_F(Chromium, StoresTheBodyTextThenFindsTheChange) {
  server_.route("/p",
                {html_page("<h1>Prices</h1><p>apples 3</p><script>document.title='x'</script>")});
  EXPECT_EQ(check_path("/p"), kPageUnchanged);
  EXPECT_EQ(snapshot_of("/p"), with_nul("Prices\n\napples 3"));
  EXPECT_EQ(check_path("/p"), kPageUnchanged);
  server_.route("/p", {html_page("<h1>Prices</h1><p>apples 4</p>")});
  EXPECT_EQ(check_path("/p"), kPageChanged);
  EXPECT_STREQ(plugin_state().changed_url, server_.url("/p").c_str());
}

// For pages that run into the page limit: the minute passes in two seconds.
class ChromiumFastClock : public Chromium {
 protected:
  ChromiumFastClock() : Chromium(30) {}
};

TEST_F(Chromium, FramesOfTheSameAndOtherSitesDoNotEndTheWaitEarly) {
  server_.route("/child", {html_page("<p>inner</p>")});
  const std::string other_site = "http://localhost:" + std::to_string(server_.port()) + "/child";
  server_.route("/frames", {html_page("<p>outer</p><iframe src='/child'></iframe><iframe src='" +
                                      other_site + "'></iframe>")});
  EXPECT_EQ(check_path("/frames"), kPageUnchanged);
  EXPECT_EQ(server_.requests("/child"), 2);
  EXPECT_EQ(snapshot_of("/frames"), with_nul("outer"));
}

TEST_F(Chromium, PopUpOnLoadNeverSurvives) {
  server_.route("/target", {html_page("<p>popup</p>")});
  server_.route("/opener", {html_page("<p>main</p><script>window.open('/target')</script>")});
  EXPECT_EQ(check_path("/opener"), kPageUnchanged);
  EXPECT_EQ(snapshot_of("/opener"), with_nul("main"));
  EXPECT_EQ(chromium::open_pages(*sink_->get_browser()), 1);
}

TEST_F(Chromium, PopUpFromAUserGestureIsClosed) {
  server_.route("/target", {html_page("<p>popup</p>")});
  server_.route("/page", {html_page("<p>main</p>")});
  EXPECT_EQ(check_path("/page"), kPageUnchanged);
  ASSERT_TRUE(chromium::run_as_user(*sink_->get_browser(), "window.open('/target'); 1"));
  // The window appears; the next call into the engine closes it.
  for (int n = 0; n < 50 && server_.requests("/target") == 0; ++n) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  bool busy = false;
  int pages = 2;
  for (int n = 0; n < 50 && pages != 1; ++n) {
    sink_->get_browser()->busy(busy);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    pages = chromium::open_pages(*sink_->get_browser());
  }
  EXPECT_EQ(pages, 1);
}

struct PageCase {
  const char* name;
  FixtureResponse response;
  int result;
  bool snapshot;
};

void PrintTo(const PageCase& c, std::ostream* out) { *out << c.name; }

class ChromiumPage : public ChromiumFastClock, public ::testing::WithParamInterface<PageCase> {};

TEST_P(ChromiumPage, GivesTheResult) {
  server_.route("/case", GetParam().response);
  EXPECT_EQ(check_path("/case"), GetParam().result);
  EXPECT_EQ(snapshot_of("/case").has_value(), GetParam().snapshot);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChromiumPage,
    ::testing::Values(
        PageCase{"body_removed_by_script",
                 {html_page("<p>gone</p><script>document.body.remove()</script>")},
                 kPageUnchanged,
                 false},
        PageCase{"empty_body", {html_page("")}, kPageUnchanged, false},
        PageCase{"xml_document",
                 {"<?xml version='1.0'?><r><a>text</a></r>", "application/xml"},
                 kPageUnchanged,
                 false},
        PageCase{"svg_document",
                 {"<svg xmlns='http://www.w3.org/2000/svg'><text>t</text></svg>", "image/svg+xml"},
                 kPageUnchanged,
                 false},
        PageCase{"plain_text", {"just text", "text/plain"}, kPageUnchanged, true},
        PageCase{"alert_is_dismissed",
                 {html_page("<p>after alert</p><script>alert('hi');confirm('sure?')</script>")},
                 kPageUnchanged,
                 true},
        PageCase{"server_error_page_is_the_page",
                 {html_page("<p>oops</p>"), "text/html", 500},
                 kPageUnchanged,
                 true},
        PageCase{"no_content", {"", "text/html", 204}, kPageUnchanged, false},
        PageCase{
            "download_is_refused", {"data", "application/octet-stream"}, kPageUnchanged, false},
        PageCase{"never_answers",
                 {"", "text/html", 200, FixtureResponse::Ending::hang_before_headers},
                 kPageGaveNoText,
                 false},
        PageCase{"stops_half_way",
                 {html_page(std::string(4000, 'x')), "text/html", 200,
                  FixtureResponse::Ending::hang_after_half},
                 kPageGaveNoText,
                 false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ChromiumFastClock, PageWhoseImageNeverLoadsIsStoppedAndItsTextTaken) {
  server_.route("/hang.png", {"", "image/png", 200, FixtureResponse::Ending::hang_before_headers});
  server_.route("/img", {html_page("<p>text</p><img src='/hang.png'>")});
  EXPECT_EQ(check_path("/img"), kPageUnchanged);
  EXPECT_EQ(snapshot_of("/img"), with_nul("text"));
}

TEST_F(Chromium, UnreachablePageStoresAndReportsNothing) {
  const std::string line = "http://127.0.0.1:" + std::to_string(testing::closed_port()) + "/";
  EXPECT_EQ(check(line), kPageUnchanged);
  EXPECT_FALSE(host_.snapshot(line));
  EXPECT_FALSE(plugin_state().page_changed);
}

TEST_F(Chromium, RefusedNavigationGivesNoTextAtOnce) {
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(check("http://[::1"), kPageGaveNoText);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  // The browser is still good for the next line.
  server_.route("/ok", {html_page("<p>ok</p>")});
  EXPECT_EQ(check_path("/ok"), kPageUnchanged);
  EXPECT_TRUE(snapshot_of("/ok"));
}

TEST_F(Chromium, LineOfTheFormKeyValueIsNavigatedWhole) {
  server_.route("/q?a=1&b=2", {html_page("<p>query</p>")});
  EXPECT_EQ(check_path("/q?a=1&b=2"), kPageUnchanged);
  EXPECT_EQ(server_.requests("/q?a=1&b=2"), 1);
  EXPECT_EQ(snapshot_of("/q?a=1&b=2"), with_nul("query"));
  EXPECT_EQ(check("key=value"), kPageUnchanged);  // no such host: nothing stored
  EXPECT_FALSE(host_.snapshot("key=value"));
}

TEST_F(Chromium, TenMegabyteTextComesThroughWhole) {
  std::string page, text;
  for (int n = 0; text.size() < 10u * 1024 * 1024; ++n) {
    std::string paragraph = "paragraph " + std::to_string(n) + " " + std::string(1000, 'x');
    page += "<p>" + paragraph + "</p>";
    text += (n ? "\n\n" : "") + paragraph;
  }
  server_.route("/big", {html_page(page)});
  EXPECT_EQ(check_path("/big"), kPageUnchanged);
  auto stored = snapshot_of("/big");
  ASSERT_TRUE(stored);
  EXPECT_TRUE(*stored == with_nul(text)) << "sizes " << stored->size() << " and " << text.size();
}

TEST_F(Chromium, UnicodeTextComesThroughAsUtf8) {
  server_.route(
      "/u", {html_page("<p>caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80</p>"
                       "<script>document.querySelector('p').textContent += '\\ud800!'</script>")});
  EXPECT_EQ(check_path("/u"), kPageUnchanged);
  EXPECT_EQ(snapshot_of("/u"),
            std::string("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\xEF\xBF\xBD!") + '\0');
}

TEST_F(Chromium, ShutDownEndsTheWaitForAPageThatNeverAnswers) {
  server_.route("/hang", {"", "text/html", 200, FixtureResponse::Ending::hang_before_headers});
  std::thread stopper([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    plugin_state().running = false;
  });
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(check_path("/hang"), kPageGaveNoText);
  stopper.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
}

TEST_F(Chromium, BrowserThatDiesFailsTheChecksCleanly) {
  server_.route("/p", {html_page("<p>p</p>")});
  EXPECT_EQ(check_path("/p"), kPageUnchanged);
  for (int pid : testing::browser_processes()) kill(pid, SIGKILL);
  EXPECT_EQ(check_path("/p"), kPageGaveNoText);
  EXPECT_FALSE(plugin_state().page_changed);
  close_browser();
  // A browser that dies while the page loads gives no text either.
  sink_ = std::make_unique<CIEComCtrlSink>();
  ASSERT_EQ(sink_->create_browser(), 1);
  server_.route("/hang", {"", "text/html", 200, FixtureResponse::Ending::hang_before_headers});
  std::thread killer([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    for (int pid : testing::browser_processes()) kill(pid, SIGKILL);
  });
  EXPECT_EQ(check_path("/hang"), kPageGaveNoText);
  killer.join();
  close_browser();
  // The next pass starts a new browser.
  sink_ = std::make_unique<CIEComCtrlSink>();
  ASSERT_EQ(sink_->create_browser(), 1);
  EXPECT_EQ(check_path("/p"), kPageUnchanged);
}

TEST(ChromiumStart, MissingBrowserGivesTheMessageAndNoBrowser) {
  testing::TempHost host;
  setenv("PIROWEND_CHROMIUM", "/nonexistent/chromium", 1);
  CIEComCtrlSink sink;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(sink.create_browser(), 0);
  std::string shown = ::testing::internal::GetCapturedStderr();
  unsetenv("PIROWEND_CHROMIUM");
  EXPECT_NE(shown.find("Failed to create object error = -2147024894"), std::string::npos) << shown;
  EXPECT_EQ(sink.get_browser(), nullptr);
}

}  // namespace
}  // namespace pirowend
