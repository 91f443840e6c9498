#pragma once
// Where the current user keeps their favorites: on Windows the "Favorites" value of the
// user's Shell Folders key; on Linux the folder ~/.config/pirowend/Favorites (under
// $XDG_CONFIG_HOME when that is set), which the user creates or links to a folder of .url
// shortcuts.
#include <optional>
#include <string>

namespace pirowend::platform {

// The folder's path, without a separator at its end; nullopt when there is none (the key or
// value is absent, or empty).
std::optional<std::string> favorites_folder();

}  // namespace pirowend::platform
