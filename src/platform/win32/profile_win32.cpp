// Profile reads, Windows half: the platform's own profile functions.
#include "platform/profile.h"
#include "platform/win32/windows_api.h"

namespace pirowend::platform {

// An empty path would make the platform read its own win.ini: it reads as an absent file.
std::string profile_string(const std::string& path, const char* section, const char* key,
                           const char* fallback, std::size_t size) {
  std::string value(size, '\0');
  if (path.empty()) {
    value.assign(fallback);
    if (value.size() >= size) value.resize(size ? size - 1 : 0);
    return value;
  }
  DWORD length = GetPrivateProfileStringA(section, key, fallback, value.data(),
                                          static_cast<DWORD>(size), path.c_str());
  value.resize(length);
  return value;
}

std::string profile_section(const std::string& path, const char* section, std::size_t size) {
  std::string block(size, '\0');
  if (!path.empty()) {
    GetPrivateProfileSectionA(section, block.data(), static_cast<DWORD>(size), path.c_str());
  }
  return block;
}

std::int32_t profile_int(const std::string& path, const char* section, const char* key,
                         std::int32_t fallback) {
  if (path.empty()) return fallback;
  return static_cast<std::int32_t>(GetPrivateProfileIntA(section, key, fallback, path.c_str()));
}

}  // namespace pirowend::platform
