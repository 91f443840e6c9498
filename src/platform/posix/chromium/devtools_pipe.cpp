// Chromium's DevTools pipe, POSIX only.
#include "platform/posix/chromium/devtools_pipe.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

namespace pirowend::chromium {
namespace {

std::uint64_t monotonic_ms() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * 1000u +
         static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The code unit of a "\uXXXX" escape at text[at], or -1.
int escaped_unit(const std::string& text, std::size_t at) {
  if (at + 6 > text.size() || text[at] != '\\' || text[at + 1] != 'u') return -1;
  int unit = 0;
  for (std::size_t n = 2; n < 6; ++n) {
    int digit = hex_value(text[at + n]);
    if (digit < 0) return -1;
    unit = unit * 16 + digit;
  }
  return unit;
}

bool is_high(int unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_low(int unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

const std::vector<std::string> kFlags = {"--headless",
                                         "--remote-debugging-pipe",
                                         "--no-first-run",
                                         "--no-default-browser-check",
                                         "--disable-background-networking",
                                         "--disable-component-update",
                                         "--disable-extensions",
                                         "--disable-default-apps",
                                         "--disable-sync",
                                         "--disable-breakpad",
                                         "--metrics-recording-only",
                                         "--disable-dev-shm-usage",
                                         "--password-store=basic",
                                         "--mute-audio",
                                         "--disable-gpu",
                                         "--disable-quic"};

}  // namespace

void repair_lone_surrogates(std::string& message) {
  for (std::size_t at = 0; at + 1 < message.size(); ++at) {
    if (message[at] != '\\') continue;
    int unit = escaped_unit(message, at);
    if (unit < 0) {
      ++at;  // another escape: skip the escaped character
      continue;
    }
    if (is_high(unit) && is_low(escaped_unit(message, at + 6))) {
      at += 11;
      continue;
    }
    if (is_high(unit) || is_low(unit)) message.replace(at, 6, "\\ufffd");
    at += 5;
  }
}

std::string find_chromium() {
  const char* chosen = std::getenv("PIROWEND_CHROMIUM");
  if (chosen && *chosen) return access(chosen, X_OK) == 0 ? chosen : "";
  for (const char* path : {"/usr/lib/chromium/chromium", "/usr/bin/chromium"}) {
    if (access(path, X_OK) == 0) return path;
  }
  return "";
}

DevToolsPipe::LaunchResult DevToolsPipe::launch(const std::string& binary,
                                                std::unique_ptr<DevToolsPipe>& pipe) {
  if (binary.empty() || access(binary.c_str(), X_OK) != 0) return LaunchResult::not_found;
  std::unique_ptr<DevToolsPipe> made(new DevToolsPipe());
  char profile[] = "/tmp/pirowend-chromium-XXXXXX";
  if (!mkdtemp(profile)) return LaunchResult::failed;
  made->profile_ = profile;

  int commands[2], messages[2];  // [0] ours, [1] the browser's
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, commands) != 0)
    return LaunchResult::failed;
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, messages) != 0) {
    ::close(commands[0]);
    ::close(commands[1]);
    return LaunchResult::failed;
  }
  std::vector<std::string> args = {binary};
  args.insert(args.end(), kFlags.begin(), kFlags.end());
  if (geteuid() == 0) args.push_back("--no-sandbox");  // Chromium refuses to start as root without
  args.push_back("--user-data-dir=" + made->profile_);
  args.push_back("about:blank");
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const pid_t parent = getpid();

  pid_t child = fork();
  if (child == 0) {
    // Only async-signal-safe calls from here to exec.
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    int in = fcntl(commands[1], F_DUPFD, 5);
    int out = fcntl(messages[1], F_DUPFD, 5);
    if (in < 0 || out < 0 || dup2(in, 3) < 0 || dup2(out, 4) < 0) _exit(127);
    int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
      dup2(null, 0);
      dup2(null, 1);
      dup2(null, 2);
    }
    for (int fd = 5; fd < 1024; ++fd) ::close(fd);
    execv(argv[0], argv.data());
    _exit(127);
  }
  ::close(commands[1]);
  ::close(messages[1]);
  if (child < 0) {
    ::close(commands[0]);
    ::close(messages[0]);
    return LaunchResult::failed;
  }
  made->pid_ = child;
  made->fd_write_ = commands[0];
  made->fd_ = messages[0];
  // The browser is ready once it answers.
  int probe = made->send("Browser.getVersion");
  if (!made->reply(probe, 30000)) return LaunchResult::failed;  // the destructor cleans up
  pipe = std::move(made);
  return LaunchResult::started;
}

