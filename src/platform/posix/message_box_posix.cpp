// The message box, POSIX half: a desktop dialog when a display is there, else standard error.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/message_box.h"

extern char** environ;

namespace pirowend::platform {
namespace {

bool has_display() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

// Runs the program found on PATH and waits for it; false when it could not be started.
bool run_and_wait(std::vector<std::string> argv) {
  std::vector<char*> raw;
  for (auto& arg : argv) raw.push_back(arg.data());
  raw.push_back(nullptr);
  pid_t child = 0;
  if (posix_spawnp(&child, raw[0], nullptr, nullptr, raw.data(), environ) != 0) return false;
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) != 127;
}

}  // namespace

void show_warning(const std::string& caption, const std::string& text) {
  if (has_display()) {
    if (run_and_wait(
            {"zenity", "--warning", "--no-markup", "--title=" + caption, "--text=" + text}))
      return;
    if (run_and_wait({"xmessage", "-center", "-title", caption, caption + ": " + text})) return;
  }
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

}  // namespace pirowend::platform
