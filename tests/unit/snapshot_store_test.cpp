#include "checking/snapshot_store.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files.h"
#include "support/temp_host.h"

namespace pirowend {
namespace {

struct NameCase {
  std::string line;
  std::string name;
};

void PrintTo(const NameCase& c, std::ostream* out) { *out << c.line; }

class SnapshotNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(SnapshotNameTest, MapsTheLineToItsFileName) {
  EXPECT_EQ(snapshot_file_name(GetParam().line, 255), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SnapshotNameTest,
    ::testing::Values(NameCase{"ab:/c\\d/e", "ab__c_d_e"}, NameCase{"ab__c_d_e", "ab__c_d_e"},
                      NameCase{"http://example.test/page.html", "http___example.test_page.html"},
                      NameCase{"http://x/?a=1&b=*|<>\"", "http___x__a=1&b=_____"},
                      NameCase{"tab\there\x01\x1f", "tab_here__"},
                      NameCase{"key=value", "key=value"}, NameCase{"caf\xC3\xA9", "caf\xC3\xA9"},
                      NameCase{".", "_"}, NameCase{"..", "__"}, NameCase{"a.", "a_"},
                      NameCase{"a. .", "a___"}, NameCase{"CON", "_CON"},
                      NameCase{"nul.txt", "_nul.txt"}, NameCase{"Com7", "_Com7"},
                      NameCase{"LPT1 .x", "_LPT1 .x"}, NameCase{"COM10", "COM10"},
                      NameCase{"CONSOLE", "CONSOLE"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(SnapshotName, KeepsTheLengthOfTheLine) {
  EXPECT_EQ(snapshot_name("a:b?c"), "a_b_c");
  EXPECT_EQ(snapshot_name("ab:/c\\d/e").size(), 9u);
}

TEST(SnapshotName, TooLongLinesGetAStableShortenedName) {
  const std::string base = "http://example.test/" + std::string(300, 'q');
  auto first = snapshot_file_name(base + "1", 100);
  auto again = snapshot_file_name(base + "1", 100);
  auto other = snapshot_file_name(base + "2", 100);
  ASSERT_TRUE(first && other);
  EXPECT_EQ(first->size(), 100u);
  EXPECT_EQ(first, again);
  EXPECT_NE(first, other);
  EXPECT_TRUE(first->starts_with("http___example.test_qqq"));
  EXPECT_EQ((*first)[83], '~');
}

TEST(SnapshotName, NoRoomEvenForAShortenedNameGivesNone) {
  EXPECT_FALSE(snapshot_file_name(std::string(40, 'x'), 17));
  EXPECT_TRUE(snapshot_file_name(std::string(17, 'x'), 17));
}

TEST(SnapshotPath, LiesInPluginsPirowendAndCreatesBothDirectories) {
  testing::TempHost host;
  auto path = snapshot_path("ab:/c\\d/e");
  ASSERT_TRUE(path);
  EXPECT_EQ(std::filesystem::path(*path), host.snapshots() / "ab__c_d_e");
  EXPECT_TRUE(std::filesystem::is_directory(host.snapshots()));
}

TEST(SnapshotPath, LongLineStaysWithinThePathLimit) {
  testing::TempHost host;
  auto path = snapshot_path("http://example.test/" + std::string(5000, 'z'));
  ASSERT_TRUE(path);
  EXPECT_LT(path->size(), platform::kMaxPathBytes);
  EXPECT_LE(std::filesystem::path(*path).filename().string().size(), platform::kMaxNameBytes);
}

}  // namespace
}  // namespace pirowend
