#pragma once
// The download test: the mirror's 10-megabyte test file fetched four times
// at once over anonymous FTP, each stream on a worker thread of its own,
// the data thrown away. The threads reach the caller only through `Post`,
// which must run what it is given on the caller's own thread; Stop never
// waits for them.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "core/net/FtpClient.h"

namespace qgm {

class TDownloadTest {
 public:
  static constexpr int kStreams = 4;

  struct TConfig {
    std::string MirrorHost;  // "host" or "host:port" (21)
    std::string Folder = "pub/test";
    std::string File = "10meg.test";
    int ConnectTimeoutMs = 15000;
    // Runs `work` on the caller's thread, later.
    std::function<void(std::function<void()> work)> Post;
    std::function<void()> OnTransferStart;  // the first stream's transfer began
    std::function<void()> OnEnded;          // every stream has ended
  };

  explicit TDownloadTest(TConfig config);
  // Stops the streams and waits for them: only at the program's end.
  ~TDownloadTest();

  // False (and nothing starts) while streams of an earlier test still run.
  bool Start();
  // Asks every stream to stop; returns at once.
  void Stop();
  bool Running() const;

  // Per stream: bytes received, seconds taken, and whether it completed.
  struct TStreamResult {
    int64_t Bytes = 0;
    double Seconds = 0;
    bool Completed = false;
    std::string Failure;
    // The longest wait between two blocks of data, in milliseconds.
    double LongestStallMs = 0;
  };
  const std::array<TStreamResult, kStreams>& Results() const { return results_; }

 private:
  struct TSlot;
  void Run(TSlot& slot);
  void Ended(int index);

  TConfig config_;
  std::array<std::unique_ptr<TSlot>, kStreams> slots_;
  std::array<TStreamResult, kStreams> results_;
  std::shared_ptr<std::atomic<bool>> alive_;
};

}  // namespace qgm
