#pragma once
// Points the user's Favorites folder at a folder of the test's for the test's duration: the
// configuration folder on Linux, the Shell Folders registry value on Windows.
#include <filesystem>
#include <optional>
#include <string>

namespace pirowend::testing {

class FavoritesFolderOverride {
 public:
  FavoritesFolderOverride() = default;
  ~FavoritesFolderOverride();
  FavoritesFolderOverride(const FavoritesFolderOverride&) = delete;
  FavoritesFolderOverride& operator=(const FavoritesFolderOverride&) = delete;

  // Makes the folder under base the Favorites folder and returns it (not yet created).
  std::filesystem::path folder(const std::filesystem::path& base);

 private:
  std::optional<std::string> saved_;
  bool set_ = false;
};

}  // namespace pirowend::testing
