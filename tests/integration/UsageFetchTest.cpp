#include "core/usage/UsageService.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/platform/FileIo.h"
#include "support/SimulatorFixture.h"

namespace qgm::test {
namespace {

using corvalink::sim::Scenario;
namespace fs = std::filesystem;

class RecordingSink : public INoticeSink {
 public:
  void ShowNotice(const TNoticeRequest& n) override { shown.push_back(n); }
  std::vector<TNoticeRequest> shown;
};

std::string Api(const std::string& inner) {
  return "<?xml version=\"1.0\"?>\n<corvalink><api>" + inner + "</api></corvalink>\n";
}

class UsageFetchTest : public SimulatorTest {
 protected:
  void SetUp() override {
    SimulatorTest::SetUp();
    dataDir_ = fs::temp_directory_path() / ("qgm-usage-" + std::to_string(::getpid()));
    fs::remove_all(dataDir_);
    fs::create_directories(dataDir_);
    config_ = ServiceConfig();
    config_.DataFolder = dataDir_;
    account_ = {"demo", "demo", kAccountHome};
  }
  void TearDown() override { fs::remove_all(dataDir_); }

  TUsageFetchResult Fetch(TUsageService& service, std::vector<std::string> seen = {}) {
    return service.FetchUsage(account_, seen, now_, record_);
  }

