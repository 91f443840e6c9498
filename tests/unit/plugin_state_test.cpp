#include "plugin/plugin_state.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "checking/change_detection.h"
#include "support/temp_host.h"

namespace pirowend {
namespace {

TEST(PluginState, EverythingIsZeroAfterLoading) {
  const PluginState& state = plugin_state();
  EXPECT_FALSE(state.running.load());
  EXPECT_FALSE(state.page_changed.load());
  EXPECT_FALSE(state.check_now.load());
  EXPECT_FALSE(state.document_complete.load());
  EXPECT_EQ(state.changed_url, nullptr);
  EXPECT_EQ(state.settings_path[0], '\0');
  EXPECT_EQ(state.host_alloc, nullptr);
  EXPECT_EQ(state.worker_handle, nullptr);
}

TEST(PluginState, FlagsAreLockFree) { EXPECT_TRUE(std::atomic<bool>::is_always_lock_free); }

// The worker records lines of growing length while the host polls and reads them the way the
// click does; a host that sees the flag must always read a whole line.
TEST(PluginState, HostThatSeesTheFlagReadsAWholeLine) {
  testing::TempHost host;
  PluginState& state = plugin_state();
  constexpr int kChanges = 2000;
  std::atomic<bool> worker_done{false};
  std::thread worker([&] {
    for (int n = 1; n <= kChanges; ++n) {
      // The hold: no new change while one waits.
      while (state.page_changed.load(std::memory_order_acquire)) std::this_thread::yield();
      std::string line = "http://example.test/";
      line.append(static_cast<std::size_t>(n % 97), 'x').append("#").append(std::to_string(n));
      record_changed_page(line.c_str());
    }
    worker_done = true;
  });
  int seen = 0;
  while (seen < kChanges) {
    if (!state.page_changed.load(std::memory_order_acquire)) {
      std::this_thread::yield();
      continue;
    }
    ++seen;
    std::string line = state.changed_url;
    std::string expected_tail = std::string("#").append(std::to_string(seen));
    ASSERT_TRUE(line.ends_with(expected_tail)) << line;
    state.page_changed.store(false, std::memory_order_release);
  }
  worker.join();
  EXPECT_TRUE(worker_done.load());
}

}  // namespace
}  // namespace pirowend
