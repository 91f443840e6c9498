#pragma once
// The plug-in's icons, found in its module by number, and the lookup of that module.
#include <cstddef>
#include <string>

namespace pirowend::platform {

using ModuleHandle = void*;
using IconHandle = void*;

// A loaded module by its file name alone, or by its full path; null when none is loaded.
ModuleHandle module_by_name(const char* file_name);
ModuleHandle module_by_path(const std::string& path);

// A shared handle to icon `id` of the module; null when the module has no such icon. Never
// destroyed.
IconHandle load_icon(ModuleHandle module, int id);

// An icon built into the library (where the platform has no resources of its own): its
// number and its .ico bytes.
struct EmbeddedIcon {
  int id;
  const unsigned char* ico;
  std::size_t size;
};
extern const EmbeddedIcon kEmbeddedIcons[];
extern const std::size_t kEmbeddedIconCount;

}  // namespace pirowend::platform
