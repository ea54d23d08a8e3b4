#include "core/net/TcpConnection.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/net/NetErrors.h"

namespace qgm {
namespace {

using Clock = std::chrono::steady_clock;
// Well inside the 250 ms the window may go without its events.
constexpr int kSliceMs = 100;

std::string SslErrorText() {
  const unsigned long e = ERR_get_error();
  if (e == 0) return "TLS handshake failed";
  char buf[256];
  ERR_error_string_n(e, buf, sizeof buf);
  ERR_clear_error();
  return buf;
}

}  // namespace

TTcpConnection::TTcpConnection(TNetContext& context, bool runIdleHook)
    : context_(context), runIdleHook_(runIdleHook) {}

TTcpConnection::~TTcpConnection() {
  Close();
}

void TTcpConnection::Close() {
  if (ssl_) {
    // The session the server handed out is kept for the next connection.
    // A copy: dropping a connection without a TLS goodbye makes its own
    // session unusable.
    if (SSL_SESSION* session = SSL_get1_session(ssl_)) {
      if (SSL_SESSION_is_resumable(session)) {
        if (SSL_SESSION* copy = SSL_SESSION_dup(session)) context_.KeepSession(sessionKey_, copy);
      }
      SSL_SESSION_free(session);
    }
    SSL_free(ssl_);  // no close_notify: the connection is simply dropped
    ssl_ = nullptr;
  }
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  buffer_.clear();
}

bool TTcpConnection::ResumedSession() const {
  return ssl_ && SSL_session_reused(ssl_) == 1;
}

void TTcpConnection::StartDeadline(int ms) {
  deadline_ = Clock::now() + std::chrono::milliseconds(ms > 0 ? ms : context_.Timeouts.DeadlineMs);
}

bool TTcpConnection::Wait(bool forWrite, int timeoutMs) {
  // Never without a limit: a peer that accepts and then says nothing would
  // hold the caller for ever.
  if (timeoutMs <= 0) timeoutMs = context_.Timeouts.ReadMs;
  const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  const bool deadlineFirst = deadline_ < end;
  const auto until = deadlineFirst ? deadline_ : end;
  while (true) {
    if (context_.Cancelled()) throw ENetError(kCancelled);
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
    if (left <= 0) {
      if (deadlineFirst) throw ENetError(kTookTooLong);
      return false;
    }
    const int slice = static_cast<int>(std::min<long long>(left, kSliceMs));
    pollfd p{fd_, static_cast<short>(forWrite ? POLLOUT : POLLIN), 0};
    const int r = ::poll(&p, 1, slice);
    if (r > 0) return true;
    if (r < 0 && errno != EINTR)
      throw ENetError(std::string("Socket error: ") + std::strerror(errno));
    if (runIdleHook_) context_.RunIdleHook();
    if (fd_ < 0) throw ENetError("Disconnected.");  // closed from the idle hook
  }
}

void TTcpConnection::Connect(const std::string& host, int port, int connectTimeoutMs, bool tls) {
  Close();
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* list = nullptr;
  const std::string service = std::to_string(port);
  if (const int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &list); rc != 0) {
    throw ENetError("Host not found: " + host + " (" + gai_strerror(rc) + ")");
  }
  std::string lastError = "Connection refused.";
  for (addrinfo* ai = list; ai; ai = ai->ai_next) {
    fd_ = ::socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, ai->ai_protocol);
    if (fd_ < 0) continue;
    const int one = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (::connect(fd_, ai->ai_addr, ai->ai_addrlen) == 0) break;
    if (errno == EINPROGRESS) {
      bool ready = false;
      try {
        ready = Wait(true, connectTimeoutMs);
      } catch (...) {
        ::freeaddrinfo(list);
        throw;
      }
      int err = 0;
      socklen_t len = sizeof err;
      if (ready && ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0) break;
      lastError = ready ? std::string("Socket error: ") + std::strerror(err) : "Connect timed out.";
    } else {
      lastError = std::string("Socket error: ") + std::strerror(errno);
    }
    ::close(fd_);
    fd_ = -1;
  }
  ::freeaddrinfo(list);
  if (fd_ < 0) throw ENetError(lastError);
  if (!tls) return;

  SSL_CTX* ctx = context_.LineTlsContext();
  if (!ctx || !(ssl_ = SSL_new(ctx))) {
    Close();
    throw ENetError("TLS unavailable");
  }
  sessionKey_ = host + ":" + service;
  if (SSL_SESSION* session = context_.SessionFor(sessionKey_)) {
    SSL_set_session(ssl_, session);
    SSL_SESSION_free(session);
  }
  SSL_set_fd(ssl_, fd_);
  SSL_ctrl(ssl_, SSL_CTRL_SET_TLSEXT_HOSTNAME, TLSEXT_NAMETYPE_host_name,
           const_cast<char*>(host.c_str()));
  SSL_set1_host(ssl_, host.c_str());
  while (true) {
    const int r = SSL_connect(ssl_);
    if (r == 1) break;
    const int e = SSL_get_error(ssl_, r);
    if (e == SSL_ERROR_WANT_READ || e == SSL_ERROR_WANT_WRITE) {
      if (!Wait(e == SSL_ERROR_WANT_WRITE, connectTimeoutMs)) {
        Close();
        throw ENetError("Connect timed out.");
      }
      continue;
    }
    const long verify = SSL_get_verify_result(ssl_);
    std::string message = verify != X509_V_OK ? std::string("Certificate not trusted: ") +
                                                    X509_verify_cert_error_string(verify)
                                              : SslErrorText();
    Close();
    throw ENetError(message);
  }
}

