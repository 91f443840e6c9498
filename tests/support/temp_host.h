#pragma once
// A throwaway host directory for one test: the seams point at it, the settings path names its
// settings file, and the plug-in state starts from zero.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pirowend::testing {

std::string read_bytes(const std::filesystem::path& path);
// A text as a file stores it: its bytes and one NUL.
std::string with_nul(const std::string& text);
void write_bytes(const std::filesystem::path& path, std::string_view bytes);

// The page list as the settings file gives it now.
std::vector<std::string> page_lines();

// Back to the state at load: flags false, no changed page, no settings path.
void reset_plugin_state();

class TempHost {
 public:
  TempHost();
  ~TempHost();
  TempHost(const TempHost&) = delete;
  TempHost& operator=(const TempHost&) = delete;

  const std::filesystem::path& dir() const { return dir_; }
  std::filesystem::path settings() const { return dir_ / "plugins" / "pirowend.ini"; }
  std::filesystem::path snapshots() const { return dir_ / "plugins" / "pirowend"; }

  void write_settings(std::string_view bytes) const;
  // The bytes of the line's snapshot file, or nullopt when it does not exist.
  std::optional<std::string> snapshot(std::string_view line) const;
  std::size_t snapshot_count() const;

 private:
  std::filesystem::path dir_;
};

}  // namespace pirowend::testing
