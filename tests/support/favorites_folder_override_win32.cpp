// The Favorites folder for tests, Windows half: the registry value of the throwaway prefix.
#include "platform/win32/windows_api.h"
#include "support/favorites_folder_override.h"

namespace pirowend::testing {
namespace {

constexpr const char* kKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

void set_value(const std::string& value) {
  HKEY key = nullptr;
  if (RegCreateKeyA(HKEY_CURRENT_USER, kKey, &key) != ERROR_SUCCESS) return;
  RegSetValueExA(key, "Favorites", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
}

std::optional<std::string> get_value() {
  char value[1024] = {};
  DWORD size = sizeof value - 1;
  if (RegGetValueA(HKEY_CURRENT_USER, kKey, "Favorites", RRF_RT_REG_SZ, nullptr, value, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::string(value);
}

}  // namespace

std::filesystem::path FavoritesFolderOverride::folder(const std::filesystem::path& base) {
  if (!set_) {
    saved_ = get_value();
    set_ = true;
  }
  std::filesystem::path folder = base / "Favorites";
  set_value(folder.string());
  return folder;
}

FavoritesFolderOverride::~FavoritesFolderOverride() {
  if (!set_) return;
  if (saved_) {
    set_value(*saved_);
  } else {
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kKey, "Favorites");
  }
}

}  // namespace pirowend::testing
