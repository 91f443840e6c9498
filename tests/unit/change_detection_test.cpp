#include "checking/change_detection.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "checking/snapshot_store.h"
#include "plugin/plugin_state.h"
#include "support/temp_host.h"

namespace pirowend {
namespace {

namespace fs = std::filesystem;
using testing::TempHost;

constexpr const char* kLine = "http://example.test/page";

using testing::with_nul;

class ChangeDetection : public ::testing::Test {
 protected:
  void settings(const std::string& body) { host_.write_settings("[SETTINGS]\r\n" + body); }
  // Stores `stored` as the line's snapshot through a first comparison.
  void store(const std::string& stored, const char* line = kLine) {
    ASSERT_FALSE(compare_with_snapshot(line, stored.c_str()));
    ASSERT_EQ(host_.snapshot(line), with_nul(stored));
  }
  // Marks the snapshot file with an old time, to see whether a comparison rewrote it.
  fs::file_time_type age(const char* line = kLine) {
    auto old_time = fs::file_time_type::clock::now() - std::chrono::hours(24 * 365);
    fs::last_write_time(snapshot_file(line), old_time);
    return fs::last_write_time(snapshot_file(line));
  }
  fs::path snapshot_file(const char* line = kLine) { return *snapshot_path(line); }
  TempHost host_;
};

struct WorkedExample {
  const char* stored;
  const char* text;
  bool tolerant;  // sly=1, sly_count=2
  bool exact;     // sly=0
};

void PrintTo(const WorkedExample& c, std::ostream* out) { *out << c.stored << " -> " << c.text; }

class WorkedExampleTest : public ChangeDetection,
                          public ::testing::WithParamInterface<WorkedExample> {};

TEST_P(WorkedExampleTest, TolerantMode) {
  settings("sly=1\r\nsly_count=2\r\n");
  store(GetParam().stored);
  EXPECT_EQ(compare_with_snapshot(kLine, GetParam().text), GetParam().tolerant);
  EXPECT_EQ(host_.snapshot(kLine),
            with_nul(GetParam().tolerant ? GetParam().text : GetParam().stored));
}

TEST_P(WorkedExampleTest, ExactMode) {
  settings("sly=0\r\nsly_count=2\r\n");
  store(GetParam().stored);
  EXPECT_EQ(compare_with_snapshot(kLine, GetParam().text), GetParam().exact);
  EXPECT_EQ(host_.snapshot(kLine),
            with_nul(GetParam().exact ? GetParam().text : GetParam().stored));
}

TEST_P(WorkedExampleTest, DefaultWindowBridgesThemAll) {
  settings("sly=1\r\n");
  store(GetParam().stored);
  EXPECT_FALSE(compare_with_snapshot(kLine, GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Table, WorkedExampleTest,
    ::testing::Values(WorkedExample{"score 3 to 1 today", "score 4 to 1 today", false, true},
                      WorkedExample{"price 45 EUR", "price 145 EUR", false, true},
                      WorkedExample{"price 145 EUR", "price 45 EUR", false, true},
                      WorkedExample{"price 45 EUR", "price 1.45 EUR", false, true},
                      WorkedExample{"price 45 EUR", "price 0.145 EUR", true, true},
                      WorkedExample{"news: none", "news: none yet", false, true},
                      WorkedExample{"news: none", "news: none at all", true, true},
                      WorkedExample{"news: none at all", "news: none", false, false}),
    [](const auto& info) { return "row" + std::to_string(info.index + 1); });

TEST_F(ChangeDetection, ErrorPageTextIsNeverComparedOrStored) {
  EXPECT_FALSE(compare_with_snapshot(kLine, "The page cannot be displayed at all"));
  EXPECT_FALSE(fs::exists(host_.dir() / "plugins"));
  // A shorter text, or one in other case, is an ordinary text.
  EXPECT_FALSE(compare_with_snapshot(kLine, "The page cannot be display"));
  EXPECT_TRUE(host_.snapshot(kLine).has_value());
}

TEST_F(ChangeDetection, FirstComparisonStoresTheTextAndANul) {
  for (const char* sly : {"sly=0\r\n", "sly=1\r\n"}) {
    settings(sly);
    const std::string line = std::string(kLine) + sly[4];
    EXPECT_FALSE(compare_with_snapshot(line.c_str(), "hello"));
    EXPECT_EQ(host_.snapshot(line), std::string("hello\0", 6));
  }
}

TEST_F(ChangeDetection, SameTextAgainLeavesTheSnapshotUntouched) {
  store("same text");
  auto before = age();
  EXPECT_FALSE(compare_with_snapshot(kLine, "same text"));
  EXPECT_EQ(fs::last_write_time(snapshot_file()), before);
}

TEST_F(ChangeDetection, ShorterTextThatBeginsTheStoredOneIsUnchangedInBothModes) {
  for (const char* sly : {"sly=0\r\n", "sly=1\r\n"}) {
    settings(sly);
    store("a longer stored text");
    EXPECT_FALSE(compare_with_snapshot(kLine, "a longer"));
    EXPECT_EQ(host_.snapshot(kLine), with_nul("a longer stored text"));
  }
}

TEST_F(ChangeDetection, LongerTextIsAChangeInExactModeAndThenStored) {
  store("news");
  EXPECT_TRUE(compare_with_snapshot(kLine, "news and more"));
  EXPECT_EQ(host_.snapshot(kLine), with_nul("news and more"));
  EXPECT_FALSE(compare_with_snapshot(kLine, "news and more"));
}

TEST_F(ChangeDetection, OneChangedByteIsAChangeInExactMode) {
  store("version 1");
  EXPECT_TRUE(compare_with_snapshot(kLine, "version 2"));
  EXPECT_EQ(host_.snapshot(kLine), with_nul("version 2"));
}

TEST_F(ChangeDetection, ZeroWindowNeverReportsAndNeverRewrites) {
  settings("sly=1\r\nsly_count=0\r\n");
  store("original");
  EXPECT_FALSE(compare_with_snapshot(kLine, "something else entirely"));
  EXPECT_EQ(host_.snapshot(kLine), with_nul("original"));
}

TEST_F(ChangeDetection, NegativeWindowActsAsExactMode) {
  settings("sly=1\r\nsly_count=-3\r\n");
  store("price 45 EUR");
  EXPECT_TRUE(compare_with_snapshot(kLine, "price 145 EUR"));
}

TEST_F(ChangeDetection, SmallChangesAreMeasuredAgainstTheSameOldText) {
  settings("sly=1\r\nsly_count=2\r\n");
  store("total 10 items in stock today");
  EXPECT_FALSE(compare_with_snapshot(kLine, "total 11 items in stock today"));
  EXPECT_FALSE(compare_with_snapshot(kLine, "total 12 items in stock today"));
  EXPECT_EQ(host_.snapshot(kLine), with_nul("total 10 items in stock today"));
}

TEST_F(ChangeDetection, LinesThatDifferOnlyInReplacedCharactersShareASnapshot) {
  store("shared", "ab:/c\\d/e");
  EXPECT_FALSE(compare_with_snapshot("ab__c_d_e", "shared"));
  EXPECT_TRUE(compare_with_snapshot("ab__c_d_e", "other"));
  EXPECT_EQ(host_.snapshot_count(), 1u);
}

TEST_F(ChangeDetection, LineWithAQueryStringIsWatched) {
  const char* line = "http://example.test/?q=a|b&n=*";
  store("first", line);
  EXPECT_TRUE(compare_with_snapshot(line, "second"));
}

TEST_F(ChangeDetection, VeryLongLineIsWatched) {
  const std::string line = "http://example.test/?" + std::string(6000, 'k');
  store("first", line.c_str());
  EXPECT_TRUE(compare_with_snapshot(line.c_str(), "second"));
}

TEST_F(ChangeDetection, ReadOnlySnapshotReportsEveryTimeAndStaysAsItWas) {
  store("old");
  fs::permissions(snapshot_file(), fs::perms::owner_read | fs::perms::group_read);
  EXPECT_TRUE(compare_with_snapshot(kLine, "new"));
  EXPECT_TRUE(compare_with_snapshot(kLine, "new"));
  EXPECT_EQ(host_.snapshot(kLine), with_nul("old"));
}

TEST_F(ChangeDetection, EmptySnapshotFileIsAnEmptyStoredText) {
  store("x");
  testing::write_bytes(snapshot_file(), "");
  EXPECT_TRUE(compare_with_snapshot(kLine, "text"));
  EXPECT_EQ(host_.snapshot(kLine), with_nul("text"));
}

TEST_F(ChangeDetection, RewriteLeavesNoTemporaryFileBehind) {
  store("one");
  EXPECT_TRUE(compare_with_snapshot(kLine, "two"));
  EXPECT_EQ(host_.snapshot_count(), 1u);
}

TEST_F(ChangeDetection, DirectoryThatCannotBeMadeStoresNothing) {
  testing::write_bytes(host_.dir() / "plugins", "a file where the directory should be");
  EXPECT_FALSE(compare_with_snapshot(kLine, "text"));
  EXPECT_FALSE(compare_with_snapshot(kLine, "other text"));
}

TEST(RecordChangedPage, KeepsTheLastLineAndRaisesTheFlag) {
  TempHost host;
  record_changed_page("http://first.test/");
  record_changed_page("http://second.test/a/longer/line");
  EXPECT_TRUE(plugin_state().page_changed.load());
  EXPECT_STREQ(plugin_state().changed_url, "http://second.test/a/longer/line");
  plugin_state().page_changed = false;
  EXPECT_STREQ(plugin_state().changed_url, "http://second.test/a/longer/line");
}

}  // namespace
}  // namespace pirowend