void TTcpConnection::WriteAll(const std::string& data, int timeoutMs) {
  size_t done = 0;
  while (done < data.size()) {
    if (fd_ < 0) throw ENetError("Not connected.");
    ssize_t n;
    bool wantRead = false;
    if (ssl_) {
      const int r = SSL_write(ssl_, data.data() + done, static_cast<int>(data.size() - done));
      if (r > 0) {
        n = r;
      } else {
        const int e = SSL_get_error(ssl_, r);
        if (e != SSL_ERROR_WANT_READ && e != SSL_ERROR_WANT_WRITE)
          throw ENetError(kConnectionClosed);
        wantRead = e == SSL_ERROR_WANT_READ;
        n = -1;
        errno = EAGAIN;
      }
    } else {
      n = ::send(fd_, data.data() + done, data.size() - done, MSG_NOSIGNAL);
    }
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
      throw ENetError(kConnectionClosed);
    if (!Wait(!wantRead, timeoutMs)) throw ENetError(kReadTimeout);
  }
}

bool TTcpConnection::Fill(int timeoutMs) {
  char buf[16384];
  while (true) {
    if (fd_ < 0) throw ENetError("Not connected.");
    if (ssl_) {
      const int r = SSL_read(ssl_, buf, sizeof buf);
      if (r > 0) {
        buffer_.append(buf, static_cast<size_t>(r));
        return true;
      }
      const int e = SSL_get_error(ssl_, r);
      if (e == SSL_ERROR_ZERO_RETURN) return false;
      if (e != SSL_ERROR_WANT_READ && e != SSL_ERROR_WANT_WRITE) return false;
      if (!Wait(e == SSL_ERROR_WANT_WRITE, timeoutMs)) throw ENetError(kReadTimeout);
    } else {
      const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
      if (n > 0) {
        buffer_.append(buf, static_cast<size_t>(n));
        return true;
      }
      if (n == 0) return false;
      if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return false;
      if (!Wait(false, timeoutMs)) throw ENetError(kReadTimeout);
    }
  }
}

std::string TTcpConnection::ReadLine(int timeoutMs) {
  while (true) {
    const size_t lf = buffer_.find('\n');
    if (lf != std::string::npos) {
      std::string line = buffer_.substr(0, lf);
      buffer_.erase(0, lf + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return line;
    }
    if (buffer_.size() > kMaxLine) throw ENetError("Line too long");
    if (!Fill(timeoutMs)) throw ENetError(kConnectionClosed);
  }
}

std::string TTcpConnection::ReadBytes(size_t count, int timeoutMs) {
  while (buffer_.size() < count) {
    if (!Fill(timeoutMs)) throw ENetError(kConnectionClosed);
  }
  std::string out = buffer_.substr(0, count);
  buffer_.erase(0, count);
  return out;
}

}  // namespace qgm
