#pragma once
// Conversions between the system's 8-bit text (the ANSI code page on Windows, UTF-8 on Linux)
// and UTF-16, which only the browser's interfaces speak. Both convert the whole text.
#include <string>
#include <string_view>

namespace pirowend::platform {

std::u16string to_utf16(std::string_view text);

// Characters the 8-bit encoding lacks (and unpaired surrogates) become its replacement
// character; nothing is cut short.
std::string from_utf16(std::u16string_view text);

}  // namespace pirowend::platform
