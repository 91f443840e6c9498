// Icons and module lookup, POSIX half: the icons are built into the library, and modules are
// the shared objects the process has loaded.
#include <dlfcn.h>
#include <link.h>

#include <cstring>

#include "platform/icons.h"

namespace pirowend::platform {
namespace {

struct Search {
  std::string wanted;
  bool by_path;
  ModuleHandle found = nullptr;
};

int visit(dl_phdr_info* info, std::size_t, void* data) {
  auto* search = static_cast<Search*>(data);
  if (!info->dlpi_name || !*info->dlpi_name) return 0;
  std::string name = info->dlpi_name;
  if (!search->by_path) name = name.substr(name.rfind('/') + 1);
  if (name != search->wanted) return 0;
  search->found = reinterpret_cast<ModuleHandle>(info->dlpi_addr);
  return 1;
}

ModuleHandle find_module(std::string wanted, bool by_path) {
  Search search{std::move(wanted), by_path};
  dl_iterate_phdr(visit, &search);
  return search.found;
}

// The module this code is part of, as find_module names it.
ModuleHandle own_module() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&own_module), &info)) return nullptr;
  link_map* map = nullptr;
  void* handle = dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
  if (!handle) return nullptr;
  dlinfo(handle, RTLD_DI_LINKMAP, &map);
  dlclose(handle);
  return map ? reinterpret_cast<ModuleHandle>(map->l_addr) : nullptr;
}

}  // namespace

ModuleHandle module_by_name(const char* file_name) { return find_module(file_name, false); }

ModuleHandle module_by_path(const std::string& path) { return find_module(path, true); }

IconHandle load_icon(ModuleHandle module, int id) {
  if (!module || module != own_module()) return nullptr;
  for (std::size_t n = 0; n < kEmbeddedIconCount; ++n) {
    if (kEmbeddedIcons[n].id == id) return const_cast<EmbeddedIcon*>(&kEmbeddedIcons[n]);
  }
  return nullptr;
}

}  // namespace pirowend::platform
