#include "core/network/DownloadTest.h"

#include <chrono>
#include <cstdlib>

#include "core/net/Endpoints.h"

namespace qgm {

struct TDownloadTest::TSlot {
  int Index = 0;
  TFtpClient Ftp;
  std::atomic<bool> Stop{false};
  TStreamResult Result;
  std::thread Thread;
};

TDownloadTest::TDownloadTest(TConfig config)
    : config_(std::move(config)), alive_(std::make_shared<std::atomic<bool>>(true)) {}

TDownloadTest::~TDownloadTest() {
  *alive_ = false;  // posted endings find nothing to do
  Stop();
  for (auto& slot : slots_)
    if (slot && slot->Thread.joinable()) slot->Thread.join();
}

bool TDownloadTest::Running() const {
  for (const auto& slot : slots_)
    if (slot) return true;
  return false;
}

bool TDownloadTest::Start() {
  if (Running()) return false;
  const auto [host, port] = SplitHostPort(config_.MirrorHost, 21);
  for (int i = 0; i < kStreams; ++i) {
    results_[static_cast<size_t>(i)] = {};
    auto slot = std::make_unique<TSlot>();
    slot->Index = i;
    slot->Ftp.Host = host;
    slot->Ftp.Port = port;
    slot->Ftp.ConnectTimeoutMs = config_.ConnectTimeoutMs;
    slot->Ftp.ReceiveBufferBytes = 8192;
    slots_[static_cast<size_t>(i)] = std::move(slot);
  }
  // Every slot is filled before any thread runs, so an early ending finds
  // the others in place.
  for (auto& slot : slots_) slot->Thread = std::thread([this, s = slot.get()] { Run(*s); });
  return true;
}

void TDownloadTest::Stop() {
  for (auto& slot : slots_) {
    if (!slot) continue;
    slot->Stop = true;
    // The client's abort flag is checked by the blocked transfer: the
    // means of cancelling from outside.
    slot->Ftp.Abort();
  }
}

void TDownloadTest::Run(TSlot& slot) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  auto last = start;
  std::shared_ptr<std::atomic<bool>> alive = alive_;
  slot.Ftp.OnWorkBegin = [this, alive](int64_t) {
    config_.Post([this, alive] {
      if (*alive && config_.OnTransferStart) config_.OnTransferStart();
    });
  };
  slot.Ftp.OnWork = [&slot, &last](int64_t received) {
    const auto now = Clock::now();
    const double gap = std::chrono::duration<double, std::milli>(now - last).count();
    if (slot.Result.Bytes > 0 && gap > slot.Result.LongestStallMs) slot.Result.LongestStallMs = gap;
    last = now;
    slot.Result.Bytes = received;
    if (slot.Stop) slot.Ftp.Abort();
  };
  try {
    if (!slot.Stop) {
      const std::string data = slot.Ftp.Retrieve(config_.Folder, config_.File);
      slot.Result.Bytes = static_cast<int64_t>(data.size());
      slot.Result.Completed = true;
    }  // the data is thrown away here
  } catch (const std::exception& e) {
    slot.Result.Failure = e.what();
  }
  slot.Result.Seconds = std::chrono::duration<double>(Clock::now() - start).count();
  const int index = slot.Index;
  config_.Post([this, alive, index] {
    if (*alive) Ended(index);
  });
}

void TDownloadTest::Ended(int index) {
  auto& slot = slots_[static_cast<size_t>(index)];
  if (!slot) return;
  // The thread's last act was to post this: joining waits only for it to
  // return.
  if (slot->Thread.joinable()) slot->Thread.join();
  results_[static_cast<size_t>(index)] = slot->Result;
  slot.reset();
  if (!Running() && config_.OnEnded) config_.OnEnded();
}

}  // namespace qgm
