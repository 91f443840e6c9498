// Module paths, Windows half.
#include "platform/module_paths.h"
#include "platform/win32/windows_api.h"

namespace pirowend::platform {

const char kPluginFileName[] = "pirowend.dll";

std::optional<std::string> executable_path() {
  char buffer[MAX_PATH + 1];
  DWORD length = GetModuleFileNameA(GetModuleHandleA(nullptr), buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) return std::nullopt;  // unreadable or cut short
  return std::string(buffer, length);
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
