#pragma once
// A server on loopback that accepts every connection and never says a word:
// what a hung or half-dead server looks like to a client.

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "TcpServer.h"

namespace qgm::test {

class SilentServer {
 public:
  SilentServer() {
    listenFd_ = corvalink::sim::ListenLoopback(port_);
    thread_ = std::thread([this] {
      while (!stopping_) {
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        const int fd = ::accept(listenFd_, nullptr, nullptr);
        if (fd < 0) continue;
        held_.push_back(fd);  // kept open, unread and unanswered
        ++accepted_;
      }
    });
  }
  ~SilentServer() {
    stopping_ = true;
    thread_.join();
    for (int fd : held_) ::close(fd);
    ::close(listenFd_);
  }
  SilentServer(const SilentServer&) = delete;
  SilentServer& operator=(const SilentServer&) = delete;

  int Port() const { return port_; }
  std::string Url(const std::string& path = "/") const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  int Accepted() const { return accepted_; }

 private:
  int port_ = 0;
  int listenFd_ = -1;
  std::atomic<bool> stopping_{false};
  std::atomic<int> accepted_{0};
  std::vector<int> held_;  // touched by the server's thread only until it ends
  std::thread thread_;
};

}  // namespace qgm::test
