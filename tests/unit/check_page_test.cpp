#include "checking/check_page.h"

#include <gtest/gtest.h>

#include "checking/browser_sink.h"
#include "plugin/plugin_state.h"
#include "support/scripted_worker.h"

namespace pirowend {
namespace {

using automation::kVariantTrue;
using testing::FakePage;

class CheckPage : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin_state().running = true;
    ASSERT_EQ(sink_.create_browser(), 1);
  }
  int check(const std::string& line) { return check_page(line.c_str(), sink_.get_browser()); }
  FakePage& page(const std::string& url) { return world_.engine.page(url); }

  testing::ScriptedWorld world_;
  CIEComCtrlSink sink_;
};

TEST_F(CheckPage, FirstCheckStoresTheTextAndASecondWithOtherTextIsAChange) {
  page("http://a.test/").text = u"first";
  EXPECT_EQ(check("http://a.test/"), kPageUnchanged);
  EXPECT_EQ(world_.host.snapshot("http://a.test/"), std::string("first\0", 6));
  page("http://a.test/").text = u"second";
  EXPECT_EQ(check("http://a.test/"), kPageChanged);
  EXPECT_TRUE(plugin_state().page_changed);
  EXPECT_STREQ(plugin_state().changed_url, "http://a.test/");
}

TEST_F(CheckPage, FramesDoNotEndTheWaitTheTopLevelDocumentDoes) {
  page("http://frames.test/") = {.busy_polls = 0, .frames = true, .text = u"with frames"};
  EXPECT_EQ(check("http://frames.test/"), kPageUnchanged);
  EXPECT_TRUE(world_.host.snapshot("http://frames.test/"));
}

TEST_F(CheckPage, PopUpWindowsAreCancelled) {
  page("http://popup.test/").popup = true;
  EXPECT_EQ(check("http://popup.test/"), kPageUnchanged);
  EXPECT_EQ(world_.engine.popup_answers, std::vector<automation::VariantBool>{kVariantTrue});
  EXPECT_TRUE(world_.host.snapshot("http://popup.test/"));
}

struct OutcomeCase {
  const char* name;
  FakePage page;
  int result;
  bool snapshot;
};

void PrintTo(const OutcomeCase& c, std::ostream* out) { *out << c.name; }

