#pragma once
// A profile file parsed the way the platform's profile functions parse one: the stand-in
// behind profile.h where the platform has no such functions. Portable; no system calls.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pirowend::platform {

class ProfileText {
 public:
  struct Entry {
    std::string name;                  // trimmed; the whole trimmed line when it holds no "="
    std::optional<std::string> value;  // trimmed text after the first "="; none without "="
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };

  explicit ProfileText(std::string_view bytes);

  // The first section of that name, compared without regard to case; null when none.
  const Section* section(std::string_view name) const;
  // The first entry of that name in the first section of that name; null when none.
  const Entry* entry(std::string_view section_name, std::string_view key) const;

 private:
  std::vector<Section> sections_;  // the first one holds the lines before any header
};

// The value as a string read gives it: surrounding quotes removed, cut to size - 1 bytes.
std::string profile_string_of(const ProfileText& text, const char* section, const char* key,
                              const char* fallback, std::size_t size);

// The section as a block of exactly size bytes: "name=value" or "name" lines, each followed by
// a NUL and the last by a second one; comment lines left out; cut at the end of the block.
std::string profile_section_of(const ProfileText& text, const char* section, std::size_t size);

// The integer read of a value: absent or empty gives fallback; otherwise the leading number,
// with an optional sign and a 0x, 0o or 0b base prefix, in 32-bit wrap-around arithmetic.
std::int32_t profile_int_of(const ProfileText& text, const char* section, const char* key,
                            std::int32_t fallback);

}  // namespace pirowend::platform
