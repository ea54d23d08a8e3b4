#pragma once
// What every client on the window thread shares: the certificate store used
// to verify servers (the system's CA store plus an optional extra CA file),
// the TLS session cache, and the idle hook run while a call waits.

#include <functional>
#include <memory>
#include <string>

typedef struct x509_store_st X509_STORE;
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

  // Loaded on first use; nullptr when no store could be built.
  X509_STORE* CertStore();
  CURLSH* Share() const { return share_; }
  const std::string& ExtraCaFile() const { return extraCaFile_; }

 private:
  std::string extraCaFile_;
  X509_STORE* store_ = nullptr;
  bool storeLoaded_ = false;
  CURLSH* share_ = nullptr;
  std::function<void()> idleHook_;
};

}  // namespace qgm
