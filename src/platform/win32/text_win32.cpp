// Text conversion, Windows half: the 8-bit encoding is the ANSI code page.
#include "platform/text.h"
#include "platform/win32/windows_api.h"

namespace pirowend::platform {

std::u16string to_utf16(std::string_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  std::u16string out(static_cast<std::size_t>(wide), u'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), length, reinterpret_cast<wchar_t*>(out.data()), wide);
  return out;
}

std::string from_utf16(std::u16string_view text) {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  // Sized by the code page itself, so that a multi-byte text is never cut short.
  int bytes = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, length, out.data(), bytes, nullptr, nullptr);
  return out;
}

}  // namespace pirowend::platform
