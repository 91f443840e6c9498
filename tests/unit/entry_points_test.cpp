// The plug-in's boundary with the host, through the exported entry points.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "checking/change_detection.h"
#include "plugin/entry_points.h"
#include "plugin/plugin_api.h"
#include "support/scripted_worker.h"

namespace pirowend {
namespace {

constexpr unsigned char kFill = 0xAB;

// The host's allocator: records its calls and delivers blocks filled with kFill.
struct Allocations {
  std::vector<std::pair<void*, std::uint32_t>> calls;
  std::vector<void*> blocks;
  bool fail = false;
  ~Allocations() {
    for (void* block : blocks) std::free(block);
  }
};
Allocations* allocations = nullptr;

void* PIROWEND_CALL test_alloc(void* old_block, std::uint32_t size) {
  allocations->calls.emplace_back(old_block, size);
  if (allocations->fail) return nullptr;
  void* block = std::malloc(size);
  std::memset(block, kFill, size);
  allocations->blocks.push_back(block);
  return block;
}

class EntryPoints : public ::testing::Test {
 protected:
  void SetUp() override { allocations = &allocs_; }
  void TearDown() override {
    zandel_plugin_uninit();
    allocations = nullptr;
  }
  bool init() {
    return zandel_plugin_init(&title_, &icon_, &commands_, &count_, 5, 6, 7, 8, test_alloc, 10, 11);
  }
  testing::ScriptedWorld world_;
  Allocations allocs_;
  char* title_ = reinterpret_cast<char*>(0x1234);
  IconHandle icon_ = nullptr;
  PluginCommand* commands_ = nullptr;
  std::int32_t count_ = -1;
};

bool rest_untouched(const char* field, std::size_t from, std::size_t size) {
  for (std::size_t n = from; n < size; ++n) {
    if (static_cast<unsigned char>(field[n]) != kFill) return false;
  }
  return true;
}

TEST_F(EntryPoints, StartUpFillsTheHostsSlots) {
  ASSERT_TRUE(init());
  ASSERT_EQ(allocs_.calls.size(), 2u);
  EXPECT_EQ(allocs_.calls[0],
            std::make_pair(static_cast<void*>(reinterpret_cast<char*>(0x1234)), 20u));
  EXPECT_EQ(allocs_.calls[1].second, kCommandTableBytes);
  EXPECT_STREQ(title_, "Pirowend");
  EXPECT_TRUE(rest_untouched(title_, 9, 20));
  EXPECT_EQ(count_, 2);
  EXPECT_STREQ(commands_[0].caption, "Immediate check");
  EXPECT_STREQ(commands_[1].caption, "Export IE favorites");
  EXPECT_TRUE(rest_untouched(commands_[0].caption, 16, 256));
  EXPECT_TRUE(rest_untouched(commands_[1].caption, 20, 256));
  EXPECT_EQ(commands_[0].flags, 1024u);
  EXPECT_EQ(commands_[1].flags, 1024u);
  EXPECT_NE(commands_[0].handler, nullptr);
  EXPECT_NE(commands_[1].handler, nullptr);
  EXPECT_TRUE(plugin_state().running);
  EXPECT_NE(plugin_state().worker_handle, nullptr);
  EXPECT_EQ(std::filesystem::path(plugin_state().settings_path), world_.host.settings());
}

TEST_F(EntryPoints, AllocatorWithoutMemoryGivesNoCommands) {
  allocs_.fail = true;
  EXPECT_TRUE(init());
  EXPECT_EQ(title_, nullptr);
  EXPECT_EQ(commands_, nullptr);
  EXPECT_EQ(count_, 0);
}

TEST_F(EntryPoints, PollWithoutAChangeLeavesTheHostsValues) {
  ASSERT_TRUE(init());
  IconHandle icon = reinterpret_cast<IconHandle>(0x77);
  IconClickHandler handler = reinterpret_cast<IconClickHandler>(0x88);
  EXPECT_FALSE(zandel_plugin_changeicon(&icon, &handler));
  EXPECT_EQ(icon, reinterpret_cast<IconHandle>(0x77));
  EXPECT_EQ(handler, reinterpret_cast<IconClickHandler>(0x88));
}

TEST_F(EntryPoints, PollsWhileAChangeWaitsAgreeUntilTheClick) {
  record_changed_page("http://changed.test/");
  IconClickHandler first = nullptr, second = nullptr;
  IconHandle icon = nullptr;
  EXPECT_TRUE(zandel_plugin_changeicon(&icon, &first));
  EXPECT_TRUE(zandel_plugin_changeicon(&icon, &second));
  EXPECT_EQ(first, second);
  EXPECT_NE(first, nullptr);
  EXPECT_TRUE(plugin_state().page_changed);
  first(nullptr, 0);
  EXPECT_FALSE(plugin_state().page_changed);
  EXPECT_FALSE(zandel_plugin_changeicon(&icon, &second));
  EXPECT_STREQ(plugin_state().changed_url, "http://changed.test/");  // kept after the click
}

TEST_F(EntryPoints, ClickBeforeAnyChangeOpensNothing) {
  EXPECT_EQ(open_changed_page(nullptr, 0), 0);
  EXPECT_FALSE(plugin_state().page_changed);
}

TEST_F(EntryPoints, ImmediateCheckRaisesTheRequest) {
  ASSERT_TRUE(init());
  commands_[0].handler(0, 0);
  EXPECT_TRUE(plugin_state().check_now);
}

TEST_F(EntryPoints, ShutDownDuringTheWaitIsPrompt) {
  world_.host.write_settings("[SETTINGS]\r\ninterval=30\r\n[PAGES]\r\nhttp://a.test/\r\n");
  ASSERT_TRUE(init());
  while (!(world_.engine.browsers_created >= 1 && world_.engine.live_browsers == 0)) {
    std::this_thread::yield();
  }
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(zandel_plugin_uninit(), 1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_EQ(plugin_state().worker_handle, nullptr);
  EXPECT_EQ(zandel_plugin_uninit(), 0);  // a second shut-down finds nothing to wait for
}

TEST_F(EntryPoints, ShutDownDuringAHoldClosesTheBrowser) {
  world_.host.write_settings(
      "[SETTINGS]\r\ninterval=-1\r\n[PAGES]\r\nhttp://a.test/\r\nhttp://b.test/\r\n");
  world_.engine.page("http://a.test/").text = u"first";
  ASSERT_TRUE(world_.host.snapshot("http://a.test/") == std::nullopt);
  compare_with_snapshot("http://a.test/", "older");  // the first check will find a change
  ASSERT_TRUE(init());
  while (!plugin_state().page_changed) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the worker is holding
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(zandel_plugin_uninit(), 1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_EQ(world_.engine.live_browsers, 0);
}

}  // namespace
}  // namespace pirowend
