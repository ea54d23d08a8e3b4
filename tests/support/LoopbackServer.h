#pragma once
// A server on loopback for the client tests that need one our simulator
// cannot be: its own thread accepts each connection and hands the socket to
// `onAccept`, which owns it from then on.

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <thread>
#include <utility>

#include "TcpServer.h"

namespace qgm::test {

class LoopbackServer {
 public:
  explicit LoopbackServer(std::function<void(int fd)> onAccept) : onAccept_(std::move(onAccept)) {
    listenFd_ = corvalink::sim::ListenLoopback(port_);
    thread_ = std::thread([this] {
      while (!stopping_) {
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        const int fd = ::accept(listenFd_, nullptr, nullptr);
        if (fd >= 0) onAccept_(fd);
      }
    });
  }
  ~LoopbackServer() { Stop(); }
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  int Port() const { return port_; }

  // Stops accepting and waits for the thread: after it, `onAccept` is not
  // called again, so what it keeps may be let go.
  void Stop() {
    if (!thread_.joinable()) return;
    stopping_ = true;
    thread_.join();
    ::close(listenFd_);
  }

 private:
  std::function<void(int)> onAccept_;
  int port_ = 0;
  int listenFd_ = -1;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace qgm::test
