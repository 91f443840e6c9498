#include "checking/change_detection.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "checking/snapshot_store.h"
#include "checking/tolerant_walk.h"
#include "platform/files.h"
#include "plugin/plugin_state.h"
#include "settings/settings_file.h"

namespace pirowend {
namespace {

constexpr std::string_view kErrorPage = "The page cannot be displayed";

bool store_snapshot(const std::string& path, std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size() + 1);
  bytes.append(text);
  bytes.push_back('\0');
  return platform::replace_file_atomically(path, bytes);
}

}  // namespace

bool compare_with_snapshot(const char* line, const char* text) {
  const std::string_view new_text(text);
  // The browser's own error page is no text of the page.
  if (new_text.starts_with(kErrorPage)) return false;

  auto path = snapshot_path(line);
  if (!path) return false;

  const std::size_t length = new_text.size();
  auto stored = platform::read_file(*path, length + 1);
  if (!stored) {
    store_snapshot(*path, new_text);
    return false;
  }
  stored->resize(length + 1, '\0');
  if (std::memcmp(new_text.data(), stored->data(), length) == 0) return false;

  const Tolerance tolerance = read_tolerance();
  const bool changed =
      tolerance.sly == 0 || !tolerant_walk_bridges(new_text, *stored, tolerance.sly_count);
  // A snapshot that cannot be rewritten stays as it was; the change is reported all the same.
  if (changed) store_snapshot(*path, new_text);
  return changed;
}

void record_changed_page(const char* line) {
  PluginState& state = plugin_state();
  const std::size_t size = std::strlen(line) + 1;
  char* block = static_cast<char*>(std::realloc(state.changed_url, size));
  // Without memory the previous line stays whole and no change is announced for a line the
  // click could not open.
  if (!block) return;
  std::memcpy(block, line, size);
  state.changed_url = block;
  state.page_changed.store(true, std::memory_order_release);
}

}  // namespace pirowend
