// The Linux host with the plug-in, headless Chromium and fixture pages on 127.0.0.1: what a
// user sees from the first pass to quitting.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <mutex>
#include <thread>

#include "checking/snapshot_store.h"
#include "support/fixture_server.h"
#include "support/processes.h"
#include "support/temp_host.h"

namespace pirowend {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

using testing::html_page;

// The host, started from a folder of its own, with a pipe to its input and one from its output.
class HostProcess {
 public:
  HostProcess(const fs::path& folder, const fs::path& path_dir, const fs::path& config = {}) {
    int in[2], out[2];
    EXPECT_EQ(pipe(in), 0);
    EXPECT_EQ(pipe(out), 0);
    pid_ = fork();
    if (pid_ == 0) {
      dup2(in[0], 0);
      dup2(out[1], 1);
      dup2(out[1], 2);
      close(in[1]);
      close(out[0]);
      setenv("PATH", (path_dir.string() + ":/usr/bin:/bin").c_str(), 1);
      if (!config.empty()) setenv("XDG_CONFIG_HOME", config.c_str(), 1);
      const std::string binary = (folder / "pirowend-host").string();
      execl(binary.c_str(), binary.c_str(), nullptr);
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    input_ = in[1];
    output_ = out[0];
    reader_ = std::thread([this] {
      char chunk[4096];
      ssize_t got;
      while ((got = read(output_, chunk, sizeof chunk)) > 0) {
        std::lock_guard lock(mutex_);
        seen_.append(chunk, static_cast<std::size_t>(got));
      }
    });
  }
  ~HostProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    close(input_);
    reader_.join();
    close(output_);
  }
  void type(const std::string& line) {
    std::string text = line + "\n";
    EXPECT_EQ(write(input_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }
  std::string output() {
    std::lock_guard lock(mutex_);
    return seen_;
  }
  // Waits until the output holds text `times` times.
  bool wait_for(const std::string& text, std::chrono::milliseconds limit, int times = 1) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      std::string now = output();
      int found = 0;
      for (auto at = now.find(text); at != std::string::npos; at = now.find(text, at + 1)) ++found;
      if (found >= times) return true;
      std::this_thread::sleep_for(20ms);
    }
    return false;
  }
  // The exit code, or -1 when it has not ended within the limit.
  int wait_exit(std::chrono::milliseconds limit) {
    auto end = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (std::chrono::steady_clock::now() < end) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(20ms);
    }
    return -1;
  }

 private:
  pid_t pid_ = -1;
  int input_ = -1, output_ = -1;
  std::thread reader_;
  std::mutex mutex_;
  std::string seen_;
};

class HostEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = host_.dir() / "app";
    fs::create_directories(folder_ / "plugins");
    fs::copy_file(PIROWEND_HOST_BINARY, folder_ / "pirowend-host");
    fs::copy_file(PIROWEND_PLUGIN_BINARY, folder_ / "plugins" / "pirowend.so");
    bin_ = host_.dir() / "bin";
    fs::create_directories(bin_);
    opened_ = host_.dir() / "opened";
    testing::write_bytes(bin_ / "xdg-open",
                         "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + opened_.string() + "'\n");
    fs::permissions(bin_ / "xdg-open", fs::perms::owner_all);
  }
  void settings(const std::string& text) {
    testing::write_bytes(folder_ / "plugins" / "pirowend.ini", text);
  }
  bool has_snapshot(const std::string& line) {
    return fs::exists(folder_ / "plugins" / "pirowend" / snapshot_name(line));
  }
  bool wait_until(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      if (condition()) return true;
      std::this_thread::sleep_for(20ms);
    }
    return false;
  }

  testing::TempHost host_;
  testing::FixtureServer server_;
  fs::path folder_, bin_, opened_;
};

