// Our profile-file reader against the platform's profile functions, on a corpus of settings
// files: every value, number and page-list block must agree.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/profile_text.h"
#include "platform/win32/windows_api.h"
#include "support/temp_host.h"

namespace pirowend {
namespace {

struct CorpusFile {
  const char* name;
  std::string bytes;
};

void PrintTo(const CorpusFile& file, std::ostream* out) { *out << file.name; }

std::string repeat_lines(const std::string& line, int count) {
  std::string out;
  for (int n = 0; n < count; ++n) out += line + std::to_string(n) + "\r\n";
  return out;
}

const std::vector<CorpusFile> kCorpus = {
    {"plain_crlf",
     "[SETTINGS]\r\ninterval=30\r\nsly=1\r\nsly_count=20\r\n[PAGES]\r\nhttp://a/\r\nhttp://b/\r\n"},
    {"plain_lf", "[SETTINGS]\ninterval=30\nsly=1\n[PAGES]\nhttp://a/\nhttp://b/\n"},
    {"mixed_line_ends", "[SETTINGS]\r\ninterval=5\n[PAGES]\nhttp://a/\r\nhttp://b/\n"},
    {"case_of_names", "[settings]\r\nINTERVAL=7\r\nSly=3\r\n[Pages]\r\nhttp://a/\r\n"},
    {"trailing_nul", std::string("[SETTINGS]\r\ninterval=9\r\n[PAGES]\r\nhttp://a/\r\n\0", 40)},
    {"blank_lines",
     "\r\n[SETTINGS]\r\n\r\ninterval=4\r\n\r\n[PAGES]\r\nhttp://a/\r\n\r\n   \r\nhttp://b/\r\n"},
    {"equals_in_page_lines", "[PAGES]\r\nhttp://a/?x=1&y=2\r\nkey=value\r\n  http://c = d  \r\n"},
    {"leading_spaces",
     "  [SETTINGS]\r\n   interval = 12 \r\n\t sly\t=\t1\r\n[PAGES]\r\n    http://a/\r\n"},
    {"duplicate_keys", "[SETTINGS]\r\ninterval=1\r\ninterval=2\r\nsly=0\r\nsly=5\r\n"},
    {"two_pages_headers",
     "[PAGES]\r\nhttp://first/\r\n[SETTINGS]\r\ninterval=3\r\n[PAGES]\r\nhttp://second/\r\n"},
    {"two_headers_differing_in_case", "[PAGES]\nhttp://new/\n[Pages]\nhttp://old/\n"},
    {"long_section",
     "[PAGES]\r\n" + repeat_lines("http://example.test/page-with-a-long-name/", 1500)},
    {"ten_digits",
     "[SETTINGS]\r\ninterval=1234567890\r\nsly=9876543210\r\nsly_count=4294967296\r\n"},
    {"signs", "[SETTINGS]\r\ninterval=-15\r\nsly=+2\r\nsly_count=-4\r\n"},
    {"junk", "[SETTINGS]\r\ninterval=abc\r\nsly=yes\r\nsly_count=12abc\r\n"},
    {"units_after_numbers", "[SETTINGS]\r\ninterval=15min\r\nsly = 15min\r\n"},
    {"empty_values", "[SETTINGS]\r\ninterval=\r\nsly=\r\nsly_count=\r\n"},
    {"quotes",
     "[SETTINGS]\r\ninterval=\"25\"\r\nsly='1'\r\nsly_count=\"7\r\n[PAGES]\r\n\"http://q/\"\r\n"},
    {"hex_and_other_bases", "[SETTINGS]\r\nsly=0x10\r\nsly_count=0b101\r\ninterval=0x1F\r\n"},
    {"comments",
     "; a comment\r\n[SETTINGS]\r\n; "
     "interval=99\r\ninterval=6\r\n[PAGES]\r\n;http://commented/\r\nhttp://a/\r\n"},
    {"no_equals_key", "[SETTINGS]\r\ninterval\r\nsly\r\n[PAGES]\r\nplain\r\n"},
    {"header_with_text_after", "[SETTINGS] trailing\r\ninterval=8\r\n[PAGES]x\r\nhttp://a/\r\n"},
    {"header_without_closing_bracket", "[SETTINGS\r\ninterval=8\r\n[PAGES]\r\nhttp://a/\r\n"},
    {"spaces_inside_brackets", "[ SETTINGS ]\r\ninterval=8\r\n[PAGES]\r\nhttp://a/\r\n"},
    {"lone_cr_line_ends", "[SETTINGS]\rinterval=11\r[PAGES]\rhttp://a/\rhttp://b/\r"},
    {"empty_names", "[PAGES]\r\n=a\r\n=b\r\nhttp://c/\r\n=d\r\n"},
    {"no_final_line_break", "[SETTINGS]\r\ninterval=13\r\n[PAGES]\r\nhttp://last/"},
    {"empty_file", ""},
    {"tab_and_ctrl_z", "[SETTINGS]\r\ninterval=\t14\x1a\r\n[PAGES]\r\nhttp://a/\x1a\r\n"},
};

struct Read {
  const char* section;
  const char* key;
};
const Read kReads[] = {{"SETTINGS", "interval"},
                       {"SETTINGS", "sly"},
                       {"SETTINGS", "sly_count"},
                       {"PAGES", "http://a/"},
                       {"pages", "key"}};

class ProfileDifferential : public ::testing::TestWithParam<CorpusFile> {
 protected:
  void SetUp() override {
    path_ = (host_.dir() / (std::string(GetParam().name) + ".ini")).string();
    testing::write_bytes(path_, GetParam().bytes);
  }
  testing::TempHost host_;
  std::string path_;
};

TEST_P(ProfileDifferential, StringsAgree) {
  platform::ProfileText ours(GetParam().bytes);
  for (const Read& read : kReads) {
    for (DWORD size : {10u, 30u, 3u}) {
      std::string theirs(size, '\0');
      DWORD length = GetPrivateProfileStringA(read.section, read.key, "dflt", theirs.data(), size,
                                              path_.c_str());
      theirs.resize(length);
      EXPECT_EQ(platform::profile_string_of(ours, read.section, read.key, "dflt", size), theirs)
          << read.section << "/" << read.key << " size " << size;
    }
  }
}

TEST_P(ProfileDifferential, NumbersAgree) {
  platform::ProfileText ours(GetParam().bytes);
  for (const Read& read : kReads) {
    for (INT fallback : {0, 20}) {
      INT theirs =
          static_cast<INT>(GetPrivateProfileIntA(read.section, read.key, fallback, path_.c_str()));
      EXPECT_EQ(platform::profile_int_of(ours, read.section, read.key, fallback), theirs)
          << read.section << "/" << read.key << " default " << fallback;
    }
  }
}

TEST_P(ProfileDifferential, SectionBlocksAgree) {
  platform::ProfileText ours(GetParam().bytes);
  for (const char* section : {"PAGES", "SETTINGS", "pages"}) {
    for (DWORD size : {50000u, 64u, 20u, 3u}) {
      std::string theirs(size, '\0');
      GetPrivateProfileSectionA(section, theirs.data(), size, path_.c_str());
      EXPECT_EQ(platform::profile_section_of(ours, section, size), theirs)
          << section << " size " << size;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Corpus, ProfileDifferential, ::testing::ValuesIn(kCorpus),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pirowend
