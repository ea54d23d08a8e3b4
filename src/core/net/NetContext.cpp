#include "core/net/NetContext.h"

#include <curl/curl.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

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
void LockShare(CURL*, curl_lock_data, curl_lock_access, void*) { gShareLock.lock(); }
void UnlockShare(CURL*, curl_lock_data, void*) { gShareLock.unlock(); }

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
  slot = std::make_unique<TNetContext>(extraCaFile);
  slot->idleHook_ = std::move(hook);
}

X509_STORE* TNetContext::CertStore() {
  if (storeLoaded_) return store_;
  storeLoaded_ = true;
  // Parsing the system bundle costs tens of milliseconds; it is done once
  // here and the store is handed to every TLS connection.
  store_ = X509_STORE_new();
  if (!store_) return nullptr;
  X509_STORE_set_default_paths(store_);
  if (!extraCaFile_.empty()) X509_STORE_load_file(store_, extraCaFile_.c_str());
  return store_;
}

}  // namespace qgm
