#include "platform/module_paths.h"

#include "platform/files.h"
#include "platform/seams.h"

namespace pirowend::platform {

std::optional<std::string> host_directory() {
  if (!seams().host_directory.empty()) return seams().host_directory;
  auto path = executable_path();
  if (!path) return std::nullopt;
  auto cut = path->rfind(kPathSeparator);
  if (cut == std::string::npos) return std::nullopt;
  path->resize(cut + 1);
  return path;
}

}  // namespace pirowend::platform