class CheckPageOutcome : public CheckPage, public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(CheckPageOutcome, GivesTheResult) {
  page("http://x.test/") = GetParam().page;
  EXPECT_EQ(check("http://x.test/"), GetParam().result);
  EXPECT_EQ(world_.host.snapshot("http://x.test/").has_value(), GetParam().snapshot);
  EXPECT_EQ(world_.engine.entries().back(), "stop");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckPageOutcome,
    ::testing::Values(
        OutcomeCase{"text", {}, kPageUnchanged, true},
        OutcomeCase{"null_text", {.text = std::nullopt}, kPageGaveNoText, false},
        OutcomeCase{"empty_text", {.text = u""}, kPageUnchanged, false},
        OutcomeCase{"text_after_a_nul_is_not_read",
                    {.text = std::u16string(u"\0abc", 4)},
                    kPageUnchanged,
                    false},
        OutcomeCase{"no_document", {.document = FakePage::Document::none}, kPageUnchanged, false},
        OutcomeCase{"not_html", {.document = FakePage::Document::not_html}, kPageUnchanged, false},
        OutcomeCase{"no_body", {.body = false}, kPageUnchanged, false},
        OutcomeCase{
            "refused_navigation", {.navigate_status = automation::kFail}, kPageGaveNoText, false},
        OutcomeCase{"success_code_is_no_success",
                    {.navigate_status = automation::kFalse},
                    kPageGaveNoText,
                    false},
        OutcomeCase{"never_completes", {.completes = false}, kPageGaveNoText, false},
        OutcomeCase{"stopping_completes_it",
                    {.completes = false, .stop_completes = true},
                    kPageUnchanged,
                    true},
        OutcomeCase{
            "error_page", {.text = u"The page cannot be displayed"}, kPageUnchanged, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CheckPage, RefusedNavigationGivesUpAtOnce) {
  page("http://refused.test/").navigate_status = automation::kFail;
  const auto before = world_.clock.now_ms();
  EXPECT_EQ(check("http://refused.test/"), kPageGaveNoText);
  EXPECT_EQ(world_.clock.now_ms(), before);
}

TEST_F(CheckPage, PageThatNeverCompletesIsStoppedAtTheLimit) {
  page("http://slow.test/").completes = false;
  const auto before = world_.clock.now_ms();
  EXPECT_EQ(check("http://slow.test/"), kPageGaveNoText);
  EXPECT_GE(world_.clock.now_ms() - before, kPageWaitLimitMs);
  EXPECT_LT(world_.clock.now_ms() - before, kPageWaitLimitMs + 100);
}

TEST_F(CheckPage, ShutDownEndsThePageWait) {
  page("http://slow.test/").completes = false;
  const auto before = world_.clock.now_ms();
  world_.clock.on_sleep = [&] {
    if (world_.clock.now_ms() - before >= 200) plugin_state().running = false;
  };
  EXPECT_EQ(check("http://slow.test/"), kPageGaveNoText);
  EXPECT_LT(world_.clock.now_ms() - before, 300u);
}

TEST_F(CheckPage, LineOfTheFormKeyValueIsNavigatedWhole) {
  EXPECT_EQ(check("key=value"), kPageUnchanged);
  EXPECT_EQ(world_.engine.times_of("navigate key=value").size(), 1u);
}

TEST_F(CheckPage, VeryLongLineIsNavigatedWhole) {
  const std::string line = "http://long.test/?" + std::string(6000, 'q');
  EXPECT_EQ(check(line), kPageUnchanged);
  EXPECT_EQ(world_.engine.times_of("navigate " + line).size(), 1u);
}

TEST(BrowserSink, WithoutAnEventConnectionThePageWaitEndsAtTheLimit) {
  testing::ScriptedWorld world;
  plugin_state().running = true;
  world.engine.advise_status = automation::kFail;
  CIEComCtrlSink sink;
  EXPECT_EQ(sink.create_browser(), 1);
  EXPECT_EQ(sink.advise_cookie(), 0u);
  EXPECT_EQ(check_page("http://a.test/", sink.get_browser()), kPageGaveNoText);
}

TEST(BrowserSink, BrowserThatCannotBeCreatedShowsTheMessage) {
  testing::ScriptedWorld world;
  world.engine.create_status = automation::kClassNotRegistered;
  CIEComCtrlSink sink;
#ifndef _WIN32  // where no desktop is there, the message goes to standard error
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(sink.create_browser(), 0);
  std::string shown = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(shown.find("Failed to create object error = -2147221164"), std::string::npos) << shown;
#else
  EXPECT_EQ(sink.create_browser(), 0);
#endif
  EXPECT_EQ(sink.get_browser(), nullptr);
  EXPECT_EQ(browser_failure_message(automation::kFileNotFound),
            "Failed to create object error = -2147024894");
}

TEST(BrowserSink, ConnectionReferenceHoldsNothingAndDisconnectEndsIt) {
  testing::ScriptedWorld world;
  CIEComCtrlSink sink;
  EXPECT_EQ(sink.references(), 1);
  ASSERT_EQ(sink.create_browser(), 1);
  EXPECT_NE(sink.advise_cookie(), 0u);
  EXPECT_EQ(sink.references(), 1);  // the connection's reference was given back
  EXPECT_TRUE(sink.disconnect_events());
  EXPECT_EQ(sink.advise_cookie(), 0u);
  EXPECT_EQ(sink.references(), 1);
  EXPECT_TRUE(sink.disconnect_events());  // nothing left to remove
}

TEST(BrowserSink, DispatchTableAnswersByDispIdAndName) {
  testing::ScriptedWorld world;
  plugin_state().running = true;
  CIEComCtrlSink sink;
  ASSERT_EQ(sink.create_browser(), 1);
  using automation::EventArg;
  EXPECT_EQ(sink.dispid_of(u"DocumentComplete"), 259);
  EXPECT_EQ(sink.dispid_of(u"downloadend"), 104);
  EXPECT_EQ(sink.dispid_of(u"NewWindow2"), 251);
  EXPECT_EQ(sink.dispid_of(u"BeforeNavigate2"), std::nullopt);
  EXPECT_EQ(sink.invoke(250, {}), automation::kMemberNotFound);
  EXPECT_EQ(sink.invoke(104, {}), automation::kOk);

  const automation::ObjectId own = sink.get_browser()->identity();
  std::u16string url = u"http://a.test/";
  EventArg wrong[] = {{.type = EventArg::Type::dispatch, .dispatch = own}};
  EXPECT_EQ(sink.invoke(259, wrong), automation::kTypeMismatch);
  EXPECT_FALSE(plugin_state().document_complete);
  EventArg frame[] = {{.type = EventArg::Type::dispatch, .dispatch = own + 1},
                      {.type = EventArg::Type::variant_ref, .variant = &url}};
  EXPECT_EQ(sink.invoke(259, frame), automation::kOk);
  EXPECT_FALSE(plugin_state().document_complete);
  EventArg top[] = {{.type = EventArg::Type::dispatch, .dispatch = own},
                    {.type = EventArg::Type::variant_ref, .variant = &url}};
  EXPECT_EQ(sink.invoke(259, top), automation::kOk);
  EXPECT_TRUE(plugin_state().document_complete);
}

}  // namespace
}  // namespace pirowend
