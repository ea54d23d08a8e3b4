// Servers that accept and then never answer, or answer too slowly for ever:
// every client gives up with an error instead of waiting without end, and a
// cancelled context ends a call that waits.

#include <gtest/gtest.h>

#include "core/net/FtpClient.h"
#include "core/net/HttpClient.h"
#include "core/net/NetErrors.h"
#include "core/net/Pop3Client.h"
#include "support/SilentServer.h"
#include "support/SimulatorFixture.h"

namespace qgm::test {
namespace {

using corvalink::sim::Pop3Behaviour;
using corvalink::sim::Scenario;

class SilentServersTest : public SimulatorTest {
 protected:
  SilentServersTest() : quick_(Sim().CaFile().string()) {
    // Short limits, as a test waits for them; the program's are 30 s and
    // 5 minutes.
    quick_.Timeouts.ReadMs = 300;
    quick_.Timeouts.DeadlineMs = 60000;
  }
  void TearDown() override { Sim().SetPop3Behaviour(Pop3Behaviour::Normal); }

  // The message of the ENetError `call` raises ("" when it raises none).
  template <class F>
  static std::string FailureOf(F call) {
    try {
      call();
    } catch (const ENetError& e) {
      return e.what();
    }
    return "";
  }
  static void Aim(TPop3Client& c, const std::string& user) {
    c.Host = "localhost";
    c.Port = Sim().Pop3Port();
    c.Username = c.Password = user;
  }

  TNetContext quick_;
  SilentServer silent_;
};

TEST_F(SilentServersTest, HttpWithoutATimeOutOfItsOwnTakesTheContexts) {
  THttpClient c(quick_);  // ReadTimeoutMs left unset, as the feed's client has it
  EXPECT_EQ(FailureOf([&] { c.Get(silent_.Url("/rss")); }), kReadTimeout);
  EXPECT_EQ(silent_.Accepted(), 1);
  // A time-out of the caller's own still wins over the context's.
  quick_.Timeouts.ReadMs = 60000;
  c.ReadTimeoutMs = 300;
  EXPECT_EQ(FailureOf([&] { c.Get(silent_.Url("/rss")); }), kReadTimeout);
}

TEST_F(SilentServersTest, HttpReplyThatTricklesPastTheDeadlineFails) {
  // The slow body's pieces come well within the read time-out, but the
  // whole reply takes about a second.
  Sim().SetScenario(Scenario::SlowBody);
  THttpClient c(quick_);
  c.BasicAuthentication = true;
  c.Username = c.Password = "demo";
  c.ReadTimeoutMs = 5000;
  c.DeadlineMs = 300;
  EXPECT_EQ(FailureOf([&] { c.Get(Sim().ApiBase()); }), kTookTooLong);
  // The context's deadline for a client that sets none.
  c.DeadlineMs = 0;
  quick_.Timeouts.DeadlineMs = 300;
  EXPECT_EQ(FailureOf([&] { c.Get(Sim().ApiBase()); }), kTookTooLong);
  // A download that may take long (the update file) sets none at all and
  // is bounded by its read time-out alone.
  c.DeadlineMs = THttpClient::kNoDeadline;
  EXPECT_NE(c.Get(Sim().ApiBase()).find("<corvalink"), std::string::npos);
}

TEST_F(SilentServersTest, CancellingTheContextEndsAWaitingCallAndLaterOnes) {
  quick_.Timeouts.ReadMs = 60000;
  // The idle hook is where the window program hears a termination signal.
  quick_.SetIdleHook([this] { quick_.Cancel(); });
  THttpClient c(quick_);
  EXPECT_EQ(FailureOf([&] { c.Get(silent_.Url()); }), kCancelled);
  // Once cancelled, a call gives up before it connects.
  TPop3Client p(quick_);
  Aim(p, "demo");
  EXPECT_EQ(FailureOf([&] { p.Connect(); }), kCancelled);
  EXPECT_EQ(silent_.Accepted(), 1);
}

TEST_F(SilentServersTest, Pop3ServerThatFallsSilentAfterLogin) {
  Sim().SetPop3Behaviour(Pop3Behaviour::SilentAfterLogin);
  TPop3Client c(quick_);  // ReadTimeoutMs left unset
  Aim(c, "demo");
  c.Connect();
  EXPECT_EQ(FailureOf([&] { c.CheckMessages(); }), kReadTimeout);
}

TEST_F(SilentServersTest, Pop3SessionHasADeadline) {
  // Every reply takes half a second, well within the read time-out; the
  // login alone takes a second.
  Sim().SetPop3Behaviour(Pop3Behaviour::Slow);
  TPop3Client c(quick_);
  Aim(c, "demo");
  c.ReadTimeoutMs = 5000;
  c.DeadlineMs = 700;
  EXPECT_EQ(FailureOf([&] { c.Connect(); }), kTookTooLong);
}

TEST_F(SilentServersTest, FtpServerThatNeverGreets) {
  TFtpClient ftp;
  ftp.Host = "127.0.0.1";
  ftp.Port = silent_.Port();
  ftp.ReadTimeoutMs = 1000;
  EXPECT_EQ(FailureOf([&] { ftp.Retrieve("pub/test", "10meg.test"); }), kReadTimeout);
}

}  // namespace
}  // namespace qgm::test
