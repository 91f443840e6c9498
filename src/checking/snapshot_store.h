#pragma once
// Where a page's snapshot lives: one file per page-list line in the snapshot directory,
// "plugins/pirowend/" beside the host's executable.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pirowend {

// The line with every character that a file name may not hold replaced by "_": colon,
// backslash and slash, and also < > " | ? * and control bytes. Same length as the line.
std::string snapshot_name(std::string_view line);

// snapshot_name made safe as one directory entry of at most max_bytes bytes: a name of dots,
// or ending in a dot or space, and a reserved device name get their own file; a name too long
// is shortened to a prefix, "~" and a hash of the whole line, which keeps it stable.
// nullopt when not even a shortened name fits.
std::optional<std::string> snapshot_file_name(std::string_view line, std::size_t max_bytes);

// The full path of the line's snapshot file; creates the two directories on the way. nullopt
// when the host's directory is unknown or the path cannot be formed.
std::optional<std::string> snapshot_path(std::string_view line);

}  // namespace pirowend
