#include "checking/snapshot_store.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "platform/files.h"
#include "platform/module_paths.h"

namespace pirowend {
namespace {

constexpr std::size_t kHashSuffixBytes = 17;  // "~" and sixteen hex digits

bool refused_in_file_names(unsigned char c) {
  switch (c) {
    case ':':
    case '\\':
    case '/':
    case '<':
    case '>':
    case '"':
    case '|':
    case '?':
    case '*':
      return true;
    default:
      return c < 0x20;
  }
}

std::uint64_t fnv1a64(std::string_view text) {
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (unsigned char c : text) {
    hash ^= c;
    hash *= 0x100000001b3ull;
  }
  return hash;
}

std::string hex16(std::uint64_t value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out(16, '0');
  for (int i = 15; i >= 0; --i, value >>= 4) out[static_cast<std::size_t>(i)] = kDigits[value & 15];
  return out;
}

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9 name devices on Windows, with any extension.
bool is_device_name(std::string_view name) {
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  std::string base;
  for (char c : stem) base += upper(c);
  static constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
  if (std::find(kPlain.begin(), kPlain.end(), base) != kPlain.end()) return true;
  return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) &&
         base[3] >= '1' && base[3] <= '9';
}

}  // namespace

std::string snapshot_name(std::string_view line) {
  std::string name(line);
  for (char& c : name) {
    if (refused_in_file_names(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

std::optional<std::string> snapshot_file_name(std::string_view line, std::size_t max_bytes) {
  std::string name = snapshot_name(line);
  if (name.empty()) name.push_back('_');
  // Windows drops trailing dots and spaces, which would give "a." the file of "a" and "."
  // the directory itself.
  for (auto it = name.rbegin(); it != name.rend() && (*it == '.' || *it == ' '); ++it) *it = '_';
  if (is_device_name(name)) name = std::string(1, '_').append(name);
  if (name.size() <= max_bytes) return name;
  if (max_bytes < kHashSuffixBytes + 1) return std::nullopt;
  name.resize(max_bytes - kHashSuffixBytes);
  name.push_back('~');
  name.append(hex16(fnv1a64(line)));
  return name;
}

std::optional<std::string> snapshot_path(std::string_view line) {
  auto directory = platform::host_directory();
  if (!directory) return std::nullopt;
  std::string path = *directory + "plugins" + platform::kPathSeparator;
  platform::create_directory(path);
  path += "pirowend";
  path += platform::kPathSeparator;
  platform::create_directory(path);
  if (path.size() + 1 >= platform::kMaxPathBytes) return std::nullopt;
  std::size_t room = std::min(platform::kMaxNameBytes, platform::kMaxPathBytes - 1 - path.size());
  auto name = snapshot_file_name(line, room);
  if (!name) return std::nullopt;
  return path + *name;
}

}  // namespace pirowend
