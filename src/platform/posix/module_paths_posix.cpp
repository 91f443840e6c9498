// Module paths, POSIX half.
#include <dlfcn.h>
#include <unistd.h>

#include <climits>

#include "platform/module_paths.h"
#include "platform/seams.h"

namespace pirowend::platform {

const char kPluginFileName[] = "pirowend.so";

std::optional<std::string> executable_path() {
  char buffer[PATH_MAX + 1];
  ssize_t length = readlink("/proc/self/exe", buffer, PATH_MAX);
  if (length <= 0) return std::nullopt;
  return std::string(buffer, static_cast<std::size_t>(length));
}

std::optional<std::string> host_directory() {
  if (!seams().host_directory.empty()) return seams().host_directory;
  auto path = executable_path();
  if (!path) return std::nullopt;
  auto cut = path->rfind('/');
  if (cut == std::string::npos) return std::nullopt;
  path->resize(cut + 1);
  return path;
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
