#pragma once
// Whole-file reads and writes, as page checking and the settings need them. Paths are 8-bit
// text in the system's encoding.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pirowend::platform {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Longest full path, terminator included, and longest name of one directory entry, in bytes.
extern const std::size_t kMaxPathBytes;
extern const std::size_t kMaxNameBytes;

// Up to max_bytes from the start of the file; nullopt when it cannot be opened for reading,
// which includes the moments when an ExclusiveFile holds it.
std::optional<std::string> read_file(const std::string& path,
                                     std::size_t max_bytes = static_cast<std::size_t>(-1));

// Writes the bytes beside the file and then puts them in its place in one step, so that a
// crash leaves either the old file or the new one, whole. A file marked read-only is left
// alone. Returns false when nothing was replaced.
bool replace_file_atomically(const std::string& path, std::string_view bytes);

// Creates one directory; an existing one, or a failure, is not reported.
void create_directory(const std::string& path);

}  // namespace pirowend::platform
