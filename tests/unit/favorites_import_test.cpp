#include "settings/favorites_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/files.h"
#include "settings/settings_file.h"
#include "support/favorites_folder_override.h"
#include "support/temp_host.h"

namespace pirowend {
namespace {

using testing::page_lines;

namespace fs = std::filesystem;

using testing::with_nul;

struct TakenCase {
  const char* name;
  std::string shortcut;
  std::optional<std::string> taken;
};

void PrintTo(const TakenCase& c, std::ostream* out) { *out << c.name; }

class TakenText : public ::testing::TestWithParam<TakenCase> {};

TEST_P(TakenText, TakesOneLine) { EXPECT_EQ(taken_text(GetParam().shortcut), GetParam().taken); }

INSTANTIATE_TEST_SUITE_P(
    Cases, TakenText,
    ::testing::Values(
        TakenCase{"crlf_last_line", "[InternetShortcut]\r\nURL=http://u1/\r\n", "http://u1/\r\n"},
        TakenCase{"lf_last_line", "[InternetShortcut]\nURL=http://u1/\n", "http://u1/\n"},
        TakenCase{"no_final_break", "[InternetShortcut]\r\nURL=http://u1/", "http://u1/\r\n"},
        TakenCase{"later_keys_stay_out",
                  "[InternetShortcut]\r\nURL=http://u1/\r\nIconIndex=0\r\n[X]\r\n",
                  "http://u1/\r\n"},
        TakenCase{"first_match_inside_a_longer_key",
                  "[DEFAULT]\r\nBASEURL=http://base/\r\n[InternetShortcut]\r\nURL=http://u1/\r\n",
                  "http://base/\r\n"},
        TakenCase{"small_letters_do_not_match", "[InternetShortcut]\r\nurl=http://u1/\r\n",
                  std::nullopt},
        TakenCase{"no_url", "[InternetShortcut]\r\n", std::nullopt},
        TakenCase{"empty_at_the_end", "[InternetShortcut]\r\nURL=", ""},
        TakenCase{"empty_line", "[InternetShortcut]\r\nURL=\r\nX=1\r\n", ""},
        TakenCase{"text_after_a_nul_is_not_searched",
                  std::string("[I]\r\n\0URL=http://u1/\r\n", 22), std::nullopt},
        TakenCase{"equals_kept", "URL=http://u1/?a=1&b=2\r\n", "http://u1/?a=1&b=2\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

struct InsertCase {
  const char* name;
  std::string before;
  std::string after;
};

void PrintTo(const InsertCase& c, std::ostream* out) { *out << c.name; }

class InsertIntoSettings : public ::testing::TestWithParam<InsertCase> {};

TEST_P(InsertIntoSettings, PutsTheLineAfterTheHeader) {
  EXPECT_EQ(insert_into_settings(GetParam().before, "U1\r\n"), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InsertIntoSettings,
    ::testing::Values(InsertCase{"lf_file", "[PAGES]\nU0\n", "[PAGES]\nU1\r\nU0\n"},
                      InsertCase{"crlf_file", "[PAGES]\r\nU0\r\n", "[PAGES]\r\nU1\r\nU0\r\n"},
                      InsertCase{"no_header", "[SETTINGS]\r\ninterval=30\r\n",
                                 "[PAGES]\nU1\r\n[SETTINGS]\r\ninterval=30\r\n"},
                      InsertCase{"empty_file", "", "[PAGES]\nU1\r\n"},
                      InsertCase{"header_in_other_case_is_not_found", "[Pages]\nU0\n",
                                 "[PAGES]\nU1\r\n[Pages]\nU0\n"},
                      InsertCase{"earlier_line_naming_the_header_takes_it",
                                 "; see [PAGES]\n[PAGES]\nU0\n",
                                 "; see [PAGES]\nU1\r\n[PAGES]\nU0\n"},
                      InsertCase{"header_without_a_line_break", "[SETTINGS]\ninterval=1\n[PAGES]",
                                 "[SETTINGS]\ninterval=1\n[PAGES]\nU1\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

class FavoritesImport : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = favorites_.folder(host_.dir());
    fs::create_directories(folder_);
  }
  void shortcut(const std::string& name, const std::string& url) {
    testing::write_bytes(folder_ / name, "[InternetShortcut]\r\nURL=" + url + "\r\n");
  }
  // The shortcuts' URLs in the order the directory search gives them.
  std::vector<std::string> search_order() {
    std::vector<std::string> urls;
    for (const auto& entry :
         platform::find_entries(folder_.string() + platform::kPathSeparator + "*.url")) {
      if (entry.is_directory) continue;
      std::string text = testing::read_bytes(folder_ / entry.name);
      urls.push_back(*taken_text(text));
    }
    return urls;
  }
  std::string settings() { return testing::read_bytes(host_.settings()); }
  void run() { export_favorites_command(0, 0); }

  testing::TempHost host_;
  testing::FavoritesFolderOverride favorites_;
  fs::path folder_;
};

TEST_F(FavoritesImport, ShortcutsGoInReverseSearchOrderAboveTheOldLines) {
  shortcut("one.url", "http://u1/");
  shortcut("two.URL", "http://u2/");
  host_.write_settings("[PAGES]\nU0\n");
  auto order = search_order();
  ASSERT_EQ(order.size(), 2u);
  run();
  EXPECT_EQ(settings(), "[PAGES]\n" + order[1] + order[0] + "U0\n" + std::string(1, '\0'));
  auto lines = page_lines();
  EXPECT_EQ(lines.size(), 3u);
}

TEST_F(FavoritesImport, RunTwiceListsEveryFavoriteTwiceAndKeepsOneNul) {
  shortcut("one.url", "http://u1/");
  host_.write_settings("[PAGES]\r\nU0\r\n");
  run();
  run();
  EXPECT_EQ(settings(), with_nul("[PAGES]\r\nhttp://u1/\r\nhttp://u1/\r\nU0\r\n"));
}

TEST_F(FavoritesImport, WithoutASettingsFileNothingIsCreated) {
  shortcut("one.url", "http://u1/");
  run();
  EXPECT_FALSE(fs::exists(host_.settings()));
}

TEST_F(FavoritesImport, WithoutAFavoritesFolderNothingHappens) {
  fs::remove_all(folder_);
  host_.write_settings("[PAGES]\nU0\n");
  run();
  EXPECT_EQ(settings(), "[PAGES]\nU0\n");
}

TEST_F(FavoritesImport, SubfoldersAndFoldersNamedUrlArePassedOver) {
  fs::create_directories(folder_ / "sub");
  testing::write_bytes(folder_ / "sub" / "deep.url", "URL=http://deep/\r\n");
  fs::create_directories(folder_ / "folder.url");
  shortcut("not-a-shortcut.txt", "http://txt/");
  shortcut("one.url", "http://u1/");
  host_.write_settings("[PAGES]\n");
  run();
  EXPECT_EQ(settings(), with_nul("[PAGES]\nhttp://u1/\r\n"));
}

TEST_F(FavoritesImport, EmptyUrlStillWritesTheFileBack) {
  testing::write_bytes(folder_ / "empty.url", "[InternetShortcut]\r\nURL=");
  host_.write_settings("[SETTINGS]\ninterval=5\n");
  run();
  EXPECT_EQ(settings(), with_nul("[PAGES]\n[SETTINGS]\ninterval=5\n"));
}

TEST_F(FavoritesImport, LargeFileIsKeptWhole) {
  shortcut("one.url", "http://u1/");
  std::string big = "[SETTINGS]\ninterval=5\n[PAGES]\n";
  for (int n = 0; big.size() < 30000; ++n) big += "http://page" + std::to_string(n) + "/\n";
  host_.write_settings(big);
  run();
  const std::string expected = "[SETTINGS]\ninterval=5\n[PAGES]\nhttp://u1/\r\n" +
                               big.substr(std::string("[SETTINGS]\ninterval=5\n[PAGES]\n").size()) +
                               std::string(1, '\0');
  EXPECT_TRUE(settings() == expected);
}

TEST_F(FavoritesImport, BytesAfterANulAreKept) {
  shortcut("one.url", "http://u1/");
  host_.write_settings(std::string("[PAGES]\nU0\n\0tail bytes", 22));
  run();
  EXPECT_EQ(settings(), std::string("[PAGES]\nhttp://u1/\r\nU0\n\0tail bytes", 34));
}

TEST_F(FavoritesImport, ReadOnlySettingsFileIsLeftAlone) {
  shortcut("one.url", "http://u1/");
  host_.write_settings("[PAGES]\nU0\n");
  fs::permissions(host_.settings(), fs::perms::owner_read);
  run();
  EXPECT_EQ(settings(), "[PAGES]\nU0\n");
}

TEST_F(FavoritesImport, FileHeldByTheImportReadsAsAbsent) {
  host_.write_settings("[SETTINGS]\ninterval=7\nsly=1\n[PAGES]\nU0\n");
  {
    auto held = platform::ExclusiveFile::open(host_.settings().string());
    ASSERT_TRUE(held);
    EXPECT_TRUE(page_lines().empty());
    EXPECT_EQ(read_interval_minutes(), 0);
    EXPECT_EQ(read_tolerance().sly, 0);
    EXPECT_EQ(read_tolerance().sly_count, 20);
    // And a file the worker reads cannot be taken by the import at that moment.
    EXPECT_FALSE(platform::ExclusiveFile::open(host_.settings().string()));
  }
  EXPECT_EQ(read_interval_minutes(), 7);
}

TEST_F(FavoritesImport, WorkerReadsDuringTheImportSeeWholeListsOrNone) {
  for (int n = 0; n < 40; ++n) {
    const std::string number = std::to_string(n);
    shortcut(std::string("s").append(number).append(".url"),
             std::string("http://u").append(number).append("/"));
  }
  host_.write_settings("[PAGES]\r\nhttp://u-old/\r\n");
  std::atomic<bool> done{false};
  int whole = 0, unavailable = 0;
  std::thread worker([&] {
    while (!done) {
      auto lines = page_lines();
      if (lines.empty()) {
        ++unavailable;
        continue;
      }
      ++whole;
      EXPECT_EQ(lines.back(), "http://u-old/");
      for (auto line : lines)
        EXPECT_TRUE(line.starts_with("http://u") && line.ends_with("/")) << line;
    }
  });
  run();
  done = true;
  worker.join();
  EXPECT_GT(whole + unavailable, 0);
  // A text whose update met the worker's read is dropped; what went in is whole, and the old
  // line is still last.
  auto lines = page_lines();
  EXPECT_LE(lines.size(), 41u);
  EXPECT_EQ(lines.back(), "http://u-old/");
  const std::string text = settings();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\0'), lines.size() > 1 ? 1 : 0);
}

}  // namespace
}  // namespace pirowend
