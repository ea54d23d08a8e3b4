#include "core/net/HttpClient.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/net/NetErrors.h"
#include "core/net/UsageRequest.h"
#include "support/RefusingProxy.h"
#include "support/SimulatorFixture.h"

namespace qgm::test {
namespace {

using corvalink::sim::Scenario;

class HttpClientTest : public SimulatorTest {
 protected:
  static void Prepare(THttpClient& c) {
    c.BasicAuthentication = true;
    c.Username = "demo";
    c.Password = "demo";
    c.UserAgent = UserAgent();
    c.ReadTimeoutMs = 2000;
  }
  TUsageRequestConfig Config(int readTimeoutMs = 15000) {
    TUsageRequestConfig config;
    config.Context = &Context();
    config.ReadTimeoutMs = readTimeoutMs;
    return config;
  }
};

TEST_F(HttpClientTest, GetsBodyWithBasicAuthenticationOnTheFirstRequest) {
  THttpClient c(Context());
  Prepare(c);
  const std::string body = c.Get(Sim().ApiBase());
  EXPECT_NE(body.find("<services>"), std::string::npos);
  EXPECT_EQ(c.ResponseCode(), 200);
  EXPECT_EQ(c.StatusLine(), "HTTP/1.1 200 OK");
  EXPECT_NE(c.Header("content-TYPE").find("text/xml"), std::string::npos);
  const auto requests = Sim().Requests();
  ASSERT_EQ(requests.size(), 1u);  // no challenge round trip
  EXPECT_EQ(requests[0].user, "demo");
  EXPECT_EQ(requests[0].userAgent, std::string("QGM/") + QGM_VERSION);
}

TEST_F(HttpClientTest, Status500ReturnsTheBody) {
  Sim().SetScenario(Scenario::ServerError);
  THttpClient c(Context());
  Prepare(c);
  EXPECT_NE(c.Get(Sim().ApiBase()).find("<error>"), std::string::npos);
  EXPECT_EQ(c.ResponseCode(), 500);
}

TEST_F(HttpClientTest, RedirectsAreNotFollowedAndStayReadable) {
  Sim().SetCannedReply("", 301, "moved", {{"Location", "https://elsewhere.example/api/"}});
  THttpClient c(Context());
  Prepare(c);
  try {
    c.Get(Sim().ApiBase());
    FAIL() << "no protocol error";
  } catch (const EHttpProtocolError& e) {
    EXPECT_EQ(e.Code(), 301);
    EXPECT_STREQ(e.what(), "HTTP/1.1 301 Moved Permanently");
    EXPECT_EQ(e.Body(), "moved");
  }
  EXPECT_EQ(c.ResponseCode(), 301);
  EXPECT_EQ(c.Location(), "https://elsewhere.example/api/");
  EXPECT_EQ(Sim().Requests().size(), 1u);
}

TEST_F(HttpClientTest, OtherStatusesRaiseProtocolErrors) {
  Sim().SetCannedReply("", 304, "");
  THttpClient c(Context());
  Prepare(c);
  EXPECT_THROW(c.Get(Sim().ApiBase()), EHttpProtocolError);
  EXPECT_EQ(c.ResponseCode(), 304);
  Sim().SetScenario(Scenario::WrongPassword);
  EXPECT_THROW(c.Get(Sim().ApiBase()), EHttpProtocolError);
  EXPECT_EQ(c.ResponseCode(), 401);
}

TEST_F(HttpClientTest, TransientFailuresCarryTheirFixedMessages) {
  THttpClient c(Context());
  Prepare(c);
  c.ReadTimeoutMs = 300;
  Sim().SetScenario(Scenario::ReadTimeout);
  try {
    c.Get(Sim().ApiBase());
    FAIL();
  } catch (const ENetError& e) {
    EXPECT_STREQ(e.what(), kReadTimeout);
  }
  Sim().SetScenario(Scenario::ConnectionClosed);
  try {
    c.Get(Sim().ApiBase());
    FAIL();
  } catch (const ENetError& e) {
    EXPECT_STREQ(e.what(), kConnectionClosed);
  }
}

TEST_F(HttpClientTest, IdleHookRunsWhileACallWaits) {
  TNetContext context(Sim().CaFile().string());
  int idleCalls = 0;
  context.SetIdleHook([&] { ++idleCalls; });
  THttpClient c(context);
  c.BasicAuthentication = true;
  c.Username = c.Password = "demo";
  Sim().SetScenario(Scenario::SlowBody);
  const std::string body = c.Get(Sim().ApiBase());
  EXPECT_NE(body.find("</corvalink>"), std::string::npos);
  EXPECT_GE(idleCalls, 2);  // the body takes about a second

  // A reply held back 600 ms: the window never goes 250 ms without the
  // hook, so it runs at least three times (a wake-up just before a slice
  // ended used to start a whole new slice: twice, 500 ms apart).
  Sim().SetPacing(600, 100);
  Sim().SetScenario(Scenario::ReadTimeout, 1);
  idleCalls = 0;
  c.Get(Sim().ApiBase());
  Sim().SetPacing(3000, 100);
  EXPECT_GE(idleCalls, 3);
}

TEST_F(HttpClientTest, OversizedBodyFailsInsteadOfFillingMemory) {
  Sim().SetScenario(Scenario::OversizedBody);
  THttpClient c(Context());
  Prepare(c);
  c.MaxBodyBytes = 4 * 1024 * 1024;
  EXPECT_THROW(c.Get(Sim().ApiBase()), ENetError);
}

TEST_F(HttpClientTest, UntrustedServerIsRefused) {
  // The default context trusts only the system's CAs, not the simulator's.
  TNetContext strangers;
  THttpClient c(strangers);
  EXPECT_THROW(c.Get(Sim().ApiBase()), ENetError);
  EXPECT_TRUE(Sim().Requests().empty());  // nothing, credentials least of all, was sent
}

TEST_F(HttpClientTest, HeaderValuesWithLineBreaksAreNeverSent) {
  // Each would end its header early and make the rest a header of its own.
  const auto failure = [this](const std::function<void(THttpClient&)>& set) -> std::string {
    THttpClient c(Context());
    Prepare(c);
    set(c);
    try {
      c.Get(Sim().ApiBase());
    } catch (const ENetError& e) {
      return e.what();
    }
    return "";
  };
  EXPECT_EQ(failure([](THttpClient& c) { c.Username = "demo\r\nX-Injected: 1"; }),
            "The user name holds a line break.");
  EXPECT_EQ(failure([](THttpClient& c) { c.Password = "demo\n"; }),
            "The password holds a line break.");
  EXPECT_EQ(failure([](THttpClient& c) { c.CustomHeaders = {"If-None-Match: a\r\nX: b"}; }),
            "The request header holds a line break.");
  EXPECT_EQ(failure([](THttpClient& c) { c.UserAgent = std::string("QGM\0x", 5); }),
            "The user agent holds a NUL character.");
  EXPECT_EQ(failure([](THttpClient& c) {
              TProxySettings proxy{true, "127.0.0.1", 1, "me", "pw\r\nX: 1"};
              ApplyProxySettings(c, proxy);
            }),
            "The proxy password holds a line break.");
  EXPECT_TRUE(Sim().Requests().empty());
  // The same client with clean values goes through.
  EXPECT_EQ(failure([](THttpClient&) {}), "");
}

TEST_F(HttpClientTest, GetWithRetriesRules) {
  std::string out;
  // A 500 with "<error>" is a body: false, and not retried.
  Sim().SetScenario(Scenario::ServerError);
  EXPECT_FALSE(GetWithRetries(Sim().ApiBase(), "demo", 2, out, "demo", Config()));
  EXPECT_NE(out.find("<error>"), std::string::npos);
  EXPECT_EQ(Sim().Requests().size(), 1u);

  // A body over 1000 characters is good even with "<error>" in it.
  Sim().SetScenario(Scenario::Normal);
  Sim().SetCannedReply("", 200, "<error>" + std::string(1000, ' '));
  EXPECT_TRUE(GetWithRetries(Sim().ApiBase(), "demo", 2, out, "demo", Config()));
  Sim().SetCannedReply("", 200, "");
  EXPECT_FALSE(GetWithRetries(Sim().ApiBase(), "demo", 2, out, "demo", Config()));
  Sim().ClearCannedReplies();

  // Three read time-outs with two further tries: three attempts, then the message.
  Sim().ClearRequests();
  Sim().SetScenario(Scenario::ReadTimeout);
  EXPECT_FALSE(GetWithRetries(Sim().ApiBase(), "demo", 2, out, "demo", Config(200)));
  EXPECT_EQ(out, kReadTimeout);
  EXPECT_EQ(Sim().Requests().size(), 3u);

  // Two closed connections, then success on the third attempt.
  Sim().ClearRequests();
  Sim().SetScenario(Scenario::ConnectionClosed, 2);
  EXPECT_TRUE(GetWithRetries(Sim().ApiBase(), "demo", 2, out, "demo", Config()));
  EXPECT_NE(out.find("<services>"), std::string::npos);
  EXPECT_EQ(Sim().Requests().size(), 3u);

  // Any other failure ends the loop after the first attempt.
  Sim().ClearRequests();
  Sim().SetScenario(Scenario::WrongPassword);
  EXPECT_FALSE(GetWithRetries(Sim().ApiBase(), "demo", 2, out, "demo", Config()));
  EXPECT_EQ(out, "HTTP/1.1 401 Unauthorized");
  EXPECT_EQ(Sim().Requests().size(), 1u);

  // An empty account name sends no credentials.
  Sim().ClearRequests();
  Sim().SetScenario(Scenario::Normal);
  EXPECT_FALSE(GetWithRetries(Sim().ApiBase(), "", 0, out, "demo", Config()));
  EXPECT_EQ(Sim().Requests().at(0).user, "");
}

TEST_F(HttpClientTest, ConnectionFailureIsNotRetried) {
  std::string out;
  // Nothing listens on port 1 of the loopback address.
  EXPECT_FALSE(GetWithRetries("https://127.0.0.1:1/api/v1.5/", "demo", 2, out, "demo", Config()));
  EXPECT_FALSE(out.empty());
  EXPECT_NE(out, kReadTimeout);
}

// A proxy that refuses the credentials answers 407 the same way whether it
// was to forward the request (plain HTTP) or to open a tunnel (HTTPS): the
// caller sees the proxy's status, not a transport failure.
TEST_F(HttpClientTest, ProxyRefusalIsTheProxysStatusForATunnelToo) {
  RefusingProxy proxy;
  THttpClient c(Context());
  Prepare(c);
  ApplyProxySettings(c, {true, "127.0.0.1", proxy.Port(), "me", "wrong"});
  for (const std::string& url : {Sim().FeedUrl(), Sim().ApiBase()}) {
    SCOPED_TRACE(url);
    try {
      c.Get(url);
      ADD_FAILURE() << "a refused request succeeded";
    } catch (const EHttpProtocolError& e) {
      EXPECT_EQ(e.Code(), 407);
      EXPECT_STREQ(e.what(), "HTTP/1.1 407 Proxy Authentication Required");
    } catch (const ENetError& e) {
      ADD_FAILURE() << "a transport failure instead of the proxy's status: " << e.what();
    }
    EXPECT_EQ(c.ResponseCode(), 407);
  }
  const auto lines = proxy.RequestLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].rfind("GET " + Sim().FeedUrl(), 0), 0u) << lines[0];
  EXPECT_EQ(lines[1].rfind("CONNECT localhost:", 0), 0u) << lines[1];
}

TEST(ProxySettings, AppliedByTheSetupRules) {
  THttpClient c;
  TProxySettings p{true, "proxy.example", 3128, "user", ""};
  ApplyProxySettings(c, p);
  EXPECT_EQ(c.Proxy.Server, "proxy.example");
  EXPECT_EQ(c.Proxy.Port, 3128);
  EXPECT_FALSE(c.Proxy.BasicAuthentication);  // no password: no proxy authentication
  p.Password = "secret";
  ApplyProxySettings(c, p);
  EXPECT_TRUE(c.Proxy.BasicAuthentication);
  p.UseProxy = false;
  ApplyProxySettings(c, p);
  EXPECT_EQ(c.Proxy.Server, "");
  EXPECT_EQ(c.Proxy.Port, 0);
  EXPECT_EQ(c.Proxy.Username, "");
  EXPECT_FALSE(c.Proxy.BasicAuthentication);
}

}  // namespace
}  // namespace qgm::test
