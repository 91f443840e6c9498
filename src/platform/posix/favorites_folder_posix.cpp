// The Favorites folder, POSIX half: a folder in the user's configuration directory.
#include <sys/stat.h>

#include <cstdlib>

#include "platform/favorites_folder.h"

namespace pirowend::platform {

std::optional<std::string> favorites_folder() {
  std::string base;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
    base = config;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::string(home) + "/.config";
  } else {
    return std::nullopt;
  }
  std::string folder = base + "/pirowend/Favorites";
  struct stat info {};
  if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return std::nullopt;
  return folder;
}

}  // namespace pirowend::platform
