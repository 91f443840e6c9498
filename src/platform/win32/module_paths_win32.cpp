// Module paths, Windows half.
#include "platform/module_paths.h"
#include "platform/seams.h"
#include "platform/win32/windows_api.h"

namespace pirowend::platform {

const char kPluginFileName[] = "pirowend.dll";

std::optional<std::string> executable_path() {
  char buffer[MAX_PATH + 1];
  DWORD length = GetModuleFileNameA(GetModuleHandleA(nullptr), buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) return std::nullopt;  // unreadable or cut short
  return std::string(buffer, length);
}

std::optional<std::string> host_directory() {
  if (!seams().host_directory.empty()) return seams().host_directory;
  auto path = executable_path();
  if (!path) return std::nullopt;
  auto cut = path->rfind('\\');
  if (cut == std::string::npos) return std::nullopt;
  path->resize(cut + 1);
  return path;
}

std::string plugin_module_stem() {
  HMODULE self = nullptr;
  std::string name = "pirowend";
  if (GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCSTR>(&plugin_module_stem), &self)) {
    char buffer[MAX_PATH + 1];
    DWORD length = GetModuleFileNameA(self, buffer, sizeof buffer);
    if (length > 0 && length < sizeof buffer) {
      name.assign(buffer, length);
      name = name.substr(name.find_last_of("\\/") + 1);
    }
  }
  return name.substr(0, name.rfind('.'));
}

}  // namespace pirowend::platform
