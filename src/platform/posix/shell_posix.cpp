// Opening with the desktop, POSIX half: xdg-open, started without a shell.
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/shell.h"

namespace pirowend::platform {
namespace {

// The opener's full path from PATH, found before any fork; empty when there is none.
std::string find_opener() {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  for (std::size_t start = 0; start <= dirs.size();) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string candidate = dirs.substr(start, end - start);
    candidate = (candidate.empty() ? std::string(".") : candidate) + "/xdg-open";
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return {};
}

}  // namespace

std::intptr_t shell_open(void*, const char* target) {
  constexpr std::intptr_t kFileNotFound = 2;
  if (!target) return kFileNotFound;
  std::string opener = find_opener();
  if (opener.empty()) return kFileNotFound;
  char* argv[] = {opener.data(), const_cast<char*>(target), nullptr};
  // The opener runs as a grandchild that nobody waits for: it is never our zombie, and the
  // host's thread never waits for the desktop. Only fork, exec and _exit after the fork.
  pid_t middle = fork();
  if (middle < 0) return kFileNotFound;
  if (middle == 0) {
    pid_t opener_pid = fork();
    if (opener_pid == 0) {
      execv(argv[0], argv);
      _exit(127);
    }
    _exit(opener_pid < 0 ? 127 : 0);
  }
  int status = 0;
  while (waitpid(middle, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 33 : kFileNotFound;
}

}  // namespace pirowend::platform
