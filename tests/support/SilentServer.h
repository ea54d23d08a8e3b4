#pragma once
// A server on loopback that accepts every connection and never says a word:
// what a hung or half-dead server looks like to a client.

#include <unistd.h>

#include <atomic>
#include <string>
#include <vector>

#include "LoopbackServer.h"

namespace qgm::test {

class SilentServer {
 public:
  SilentServer()
      : server_([this](int fd) {
          held_.push_back(fd);  // kept open, unread and unanswered
          ++accepted_;
        }) {}
  ~SilentServer() {
    server_.Stop();
    for (int fd : held_) ::close(fd);
  }
  SilentServer(const SilentServer&) = delete;
  SilentServer& operator=(const SilentServer&) = delete;

  int Port() const { return server_.Port(); }
  std::string Url(const std::string& path = "/") const {
    return "http://127.0.0.1:" + std::to_string(Port()) + path;
  }
  int Accepted() const { return accepted_; }

 private:
  std::atomic<int> accepted_{0};
  std::vector<int> held_;  // touched by the server's thread only until it stops
  LoopbackServer server_;  // last: its thread starts once the rest exists
};

}  // namespace qgm::test
