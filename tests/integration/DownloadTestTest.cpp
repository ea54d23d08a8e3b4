// The four-stream download test against the simulator's FTP mirror: a whole
// run, a cancel at every moment, and a mirror that cannot be reached.
#include <gtest/gtest.h>

#include "core/network/DownloadTest.h"
#include "core/util/PostedQueue.h"
#include "support/SimulatorFixture.h"

namespace qgm::test {
namespace {

// The caller's thread: runs posted work until `done` holds (or the time is up).
class PostedQueue : public TPostedQueue {
 public:
  bool Pump(const std::function<bool()>& done, int limitMs = 20000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!done()) {
      if (std::chrono::steady_clock::now() >= end) return false;
      RunNext(50);
    }
    return true;
  }
};

class DownloadTestTest : public SimulatorTest {
 protected:
  TDownloadTest::TConfig Config(const std::string& host) {
    TDownloadTest::TConfig c;
    c.MirrorHost = host;
    c.ConnectTimeoutMs = 3000;
    c.Post = [this](std::function<void()> w) { posted_.Post(std::move(w)); };
    c.OnTransferStart = [this] { ++starts_; };
    c.OnEnded = [this] { ++ends_; };
    return c;
  }
  std::string Mirror() const { return "127.0.0.1:" + std::to_string(Sim().FtpPort()); }
  PostedQueue posted_;
  int starts_ = 0, ends_ = 0;
};

TEST_F(DownloadTestTest, FourStreamsFetchTheWholeFile) {
  TDownloadTest test(Config(Mirror()));
  ASSERT_TRUE(test.Start());
  EXPECT_FALSE(test.Start());  // a second start while it runs does nothing
  ASSERT_TRUE(posted_.Pump([&] { return ends_ == 1; }));
  EXPECT_FALSE(test.Running());
  EXPECT_EQ(starts_, 4);
  for (const auto& r : test.Results()) {
    EXPECT_TRUE(r.Completed) << r.Failure;
    EXPECT_EQ(r.Bytes, 10485760);
  }
}

TEST_F(DownloadTestTest, AMirrorByNameIsFetchedToo) {
  // "localhost" goes through the path that looks the name up first.
  TDownloadTest test(Config("localhost:" + std::to_string(Sim().FtpPort())));
  ASSERT_TRUE(test.Start());
  ASSERT_TRUE(posted_.Pump([&] { return ends_ == 1; }));
  for (const auto& r : test.Results()) EXPECT_EQ(r.Bytes, 10485760) << r.Failure;
}

TEST_F(DownloadTestTest, StopEndsEveryStreamAtAnyMoment) {
  // Before the connections, while they connect, during the transfers (the
  // loopback mirror is fast: a whole run takes about 100 ms).
  for (int delayMs : {0, 2, 10, 30}) {
    TDownloadTest test(Config(Mirror()));
    ends_ = 0;
    ASSERT_TRUE(test.Start());
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    test.Stop();
    ASSERT_TRUE(posted_.Pump([&] { return ends_ == 1; }, 10000)) << delayMs;
    EXPECT_FALSE(test.Running());
    if (delayMs == 0) {
      for (const auto& r : test.Results())
        EXPECT_FALSE(r.Completed);  // stopped before any transfer
    }
    // A new test can start once all have ended.
    EXPECT_TRUE(test.Start());
    test.Stop();
    ASSERT_TRUE(posted_.Pump([&] { return ends_ == 2; }, 10000));
  }
}

TEST_F(DownloadTestTest, AnUnreachableMirrorEndsWithoutATransfer) {
  TDownloadTest test(Config("127.0.0.1:1"));
  ASSERT_TRUE(test.Start());
  ASSERT_TRUE(posted_.Pump([&] { return ends_ == 1; }));
  EXPECT_EQ(starts_, 0);
  for (const auto& r : test.Results()) {
    EXPECT_FALSE(r.Completed);
    EXPECT_FALSE(r.Failure.empty());
  }
}

// A mirror that paces its transfers (as the demo's does): the streams
// receive while they run, a stop ends them mid-file, and the mirror itself
// shuts down without waiting for its transfers to finish.
TEST_F(DownloadTestTest, APacedMirrorIsStoppedMidFile) {
  corvalink::sim::SimulatorOptions options;
  options.ftpBytesPerSecond = 100000;  // 105 s a file
  auto paced = std::make_unique<corvalink::sim::ProviderSimulator>(options);
  paced->Start();
  TDownloadTest test(Config("127.0.0.1:" + std::to_string(paced->FtpPort())));
  ASSERT_TRUE(test.Start());
  ASSERT_TRUE(posted_.Pump([&] { return starts_ == 4; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_TRUE(test.Running());
  test.Stop();
  ASSERT_TRUE(posted_.Pump([&] { return ends_ == 1; }, 5000));
  for (const auto& r : test.Results()) {
    EXPECT_FALSE(r.Completed);
    EXPECT_GT(r.Bytes, 0);
    EXPECT_LT(r.Bytes, 10485760 / 4);
  }
  // Again, with the mirror going away under running transfers.
  ASSERT_TRUE(test.Start());
  ASSERT_TRUE(posted_.Pump([&] { return starts_ == 8; }));
  paced.reset();
  ASSERT_TRUE(posted_.Pump([&] { return ends_ == 2; }, 5000));
  for (const auto& r : test.Results()) EXPECT_FALSE(r.Completed);
}

// A mirror that serves three sessions at once greets the fourth with 421
// and closes it: that stream fails at once with the server's words, not as
// a time-out, while the other three go on receiving.
TEST_F(DownloadTestTest, AFourthConnectionRefusedByTheMirrorSaysSo) {
  corvalink::sim::SimulatorOptions options;
  options.ftpBytesPerSecond = 100000;  // 105 s a file: the three stay connected
  options.ftpMaxSessions = 3;
  auto limited = std::make_unique<corvalink::sim::ProviderSimulator>(options);
  limited->Start();
  TDownloadTest test(Config("127.0.0.1:" + std::to_string(limited->FtpPort())));
  ASSERT_TRUE(test.Start());
  const auto refused = [&] {
    int n = 0;
    for (const auto& r : test.Results()) n += !r.Failure.empty();
    return n;
  };
  ASSERT_TRUE(posted_.Pump([&] { return starts_ == 3 && refused() == 1; }));
  test.Stop();
  ASSERT_TRUE(posted_.Pump([&] { return ends_ == 1; }, 5000));
  int received = 0;
  for (const auto& r : test.Results()) {
    EXPECT_FALSE(r.Completed);
    if (r.Bytes > 0) {
      ++received;
    } else {
      EXPECT_EQ(r.Failure, "421 There are too many connected users, please try later.");
    }
  }
  EXPECT_EQ(received, 3);
  EXPECT_EQ(starts_, 3);
}

TEST_F(DownloadTestTest, DestroyedWhileRunningStopsAndWaits) {
  {
    TDownloadTest test(Config(Mirror()));
    ASSERT_TRUE(test.Start());
  }
  // The endings it posted find nothing to do.
  posted_.Pump([] { return false; }, 200);
  EXPECT_EQ(ends_, 0);
}

}  // namespace
}  // namespace qgm::test
