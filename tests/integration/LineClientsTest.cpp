#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

#include "LineServices.h"
#include "core/net/FtpClient.h"
#include "core/net/NetErrors.h"
#include "core/net/Pop3Client.h"
#include "core/net/TcpConnection.h"
#include "core/net/TimeClient.h"
#include "support/LoopbackServer.h"
#include "support/SimulatorFixture.h"

namespace qgm::test {
namespace {

class LineClientsTest : public SimulatorTest {
 protected:
  void SetUp() override {
    SimulatorTest::SetUp();
    Sim().SetTimeBehaviour(0, 0);
  }
};

TEST_F(LineClientsTest, Pop3LogsInCountsAndReadsHeaders) {
  TPop3Client c(Context());
  c.Host = "localhost";
  c.Port = Sim().Pop3Port();
  c.Username = "family";
  c.Password = "family";
  c.Connect();
  EXPECT_EQ(c.CheckMessages(), 3);
  const auto header = c.RetrieveHeader(2);
  bool sawFrom = false, sawStatus = false, sawStuffed = false;
  for (const auto& line : header) {
    sawFrom |= line.rfind("From: Voicemail <", 0) == 0;
    sawStatus |= line == "Status: U";
    sawStuffed |= line == ".dot-stuffed: header line";
  }
  EXPECT_TRUE(sawFrom && sawStatus && sawStuffed);
  // "TOP n 0" gives the header and the empty line that ends it, as a POP3
  // server sends them.
  ASSERT_FALSE(header.empty());
  EXPECT_EQ(header.back(), "");
  EXPECT_EQ(std::count(header.begin(), header.end(), std::string()), 1);
  EXPECT_THROW(c.RetrieveHeader(9), EPop3Error);
  c.Disconnect();
  EXPECT_FALSE(c.Connected());
}

TEST_F(LineClientsTest, Pop3RefusedLoginAndEmptyMailbox) {
  TPop3Client bad(Context());
  bad.Host = "localhost";
  bad.Port = Sim().Pop3Port();
  bad.Username = "demo";
  bad.Password = "wrong";
  try {
    bad.Connect();
    FAIL();
  } catch (const EPop3Error& e) {
    EXPECT_EQ(std::string(e.what()).rfind("-ERR", 0), 0u);
  }
  TPop3Client empty(Context());
  empty.Host = "localhost";
  empty.Port = Sim().Pop3Port();
  empty.Username = empty.Password = "empty";
  empty.Connect();
  EXPECT_EQ(empty.CheckMessages(), 0);
}

TEST_F(LineClientsTest, Pop3RequiresATrustedCertificate) {
  TNetContext strangers;
  TPop3Client c(strangers);
  c.Host = "localhost";
  c.Port = Sim().Pop3Port();
  c.Username = c.Password = "demo";
  EXPECT_THROW(c.Connect(), ENetError);
}

// Each mail check connects afresh; the second and later connections to the
// same server resume the TLS session of an earlier one instead of a full
// handshake, also after a connection dropped before the server's session
// arrived, and a context of its own starts from nothing.
TEST_F(LineClientsTest, TlsReconnectsResumeTheServersSession) {
  const int port = Sim().Pop3Port();
  auto greet = [&](TNetContext& context, bool read) {
    TTcpConnection c(context);
    c.Connect("localhost", port, 5000, true);
    if (read) {
      EXPECT_EQ(c.ReadLine(5000).rfind("+OK", 0), 0u);
    }
    return c.ResumedSession();
  };
  TNetContext context(Sim().CaFile().string());
  EXPECT_FALSE(greet(context, true));
  EXPECT_TRUE(greet(context, true));
  EXPECT_TRUE(greet(context, false));
  EXPECT_TRUE(greet(context, true));
  TNetContext other(Sim().CaFile().string());
  EXPECT_FALSE(greet(other, true));
}

TEST(Pop3Replies, StatReply) {
  EXPECT_EQ(TPop3Client::ParseStatReply("+OK 3 3600"), 3);
  EXPECT_EQ(TPop3Client::ParseStatReply("+OK 0 0"), 0);
  EXPECT_EQ(TPop3Client::ParseStatReply("+OK"), -1);
  EXPECT_EQ(TPop3Client::ParseStatReply("-ERR 3 4"), -1);
  EXPECT_EQ(TPop3Client::ParseStatReply("+OK 99999999999"), -1);
}

TEST_F(LineClientsTest, TimeServiceGivesLocalTime) {
  TTimeClient t(Context());
  t.Host = "127.0.0.1";
  t.Port = Sim().TimePort();
  Sim().SetTimeBehaviour(3600, 0);  // the server's clock is an hour ahead
  const TDateTime server = t.DateTime();
  const double hoursAhead = (server - NowLocal()) * 24;
  EXPECT_NEAR(hoursAhead, 1.0, 0.01);
}

TEST_F(LineClientsTest, SilentTimeServerGivesZero) {
  TTimeClient t(Context());
  t.Host = "127.0.0.1";
  t.Port = Sim().TimePort();
  Sim().SetTimeBehaviour(0, -1);
  EXPECT_EQ(t.DateTime(), 0.0);
  t.Port = 1;  // nothing listens there
  EXPECT_EQ(t.DateTime(), 0.0);
}

TEST(TimeProtocol, SecondsSince1900) {
  // 3,610,000,000 s after 1900 is 2014-05-25 09:46:40 UTC.
  setenv("TZ", "UTC0", 1);
  tzset();
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", TTimeClient::FromProtocolSeconds(3610000000u, 2)),
            "2014-05-25 09:46:42");
  setenv("TZ", "AEST-10", 1);
  tzset();
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", TTimeClient::FromProtocolSeconds(3610000000u, 0)),
            "2014-05-25 19:46");
  unsetenv("TZ");
  tzset();
}

