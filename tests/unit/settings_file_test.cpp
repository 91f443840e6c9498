#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_host.h"

namespace pirowend {
namespace {

using testing::page_lines;

using testing::TempHost;

TEST(SettingsFile, AbsentFileGivesTheDefaults) {
  TempHost host;
  EXPECT_TRUE(page_lines().empty());
  EXPECT_EQ(read_page_list().block().size(), kPageListBlockBytes);
  EXPECT_EQ(read_interval_minutes(), 0);
  Tolerance tolerance = read_tolerance();
  EXPECT_EQ(tolerance.sly, 0);
  EXPECT_EQ(tolerance.sly_count, 20);
}

struct IntervalCase {
  const char* value;
  std::int32_t minutes;
};

void PrintTo(const IntervalCase& c, std::ostream* out) { *out << c.value; }

class IntervalTest : public ::testing::TestWithParam<IntervalCase> {};

TEST_P(IntervalTest, ReadsTheMinutes) {
  TempHost host;
  host.write_settings(std::string("[SETTINGS]\r\ninterval=") + GetParam().value + "\r\n");
  EXPECT_EQ(read_interval_minutes(), GetParam().minutes) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Values, IntervalTest,
                         ::testing::Values(IntervalCase{"30", 30}, IntervalCase{"15min", 15},
                                           IntervalCase{"abc", 0}, IntervalCase{"", 0},
                                           IntervalCase{"1234567890", 123456789},
                                           IntervalCase{"-5", -5}, IntervalCase{"+8", 8},
                                           IntervalCase{"\" 12\"", 12}, IntervalCase{"0", 0}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(SettingsFile, IntervalConversionSkipsLeadingSpaceAndStopsAtNineCharacters) {
  EXPECT_EQ(parse_interval("  42"), 42);
  EXPECT_EQ(parse_interval("\t-3x"), -3);
  EXPECT_EQ(parse_interval("999999999"), 999999999);
  EXPECT_EQ(parse_interval("-99999999"), -99999999);
  EXPECT_EQ(parse_interval("12345678901"), 123456789);
}

TEST(SettingsFile, KeyAndSectionNamesAreCaseBlind) {
  TempHost host;
  host.write_settings("[Settings]\nINTERVAL=7\nSly=2\nSLY_COUNT=5\n[pages]\nhttp://a/\n");
  EXPECT_EQ(read_interval_minutes(), 7);
  EXPECT_EQ(read_tolerance().sly, 2);
  EXPECT_EQ(read_tolerance().sly_count, 5);
  EXPECT_EQ(page_lines(), (std::vector<std::string>{"http://a/"}));
}

TEST(SettingsFile, SlyThatIsNoNumberSwitchesTheToleranceOff) {
  TempHost host;
  host.write_settings("[SETTINGS]\nsly=yes\n");
  EXPECT_EQ(read_tolerance().sly, 0);
  EXPECT_EQ(read_tolerance().sly_count, 20);
}

TEST(SettingsFile, PageLinesComeBackWholeInFileOrderWithoutBlankLines) {
  TempHost host;
  host.write_settings(
      "[PAGES]\nhttp://a/?x=1&y=2\n\nhttp://b/\n   \nkey=value\n[SETTINGS]\ninterval=3\n");
  EXPECT_EQ(page_lines(),
            (std::vector<std::string>{"http://a/?x=1&y=2", "http://b/", "key=value"}));
}

TEST(SettingsFile, CrLfAndLfAndATrailingNulReadAlike) {
  const std::string lf = "[SETTINGS]\ninterval=4\nsly=1\n[PAGES]\nhttp://a/\nhttp://b/\n";
  std::string crlf;
  for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  for (const std::string& file : {lf, crlf, lf + std::string(1, '\0'), crlf + '\0'}) {
    TempHost host;
    host.write_settings(file);
    EXPECT_EQ(read_interval_minutes(), 4);
    EXPECT_EQ(read_tolerance().sly, 1);
    auto lines = page_lines();
    EXPECT_EQ(lines, (std::vector<std::string>{"http://a/", "http://b/"}));
    for (auto line : lines) EXPECT_EQ(line.find('\r'), std::string_view::npos);
  }
}

TEST(SettingsFile, LongPageListIsCutAtTheEndOfTheBlock) {
  TempHost host;
  std::string file = "[PAGES]\n";
  const std::string line = "http://example.test/" + std::string(79, 'p');  // 99 bytes + NUL
  for (int i = 0; i < 600; ++i) file += line + "\n";
  host.write_settings(file);
  PageList list = read_page_list();
  ASSERT_EQ(list.block().size(), kPageListBlockBytes);
  EXPECT_EQ(list.block().substr(kPageListBlockBytes - 2), std::string(2, '\0'));
  auto lines = list.lines();
  ASSERT_EQ(lines.size(), 500u);  // 499 whole lines, then one cut short
  EXPECT_EQ(lines[498], line);
  EXPECT_EQ(lines[499], line.substr(0, 98));
}

}  // namespace
}  // namespace pirowend
