#pragma once
// A TCP connection, optionally with TLS from the first byte, for the line and
// byte protocols (POP3, the time service). Waits happen in slices of at most
// 250 ms with the context's idle hook run between them, unless the
// connection belongs to a worker thread. A cancelled context ends any wait
// with ENetError(kCancelled).

#include <chrono>
#include <string>

#include "core/net/NetContext.h"

typedef struct ssl_st SSL;

namespace qgm {

class TTcpConnection {
 public:
  explicit TTcpConnection(TNetContext& context = TNetContext::Default(), bool runIdleHook = true);
  ~TTcpConnection();
  TTcpConnection(const TTcpConnection&) = delete;
  TTcpConnection& operator=(const TTcpConnection&) = delete;

  // Throws ENetError. With `tls`, the server's certificate must verify for
  // `host` against the context's store (TLS 1.2 or newer).
  void Connect(const std::string& host, int port, int connectTimeoutMs, bool tls);
  bool Connected() const { return fd_ >= 0; }
  // Whether the TLS handshake resumed a session kept from an earlier
  // connection to the same server.
  bool ResumedSession() const;
  // Closes at once, without any protocol goodbye.
  void Close();

  // No wait from now on may end later than `ms` from now (0: the context's
  // deadline); passing it fails the call with ENetError(kTookTooLong). It
  // holds across Connect and Close until set again.
  void StartDeadline(int ms);

  // Each wait for the peer lasts at most `timeoutMs` (0: the context's read
  // time-out).
  void WriteAll(const std::string& data, int timeoutMs);
  // One line without its CR LF. Throws ENetError(kReadTimeout) when no data
  // comes for `timeoutMs`, ENetError(kConnectionClosed) when the peer closes
  // first.
  std::string ReadLine(int timeoutMs);
  // Exactly `count` bytes; each single wait for data may last `timeoutMs`.
  std::string ReadBytes(size_t count, int timeoutMs);

  // Longest line accepted before the connection is treated as broken.
  static constexpr size_t kMaxLine = 64 * 1024;

 private:
  // Waits until the socket is readable (or writable); false on time-out.
  bool Wait(bool forWrite, int timeoutMs);
  // Reads what is available into buffer_; false when the peer closed.
  bool Fill(int timeoutMs);

  TNetContext& context_;
  bool runIdleHook_;
  int fd_ = -1;
  SSL* ssl_ = nullptr;
  std::string sessionKey_;  // "host:port" of the TLS server
  std::chrono::steady_clock::time_point deadline_ = std::chrono::steady_clock::time_point::max();
  std::string buffer_;
};

}  // namespace qgm
