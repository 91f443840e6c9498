#pragma once
// Reads of a profile file (sections of "key=value" lines), with the platform's rules for
// names, white space, quotes and numbers. A file that is absent or held by another open
// reads as empty.
#include <cstddef>
#include <cstdint>
#include <string>

namespace pirowend::platform {

// The value of key in section, cut to size - 1 bytes; fallback when the key is absent.
std::string profile_string(const std::string& path, const char* section, const char* key,
                           const char* fallback, std::size_t size);

// The lines of section in a block of exactly size bytes: each line followed by a NUL, the last
// by a second NUL, cut at the end of the block.
std::string profile_section(const std::string& path, const char* section, std::size_t size);

// The leading number of the value of key; fallback when the key is absent or empty.
std::int32_t profile_int(const std::string& path, const char* section, const char* key,
                         std::int32_t fallback);

}  // namespace pirowend::platform
