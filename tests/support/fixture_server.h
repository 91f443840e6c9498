#pragma once
// A small HTTP server on 127.0.0.1 for the browser tests: fixed routes, served from a thread
// of its own, with pages that can be changed while it runs and pages that never finish.
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pirowend::testing {

struct FixtureResponse {
  std::string body;
  std::string content_type = "text/html; charset=utf-8";
  int status = 200;
  enum class Ending { whole, hang_before_headers, hang_after_half } ending = Ending::whole;
};

class FixtureServer {
 public:
  FixtureServer();
  ~FixtureServer();
  FixtureServer(const FixtureServer&) = delete;
  FixtureServer& operator=(const FixtureServer&) = delete;

  void route(const std::string& path, FixtureResponse response);
  std::string url(const std::string& path) const;  // on 127.0.0.1
  int port() const { return port_; }
  int requests(const std::string& path) const;

 private:
  void serve();
  void answer(int client);

  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::map<std::string, FixtureResponse> routes_;
  std::map<std::string, int> requests_;
  std::vector<int> hanging_;
  std::thread thread_;
};

// A small HTML page with body as its body.
std::string html_page(const std::string& body);

// A port on 127.0.0.1 that nothing listens on.
int closed_port();

}  // namespace pirowend::testing