  fs::path dataDir_;
  TUsageServiceConfig config_;
  TUsageAccount account_;
  RecordingSink sink_;
  TUsageRecord record_;
  TDateTime now_ = EncodeDate(2014, 6, 1);
};

TEST_F(UsageFetchTest, DemoAccountEndToEnd) {
  TUsageService service(config_, sink_);
  const TUsageFetchResult r = service.FetchUsage(account_, {}, NowLocal(), record_);
  ASSERT_TRUE(r.Ok) << r.FailureText;
  EXPECT_EQ(service.ServiceId(), Sim().Account().homeServiceId);
  EXPECT_LE(r.ParseCode, 1);
  EXPECT_EQ(record_.QuotaMB, Money::FromWhole(200000));
  EXPECT_FALSE(r.NoNotice);
  EXPECT_EQ(sink_.shown.size(), 2u);
  EXPECT_EQ(ReadWholeFile(dataDir_ / "demo_CorvalinkUsage.txt").value(), r.UsageLine);

  const TServiceDetails d = service.FetchServiceDetails(account_);
  ASSERT_TRUE(d.Received);
  EXPECT_EQ(d.SpeedCaption, "Maximum Speed");
  EXPECT_EQ(d.Plan, "Home 200");
  EXPECT_EQ(d.PlanCost, "$59.95 monthly");
  EXPECT_EQ(d.ExcessFee, "Nil");
  EXPECT_EQ(d.Shaping, "Shaped to 256 kbps");
  EXPECT_EQ(ReadWholeFile(dataDir_ / "demo_CorvalinkService.txt").value(),
            "Speed: ADSL2+ up to 24 MbpsPlan: Home 200Uploads counted: No");

  std::string history;
  ASSERT_TRUE(service.FetchHistory(account_, 950, history));
  EXPECT_EQ(Sim().Requests().back().path,
            "/api/v1.5/" + Sim().Account().homeServiceId + "/history?count=950&verbose=1");
}

TEST_F(UsageFetchTest, ServiceChoiceByAccountType) {
  Sim().SetCannedReply("", 200,
                       Api("<services><service type=\"Home\">111</service>"
                           "<service type=\"RoamMobile\">222</service></services>"));
  TUsageService service(config_, sink_);
  Fetch(service);
  EXPECT_EQ(service.ServiceId(), "111");
  account_.AccountType = kAccountRoamMobile;
  const auto r = Fetch(service);
  EXPECT_EQ(service.ServiceId(), "222");
  EXPECT_TRUE(r.NoNotice);
  // A mobile account without a RoamMobile service takes the first one.
  Sim().SetCannedReply("", 200, Api("<services><service type=\"Home\">111</service></services>"));
  Fetch(service);
  EXPECT_EQ(service.ServiceId(), "111");
}

TEST_F(UsageFetchTest, UsageLineFromTheTotalTraffic) {
  const std::string id = Sim().Account().homeServiceId;
  Sim().SetCannedReply(id + "/usage", 200,
                       Api("<traffic name=\"metered\">5</traffic>"
                           "<traffic name=\"total\" quota=\"50000000000\" rollover=\"2014-06-15\">"
                           "1234567890</traffic>"));
  TUsageService service(config_, sink_);
  auto r = Fetch(service);
  ASSERT_TRUE(r.Ok);
  EXPECT_EQ(r.UsageLine, "1234.56789 50000 15/06/2014 0.00");
  EXPECT_EQ(r.ParseCode, kUsageAll);

  EXPECT_EQ(TUsageService::UsageLineFromReply(Api(
                "<traffic name=\"total\" quota=\"999999\" rollover=\"15/06/2014\">0</traffic>")),
            "0 0 30/12/1899 0.00");
  EXPECT_EQ(TUsageService::UsageLineFromReply(Api("<traffic name=\"total\">12 </traffic>")),
            "0 0 30/12/1899 0.00");  // text that is no number, attributes missing
  EXPECT_EQ(TUsageService::UsageLineFromReply(Api("<traffic name=\"metered\">1</traffic>")), "");
}

TEST_F(UsageFetchTest, FailuresCarryTheirText) {
  TUsageService service(config_, sink_);
  // No usable usage: the usage reply is the failure text.
  const std::string id = Sim().Account().homeServiceId;
  Sim().SetCannedReply(id + "/usage", 200, Api("<nothing/>"));
  auto r = Fetch(service);
  EXPECT_FALSE(r.Ok);
  EXPECT_NE(r.FailureText.find("<nothing/>"), std::string::npos);
  EXPECT_FALSE(fs::exists(dataDir_ / "demo_CorvalinkUsage.txt"));
  Sim().ClearCannedReplies();

  // No service in the list: the list itself is the failure text.
  Sim().SetCannedReply("", 200, Api("<services/>"));
  r = Fetch(service);
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(service.ServiceId(), "");
  EXPECT_NE(r.FailureText.find("<services/>"), std::string::npos);
  Sim().ClearCannedReplies();

  // A body that is not XML finds no service.
  Sim().SetScenario(Scenario::MalformedBody);
  EXPECT_FALSE(Fetch(service).Ok);

  // A wrong password ends with the status line, after one attempt.
  Sim().ClearRequests();
  Sim().SetScenario(Scenario::WrongPassword);
  r = Fetch(service);
  EXPECT_EQ(r.FailureText, "HTTP/1.1 401 Unauthorized");
  EXPECT_EQ(Sim().Requests().size(), 1u);

  // A redirect is an error too, not followed.
  Sim().SetScenario(Scenario::RedirectLoop);
  r = Fetch(service);
  EXPECT_EQ(r.FailureText, "HTTP/1.1 302 Found");
}

TEST_F(UsageFetchTest, Notices) {
  Sim().SetCannedReply(
      "", 200,
      Api("<notify displaytouser=\"yes\"><msg>Outage tonight</msg><ref>R1</ref>"
          "<url>https://status.example/</url></notify>"
          "<notify displaytouser=\"optional\"><msg>New plans</msg><ref>R2</ref></notify>"
          "<notify displaytouser=\"\"><msg>Empty value alerts</msg><ref>R3</ref></notify>"
          "<notify><msg>No attribute</msg><ref>R4</ref></notify>"
          "<notify displaytouser=\"yes\"><msg></msg><ref>R5</ref></notify>"
          "<notify displaytouser=\"yes\"><msg>No reference</msg></notify>"
          "<services><service>1</service></services>"));
  TUsageService service(config_, sink_);
  Fetch(service, {"R2"});
  ASSERT_EQ(sink_.shown.size(), 2u);
  EXPECT_EQ(sink_.shown[0].Caption, "QGM (Quota Gauge)");
  EXPECT_EQ(sink_.shown[0].Body, "Outage tonight");
  EXPECT_EQ(sink_.shown[0].LinkAddress, "https://status.example/");
  EXPECT_EQ(sink_.shown[0].Reference, "R1");
  EXPECT_TRUE(sink_.shown[0].Alert);
  EXPECT_EQ(sink_.shown[0].AutoCloseSeconds, 0);
  EXPECT_EQ(sink_.shown[1].Reference, "R3");
  EXPECT_TRUE(sink_.shown[1].Alert);

  sink_.shown.clear();
  Fetch(service, {});
  ASSERT_EQ(sink_.shown.size(), 3u);
  EXPECT_FALSE(sink_.shown[1].Alert);  // "optional": no sound, standard colour

  // A megabyte of message: the popup shows its first 4096 characters, as
  // it does for the home site's notice file (laid out whole, it would hold
  // the window for seconds).
  Sim().SetCannedReply(
      "", 200,
      Api("<notify displaytouser=\"yes\"><msg>" + std::string(1 << 20, 'm') +
          "</msg><ref>R6</ref></notify><services><service>1</service></services>"));
  sink_.shown.clear();
  Fetch(service, {});
  ASSERT_EQ(sink_.shown.size(), 1u);
  EXPECT_EQ(sink_.shown[0].Body, std::string(4096, 'm'));
  EXPECT_EQ(sink_.shown[0].Reference, "R6");
  // A megabyte of reference is kept as its first 255 characters: the
  // settings hold every reference closed, and are saved often.
  Sim().SetCannedReply(
      "", 200,
      Api("<notify displaytouser=\"yes\"><msg>m</msg><ref>" + std::string(1 << 20, 'r') +
          "</ref></notify><services><service>1</service></services>"));
  sink_.shown.clear();
  Fetch(service, {std::string(255, 'r')});
  EXPECT_TRUE(sink_.shown.empty());  // closed before
  Fetch(service, {});
  ASSERT_EQ(sink_.shown.size(), 1u);
  EXPECT_EQ(sink_.shown[0].Reference, std::string(255, 'r'));

  // The elements after the first notice are read whatever their name.
  Sim().SetCannedReply(
      "", 200,
      Api("<notify displaytouser=\"yes\"><msg>First</msg><ref>R7</ref></notify>"
          "<notice displaytouser=\"yes\"><msg>Second</msg><ref>R8</ref></notice>"
          "<services><service>1</service></services>"));
  sink_.shown.clear();
  Fetch(service, {});
  ASSERT_EQ(sink_.shown.size(), 2u);
  EXPECT_EQ(sink_.shown[1].Reference, "R8");

  Sim().ClearCannedReplies();
  Sim().SetNotices(false);
  EXPECT_TRUE(Fetch(service).NoNotice);
}

// A connection the server closes is tried twice more for the service
// list, the update's first request; a third close ends the update.
TEST_F(UsageFetchTest, ServiceListIsTriedTwiceMore) {
  TUsageService service(config_, sink_);
  Sim().SetScenario(Scenario::ConnectionClosed, 2);
  auto r = Fetch(service);
  EXPECT_TRUE(r.Ok) << r.FailureText;
  Sim().SetScenario(Scenario::ConnectionClosed, 3);
  r = Fetch(service);
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.FailureText, "Connection Closed Gracefully.");
  Sim().SetScenario(Scenario::Normal);
}

TEST(ServiceDetails, FieldsOfTheReply) {
  auto details = [](const std::string& inner, int type = kAccountHome) {
    return TUsageService::DetailsFromReply(Api("<service>" + inner + "</service>"), type);
  };
  EXPECT_EQ(details("<plan>Quarterly Easy 50</plan>").Plan, "Easy 50");
  EXPECT_EQ(details("<plan>Easy Quarterly</plan>").Plan, "Easy Quarterly");
  EXPECT_TRUE(details("<usage-rating>down-up</usage-rating>").UploadsMetered);
  EXPECT_FALSE(details("<usage-rating>Up</usage-rating>").UploadsMetered);
  EXPECT_EQ(details("<usage-rating>Up</usage-rating>").UploadsCounted, "No");
  EXPECT_EQ(details("<excess-cost> 0.15 </excess-cost>").ExcessFee, "0.15 $/megabyte");
  EXPECT_EQ(details("").ExcessFee, "Nil");
  EXPECT_EQ(details("<plan-cost>59.95</plan-cost>").PlanCost, "$59.95");
  EXPECT_EQ(details("<excess-restrict-access>blocked</excess-restrict-access>").Capped, "Blocked");
  // A field is shown on one line of the tab: a megabyte of it is cut to
  // 255 characters (laid out whole, it held the window for seconds).
  const std::string huge(1 << 20, 'p');
  const TServiceDetails cut = details("<plan>" + huge + "</plan><carrier>" + huge +
                                      "</carrier><plan-cost>" + huge + "</plan-cost>");
  EXPECT_EQ(cut.Plan, std::string(255, 'p'));
  EXPECT_EQ(cut.Carrier, std::string(255, 'p'));
  EXPECT_EQ(cut.PlanCost, "$" + std::string(255, 'p'));
  const TServiceDetails mobile =
      details("<sim>8961</sim><speed>24M</speed><plan>Roam</plan>", kAccountRoamMobile);
  EXPECT_EQ(mobile.SpeedCaption, "SIM Id:");
  EXPECT_EQ(mobile.Speed, "8961");
  EXPECT_EQ(mobile.Summary, "SIM: 8961Plan: RoamUploads counted: No");
  EXPECT_EQ(details("<plan>P</plan>").Summary, "Plan: PUploads counted: No");
}

}  // namespace
}  // namespace qgm::test
