// Our reader of profile files, which stands in for the platform's profile functions.
#include "platform/profile_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pirowend::platform {
namespace {

// The lines of a section block, up to its empty string.
std::vector<std::string> block_lines(const std::string& block) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < block.size() && block[at] != '\0';) {
    std::string line(block.c_str() + at);
    at += line.size() + 1;
    lines.push_back(line);
  }
  return lines;
}

struct StringCase {
  const char* name;
  std::string file;
  const char* section;
  const char* key;
  std::size_t size;
  std::string expected;
};

void PrintTo(const StringCase& c, std::ostream* out) { *out << c.name; }

class ProfileStringTest : public ::testing::TestWithParam<StringCase> {};

TEST_P(ProfileStringTest, ReadsTheValue) {
  const StringCase& c = GetParam();
  EXPECT_EQ(profile_string_of(ProfileText(c.file), c.section, c.key, "dflt", c.size), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ProfileStringTest,
    ::testing::Values(
        StringCase{"plain", "[S]\nk=v\n", "S", "k", 10, "v"},
        StringCase{"case_blind_names", "[settings]\nINTERVAL=5\n", "SETTINGS", "interval", 10, "5"},
        StringCase{"crlf", "[S]\r\nk=v\r\n", "S", "k", 10, "v"},
        StringCase{"spaces_around", "  [S]  \n  k  =  v w  \n", "S", "k", 10, "v w"},
        StringCase{"absent_key", "[S]\nk=v\n", "S", "x", 10, "dflt"},
        StringCase{"absent_section", "[T]\nk=v\n", "S", "k", 10, "dflt"},
        StringCase{"no_equals_is_default", "[S]\nk\n", "S", "k", 10, "dflt"},
        StringCase{"empty_value", "[S]\nk=\n", "S", "k", 10, ""},
        StringCase{"cut_to_field", "[S]\nk=1234567890123\n", "S", "k", 10, "123456789"},
        StringCase{"first_duplicate_key", "[S]\nk=1\nk=2\n", "S", "k", 10, "1"},
        StringCase{"first_section_only", "[S]\na=1\n[S]\nk=2\n", "S", "k", 10, "dflt"},
        StringCase{"quotes_removed", "[S]\nk=\"a b\"\n", "S", "k", 10, "a b"},
        StringCase{"single_quotes_removed", "[S]\nk='7'\n", "S", "k", 10, "7"},
        StringCase{"lone_quote_kept", "[S]\nk=\"\n", "S", "k", 10, "\""},
        StringCase{"name_between_brackets", "[S]x\nk=v\n", "S", "k", 10, "v"},
        StringCase{"header_without_bracket_is_a_line", "[S\nk=v\n", "S", "k", 10, "dflt"},
        StringCase{"trailing_nul", std::string("[S]\nk=v\n\0", 9), "S", "k", 10, "v"},
        StringCase{"bom", "\xEF\xBB\xBF[S]\nk=v\n", "S", "k", 10, "v"},
        StringCase{"lone_cr_ends_a_line", "[S]\rk=v\r", "S", "k", 10, "v"}),
    [](const auto& info) { return std::string(info.param.name); });

struct IntCase {
  const char* value_line;
  std::int32_t fallback;
  std::int32_t expected;
};

void PrintTo(const IntCase& c, std::ostream* out) { *out << c.value_line; }

class ProfileIntTest : public ::testing::TestWithParam<IntCase> {};

TEST_P(ProfileIntTest, ConvertsTheLeadingNumber) {
  const IntCase& c = GetParam();
  ProfileText text("[S]\n" + std::string(c.value_line) + "\n");
  EXPECT_EQ(profile_int_of(text, "S", "k", c.fallback), c.expected) << c.value_line;
}

INSTANTIATE_TEST_SUITE_P(Values, ProfileIntTest,
                         ::testing::Values(IntCase{"k=15", 20, 15}, IntCase{"k=15min", 20, 15},
                                           IntCase{"k=-7", 20, -7}, IntCase{"k=+3", 20, 3},
                                           IntCase{"k=yes", 20, 0}, IntCase{"k=", 20, 20},
                                           IntCase{"x=1", 20, 20}, IntCase{"k=0x1F", 0, 31},
                                           IntCase{"k=0b101", 0, 5}, IntCase{"k=0o17", 0, 15},
                                           IntCase{"k=\"12\"", 0, 12},
                                           IntCase{"k=4294967295", 0, -1}, IntCase{"k=- 5", 9, 0}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(ProfileSection, DeliversTrimmedLinesWithoutCommentsOrBlanks) {
  ProfileText text(
      "[PAGES]\r\n  http://a = b  \r\n\r\n;comment\r\nhttp://c/?q=1&r=2\r\nplain line\r\n"
      "[NEXT]\r\nx\r\n");
  std::string block = profile_section_of(text, "pages", 100);
  ASSERT_EQ(block.size(), 100u);
  EXPECT_EQ(block_lines(block),
            (std::vector<std::string>{"http://a=b", "http://c/?q=1&r=2", "plain line"}));
}

TEST(ProfileSection, AbsentSectionGivesAnEmptyList) {
  std::string block = profile_section_of(ProfileText("[S]\nk=v\n"), "PAGES", 50);
  EXPECT_EQ(block, std::string(50, '\0'));
}

TEST(ProfileSection, CutAtTheEndOfTheBlockEndsInTwoNuls) {
  ProfileText text("[P]\nabcdef\nghijkl\n");
  // Room for "abcdef\0" and then only part of the second line.
  std::string block = profile_section_of(text, "P", 11);
  EXPECT_EQ(block, std::string("abcdef\0gh\0\0", 11));
  EXPECT_EQ(block_lines(block), (std::vector<std::string>{"abcdef", "gh"}));
}

TEST(ProfileSection, ExactFitKeepsEveryLine) {
  std::string block = profile_section_of(ProfileText("[P]\nab\ncd\n"), "P", 7);
  EXPECT_EQ(block, std::string("ab\0cd\0\0", 7));
}

}  // namespace
}  // namespace pirowend::platform
