#include "core/net/NetContext.h"

#include <curl/curl.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace qgm {
namespace {

std::once_flag gCurlInit;

std::unique_ptr<TNetContext>& DefaultSlot() {
  static std::unique_ptr<TNetContext> context;
  return context;
}

// The share handle may be touched from worker threads too; one lock is plenty.
std::mutex gShareLock;
void LockShare(CURL*, curl_lock_data, curl_lock_access, void*) {
  gShareLock.lock();
}
void UnlockShare(CURL*, curl_lock_data, void*) {
  gShareLock.unlock();
}

}  // namespace

TNetContext::TNetContext(std::string extraCaFile) : extraCaFile_(std::move(extraCaFile)) {
  std::call_once(gCurlInit, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  share_ = curl_share_init();
  if (share_) {
    curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, LockShare);
    curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, UnlockShare);
    curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
  }
}

TNetContext::~TNetContext() {
  for (auto& [key, session] : sessions_) SSL_SESSION_free(session);
  if (lineTls_) SSL_CTX_free(lineTls_);
  if (share_) curl_share_cleanup(share_);
  if (store_) X509_STORE_free(store_);
}

TNetContext& TNetContext::Default() {
  auto& slot = DefaultSlot();
  if (!slot) slot = std::make_unique<TNetContext>();
  return *slot;
}

void TNetContext::SetDefaultCaFile(const std::string& extraCaFile) {
  auto& slot = DefaultSlot();
  auto hook = slot ? slot->idleHook_ : std::function<void()>();
  const TTimeouts timeouts = slot ? slot->Timeouts : TTimeouts{};
  slot = std::make_unique<TNetContext>(extraCaFile);
  slot->idleHook_ = std::move(hook);
  slot->Timeouts = timeouts;
}

X509_STORE* TNetContext::CertStore() {
  if (storeLoaded_) return store_;
  storeLoaded_ = true;
  // The system's CAs are looked up by subject hash in its certificate folder
  // as handshakes need them (and then kept in the store), rather than
  // parsing the whole bundle up front; the store is built once and handed to
  // every TLS connection. Without a hashed folder, the bundle file is read.
  store_ = X509_STORE_new();
  if (!store_) return nullptr;
  const char* folder = std::getenv(X509_get_default_cert_dir_env());
  if (!folder || !*folder) folder = X509_get_default_cert_dir();
  std::error_code ec;
  bool hashed = false;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.size() == 10 && name[8] == '.' && name[9] == '0') {
      hashed = true;
      break;
    }
  }
  if (hashed) {
    X509_STORE_load_path(store_, folder);
  } else {
    X509_STORE_set_default_paths(store_);
  }
  if (!extraCaFile_.empty()) X509_STORE_load_file(store_, extraCaFile_.c_str());
  return store_;
}

SSL_CTX* TNetContext::LineTlsContext() {
  X509_STORE* store = CertStore();
  std::lock_guard lock(tlsLock_);
  if (lineTls_) return lineTls_;
  lineTls_ = SSL_CTX_new(TLS_client_method());
  if (!lineTls_) return nullptr;
  SSL_CTX_set_min_proto_version(lineTls_, TLS1_2_VERSION);
  if (store) SSL_CTX_set1_cert_store(lineTls_, store);
  SSL_CTX_set_verify(lineTls_, SSL_VERIFY_PEER, nullptr);
  // Sessions are kept per server by the connections themselves (a TLS 1.3
  // server hands them out after the handshake); OpenSSL's own client cache
  // is not keyed by server.
  SSL_CTX_set_session_cache_mode(lineTls_, SSL_SESS_CACHE_OFF);
  return lineTls_;
}

SSL_SESSION* TNetContext::SessionFor(const std::string& key) {
  std::lock_guard lock(tlsLock_);
  const auto it = sessions_.find(key);
  // A copy: a connection dropped without a TLS goodbye marks its session
  // unusable, and the kept one must outlive that.
  return it == sessions_.end() ? nullptr : SSL_SESSION_dup(it->second);
}

void TNetContext::KeepSession(const std::string& key, SSL_SESSION* session) {
  std::lock_guard lock(tlsLock_);
  SSL_SESSION*& slot = sessions_[key];
  if (slot) SSL_SESSION_free(slot);
  slot = session;
}

}  // namespace qgm
