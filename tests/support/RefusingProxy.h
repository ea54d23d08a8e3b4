#pragma once
// A proxy on loopback that refuses every request with 407 (Basic proxy
// authentication wanted), for a plain request and a CONNECT alike, and
// keeps each request's first line.

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <mutex>
#include <string>
#include <vector>

#include "LoopbackServer.h"

namespace qgm::test {

class RefusingProxy {
 public:
  RefusingProxy() : server_([this](int fd) { Refuse(fd); }) {}
  RefusingProxy(const RefusingProxy&) = delete;
  RefusingProxy& operator=(const RefusingProxy&) = delete;

  int Port() const { return server_.Port(); }
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

  mutable std::mutex lock_;
  std::vector<std::string> lines_;
  LoopbackServer server_;  // last: its thread starts once the rest exists
};

}  // namespace qgm::test
