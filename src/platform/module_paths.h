#pragma once
// Where the host program lives: the directory of its executable, with the separator at its end.
#include <optional>
#include <string>

namespace pirowend::platform {

// The full path of the host process's executable; nullopt when it cannot be read.
std::optional<std::string> executable_path();

// executable_path() cut after its last separator (or the test seam's directory); nullopt when
// the path cannot be read or holds no separator.
std::optional<std::string> host_directory();

// The plug-in module's file name: "pirowend.dll" or "pirowend.so".
extern const char kPluginFileName[];

// The plug-in module's file name without its extension ("pirowend" for the plug-in).
std::string plugin_module_stem();

}  // namespace pirowend::platform
