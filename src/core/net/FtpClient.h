#pragma once
// Anonymous FTP download into memory (passive mode, binary type), for the
// download test's worker threads. Progress events run on the calling
// (worker) thread; Abort may be called from any thread.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "core/net/NetErrors.h"

namespace qgm {

class EFtpAborted : public ENetError {
 public:
  EFtpAborted() : ENetError("Transfer aborted") {}
};

class TFtpClient {
 public:
  std::string Host;
  int Port = 21;
  int ConnectTimeoutMs = 15000;
  // A server that sends no control reply, or no data, for this long has
  // gone: the transfer fails with kReadTimeout. Counted in whole seconds,
  // rounded up.
  int ReadTimeoutMs = 30000;
  size_t ReceiveBufferBytes = 8192;
  size_t MaxBytes = 64u * 1024 * 1024;

  // At the start of the transfer, with the file's size (-1 when unknown).
  std::function<void(int64_t size)> OnWorkBegin;
  // The cumulative byte count as data arrives.
  std::function<void(int64_t received)> OnWork;

  // Logs in as "anonymous" with an empty password, changes to `folder` and
  // retrieves `file`. Throws ENetError, or EFtpAborted after Abort (asked
  // for at any moment, also before the call: a client aborted once stays
  // aborted).
  std::string Retrieve(const std::string& folder, const std::string& file);
  void Abort() { aborted_ = true; }

 private:
  friend struct FtpTransfer;
  std::atomic<bool> aborted_{false};
};

}  // namespace qgm
