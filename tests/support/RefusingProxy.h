#pragma once
// A proxy on loopback that refuses every request with 407 (Basic proxy
// authentication wanted), for a plain request and a CONNECT alike, and
// keeps each request's first line.

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "TcpServer.h"

namespace qgm::test {

class RefusingProxy {
 public:
  RefusingProxy() {
    listenFd_ = corvalink::sim::ListenLoopback(port_);
    thread_ = std::thread([this] {
      while (!stopping_) {
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        const int fd = ::accept(listenFd_, nullptr, nullptr);
        if (fd >= 0) Refuse(fd);
      }
    });
  }
  ~RefusingProxy() {
    stopping_ = true;
    thread_.join();
    ::close(listenFd_);
  }
  RefusingProxy(const RefusingProxy&) = delete;
  RefusingProxy& operator=(const RefusingProxy&) = delete;

  int Port() const { return port_; }
  std::vector<std::string> RequestLines() const {
    std::lock_guard lk(lock_);
    return lines_;
  }

 private:
  void Refuse(int fd) {
    std::string head;
    char buffer[1024];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
      pollfd p{fd, POLLIN, 0};
      if (::poll(&p, 1, 2000) <= 0) break;
      const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      head.append(buffer, static_cast<size_t>(n));
    }
    {
      std::lock_guard lk(lock_);
      lines_.push_back(head.substr(0, head.find("\r\n")));
    }
    static const std::string reply =
        "HTTP/1.1 407 Proxy Authentication Required\r\n"
        "Proxy-Authenticate: Basic realm=\"test proxy\"\r\n"
        "Content-Type: text/plain\r\nContent-Length: 7\r\nConnection: close\r\n\r\nrefused";
    (void)::send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
    ::close(fd);
  }

  int port_ = 0;
  int listenFd_ = -1;
  std::atomic<bool> stopping_{false};
  mutable std::mutex lock_;
  std::vector<std::string> lines_;
  std::thread thread_;
};

}  // namespace qgm::test
