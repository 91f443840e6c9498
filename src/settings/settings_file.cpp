#include "settings/settings_file.h"

#include "platform/profile.h"
#include "plugin/plugin_state.h"

namespace pirowend {
namespace {

std::string settings_path() { return plugin_state().settings_path; }

}  // namespace

std::vector<std::string_view> PageList::lines() const& {
  std::vector<std::string_view> result;
  std::string_view rest(block_);
  while (!rest.empty() && rest.front() != '\0') {
    auto end = rest.find('\0');
    if (end == std::string_view::npos) end = rest.size();
    result.push_back(rest.substr(0, end));
    rest.remove_prefix(end == rest.size() ? end : end + 1);
  }
  return result;
}

std::int32_t parse_interval(std::string_view field) {
  field = field.substr(0, kIntervalFieldBytes - 1);
  std::size_t at = 0;
  auto is_space = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  while (at < field.size() && is_space(field[at])) ++at;
  bool minus = false;
  if (at < field.size() && (field[at] == '+' || field[at] == '-')) minus = field[at++] == '-';
  std::int32_t value = 0;  // nine characters cannot overflow it
  for (; at < field.size() && field[at] >= '0' && field[at] <= '9'; ++at) {
    value = value * 10 + (field[at] - '0');
  }
  return minus ? -value : value;
}

std::int32_t read_interval_minutes() {
  return parse_interval(
      platform::profile_string(settings_path(), "SETTINGS", "interval", "", kIntervalFieldBytes));
}

PageList read_page_list() {
  return PageList(platform::profile_section(settings_path(), "PAGES", kPageListBlockBytes));
}

Tolerance read_tolerance() {
  const std::string path = settings_path();
  Tolerance tolerance{};
  tolerance.sly = platform::profile_int(path, "SETTINGS", "sly", 0);
  tolerance.sly_count = platform::profile_int(path, "SETTINGS", "sly_count", 20);
  return tolerance;
}

}  // namespace pirowend
