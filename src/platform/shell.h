#pragma once
// Opening a page-list line the way the desktop opens a file or address.
#include <cstdint>

namespace pirowend::platform {

// Opens target with the desktop's handler for it, passing it as one argument and never
// through a command interpreter. Returns a value above 32 when the handler was started.
std::intptr_t shell_open(void* owner_window, const char* target);

}  // namespace pirowend::platform