TEST_F(LineClientsTest, FtpDownloadsTheTestFileWithProgress) {
  TFtpClient ftp;
  ftp.Host = "127.0.0.1";
  ftp.Port = Sim().FtpPort();
  int64_t announced = 0, lastWork = 0;
  int workEvents = 0;
  ftp.OnWorkBegin = [&](int64_t size) { announced = size; };
  ftp.OnWork = [&](int64_t n) {
    EXPECT_GE(n, lastWork);
    lastWork = n;
    ++workEvents;
  };
  const std::string data = ftp.Retrieve("pub/test", "10meg.test");
  ASSERT_EQ(static_cast<int64_t>(data.size()), corvalink::sim::kTestFileSize);
  EXPECT_EQ(announced, corvalink::sim::kTestFileSize);
  EXPECT_EQ(lastWork, corvalink::sim::kTestFileSize);
  EXPECT_GT(workEvents, 10);
  for (int64_t i : {int64_t{0}, int64_t{4097}, corvalink::sim::kTestFileSize - 1}) {
    EXPECT_EQ(static_cast<unsigned char>(data[i]), corvalink::sim::TestFileByte(i));
  }
  EXPECT_THROW(ftp.Retrieve("pub/nope", "10meg.test"), ENetError);
}

TEST_F(LineClientsTest, FtpAbortFromAnotherThread) {
  TFtpClient ftp;
  ftp.Host = "127.0.0.1";
  ftp.Port = Sim().FtpPort();
  std::atomic<bool> started{false};
  ftp.OnWork = [&](int64_t) { started = true; };
  std::thread canceller([&] {
    while (!started) std::this_thread::yield();
    ftp.Abort();
  });
  EXPECT_THROW(ftp.Retrieve("pub/test", "10meg.test"), EFtpAborted);
  canceller.join();
}

TEST_F(LineClientsTest, FtpAbortBeforeTheTransferStartsIsNotLost) {
  TFtpClient ftp;
  ftp.Host = "127.0.0.1";
  ftp.Port = Sim().FtpPort();
  bool started = false;
  ftp.OnWorkBegin = [&](int64_t) { started = true; };
  ftp.Abort();  // the user cancels right after starting the download test
  EXPECT_THROW(ftp.Retrieve("pub/test", "10meg.test"), EFtpAborted);
  EXPECT_FALSE(started);
}

TEST(FtpReplies, AServersRefusalIsShownWithoutItsControlCharacters) {
  // A terminal title sequence, a bell, a tab and a NUL in a 421 greeting:
  // the reason is printed and shown, so it comes as plain text on one line.
  static const char greeting[] = "421 \x1b]0;owned\x07Too many\tusers\0 now\r\n";
  LoopbackServer busy([](int fd) {
    (void)::send(fd, greeting, sizeof greeting - 1, MSG_NOSIGNAL);
    ::close(fd);
  });
  TFtpClient ftp;
  ftp.Host = "127.0.0.1";
  ftp.Port = busy.Port();
  ftp.ReadTimeoutMs = 2000;
  std::string failure;
  try {
    ftp.Retrieve("pub/test", "10meg.test");
  } catch (const ENetError& e) {
    failure = e.what();
  }
  EXPECT_EQ(failure, "421  ]0;owned Too many users  now");
}

}  // namespace
}  // namespace qgm::test
