#pragma once
// The reads of the settings file: the interval, the page list and the tolerance. Each read
// consults the file as it is at that moment; an absent or unavailable file gives the defaults.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pirowend {

inline constexpr std::size_t kIntervalFieldBytes = 10;
inline constexpr std::size_t kPageListBlockBytes = 50000;

// The page list as delivered: a block of NUL-terminated lines that ends with an empty string.
class PageList {
 public:
  explicit PageList(std::string block) : block_(std::move(block)) {}
  const std::string& block() const { return block_; }
  // The lines in order, up to the empty string that ends the list. They point into the block,
  // so a temporary list has none to give.
  std::vector<std::string_view> lines() const&;
  std::vector<std::string_view> lines() const&& = delete;

 private:
  std::string block_;
};

struct Tolerance {
  std::int32_t sly;
  std::int32_t sly_count;
};

// "interval" of SETTINGS in minutes: the first nine characters, white space skipped, an
// optional sign, then decimal digits; 0 when there are none.
std::int32_t read_interval_minutes();
PageList read_page_list();
// "sly" (default 0), then "sly_count" (default 20), both read on every call.
Tolerance read_tolerance();

// The conversion of the interval's text.
std::int32_t parse_interval(std::string_view field);

}  // namespace pirowend
