#pragma once
// Whole-file reads and writes, as page checking and the settings need them. Paths are 8-bit
// text in the system's encoding.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// An existing file opened shared with nobody: while it is held, read_file() of it fails, as
// another open of it does. Never creates the file.
class ExclusiveFile {
 public:
  // Null when the file is absent, is a directory, or is held by another open.
  static std::unique_ptr<ExclusiveFile> open(const std::string& path);
  ~ExclusiveFile();
  ExclusiveFile(const ExclusiveFile&) = delete;
  ExclusiveFile& operator=(const ExclusiveFile&) = delete;

  // The whole file; nullopt when it cannot be read.
  std::optional<std::string> read_all();
  // Puts bytes in the file's place in one step (see replace_file_atomically), keeping its
  // permissions; false when nothing was replaced.
  bool replace(std::string_view bytes);

 private:
  ExclusiveFile(std::string path, std::intptr_t handle) : path_(std::move(path)), handle_(handle) {}
  std::string path_;
  std::intptr_t handle_;
};

struct DirectoryEntry {
  std::string name;
  bool is_directory;
};

// The entries that a search path such as "folder/*.url" matches (names compared without regard
// to case), in the order the system lists them; "." and ".." where the system lists them.
std::vector<DirectoryEntry> find_entries(const std::string& search_path);

}  // namespace pirowend::platform
