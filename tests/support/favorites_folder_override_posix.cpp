// The Favorites folder for tests, POSIX half.
#include <cstdlib>

#include "support/favorites_folder_override.h"

namespace pirowend::testing {

std::filesystem::path FavoritesFolderOverride::folder(const std::filesystem::path& base) {
  if (!set_) {
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    if (saved) saved_ = saved;
    set_ = true;
  }
  setenv("XDG_CONFIG_HOME", (base / "config").c_str(), 1);
  return base / "config" / "pirowend" / "Favorites";
}

FavoritesFolderOverride::~FavoritesFolderOverride() {
  if (!set_) return;
  if (saved_) {
    setenv("XDG_CONFIG_HOME", saved_->c_str(), 1);
  } else {
    unsetenv("XDG_CONFIG_HOME");
  }
}

}  // namespace pirowend::testing
