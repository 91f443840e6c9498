// The message box, Windows half.
#include "platform/message_box.h"
#include "platform/win32/windows_api.h"

namespace pirowend::platform {

void show_warning(const std::string& caption, const std::string& text) {
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace pirowend::platform
