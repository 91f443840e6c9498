#include "console.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <utility>

namespace host {
namespace {

termios saved_terminal;

}  // namespace

Console::Console() : interactive_(isatty(STDIN_FILENO)) {
  if (interactive_ && tcgetattr(STDIN_FILENO, &saved_terminal) == 0) {
    termios raw = saved_terminal;
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    raw_ = tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
  }
}

Console::~Console() {
  if (raw_) tcsetattr(STDIN_FILENO, TCSANOW, &saved_terminal);
}

std::optional<std::string> Console::next(int timeout_ms) {
  if (ended_) {
    usleep(static_cast<useconds_t>(timeout_ms) * 1000);
    return std::nullopt;
  }
  if (!interactive_) {
    if (auto end = pending_.find('\n'); end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      return line;
    }
  }
  pollfd watch{STDIN_FILENO, POLLIN, 0};
  if (poll(&watch, 1, timeout_ms) <= 0) return std::nullopt;
  char chunk[256];
  ssize_t got = read(STDIN_FILENO, chunk, interactive_ ? 1 : sizeof chunk);
  if (got <= 0) {
    ended_ = true;
    if (!pending_.empty()) return std::exchange(pending_, std::string());
    return std::nullopt;
  }
  if (interactive_) return std::string(1, chunk[0]);
  pending_.append(chunk, static_cast<std::size_t>(got));
  return next(0);
}

bool Console::confirm(const std::string& question) {
  if (!interactive_) return false;
  std::printf("%s [y/N] ", question.c_str());
  std::fflush(stdout);
  auto answer = next(-1);
  std::printf("\n");
  return answer && (*answer == "y" || *answer == "Y");
}

}  // namespace host
