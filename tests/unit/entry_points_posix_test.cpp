// The click on the changed-page icon with the desktop's opener on Linux.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "checking/change_detection.h"
#include "plugin/entry_points.h"
#include "support/temp_host.h"

namespace pirowend {
namespace {

// The opener stand-in: records its arguments, one per line, in a file.
class Opener : public ::testing::Test {
 protected:
  void SetUp() override {
    bin_ = host_.dir() / "bin";
    std::filesystem::create_directories(bin_);
    record_ = host_.dir() / "opened";
    testing::write_bytes(bin_ / "xdg-open",
                         "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> '" +
                             record_.string() + "'; done\n");
    std::filesystem::permissions(bin_ / "xdg-open", std::filesystem::perms::owner_all);
    saved_path_ = std::getenv("PATH");
    setenv("PATH", bin_.c_str(), 1);
  }
  void TearDown() override { setenv("PATH", saved_path_.c_str(), 1); }
  std::string recorded() {
    for (int n = 0; n < 200 && !std::filesystem::exists(record_); ++n) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return testing::read_bytes(record_);
  }
  testing::TempHost host_;
  std::filesystem::path bin_, record_;
  std::string saved_path_;
};

TEST_F(Opener, ClickOpensExactlyTheLineWithoutAShell) {
  const std::string line = "http://a.test/x y?q=\"1\"&r='2'$(touch pwned)`id`;ls";
  record_changed_page(line.c_str());
  EXPECT_GT(open_changed_page(nullptr, 0), 32);
  EXPECT_FALSE(plugin_state().page_changed);
  EXPECT_EQ(recorded(), line + "\n");
  EXPECT_FALSE(std::filesystem::exists("pwned"));
}

TEST_F(Opener, ClickClearsTheChangeAlsoWhenNothingCanOpenIt) {
  setenv("PATH", (host_.dir() / "empty").c_str(), 1);
  record_changed_page("http://a.test/");
  EXPECT_LE(open_changed_page(nullptr, 0), 32);
  EXPECT_FALSE(plugin_state().page_changed);
}

}  // namespace
}  // namespace pirowend
