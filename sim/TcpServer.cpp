#include "TcpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace corvalink::sim {

int ListenLoopback(int& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error("socket failed");
  const int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<uint16_t>(port));
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 64) != 0) {
    ::close(fd);
    throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(port));
  }
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  port = ntohs(addr.sin_port);
  return fd;
}

bool Connection::Write(const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    const int n =
        ssl_ ? SSL_write(ssl_, data.data() + done, static_cast<int>(data.size() - done))
             : static_cast<int>(::send(fd_, data.data() + done, data.size() - done, MSG_NOSIGNAL));
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool Connection::ReadLine(std::string& line) {
  while (true) {
    const auto lf = buffer_.find('\n');
    if (lf != std::string::npos) {
      line = buffer_.substr(0, lf);
      buffer_.erase(0, lf + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return true;
    }
    if (buffer_.size() > 65536) return false;
    char buf[4096];
    const int n =
        ssl_ ? SSL_read(ssl_, buf, sizeof buf) : static_cast<int>(::recv(fd_, buf, sizeof buf, 0));
    if (n <= 0) return false;
    buffer_.append(buf, static_cast<size_t>(n));
  }
}

TcpServer::TcpServer(Handler handler, SSL_CTX* tls) : handler_(std::move(handler)), tls_(tls) {}

TcpServer::~TcpServer() {
  Stop();
}

int TcpServer::Start(int port) {
  listenFd_ = ListenLoopback(port);
  acceptThread_ = std::thread([this] { AcceptLoop(); });
  return port;
}

void TcpServer::AcceptLoop() {
  while (!stopping_) {
    pollfd p{listenFd_, POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    std::lock_guard lk(lock_);
    for (auto it = workers_.begin(); it != workers_.end();) {
      if (*it->done) {
        it->thread.join();
        it = workers_.erase(it);
      } else {
        ++it;
      }
    }
    clientFds_.push_back(fd);
    Worker& w = workers_.emplace_back();
    w.thread = std::thread([this, fd, done = w.done] {
      Serve(fd);
      *done = true;
    });
  }
}

void TcpServer::Serve(int fd) {
  SSL* ssl = nullptr;
  if (tls_) {
    ssl = SSL_new(tls_);
    SSL_set_fd(ssl, fd);
    if (SSL_accept(ssl) != 1) {
      SSL_free(ssl);
      ssl = nullptr;
    }
  }
  if (!tls_ || ssl) {
    Connection c(fd, ssl);
    handler_(c);
  }
  if (ssl) SSL_free(ssl);
  std::lock_guard lk(lock_);
  for (auto it = clientFds_.begin(); it != clientFds_.end(); ++it) {
    if (*it == fd) {
      clientFds_.erase(it);
      break;
    }
  }
  ::close(fd);
}

void TcpServer::Stop() {
  if (listenFd_ < 0) return;
  stopping_ = true;
  if (acceptThread_.joinable()) acceptThread_.join();
  ::close(listenFd_);
  listenFd_ = -1;
  std::list<Worker> workers;
  {
    std::lock_guard lk(lock_);
    // Wake handlers blocked in a read.
    for (int fd : clientFds_) ::shutdown(fd, SHUT_RDWR);
    workers.swap(workers_);
  }
  for (auto& w : workers) w.thread.join();
}

}  // namespace corvalink::sim
