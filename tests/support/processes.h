#pragma once
// What the browser tests look at from outside: our browsers' processes and profiles.
#include <signal.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace pirowend::testing {

// Processes whose command line names one of our temporary browser profiles.
inline std::vector<int> browser_processes() {
  std::vector<int> found;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream in(entry.path() / "cmdline", std::ios::binary);
    std::string line((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (line.find("--user-data-dir=/tmp/pirowend-chromium-") != std::string::npos) {
      std::ifstream stat(entry.path() / "stat");
      std::string pid, comm, state;
      stat >> pid >> comm >> state;
      if (state != "Z") found.push_back(std::stoi(name));
    }
  }
  return found;
}

inline std::vector<std::string> browser_profiles() {
  std::vector<std::string> found;
  for (const auto& entry : std::filesystem::directory_iterator("/tmp")) {
    if (entry.path().filename().string().starts_with("pirowend-chromium-")) {
      found.push_back(entry.path().string());
    }
  }
  return found;
}

// Zombies among our children: a browser that was not reaped.
inline int zombie_children() {
  int zombies = 0;
  const std::string self = std::to_string(getpid());
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string pid, comm, state, parent;
    if (stat >> pid >> comm >> state >> parent && state == "Z" && parent == self) ++zombies;
  }
  return zombies;
}

}  // namespace pirowend::testing
