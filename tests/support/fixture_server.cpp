#include "support/fixture_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace pirowend::testing {
namespace {

int listen_on_loopback(int& port) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  int yes = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 64) != 0) {
    throw std::runtime_error("fixture server: cannot listen on 127.0.0.1");
  }
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  port = ntohs(address.sin_port);
  return fd;
}

void send_all(int fd, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;
    sent += static_cast<std::size_t>(n);
  }
}

}  // namespace

std::string html_page(const std::string& body) {
  return "<!doctype html><html><head><title>t</title></head><body>" + body + "</body></html>";
}

int closed_port() {
  int port = 0;
  int fd = listen_on_loopback(port);
  close(fd);
  return port;
}

FixtureServer::FixtureServer() {
  listener_ = listen_on_loopback(port_);
  thread_ = std::thread([this] { serve(); });
}

FixtureServer::~FixtureServer() {
  stopping_ = true;
  thread_.join();
  close(listener_);
  for (int fd : hanging_) close(fd);
}

void FixtureServer::route(const std::string& path, FixtureResponse response) {
  std::lock_guard lock(mutex_);
  routes_[path] = std::move(response);
}

std::string FixtureServer::url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

int FixtureServer::requests(const std::string& path) const {
  std::lock_guard lock(mutex_);
  auto found = requests_.find(path);
  return found == requests_.end() ? 0 : found->second;
}

void FixtureServer::serve() {
  while (!stopping_) {
    pollfd watch{listener_, POLLIN, 0};
    if (poll(&watch, 1, 50) <= 0) continue;
    int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client >= 0) answer(client);
  }
}

void FixtureServer::answer(int client) {
  std::string request;
  char chunk[4096];
  while (request.find("\r\n\r\n") == std::string::npos) {
    pollfd watch{client, POLLIN, 0};
    if (poll(&watch, 1, 2000) <= 0) break;
    ssize_t n = recv(client, chunk, sizeof chunk, 0);
    if (n <= 0) break;
    request.append(chunk, static_cast<std::size_t>(n));
  }
  std::string path = "/";
  auto first_space = request.find(' ');
  if (first_space != std::string::npos) {
    auto second = request.find(' ', first_space + 1);
    path = request.substr(first_space + 1, second - first_space - 1);
  }
  FixtureResponse response{"not found", "text/plain", 404};
  {
    std::lock_guard lock(mutex_);
    ++requests_[path];
    auto found = routes_.find(path);
    if (found != routes_.end()) response = found->second;
  }
  if (response.ending == FixtureResponse::Ending::hang_before_headers) {
    hanging_.push_back(client);
    return;
  }
  std::string head = "HTTP/1.1 " + std::to_string(response.status) +
                     " X\r\nContent-Type: " + response.content_type +
                     "\r\nContent-Length: " + std::to_string(response.body.size()) +
                     "\r\nConnection: close\r\n\r\n";
  if (response.ending == FixtureResponse::Ending::hang_after_half) {
    send_all(client, head + response.body.substr(0, response.body.size() / 2));
    hanging_.push_back(client);
    return;
  }
  send_all(client, head + response.body);
  shutdown(client, SHUT_WR);
  close(client);
}

}  // namespace pirowend::testing
