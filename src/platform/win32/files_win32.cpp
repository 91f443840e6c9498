// Files, Windows half.
#include <atomic>
#include <string>

#include "platform/files.h"
#include "platform/win32/windows_api.h"

namespace pirowend::platform {

const std::size_t kMaxPathBytes = MAX_PATH;
const std::size_t kMaxNameBytes = 255;

namespace {

bool write_all(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD chunk = bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

// Up to max_bytes from the file's position into bytes; false when a read failed, with what
// was read before it in bytes.
bool read_from(HANDLE file, std::size_t max_bytes, std::string& bytes) {
  char chunk[65536];
  while (bytes.size() < max_bytes) {
    std::size_t room = max_bytes - bytes.size();
    DWORD got = 0;
    if (!ReadFile(file, chunk, room < sizeof chunk ? static_cast<DWORD>(room) : sizeof chunk, &got,
                  nullptr)) {
      return false;
    }
    if (got == 0) break;
    bytes.append(chunk, got);
  }
  return true;
}

std::string directory_of(const std::string& path) {
  auto cut = path.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

bool writable_target(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;  // a new file
  return !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
}

}  // namespace

std::optional<std::string> read_file(const std::string& path, std::size_t max_bytes) {
  // Shared with other readers only: a file held by an ExclusiveFile cannot be opened.
  win32::UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return std::nullopt;
  std::string bytes;
  read_from(file.get(), max_bytes, bytes);  // a failed read stands as a short one
  return bytes;
}

bool replace_file_atomically(const std::string& path, std::string_view bytes) {
  if (!writable_target(path)) return false;
  static std::atomic<unsigned> counter{0};
  const std::string directory = directory_of(path);
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::string temporary = directory + ".~pirowend-" + std::to_string(GetCurrentProcessId()) +
                            "-" + std::to_string(counter.fetch_add(1));
    HANDLE raw = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (raw == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_EXISTS) continue;
      return false;
    }
    bool written;
    {
      win32::UniqueHandle file(raw);
      written = write_all(file.get(), bytes) && FlushFileBuffers(file.get());
    }
    if (written && MoveFileExA(temporary.c_str(), path.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    DeleteFileA(temporary.c_str());
    return false;
  }
  return false;
}

void create_directory(const std::string& path) { CreateDirectoryA(path.c_str(), nullptr); }

std::unique_ptr<ExclusiveFile> ExclusiveFile::open(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::unique_ptr<ExclusiveFile>(
      new ExclusiveFile(path, reinterpret_cast<std::intptr_t>(file)));
}

ExclusiveFile::~ExclusiveFile() {
  if (handle_) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

std::optional<std::string> ExclusiveFile::read_all() {
  HANDLE file = reinterpret_cast<HANDLE>(handle_);
  if (!file || SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) {
    return std::nullopt;
  }
  // The import rewrites what it read: only a whole file will do.
  std::string bytes;
  if (!read_from(file, static_cast<std::size_t>(-1), bytes)) return std::nullopt;
  return bytes;
}

bool ExclusiveFile::replace(std::string_view bytes) {
  // A file cannot be replaced while a handle without sharing is open on it: the hold ends
  // here, and the new content takes the old one's place in one step.
  if (handle_) CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = 0;
  return replace_file_atomically(path_, bytes);
}

std::vector<DirectoryEntry> find_entries(const std::string& search_path) {
  std::vector<DirectoryEntry> entries;
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA(search_path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return entries;
  do {
    entries.push_back({found.cFileName, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return entries;
}

}  // namespace pirowend::platform
