#pragma once
// "Export IE favorites": copies the addresses of the user's Internet shortcuts into the page
// list, directly after the PAGES header of the settings file.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "plugin/plugin_state.h"

namespace pirowend {

inline constexpr std::size_t kShortcutReadBytes = 10000;

// The command's handler; both arguments are unused.
void PIROWEND_CALL export_favorites_command(std::uintptr_t, std::uintptr_t);

// Adds the address of every shortcut that the search path folder + pattern finds directly in
// folder, one settings-file update per shortcut, in the order of the search.
void import_favorites(const std::string& folder, const std::string& pattern);

// What a shortcut adds to the page list: the address after its first "URL=", ended by the
// line break it has there (CR LF when it has none). Empty for an empty address; nullopt
// without "URL=".
std::optional<std::string> taken_text(std::string_view shortcut);

// The settings text with the taken text inserted at the start of the line after the first
// "[PAGES]" (a header is put at the very start when there is none, and a line break after a
// header that ends the text).
std::string insert_into_settings(std::string settings_text, std::string_view taken);

}  // namespace pirowend