TEST_F(HostEndToEnd, WatchesThePagesShowsTheChangeAndOpensItOnTheClick) {
  const std::string a = server_.url("/a"), b = server_.url("/b?x=1"), c = server_.url("/c");
  server_.route("/a", {html_page("<p>page a</p>")});
  server_.route("/b?x=1", {html_page("<p>page b, version 1</p>")});
  server_.route("/c", {html_page("<p>page c</p>")});
  settings("[SETTINGS]\r\ninterval=30\r\n[PAGES]\r\n" + a + "\r\n" + b + "\r\n" + c + "\r\n");

  const auto profiles_before = testing::browser_profiles();
  HostProcess host(folder_, bin_);
  ASSERT_TRUE(host.wait_for("[1] Immediate check", 10s)) << host.output();
  EXPECT_TRUE(host.wait_for("[2] Export IE favorites", 1s));
  // The first pass stores the snapshots.
  ASSERT_TRUE(
      wait_until([&] { return has_snapshot(a) && has_snapshot(b) && has_snapshot(c); }, 30s))
      << host.output();
  EXPECT_EQ(server_.requests("/c"), 1);
  // The pass ends with its browser; then the wait between passes begins. A request made
  // before that moment is dropped by design, so the test asks again if no pass starts.
  ASSERT_TRUE(wait_until([] { return testing::browser_processes().empty(); }, 10s));
  ASSERT_TRUE(wait_until([&] { return testing::browser_profiles() == profiles_before; }, 10s));

  // The page changes; "Immediate check" starts a pass at once and the host shows the change.
  server_.route("/b?x=1", {html_page("<p>page b, version 2</p>")});
  bool started = false;
  for (int attempt = 0; attempt < 3 && !started; ++attempt) {
    std::this_thread::sleep_for(300ms);
    host.type("1");
    started = wait_until([&] { return server_.requests("/a") == 2; }, 10s);
  }
  ASSERT_TRUE(started) << host.output();
  ASSERT_TRUE(host.wait_for("Changed page waiting", 20s)) << host.output();

  // The next line waits for the click.
  std::this_thread::sleep_for(1500ms);
  EXPECT_EQ(server_.requests("/c"), 1);
  host.type("o");
  ASSERT_TRUE(host.wait_for("Opened the changed page.", 5s)) << host.output();
  ASSERT_TRUE(wait_until([&] { return fs::exists(opened_); }, 5s));
  EXPECT_EQ(testing::read_bytes(opened_), b + "\n");
  EXPECT_TRUE(wait_until([&] { return server_.requests("/c") == 2; }, 10s));

  // Quitting ends everything, the browser included.
  host.type("q");
  EXPECT_EQ(host.wait_exit(40s), 0) << host.output();
  EXPECT_TRUE(host.output().find("Stopped.") != std::string::npos);
  EXPECT_TRUE(wait_until([] { return testing::browser_processes().empty(); }, 5s));
}

TEST_F(HostEndToEnd, SigtermDuringTheWaitStopsCleanly) {
  server_.route("/a", {html_page("<p>a</p>")});
  settings("[SETTINGS]\r\ninterval=30\r\n[PAGES]\r\n" + server_.url("/a") + "\r\n");
  HostProcess host(folder_, bin_);
  ASSERT_TRUE(wait_until([&] { return has_snapshot(server_.url("/a")); }, 30s)) << host.output();
  ASSERT_TRUE(wait_until([] { return testing::browser_processes().empty(); }, 10s));
  std::this_thread::sleep_for(200ms);
  std::string pid_line;
  // The host is our child: its pid is the one running pirowend-host from the folder.
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::error_code ignored;
    auto exe = fs::read_symlink(entry.path() / "exe", ignored);
    if (!ignored && exe == folder_ / "pirowend-host") pid_line = entry.path().filename().string();
  }
  ASSERT_FALSE(pid_line.empty());
  const auto start = std::chrono::steady_clock::now();
  kill(std::stoi(pid_line), SIGTERM);
  EXPECT_EQ(host.wait_exit(10s), 0) << host.output();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
}

TEST_F(HostEndToEnd, ExportFavoritesPutsTheShortcutsIntoThePageList) {
  const fs::path config = host_.dir() / "config";
  fs::create_directories(config / "pirowend" / "Favorites");
  testing::write_bytes(config / "pirowend" / "Favorites" / "news.url",
                       "[InternetShortcut]\r\nURL=http://news.test/\r\nIconIndex=0\r\n");
  settings("[SETTINGS]\r\ninterval=30\r\n[PAGES]\r\nhttp://old.test/\r\n");
  HostProcess host(folder_, bin_, config);
  ASSERT_TRUE(host.wait_for("Watching.", 10s)) << host.output();
  const std::string expected = std::string(
                                   "[SETTINGS]\r\ninterval=30\r\n[PAGES]\r\nhttp://news.test/\r\n"
                                   "http://old.test/\r\n") +
                               '\0';
  const fs::path file = folder_ / "plugins" / "pirowend.ini";
  // An import that meets the worker's read of the file drops its text: then it is asked again.
  bool imported = false;
  for (int attempt = 0; attempt < 3 && !imported; ++attempt) {
    host.type("2");
    imported = wait_until([&] { return testing::read_bytes(file) == expected; }, 3s);
  }
  EXPECT_TRUE(host.wait_for("Export IE favorites\n", 1s)) << host.output();
  EXPECT_EQ(testing::read_bytes(folder_ / "plugins" / "pirowend.ini"), expected);
  host.type("q");
  EXPECT_EQ(host.wait_exit(40s), 0);
}

TEST_F(HostEndToEnd, OffersAStarterSettingsFileWhenThereIsNone) {
  HostProcess host(folder_, bin_);
  ASSERT_TRUE(host.wait_for("Watching.", 10s)) << host.output();
  EXPECT_NE(host.output().find("--create-settings"), std::string::npos);
  EXPECT_FALSE(fs::exists(folder_ / "plugins" / "pirowend.ini"));  // the plug-in never creates it
  host.type("q");
  EXPECT_EQ(host.wait_exit(40s), 0);
}

}  // namespace
}  // namespace pirowend
