// The Favorites folder, Windows half: the user's Shell Folders key.
#include "platform/favorites_folder.h"
#include "platform/win32/windows_api.h"

namespace pirowend::platform {

std::optional<std::string> favorites_folder() {
  win32::RegistryKey key;
  if (RegOpenKeyA(HKEY_CURRENT_USER,
                  "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\",
                  key.receive()) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  char value[270] = {};
  DWORD type = 0;
  DWORD size = sizeof value;
  if (RegQueryValueExA(key.get(), "Favorites", nullptr, &type, reinterpret_cast<BYTE*>(value),
                       &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value[sizeof value - 1] = '\0';  // a value stored without its terminator
  if (!value[0]) return std::nullopt;
  return std::string(value);
}

}  // namespace pirowend::platform
