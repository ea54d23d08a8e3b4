// The advisories feed through the real HTTP client against the simulator:
// conditional requests, redirects, encodings, the feed layouts, and which
// advisories count as new.

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "core/advisories/Advisories.h"
#include "core/advisories/Feed.h"
#include "core/net/Endpoints.h"
#include "core/net/HttpClient.h"
#include "support/FakeTime.h"
#include "support/SimulatorFixture.h"

namespace qgm::test {
namespace {

using corvalink::sim::FeedEncoding;
using corvalink::sim::FeedFormat;
using corvalink::sim::FeedOptions;

class RecordingView : public IAdvisoriesView {
 public:
  void ShowAdvisories(const std::vector<TAdvisory>& a) override {
    shown = a;
    ++rebuilds;
  }
  std::vector<TAdvisory> shown;
  int rebuilds = 0;
};

class AdvisoriesTest : public SimulatorTest {
 protected:
  void SetUp() override {
    SimulatorTest::SetUp();
    Sim().SetFeed(FeedOptions{});
    advisories_ = std::make_unique<TAdvisories>(
        TAdvisoriesConfig{Sim().FeedUrl(), "QGM/1.0", &Context()}, seen_, clock_, &view_);
  }
  std::vector<std::string> Titles() const {
    std::vector<std::string> t;
    for (const TAdvisory& a : view_.shown) t.push_back(a.Title);
    return t;
  }
  int NewCount() const {
    int n = 0;
    for (const TAdvisory& a : view_.shown) n += a.IsNew;
    return n;
  }
  size_t FeedRequests() const { return Sim().Requests().size(); }

