#include "plugin/entry_points.h"

#include <cstring>
#include <string>

#include "checking/check_cycle.h"
#include "platform/files.h"
#include "platform/icons.h"
#include "platform/module_paths.h"
#include "platform/shell.h"
#include "settings/favorites_import.h"

namespace pirowend {
namespace {

constexpr char kTitle[] = "Pirowend";

// Writes a caption with its terminator and nothing behind it: the rest of the field keeps
// what the host's allocator left there.
void write_text(char* field, const char* text) { std::memcpy(field, text, std::strlen(text) + 1); }

void fill_command(PluginCommand* record, CommandHandler handler, const char* caption,
                  IconHandle icon) {
  std::memcpy(&record->handler, &handler, sizeof handler);
  write_text(record->caption, caption);
  std::memcpy(&record->icon, &icon, sizeof icon);
  std::uint32_t flags = kCommandFlags;
  std::memcpy(&record->flags, &flags, sizeof flags);
}

}  // namespace

std::string settings_path_for(const std::string& host_directory) {
  std::string path = host_directory + "plugins" + platform::kPathSeparator + "pirowend.ini";
  return path.size() < kPathBufferBytes ? path : std::string();
}

bool plugin_init(char** title_slot, IconHandle* icon, PluginCommand** command_slot,
                 std::int32_t* command_count, HostAllocFn host_alloc) {
  PluginState& state = plugin_state();
  state.host_alloc = host_alloc;
  platform::ModuleHandle module = platform::module_by_name(platform::kPluginFileName);

  if (title_slot && host_alloc) {
    auto* block = static_cast<char*>(host_alloc(*title_slot, kTitleBlockBytes));
    *title_slot = block;
    if (block) write_text(block, kTitle);
  }
  if (icon) *icon = platform::load_icon(module, kPluginIcon);
  std::int32_t count = 0;
  if (command_slot && host_alloc) {
    auto* table = static_cast<PluginCommand*>(host_alloc(*command_slot, kCommandTableBytes));
    *command_slot = table;
    // Without a table the host is told of no commands rather than of two it cannot read.
    if (table) {
      fill_command(&table[0], request_immediate_check, "Immediate check",
                   platform::load_icon(module, kImmediateCheckIcon));
      fill_command(&table[1], export_favorites_command, "Export IE favorites",
                   platform::load_icon(module, kExportFavoritesIcon));
      count = static_cast<std::int32_t>(kCommandCount);
    }
  }
  if (command_count) *command_count = count;

  if (state.worker_handle) return true;  // started already
  const auto directory = platform::host_directory();
  const std::string path = directory ? settings_path_for(*directory) : std::string();
  std::memset(state.settings_path, 0, sizeof state.settings_path);
  std::memcpy(state.settings_path, path.c_str(), path.size());
  state.running = true;
  state.worker_handle = platform::start_thread(worker_main, nullptr);
  return true;
}

int plugin_uninit() {
  PluginState& state = plugin_state();
  state.running = false;
  platform::ThreadHandle worker = state.worker_handle;
  if (!worker) return 0;
  if (platform::wait_for_thread(worker, kShutdownWaitMs) == platform::WaitResult::timed_out) {
    platform::abandon_thread(worker);
  }
  // Forgotten once closed, so that a second shut-down finds nothing to wait for.
  state.worker_handle = nullptr;
  return platform::close_thread(worker) ? 1 : 0;
}

bool plugin_changeicon(IconHandle* icon, IconClickHandler* click_handler) {
  if (!plugin_state().page_changed.load(std::memory_order_acquire)) return false;
  std::string module_path;
  if (auto directory = platform::host_directory()) {
    module_path = *directory + "plugins" + platform::kPathSeparator + platform::kPluginFileName;
  }
  if (icon) *icon = platform::load_icon(platform::module_by_path(module_path), kPluginIcon);
  if (click_handler) *click_handler = open_changed_page;
  return true;
}

void PIROWEND_CALL request_immediate_check(std::uintptr_t, std::uintptr_t) {
  plugin_state().check_now = true;
}

std::intptr_t PIROWEND_CALL open_changed_page(WindowHandle owner, std::uintptr_t) {
  PluginState& state = plugin_state();
  std::intptr_t result = 0;
  try {
    if (state.changed_url) result = platform::shell_open(owner, state.changed_url);
  } catch (...) {
  }
  // Cleared only after the shell has taken the line: the worker may then replace it.
  state.page_changed.store(false, std::memory_order_release);
  return result;
}

}  // namespace pirowend
