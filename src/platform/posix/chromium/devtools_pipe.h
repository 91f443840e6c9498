#pragma once
// A headless Chromium child process and its DevTools pipe: messages are JSON texts ended by a
// NUL byte, commands go to the browser's fd 3 and replies and events come from its fd 4.
#include <sys/types.h>

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace pirowend::chromium {

using Json = nlohmann::json;

// Replaces escaped lone UTF-16 surrogates, which Chromium sends and JSON parsers reject, by
// U+FFFD, so that one odd character never loses a whole message.
void repair_lone_surrogates(std::string& message);

// The browser binary: $PIROWEND_CHROMIUM, else Debian's chromium; empty when none exists.
std::string find_chromium();

class DevToolsPipe {
 public:
  enum class LaunchResult { started, not_found, failed };
  static LaunchResult launch(const std::string& binary, std::unique_ptr<DevToolsPipe>& pipe);
  ~DevToolsPipe();
  DevToolsPipe(const DevToolsPipe&) = delete;
  DevToolsPipe& operator=(const DevToolsPipe&) = delete;

  // Sends a command and returns its id; -1 when the browser is gone.
  int send(const std::string& method, Json params = Json::object(),
           const std::string& session = {});
  // Waits up to timeout_ms for the reply to id; events arriving meanwhile are queued.
  std::optional<Json> reply(int id, int timeout_ms);
  // Takes a reply that has arrived already, without waiting.
  std::optional<Json> take_reply(int id);
  // Reads what has arrived, waiting at most timeout_ms for the first bytes.
  void pump(int timeout_ms);
  std::deque<Json>& events() { return events_; }
  bool alive() const { return fd_ >= 0; }

  // Asks the browser to close, then makes sure the process is gone and reaped and its profile
  // deleted. Safe to call more than once.
  void close();

 private:
  DevToolsPipe() = default;
  void lost();
  void take_messages();

  int fd_write_ = -1;
  int fd_ = -1;  // the read end
  pid_t pid_ = -1;
  std::string profile_;
  std::string inbox_;
  std::size_t scanned_ = 0;  // bytes of inbox_ known to hold no message end
  int next_id_ = 1;
  std::map<int, Json> replies_;
  std::deque<Json> events_;
};

}  // namespace pirowend::chromium
