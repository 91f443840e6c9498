// Opening with the desktop, Windows half.
#include "platform/win32/windows_api.h"

#include <shellapi.h>

#include "platform/shell.h"

namespace pirowend::platform {

std::intptr_t shell_open(void* owner_window, const char* target) {
  return reinterpret_cast<std::intptr_t>(ShellExecuteA(static_cast<HWND>(owner_window), "open",
                                                       target, nullptr, nullptr, SW_SHOWNORMAL));
}

}  // namespace pirowend::platform
