#pragma once
// A commented starter settings file, which the host offers when there is none.
#include <string>

namespace host {

extern const char kStarterSettings[];

// Writes the starter file; false when it could not be written. Never overwrites a file.
bool write_starter_settings(const std::string& path);

}  // namespace host
