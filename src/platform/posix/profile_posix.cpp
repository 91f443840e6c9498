// Profile reads, POSIX half: our own reader, which behaves as the platform's functions do.
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/profile_text.h"

namespace pirowend::platform {
namespace {

ProfileText load(const std::string& path) {
  return ProfileText(read_file(path).value_or(std::string()));
}

}  // namespace

std::string profile_string(const std::string& path, const char* section, const char* key,
                           const char* fallback, std::size_t size) {
  return profile_string_of(load(path), section, key, fallback, size);
}

std::string profile_section(const std::string& path, const char* section, std::size_t size) {
  return profile_section_of(load(path), section, size);
}

std::int32_t profile_int(const std::string& path, const char* section, const char* key,
                         std::int32_t fallback) {
  return profile_int_of(load(path), section, key, fallback);
}

}  // namespace pirowend::platform
