#include "support/temp_host.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "checking/snapshot_store.h"
#include "platform/files.h"
#include "platform/seams.h"
#include "plugin/plugin_state.h"
#include "settings/settings_file.h"

namespace pirowend::testing {

std::string read_bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::string with_nul(const std::string& text) { return text + std::string(1, '\0'); }

void write_bytes(const std::filesystem::path& path, std::string_view bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> page_lines() {
  PageList list = read_page_list();
  auto views = list.lines();
  return {views.begin(), views.end()};
}

void reset_plugin_state() {
  PluginState& state = plugin_state();
  state.running = false;
  state.page_changed = false;
  state.check_now = false;
  state.document_complete = false;
  std::free(state.changed_url);
  state.changed_url = nullptr;
  std::memset(state.settings_path, 0, sizeof state.settings_path);
  state.host_alloc = nullptr;
  state.worker_handle = nullptr;
}

TempHost::TempHost() {
  static std::atomic<unsigned> counter{0};
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  dir_ = std::filesystem::temp_directory_path() /
         ("pirowend-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(dir_);
  reset_plugin_state();
  platform::seams().host_directory = dir_.string() + platform::kPathSeparator;
  std::string settings_path = settings().string();
  if (settings_path.size() >= sizeof plugin_state().settings_path) {
    throw std::runtime_error("temporary directory too long for the settings path");
  }
  std::memcpy(plugin_state().settings_path, settings_path.c_str(), settings_path.size() + 1);
}

TempHost::~TempHost() {
  reset_plugin_state();
  platform::seams().host_directory.clear();
  std::error_code ignored;
  std::filesystem::permissions(snapshots(), std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(dir_, ignored);
}

void TempHost::write_settings(std::string_view bytes) const { write_bytes(settings(), bytes); }

std::optional<std::string> TempHost::snapshot(std::string_view line) const {
  auto path = snapshot_path(line);
  if (!path || !std::filesystem::exists(*path)) return std::nullopt;
  return read_bytes(*path);
}

std::size_t TempHost::snapshot_count() const {
  std::error_code ignored;
  std::size_t count = 0;
  for (auto it = std::filesystem::directory_iterator(snapshots(), ignored);
       it != std::filesystem::directory_iterator(); ++it) {
    ++count;
  }
  return count;
}

}  // namespace pirowend::testing
