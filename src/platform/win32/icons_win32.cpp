// Icons and module lookup, Windows half: the library's icon resources.
#include "platform/icons.h"
#include "platform/win32/windows_api.h"

namespace pirowend::platform {

ModuleHandle module_by_name(const char* file_name) { return GetModuleHandleA(file_name); }

ModuleHandle module_by_path(const std::string& path) { return GetModuleHandleA(path.c_str()); }

IconHandle load_icon(ModuleHandle module, int id) {
  if (!module) return nullptr;
  return LoadIconA(static_cast<HINSTANCE>(module), MAKEINTRESOURCEA(id));
}

}  // namespace pirowend::platform
