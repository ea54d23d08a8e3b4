#pragma once
// A small blocking TCP server on 127.0.0.1 for the simulator's line
// protocols: one thread accepts, one thread serves each connection.

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

typedef struct ssl_st SSL;
typedef struct ssl_ctx_st SSL_CTX;

namespace corvalink::sim {

// One accepted connection (TLS when the server has a context).
class Connection {
 public:
  Connection(int fd, SSL* ssl) : fd_(fd), ssl_(ssl) {}
  bool Write(const std::string& data);
  // A line without CR LF; false when the peer closed or the server stops.
  bool ReadLine(std::string& line);
  int Fd() const { return fd_; }

 private:
  int fd_;
  SSL* ssl_;
  std::string buffer_;
};

class TcpServer {
 public:
  using Handler = std::function<void(Connection&)>;
  // `tls`: serve TLS from the first byte with this context (not owned).
  TcpServer(Handler handler, SSL_CTX* tls = nullptr);
  ~TcpServer();

  // Listens on `port` (0: any free port); returns the port. Throws.
  int Start(int port);
  void Stop();

 private:
  void AcceptLoop();
  void Serve(int fd);

  Handler handler_;
  SSL_CTX* tls_;
  int listenFd_ = -1;
  std::atomic<bool> stopping_{false};
  std::thread acceptThread_;
  std::mutex lock_;
  // One thread per connection; those that have ended are joined as new
  // connections come, so a long run keeps only the live ones.
  struct Worker {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done = std::make_shared<std::atomic<bool>>(false);
  };
  std::list<Worker> workers_;
  std::list<int> clientFds_;
};

// Binds a listening socket on 127.0.0.1:port; returns the fd and sets
// `port` to the bound port. Throws std::runtime_error.
int ListenLoopback(int& port);

}  // namespace corvalink::sim
