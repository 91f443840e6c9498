#include "settings/favorites_import.h"

#include <new>

#include "platform/favorites_folder.h"
#include "platform/files.h"

namespace pirowend {
namespace {

#ifdef _WIN32
constexpr const char* kPattern = "\\*.url";
#else
constexpr const char* kPattern = "/*.url";
#endif

// Adds one taken text to the settings file: one whole read, insertion and write, with the
// file held shared with nobody. The user's file is read whole and replaced in one step, so
// nothing of it is cut off or left half-written.
void add_to_settings(std::string_view taken) {
  const std::string path = plugin_state().settings_path;
  if (path.empty()) return;
  auto file = platform::ExclusiveFile::open(path);
  if (!file) return;  // absent (never created) or held by the worker: the text is dropped
  auto content = file->read_all();
  if (!content) return;
  // The settings text ends at the first NUL (an earlier import left one); what stands after
  // it is kept as it is.
  const std::size_t nul = content->find('\0');
  std::string text = content->substr(0, nul);
  std::string rest = nul == std::string::npos ? std::string() : content->substr(nul + 1);
  std::string updated = insert_into_settings(std::move(text), taken);
  updated.push_back('\0');
  updated += rest;
  file->replace(updated);
}

}  // namespace

std::optional<std::string> taken_text(std::string_view shortcut) {
  shortcut = shortcut.substr(0, shortcut.find('\0'));
  const auto key = shortcut.find("URL=");
  if (key == std::string_view::npos) return std::nullopt;
  std::string_view rest = shortcut.substr(key + 4);
  const auto end = rest.find_first_of("\r\n");
  std::string_view url = rest.substr(0, end);
  if (url.empty()) return std::string();
  std::string taken(url);
  if (end == std::string_view::npos) {
    taken += "\r\n";
  } else if (rest.substr(end).starts_with("\r\n")) {
    taken += "\r\n";
  } else {
    taken += rest[end];
  }
  return taken;
}

std::string insert_into_settings(std::string text, std::string_view taken) {
  std::size_t at;
  const auto header = text.find("[PAGES]");
  if (header == std::string::npos) {
    text.insert(0, "[PAGES]\n");
    at = 8;
  } else {
    const auto line_end = text.find('\n', header);
    if (line_end == std::string::npos) {
      text += '\n';
      at = text.size();
    } else {
      at = line_end + 1;
    }
  }
  text.insert(at, taken);
  return text;
}

void import_favorites(const std::string& folder, const std::string& pattern) {
  for (const auto& entry : platform::find_entries(folder + pattern)) {
    if (entry.name == "." || entry.name == "..") continue;
    if (entry.is_directory) continue;
    const std::string shortcut = folder + platform::kPathSeparator + entry.name;
    auto content = platform::read_file(shortcut, kShortcutReadBytes);
    if (!content) continue;
    auto taken = taken_text(*content);
    if (!taken) continue;
    add_to_settings(*taken);
  }
}

void PIROWEND_CALL export_favorites_command(std::uintptr_t, std::uintptr_t) {
  try {
    if (auto folder = platform::favorites_folder(); folder && !folder->empty()) {
      import_favorites(*folder, kPattern);
    }
  } catch (const std::bad_alloc&) {
    // Without memory the import stops; every update made so far is whole, and the one under
    // way never reached the file.
  }
}

}  // namespace pirowend
