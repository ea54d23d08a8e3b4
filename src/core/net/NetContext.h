#pragma once
// What every client on the window thread shares: the certificate store used
// to verify servers (the system's CA store plus an optional extra CA file),
// the TLS session caches, the idle hook run while a call waits, the
// time-outs of calls whose callers set none, and the cancel switch.

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

typedef struct x509_store_st X509_STORE;
typedef struct ssl_ctx_st SSL_CTX;
typedef struct ssl_session_st SSL_SESSION;
typedef void CURLSH;

namespace qgm {

class TNetContext {
 public:
  // `extraCaFile`: a PEM file of further trusted CAs (empty for none).
  explicit TNetContext(std::string extraCaFile = {});
  ~TNetContext();
  TNetContext(const TNetContext&) = delete;
  TNetContext& operator=(const TNetContext&) = delete;

  // The context of the window thread's clients.
  static TNetContext& Default();
  // Replaces the default context's extra CA file (the store is rebuilt on
  // next use).
  static void SetDefaultCaFile(const std::string& extraCaFile);

  // Run at least every 250 ms while a blocking call waits; the window
  // program processes pending events here.
  void SetIdleHook(std::function<void()> hook) { idleHook_ = std::move(hook); }
  void RunIdleHook() const {
    if (idleHook_) idleHook_();
  }

  // The limits of a call whose caller sets none of its own: the longest
  // wait for data (the connection counts as dead after it), and the longest
  // a whole HTTP request or a POP3 mailbox's session may take.
  struct TTimeouts {
    int ReadMs = 30000;
    int DeadlineMs = 300000;
  };
  TTimeouts Timeouts;

  // Makes every call that waits on this context give up with kCancelled,
  // now (at its next slice) and from then on: for a program that is ending.
  void Cancel() { cancelled_ = true; }
  bool Cancelled() const { return cancelled_; }

  // Loaded on first use; nullptr when no store could be built.
  X509_STORE* CertStore();
  CURLSH* Share() const { return share_; }

  // The TLS settings of the line-protocol connections (POP3): built once,
  // verifying servers against CertStore(), TLS 1.2 or newer; nullptr when
  // TLS is unavailable. Building one per connection costs more than a
  // resumed handshake.
  SSL_CTX* LineTlsContext();
  // A copy of the last session a server at `key` ("host:port") handed out,
  // owned by the caller, so a reconnect resumes it; nullptr when none.
  SSL_SESSION* SessionFor(const std::string& key);
  // Keeps `session` for `key` (taking over the caller's reference).
  void KeepSession(const std::string& key, SSL_SESSION* session);
  const std::string& ExtraCaFile() const { return extraCaFile_; }

 private:
  std::string extraCaFile_;
  X509_STORE* store_ = nullptr;
  bool storeLoaded_ = false;
  CURLSH* share_ = nullptr;
  std::mutex tlsLock_;
  SSL_CTX* lineTls_ = nullptr;
  std::map<std::string, SSL_SESSION*> sessions_;
  std::function<void()> idleHook_;
  std::atomic<bool> cancelled_{false};
};

}  // namespace qgm
