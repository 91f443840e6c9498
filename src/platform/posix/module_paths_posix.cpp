// Module paths, POSIX half.
#include <dlfcn.h>
#include <unistd.h>

#include <climits>

#include "platform/module_paths.h"

namespace pirowend::platform {

const char kPluginFileName[] = "pirowend.so";

std::optional<std::string> executable_path() {
  char buffer[PATH_MAX + 1];
  ssize_t length = readlink("/proc/self/exe", buffer, PATH_MAX);
  if (length <= 0) return std::nullopt;
  return std::string(buffer, static_cast<std::size_t>(length));
}

std::string plugin_module_stem() {
  Dl_info info{};
  std::string name = "pirowend";
  if (dladdr(reinterpret_cast<void*>(&plugin_module_stem), &info) && info.dli_fname) {
    name = info.dli_fname;
    name = name.substr(name.rfind('/') + 1);
  }
  return name.substr(0, name.rfind('.'));
}

}  // namespace pirowend::platform
