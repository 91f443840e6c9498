#include "platform/profile_text.h"

#include <algorithm>
#include <cstring>

namespace pirowend::platform {
namespace {

bool is_profile_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0x1a;
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool same_name(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return lower(x) == lower(y); });
}

std::string_view trim(std::string_view text) {
  while (!text.empty() && is_profile_space(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_profile_space(text.back())) text.remove_suffix(1);
  return text;
}

// Names and values are C strings on the platform: a NUL inside a line ends them.
std::string up_to_nul(std::string_view text) {
  return std::string(text.substr(0, text.find('\0')));
}

// Copies at most room - 1 bytes of text and a NUL to out; returns the bytes copied, NUL excluded.
std::size_t copy_cut(char* out, std::string_view text, std::size_t room) {
  if (room == 0) return 0;
  std::size_t n = std::min(text.size(), room - 1);
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
  return n;
}

}  // namespace

ProfileText::ProfileText(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  sections_.push_back({});
  const Entry* previous = nullptr;
  std::size_t at = 0;
  while (at < bytes.size()) {
    std::size_t end = bytes.find_first_of("\r\n", at);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = trim(bytes.substr(at, end - at));
    at = end;
    while (at < bytes.size() && (bytes[at] == '\r' || bytes[at] == '\n')) ++at;
    if (line.empty()) continue;

    if (line.front() == '[') {
      auto close = line.rfind(']');
      if (close != std::string_view::npos) {
        sections_.push_back({up_to_nul(trim(line.substr(1, close - 1))), {}});
        previous = nullptr;
        continue;
      }
    }
    Entry entry;
    auto equals = line.find('=');
    if (equals == std::string_view::npos) {
      entry.name = up_to_nul(line);
    } else {
      entry.name = up_to_nul(trim(line.substr(0, equals)));
      entry.value = up_to_nul(trim(line.substr(equals + 1)));
    }
    // Consecutive lines with an empty name collapse into the first of them.
    if (!entry.name.empty() || !previous || !previous->name.empty()) {
      sections_.back().entries.push_back(std::move(entry));
      previous = &sections_.back().entries.back();
    }
  }
}

const ProfileText::Section* ProfileText::section(std::string_view name) const {
  for (const auto& candidate : sections_) {
    if (&candidate != &sections_.front() && same_name(candidate.name, name)) return &candidate;
  }
  return nullptr;
}

const ProfileText::Entry* ProfileText::entry(std::string_view section_name,
                                             std::string_view key) const {
  const Section* found = section(section_name);
  if (!found) return nullptr;
  for (const auto& candidate : found->entries) {
    if (same_name(candidate.name, key)) return &candidate;
  }
  return nullptr;
}

std::string profile_string_of(const ProfileText& text, const char* section, const char* key,
                              const char* fallback, std::size_t size) {
  const ProfileText::Entry* found = text.entry(section, key);
  std::string_view value = found && found->value ? std::string_view(*found->value) : fallback;
  bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                value.back() == value.front();
  if (quoted) value.remove_prefix(1);
  std::string out(size, '\0');
  std::size_t n = copy_cut(out.data(), value, size);
  // The platform drops the last byte copied as the closing quote whenever the field is at
  // least as long as the value after its opening quote.
  if (quoted && size >= value.size() && n > 0) --n;
  out.resize(n);
  return out;
}

std::string profile_section_of(const ProfileText& text, const char* section, std::size_t size) {
  std::string block(size, '\0');
  const ProfileText::Section* found = text.section(section);
  if (!found || size < 2) return block;
  char* out = block.data();
  std::size_t room = size;
  for (const auto& entry : found->entries) {
    if (room <= 2) break;
    if (entry.name.empty() && !entry.value) continue;
    if (!entry.name.empty() && entry.name.front() == ';') continue;
    std::size_t n = copy_cut(out, entry.name, room - 1);
    room -= n + 1;
    out += n + 1;
    if (room < 2) break;
    if (entry.value) {
      out[-1] = '=';
      n = copy_cut(out, *entry.value, room - 1);
      room -= n + 1;
      out += n + 1;
    }
  }
  *out = '\0';
  if (room <= 1) out[-1] = '\0';
  return block;
}

std::int32_t profile_int_of(const ProfileText& text, const char* section, const char* key,
                            std::int32_t fallback) {
  // The platform reads the value into a field of 30 characters first.
  std::string value = profile_string_of(text, section, key, "", 30);
  if (value.empty()) return fallback;
  std::size_t at = 0;
  while (at < value.size() && static_cast<unsigned char>(value[at]) <= ' ') ++at;
  bool minus = false;
  if (at < value.size() && (value[at] == '+' || value[at] == '-')) minus = value[at++] == '-';
  std::uint32_t base = 10;
  if (at + 1 < value.size() && value[at] == '0') {
    switch (value[at + 1]) {
      case 'x':
        base = 16;
        break;
      case 'o':
        base = 8;
        break;
      case 'b':
        base = 2;
        break;
      default:
        break;
    }
    if (base != 10) at += 2;
  }
  std::uint32_t total = 0;
  for (; at < value.size(); ++at) {
    char c = value[at];
    std::uint32_t digit = c >= '0' && c <= '9'   ? static_cast<std::uint32_t>(c - '0')
                          : c >= 'a' && c <= 'z' ? static_cast<std::uint32_t>(c - 'a' + 10)
                          : c >= 'A' && c <= 'Z' ? static_cast<std::uint32_t>(c - 'A' + 10)
                                                 : 99;
    if (digit >= base) break;
    total = total * base + digit;
  }
  return static_cast<std::int32_t>(minus ? 0u - total : total);
}

}  // namespace pirowend::platform
