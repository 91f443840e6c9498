// Files, POSIX half.
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>

#include "platform/files.h"

namespace pirowend::platform {

const std::size_t kMaxPathBytes = PATH_MAX;
const std::size_t kMaxNameBytes = NAME_MAX;

namespace {

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Up to max_bytes from the descriptor's position into bytes; false when a read failed, with
// what was read before it in bytes.
bool read_from(int fd, std::size_t max_bytes, std::string& bytes) {
  char chunk[65536];
  while (bytes.size() < max_bytes) {
    std::size_t room = max_bytes - bytes.size();
    ssize_t got = read(fd, chunk, room < sizeof chunk ? room : sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;
    bytes.append(chunk, static_cast<std::size_t>(got));
  }
  return true;
}

std::string directory_of(const std::string& path) {
  auto cut = path.rfind('/');
  return cut == std::string::npos ? std::string(".") : path.substr(0, cut + 1);
}

}  // namespace

std::optional<std::string> read_file(const std::string& path, std::size_t max_bytes) {
  Descriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return std::nullopt;
  // A writer that holds the file exclusively makes it unavailable, as a file opened without
  // sharing is on Windows.
  if (flock(fd.get(), LOCK_SH | LOCK_NB) != 0) return std::nullopt;
  struct stat info {};
  if (fstat(fd.get(), &info) != 0 || S_ISDIR(info.st_mode)) return std::nullopt;
  std::size_t want = max_bytes;
  if (info.st_size > 0 && static_cast<std::size_t>(info.st_size) < want) {
    want = static_cast<std::size_t>(info.st_size);
  }
  std::string bytes;
  bytes.reserve(want);
  read_from(fd.get(), max_bytes, bytes);  // a failed read stands as a short one
  return bytes;
}

namespace {

bool replace_keeping_mode(const std::string& path, std::string_view bytes, mode_t mode) {
  static std::atomic<unsigned> counter{0};
  const std::string directory = directory_of(path);
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::string temporary = directory + ".~pirowend-" + std::to_string(getpid()) + "-" +
                            std::to_string(counter.fetch_add(1));
    int raw = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (raw < 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    bool written;
    {
      Descriptor fd(raw);
      written = fchmod(fd.get(), mode) == 0 && write_all(fd.get(), bytes) && fsync(fd.get()) == 0;
    }
    if (written && rename(temporary.c_str(), path.c_str()) == 0) return true;
    unlink(temporary.c_str());
    return false;
  }
  return false;
}

}  // namespace

bool replace_file_atomically(const std::string& path, std::string_view bytes) {
  struct stat info {};
  mode_t mode = 0644;
  if (stat(path.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode) || (info.st_mode & 0222) == 0) return false;
    mode = info.st_mode & 07777;
  }
  return replace_keeping_mode(path, bytes, mode);
}

void create_directory(const std::string& path) { mkdir(path.c_str(), 0755); }

std::unique_ptr<ExclusiveFile> ExclusiveFile::open(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode) || flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return nullptr;
  }
  return std::unique_ptr<ExclusiveFile>(new ExclusiveFile(path, fd));
}

ExclusiveFile::~ExclusiveFile() { close(static_cast<int>(handle_)); }

std::optional<std::string> ExclusiveFile::read_all() {
  const int fd = static_cast<int>(handle_);
  if (lseek(fd, 0, SEEK_SET) != 0) return std::nullopt;
  // The import rewrites what it read: only a whole file will do.
  std::string bytes;
  if (!read_from(fd, static_cast<std::size_t>(-1), bytes)) return std::nullopt;
  return bytes;
}

bool ExclusiveFile::replace(std::string_view bytes) {
  struct stat info {};
  if (fstat(static_cast<int>(handle_), &info) != 0 || (info.st_mode & 0222) == 0) return false;
  return replace_keeping_mode(path_, bytes, info.st_mode & 07777);
}

std::vector<DirectoryEntry> find_entries(const std::string& search_path) {
  std::vector<DirectoryEntry> entries;
  const auto cut = search_path.rfind('/');
  if (cut == std::string::npos) return entries;
  const std::string folder = search_path.substr(0, cut);
  const std::string pattern = search_path.substr(cut + 1);
  DIR* directory = opendir(folder.c_str());
  if (!directory) return entries;
  while (dirent* entry = readdir(directory)) {
    if (fnmatch(pattern.c_str(), entry->d_name, FNM_CASEFOLD) != 0) continue;
    std::string full = folder + "/" + entry->d_name;
    struct stat info {};
    bool is_directory = stat(full.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    entries.push_back({entry->d_name, is_directory});
  }
  closedir(directory);
  return entries;
}

}  // namespace pirowend::platform