DevToolsPipe::~DevToolsPipe() { close(); }

int DevToolsPipe::send(const std::string& method, Json params, const std::string& session) {
  if (!alive()) return -1;
  Json command = {{"id", next_id_}, {"method", method}, {"params", std::move(params)}};
  if (!session.empty()) command["sessionId"] = session;
  std::string text = command.dump(-1, ' ', false, Json::error_handler_t::replace);
  text.push_back('\0');
  std::size_t sent = 0;
  while (sent < text.size()) {
    ssize_t n = ::send(fd_write_, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      lost();
      return -1;
    }
    sent += static_cast<std::size_t>(n);
  }
  return next_id_++;
}

std::optional<Json> DevToolsPipe::take_reply(int id) {
  auto found = replies_.find(id);
  if (found == replies_.end()) return std::nullopt;
  Json reply = std::move(found->second);
  replies_.erase(found);
  return reply;
}

std::optional<Json> DevToolsPipe::reply(int id, int timeout_ms) {
  if (id < 0) return std::nullopt;
  const std::uint64_t end = monotonic_ms() + static_cast<std::uint64_t>(timeout_ms);
  while (true) {
    if (auto found = take_reply(id)) return found;
    std::uint64_t now = monotonic_ms();
    if (!alive() || now >= end) return std::nullopt;
    pump(static_cast<int>(end - now));
  }
}

void DevToolsPipe::pump(int timeout_ms) {
  if (!alive()) return;
  pollfd watch{fd_, POLLIN, 0};
  int ready = poll(&watch, 1, timeout_ms);
  if (ready <= 0) return;
  char chunk[1 << 16];
  while (true) {
    ssize_t n = recv(fd_, chunk, sizeof chunk, MSG_DONTWAIT);
    if (n > 0) {
      inbox_.append(chunk, static_cast<std::size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) lost();
    break;
  }
  take_messages();
}

void DevToolsPipe::take_messages() {
  std::size_t start = 0;
  // Only the bytes that arrived since the last look can end a message.
  std::size_t from = scanned_;
  for (std::size_t end; (end = inbox_.find('\0', from)) != std::string::npos;
       from = start = end + 1) {
    std::string text = inbox_.substr(start, end - start);
    repair_lone_surrogates(text);
    Json message = Json::parse(text, nullptr, false);
    if (message.is_discarded()) continue;
    if (message.contains("id")) {
      if (!message["id"].is_number_integer()) continue;
      const int id = message["id"].get<int>();  // read before the move below
      replies_[id] = std::move(message);
    } else {
      events_.push_back(std::move(message));
    }
  }
  inbox_.erase(0, start);
  scanned_ = inbox_.size();
}

void DevToolsPipe::lost() {
  if (fd_ >= 0) ::close(fd_);
  if (fd_write_ >= 0) ::close(fd_write_);
  fd_ = fd_write_ = -1;
}

void DevToolsPipe::close() {
  if (alive()) {
    send("Browser.close");
    const std::uint64_t end = monotonic_ms() + 5000;
    while (alive() && monotonic_ms() < end) pump(100);
  }
  lost();
  if (pid_ > 0) {
    int status = 0;
    const std::uint64_t end = monotonic_ms() + 3000;
    pid_t done = 0;
    while ((done = waitpid(pid_, &status, WNOHANG)) == 0 && monotonic_ms() < end) {
      usleep(10000);
    }
    // The whole process group: the browser's helpers go with it.
    kill(-pid_, SIGKILL);
    if (done == 0) {
      while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
      }
    }
    pid_ = -1;
  }
  if (!profile_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(profile_, ignored);
    profile_.clear();
  }
}

}  // namespace pirowend::chromium
