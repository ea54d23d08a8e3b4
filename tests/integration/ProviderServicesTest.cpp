// The simulator's other services through the program's own HTTP client: what
// later features (spam check, radio list, call usage, advisories, version
// check) will read from them.

#include <gtest/gtest.h>

#include "core/net/HttpClient.h"
#include "core/net/NetErrors.h"
#include "core/radio/Channels.h"
#include "core/radio/RadioList.h"
#include "core/util/Csv.h"
#include "core/util/DateTime.h"
#include "core/xml/XmlParser.h"
#include "support/SimulatorFixture.h"

namespace qgm::test {
namespace {

class ProviderServicesTest : public SimulatorTest {
 protected:
  void SetUp() override {
    SimulatorTest::SetUp();
    Sim().SetFeed(false, 0);
  }
  std::string Host() const { return "https://localhost:" + std::to_string(Sim().HttpsPort()); }
};

TEST_F(ProviderServicesTest, SpamRatePageAndRadioList) {
  THttpClient c(Context());
  const std::string spam = c.Get(Host() + "/cgi-bin/showmyspamrate?textonly=1");
  EXPECT_EQ(spam.substr(0, spam.find('\n')), Sim().Account().publicAddress);
  EXPECT_EQ(spam[spam.find('\n') + 1], 'N');
  Sim().SetSpamStatus("Spam detected: 140 messages in the last hour");
  EXPECT_NE(c.Get(Host() + "/cgi-bin/showmyspamrate?textonly=1").find("\nSpam"), std::string::npos);

  const std::string radio = c.Get(Host() + "/unmetered_radio_list.txt");
  EXPECT_NE(radio.find("CVK Jazz Lounge=http://"), std::string::npos);
  EXPECT_NE(radio.find("\r\n"), std::string::npos);
}

TEST_F(ProviderServicesTest, RadioListDownloadsAndFailsEmpty) {
  const auto list = DownloadRadioList(Host(), {}, &Context());
  ASSERT_EQ(list.size(), 7u);  // the line without "=" is not a channel
  EXPECT_EQ(list[1].Name, "CVK Jazz Lounge");
  EXPECT_EQ(list.back().Address, "http://streams.example.net/talk?a=b");
  EXPECT_EQ(DefaultChannels(list).size(), 3u);
  std::string why;
  EXPECT_TRUE(DownloadRadioList("https://127.0.0.1:1", {}, &Context(), &why).empty());
  EXPECT_FALSE(why.empty());
  // A proxy that is not there: nothing, and no direct request behind its back.
  Sim().ClearRequests();
  EXPECT_TRUE(DownloadRadioList(Host(), {true, "127.0.0.1", 1, "", ""}, &Context()).empty());
  EXPECT_TRUE(Sim().Requests().empty());
}

TEST_F(ProviderServicesTest, CallUsageMonthsWithTheirFileName) {
  THttpClient c(Context());
  c.BasicAuthentication = true;
  c.Username = Sim().Account().phoneNumber;
  c.Password = Sim().Account().phonePassword;
  const auto today = DecodeDate(Sim().Account().Today());
  static const char* months[] = {"January",   "February", "March",    "April",
                                 "May",       "June",     "July",     "August",
                                 "September", "October",  "November", "December"};
  const std::string url = Host() + "/cgi-bin/ch-usage?date=" + months[today.month - 1] + "%20" +
                          std::to_string(today.year) + "&mode=csv";
  const std::string csv = c.Get(url);
  const std::string disposition = c.Header("Content-disposition");
  char expected[40];
  std::snprintf(expected, sizeof expected, "callhaven_calls_%04d-%02d", today.year, today.month);
  EXPECT_NE(disposition.find(expected), std::string::npos) << disposition;
  // Every call line has six fields.
  std::vector<std::string> fields;
  size_t pos = csv.find("\r\n") + 2;
  while (pos < csv.size()) {
    const size_t end = csv.find("\r\n", pos);
    EXPECT_EQ(SplitCsvLine(csv.substr(pos, end - pos), 6, fields), 6u);
    pos = end + 2;
  }
  // Before the account's 28 months there is no file.
  c.Get(Host() + "/cgi-bin/ch-usage?date=January%20" + std::to_string(today.year - 3) +
        "&mode=csv");
  EXPECT_EQ(c.Header("Content-disposition"), "");
  c.Password = "wrong";
  EXPECT_THROW(c.Get(url), EHttpProtocolError);
}

TEST_F(ProviderServicesTest, FeedConditionalRequestsAndRedirects) {
  THttpClient c(Context());
  c.AllowTls = false;
  c.AllowCookies = true;
  const std::string rss = c.Get(Sim().FeedUrl());
  auto tree = BuildXmlTree1252(rss);
  EXPECT_NE(FindPath(tree.get(), {"rss", "channel", "item", "title"}), nullptr);
  const std::string etag = c.Header("ETag");
  const std::string modified = c.Header("Last-Modified");
  ASSERT_FALSE(etag.empty());

  c.CustomHeaders = {"If-Modified-Since: " + modified, "If-None-Match: " + etag};
  EXPECT_THROW(c.Get(Sim().FeedUrl()), EHttpProtocolError);
  EXPECT_EQ(c.ResponseCode(), 304);

  c.CustomHeaders.clear();
  for (int status : {301, 302, 307}) {
    Sim().SetFeed(true, status);
    EXPECT_THROW(c.Get(Sim().FeedUrl()), EHttpProtocolError);
    EXPECT_EQ(c.ResponseCode(), status);
    const std::string atom = c.Get(c.Location());
    EXPECT_NE(BuildXmlTree1252(atom)->FindChild("feed"), nullptr);
  }
  // A plain-HTTP-only client refuses https addresses.
  EXPECT_THROW(c.Get(Sim().ApiBase()), ENetError);
}

TEST_F(ProviderServicesTest, HomeSiteFiles) {
  THttpClient c(Context());
  Sim().SetHomeFiles("qgm0124.exe", "NOTICE-7\nA message from the QGM team.");
  EXPECT_EQ(c.Get(Sim().HomeSite() + "version"), "qgm0124.exe");
  EXPECT_EQ(c.Get(Sim().HomeSite() + "notice.txt"), "NOTICE-7\nA message from the QGM team.");
  Sim().SetHomeFiles("*", "");
  EXPECT_EQ(c.Get(Sim().HomeSite() + "notice.txt"), "");
}

}  // namespace
}  // namespace qgm::test
