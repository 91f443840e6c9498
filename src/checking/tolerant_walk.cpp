#include "checking/tolerant_walk.h"

#include <algorithm>
#include <cstring>

namespace pirowend {
namespace {

// Length of the common prefix of a[0, n) and b[0, n), a word at a time.
std::size_t common_prefix(const char* a, const char* b, std::size_t n) {
  std::size_t at = 0;
  while (at + 8 <= n) {
    std::uint64_t x, y;
    std::memcpy(&x, a + at, 8);
    std::memcpy(&y, b + at, 8);
    if (x != y) return at + static_cast<std::size_t>(__builtin_ctzll(x ^ y) / 8);
    at += 8;
  }
  while (at < n && a[at] == b[at]) ++at;
  return at;
}

std::size_t room_after(std::string_view buffer, std::uint64_t at) {
  return at < buffer.size() ? buffer.size() - static_cast<std::size_t>(at) : 0;
}

// Two windows of `width` bytes, at a in `text` and at b in `stored`: equal when all pairs match
// or when both reach a NUL at the same offset, the comparison stopping there.
bool windows_equal(std::string_view text, std::uint64_t a, std::string_view stored, std::uint64_t b,
                   std::uint64_t width) {
  std::size_t both = static_cast<std::size_t>(
      std::min<std::uint64_t>({room_after(text, a), room_after(stored, b), width}));
  const char* pa = both ? text.data() + a : nullptr;
  const char* pb = both ? stored.data() + b : nullptr;
  std::size_t same = both ? common_prefix(pa, pb, both) : 0;
  if (same && std::memchr(pa, '\0', same)) return true;  // both reached a NUL together
  if (same < both) return false;
  if (both == width) return true;
  // One side has run out and reads NUL from here on: equal only if the other does too.
  unsigned char x = a + both < text.size() ? static_cast<unsigned char>(text[a + both]) : 0;
  unsigned char y = b + both < stored.size() ? static_cast<unsigned char>(stored[b + both]) : 0;
  return x == y;
}

}  // namespace

bool tolerant_walk_bridges(std::string_view text, std::string_view stored, std::int64_t w) {
  const std::uint64_t length = text.size();
  const std::uint64_t window = w > 0 ? 2 * static_cast<std::uint64_t>(w) : 0;
  std::uint64_t i = 0;
  std::uint64_t j = 0;
  while (i < length) {
    // The advance: step over the run of equal bytes in one go.
    std::size_t run =
        static_cast<std::size_t>(std::min<std::uint64_t>(length - i, room_after(stored, j)));
    std::size_t same = run ? common_prefix(text.data() + i, stored.data() + j, run) : 0;
    i += same;
    j += same;
    if (i >= length) break;
    if (w < 0) return false;
    const std::uint64_t skip = static_cast<std::uint64_t>(w);
    const std::uint64_t i2 = i + skip;
    const std::uint64_t j2 = j + skip;
    bool found = false;
    for (std::uint64_t k = 0; k <= skip && !found; ++k) {
      if (windows_equal(text, i2, stored, j2 + k, window)) {
        i = i2;
        j = j2 + k;
        found = true;
      } else if (windows_equal(text, i2 + k, stored, j2, window)) {
        i = i2 + k;
        j = j2;
        found = true;
      }
    }
    if (!found) return false;
    ++i;
    ++j;
  }
  return true;
}

}  // namespace pirowend