  std::vector<std::string> seen_;
  FakeClock clock_;
  RecordingView view_;
  std::unique_ptr<TAdvisories> advisories_;
};

TEST_F(AdvisoriesTest, KeyIsTheCrcOfTitleAndDescription) {
  EXPECT_EQ(AdvisoryKey("a", "bc"), "352441C2");
  EXPECT_EQ(AdvisoryKey("", ""), "0");
}

TEST_F(AdvisoriesTest, DemoFeedReadsWithEveryField) {
  ASSERT_TRUE(advisories_->RefreshAdvisories());
  EXPECT_EQ(advisories_->Title(), "Corvalink Network Status");
  ASSERT_EQ(view_.shown.size(), 5u);
  const TAdvisory& first = view_.shown[0];
  EXPECT_EQ(first.Title, "Planned maintenance: Sydney exchange");
  EXPECT_EQ(first.Description.find("<br>"), std::string::npos);
  EXPECT_NE(first.Description.find("equipment.\nWe apologise"), std::string::npos)
      << first.Description;
  EXPECT_EQ(first.Link, "https://www.corvalink.example/status");
  EXPECT_EQ(first.EnclosureUrl, "https://www.corvalink.example/status/maintenance-sydney.pdf");
  EXPECT_EQ(first.EnclosureType, "application/pdf");
  EXPECT_EQ(first.EnclosureLength, 48213u);
  EXPECT_EQ(first.Key, AdvisoryKey(first.Title, first.Description));
  // Entities in titles are decoded; "&#150;" is the 8-bit dash.
  EXPECT_EQ(view_.shown[2].Title, "Brisbane ADSL outage \x96 resolved");
  EXPECT_NE(view_.shown[1].Description.find("delivered & no mail"), std::string::npos);
  EXPECT_EQ(NewCount(), 5);
  // The client says who it is and takes the server's cookie back.
  advisories_->RefreshAdvisories();
  const auto requests = Sim().Requests();
  EXPECT_EQ(requests.front().userAgent, "QGM/1.0");
  EXPECT_EQ(requests.front().accept, "text/html, */*");
  EXPECT_EQ(requests.front().cookie, "");
  EXPECT_EQ(requests.back().cookie, "cvksession=feed42");
}

TEST_F(AdvisoriesTest, EveryLayoutAndEncodingGivesTheSameList) {
  ASSERT_TRUE(advisories_->RefreshAdvisories());
  const std::vector<TAdvisory> reference = view_.shown;
  for (FeedFormat format : {FeedFormat::Rss2, FeedFormat::Rss1, FeedFormat::Atom}) {
    for (FeedEncoding encoding :
         {FeedEncoding::Cp1252, FeedEncoding::Utf16LE, FeedEncoding::Utf16BE}) {
      FeedOptions f;
      f.format = format;
      f.encoding = encoding;
      Sim().SetFeed(f);
      TAdvisories fresh({Sim().FeedUrl(), "QGM/1.0", &Context()}, seen_, clock_, &view_);
      ASSERT_TRUE(fresh.RefreshAdvisories()) << int(format) << "/" << int(encoding);
      EXPECT_EQ(fresh.Info().IsAtom, format == FeedFormat::Atom);
      ASSERT_EQ(view_.shown.size(), reference.size());
      for (size_t i = 0; i < reference.size(); ++i) {
        EXPECT_EQ(view_.shown[i].Title, reference[i].Title);
        EXPECT_EQ(view_.shown[i].Description, reference[i].Description);
        EXPECT_EQ(view_.shown[i].Link, reference[i].Link);
        EXPECT_EQ(view_.shown[i].EnclosureUrl, reference[i].EnclosureUrl);
        EXPECT_EQ(view_.shown[i].Key, reference[i].Key);
      }
    }
  }
}

TEST_F(AdvisoriesTest, NotModifiedRebuildsFromTheKeptTreeWithTodaysSeenKeys) {
  ASSERT_TRUE(advisories_->RefreshAdvisories());
  EXPECT_FALSE(advisories_->Info().ETag.empty());
  EXPECT_EQ(NewCount(), 5);
  // The tab is visited: everything listed is seen.
  clock_.Advance(1000);
  advisories_->RememberSeenAdvisories();
  EXPECT_EQ(seen_.size(), 5u);
  clock_.Advance(1000);
  ASSERT_TRUE(advisories_->RefreshAdvisories());
  EXPECT_EQ(view_.rebuilds, 2);
  EXPECT_EQ(view_.shown.size(), 5u);
  EXPECT_EQ(NewCount(), 0);
  // The second request was conditional and answered 304 with no body.
  EXPECT_EQ(Sim().Requests().size(), 2u);
  // A changed advisory counts as new.
  std::string changed = Sim().Account().FeedXml(FeedFormat::Rss2);
  changed.replace(changed.find("two hours"), 9, "three hours");
  FeedOptions f;
  f.body = changed;
  Sim().SetFeed(f);
  ASSERT_TRUE(advisories_->RefreshAdvisories());
  EXPECT_EQ(NewCount(), 1);
  EXPECT_TRUE(view_.shown[2].IsNew);
}

TEST_F(AdvisoriesTest, AVisitBeforeTheFirstRebuildKeepsTheStoredKeys) {
  seen_ = {"1234ABCD", "C0FFEE"};
  advisories_->RememberSeenAdvisories();
  EXPECT_EQ(seen_, (std::vector<std::string>{"1234ABCD", "C0FFEE"}));
  // A visit with the list unchanged since the last one leaves them too.
  ASSERT_TRUE(advisories_->RefreshAdvisories());
  clock_.Advance(1000);
  advisories_->RememberSeenAdvisories();
  const auto taken = seen_;
  seen_.push_back("EXTRA");
  clock_.Advance(1000);
  advisories_->RememberSeenAdvisories();
  EXPECT_EQ(seen_.size(), taken.size() + 1);
}

TEST_F(AdvisoriesTest, PermanentRedirectSticksForTheRunAndTemporaryToo) {
  for (int status : {301, 302, 307}) {
    FeedOptions f;
    f.redirectStatus = status;
    Sim().SetFeed(f);
    TAdvisories fresh({Sim().FeedUrl(), "QGM/1.0", &Context()}, seen_, clock_, &view_);
    Sim().ClearRequests();
    ASSERT_TRUE(fresh.RefreshAdvisories()) << status;
    EXPECT_EQ(view_.shown.size(), 5u);
    EXPECT_EQ(fresh.Info().RedirectUrl.substr(fresh.Info().RedirectUrl.rfind('/')), "/status.xml");
    // Followed at once within the same refresh...
    ASSERT_EQ(Sim().Requests().size(), 2u);
    EXPECT_EQ(Sim().Requests()[1].path, "/feeds/status.xml");
    // ...and asked directly from then on.
    fresh.RefreshAdvisories();
    EXPECT_EQ(Sim().Requests().size(), 3u);
    EXPECT_EQ(Sim().Requests()[2].path, "/feeds/status.xml");
  }
}

TEST_F(AdvisoriesTest, RelativeRedirectsAreTakenAgainstTheFeedAddress) {
  const std::string site = "http://localhost:" + std::to_string(Sim().HttpPort());
  // An absolute path, a relative path with dot segments, a scheme-relative
  // address: each ends at the feed's other address.
  for (const char* location : {"/feeds/status.xml", "./nowhere/../feeds/status.xml",
                               "//localhost:PORT/feeds/status.xml"}) {
    std::string sent = location;
    if (const auto at = sent.find("PORT"); at != std::string::npos)
      sent.replace(at, 4, std::to_string(Sim().HttpPort()));
    FeedOptions f;
    f.redirectStatus = 301;
    f.redirectLocation = sent;
    Sim().SetFeed(f);
    TAdvisories fresh({Sim().FeedUrl(), "QGM/1.0", &Context()}, seen_, clock_, &view_);
    Sim().ClearRequests();
    ASSERT_TRUE(fresh.RefreshAdvisories()) << location << ": " << fresh.Failure();
    EXPECT_EQ(fresh.Info().RedirectUrl, site + "/feeds/status.xml") << location;
    ASSERT_EQ(Sim().Requests().size(), 2u) << location;
    EXPECT_EQ(Sim().Requests()[1].path, "/feeds/status.xml");
    // Later refreshes keep working from the resolved address.
    EXPECT_TRUE(fresh.RefreshAdvisories()) << location;
    EXPECT_EQ(Sim().Requests().back().path, "/feeds/status.xml");
  }
}

TEST_F(AdvisoriesTest, ARedirectToWhatIsNoWebAddressFailsOnceAndIsNotKept) {
  for (const char* location : {"javascript:alert(1)", "file:///etc/passwd", "ftp://x/f"}) {
    FeedOptions f;
    f.redirectStatus = 302;
    f.redirectLocation = location;
    Sim().SetFeed(f);
    TAdvisories fresh({Sim().FeedUrl(), "QGM/1.0", &Context()}, seen_, clock_, &view_);
    EXPECT_FALSE(fresh.RefreshAdvisories()) << location;
    EXPECT_EQ(fresh.Info().RedirectUrl, "") << location;
    // The feed is back: the next refresh asks the feed's own address.
    Sim().SetFeed(FeedOptions{});
    EXPECT_TRUE(fresh.RefreshAdvisories()) << location << ": " << fresh.Failure();
  }
}

TEST_F(AdvisoriesTest, AMegabyteOfTitleOrDescriptionIsCutForTheList) {
  // Laid out whole, a megabyte held the window for seconds when opened.
  FeedOptions f;
  f.body = "<rss><channel><title>Status</title><item><title>" + std::string(1 << 20, 't') +
           "</title><description>" + std::string(1 << 20, 'd') +
           "</description><link>http://x/1</link></item></channel></rss>";
  Sim().SetFeed(f);
  ASSERT_TRUE(advisories_->RefreshAdvisories());
  ASSERT_EQ(advisories_->Items().size(), 1u);
  const TAdvisory& a = advisories_->Items()[0];
  EXPECT_EQ(a.Title, std::string(255, 't'));
  EXPECT_EQ(a.Description, std::string(4096, 'd'));
  // The key is the whole text's: a change past what is shown marks it new.
  EXPECT_EQ(a.Key, AdvisoryKey(std::string(1 << 20, 't'), std::string(1 << 20, 'd')));
  advisories_->RememberSeenAdvisories();
  f.body->replace(f.body->find("</description>") - 1, 1, "e");
  Sim().SetFeed(f);
  ASSERT_TRUE(advisories_->RefreshAdvisories());
  EXPECT_TRUE(advisories_->Items()[0].IsNew);
  Sim().SetFeed(FeedOptions{});
}

// The provider's feed by default; and after a 304, a refresh that gets no
// answer at all counts as one more "not modified" (the kept list stands),
// while one after any other answer fails.
TEST_F(AdvisoriesTest, TheDefaultFeedAndNoAnswerAfterA304) {
  const std::string feed = TEndpoints{}.FeedsUrl;
  EXPECT_EQ(feed.rfind("http://", 0), 0u) << feed;
  EXPECT_EQ(feed.substr(feed.size() - 19), "/network-status.rss") << feed;
  for (const auto& [last, result] : std::vector<std::pair<int, TFetchResult>>{
           {304, frNotModified}, {200, frFailed}, {0, frFailed}}) {
    TRssInfo info;
    info.FeedUrl = "http://127.0.0.1:1/network-status.rss";  // nobody answers
    info.LastStatus = last;
    THttpClient client(Context());
    std::u16string text;
    std::string failure;
    EXPECT_EQ(FetchFeed(info, client, text, failure), result) << last;
    EXPECT_EQ(info.LastStatus, last) << "no answer leaves the last status";
  }
}

TEST_F(AdvisoriesTest, RedirectLoopEndsAsAFailureAndKeepsTheList) {
  ASSERT_TRUE(advisories_->RefreshAdvisories());
  FeedOptions f;
  f.redirectLoop = true;
  Sim().SetFeed(f);
  Sim().ClearRequests();
  EXPECT_FALSE(advisories_->RefreshAdvisories());
  EXPECT_FALSE(advisories_->Info().Valid);
  EXPECT_EQ(FeedRequests(), size_t(TAdvisories::kMaxRedirects) + 1);
  EXPECT_EQ(view_.rebuilds, 1);
}

TEST_F(AdvisoriesTest, UntitledChannelIsAcceptedAndMissingTitleRejected) {
  FeedOptions f;
  f.body =
      "<rss><channel><title></title><item><title>One</title><description>d</description>"
      "<link>http://x/1</link></item></channel></rss>";
  Sim().SetFeed(f);
  ASSERT_TRUE(advisories_->RefreshAdvisories());
  EXPECT_EQ(advisories_->Title(), "[untitled]");
  EXPECT_EQ(Titles(), std::vector<std::string>{"One"});
  f.body = "<rss><channel><item><title>Two</title></item></channel></rss>";
  Sim().SetFeed(f);
  EXPECT_FALSE(advisories_->RefreshAdvisories());
  EXPECT_EQ(Titles(), std::vector<std::string>{"One"});  // left as it was
}

TEST_F(AdvisoriesTest, AtomEnclosureIsALaterLinkWithRelEnclosure) {
  FeedOptions f;
  f.body =
      "<feed><title>T</title>"
      "<entry><title>A</title><summary>s</summary><link href=\"http://x/a\"/>"
      "<link rel=\"enclosure\" href=\"http://x/a.mp3\" length=\"7\" type=\"audio/mpeg\"/></entry>"
      "<entry><title>B</title><link rel=\"enclosure\" href=\"http://x/b.mp3\" "
      "length=\"x\"/></entry>"
      "<entry><content>only content</content></entry>"
      "</feed>";
  Sim().SetFeed(f);
  ASSERT_TRUE(advisories_->RefreshAdvisories());
  ASSERT_EQ(view_.shown.size(), 3u);
  EXPECT_EQ(view_.shown[0].Link, "http://x/a");
  EXPECT_EQ(view_.shown[0].EnclosureUrl, "http://x/a.mp3");
  EXPECT_EQ(view_.shown[0].EnclosureLength, 7u);
  EXPECT_EQ(view_.shown[0].EnclosureType, "audio/mpeg");
  // An enclosure link placed first is the link, not an enclosure.
  EXPECT_EQ(view_.shown[1].Link, "http://x/b.mp3");
  EXPECT_EQ(view_.shown[1].EnclosureUrl, "");
  EXPECT_EQ(view_.shown[1].Description, "");  // no summary, no content
  // A missing title and summary both come from the content.
  EXPECT_EQ(view_.shown[2].Title, "only content");
  EXPECT_EQ(view_.shown[2].Description, "only content");
}

TEST_F(AdvisoriesTest, EmptyBodyAndNonFeedKeepTheKeptTreeForALater304) {
  ASSERT_TRUE(advisories_->RefreshAdvisories());
  for (const char* body : {"", "<html><body>Service unavailable</body></html>"}) {
    FeedOptions f;
    f.body = body;
    Sim().SetFeed(f);
    EXPECT_FALSE(advisories_->RefreshAdvisories());
    EXPECT_EQ(view_.shown.size(), 5u);
  }
  // The feed is back unchanged: the server answers 304 to the kept
  // conditions and the list comes from the kept tree.
  Sim().SetFeed(FeedOptions{});
  Sim().ClearRequests();
  ASSERT_TRUE(advisories_->RefreshAdvisories());
  EXPECT_EQ(view_.shown.size(), 5u);
}

TEST_F(AdvisoriesTest, FailedRequestKeepsTheItemsAndShowsNothing) {
  ASSERT_TRUE(advisories_->RefreshAdvisories());
  ASSERT_EQ(view_.rebuilds, 1);
  FeedOptions loop;
  loop.redirectLoop = true;
  Sim().SetFeed(loop);
  EXPECT_FALSE(advisories_->RefreshAdvisories());
  EXPECT_FALSE(advisories_->Info().Valid);
  EXPECT_EQ(view_.rebuilds, 1);
  EXPECT_EQ(advisories_->Items().size(), 5u);
}

}  // namespace
}  // namespace qgm::test
