// The history step of an update against the simulator: a first run rebuilds
// the log from 950 days, later runs fetch 31 and keep the older days from
// the log; failures leave the log alone.

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <random>

#include <sys/wait.h>
#include <unistd.h>

#include "core/history/HistoryStep.h"
#include "core/platform/FileIo.h"
#include "support/SimulatorFixture.h"

namespace qgm::test {
namespace {

class NoNotices : public INoticeSink {
 public:
  void ShowNotice(const TNoticeRequest&) override {}
};

class HistoryStepTest : public SimulatorTest {
 protected:
  void SetUp() override {
    SimulatorTest::SetUp();
    folder_ = std::filesystem::temp_directory_path() /
              ("qgm-history-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    service_ = std::make_unique<TUsageService>(ServiceConfig(), sink_);
    TUsageRecord record;
    ASSERT_TRUE(service_->FetchUsage(account_, {}, Today(), record).Ok);
    Sim().ClearRequests();
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  TDateTime Today() const { return Sim().Account().Today(); }
  std::filesystem::path Log() const { return UsageLogFile(folder_, "demo"); }
  std::string LastHistoryRequest() const {
    std::string path;
    for (const auto& r : Sim().Requests())
      if (r.path.find("/history?") != std::string::npos) path = r.path;
    return path;
  }

  std::filesystem::path folder_;
  NoNotices sink_;
  std::unique_ptr<TUsageService> service_;
  TUsageAccount account_{"demo", "demo", kAccountHome};
  THistory history_;
};

TEST_F(HistoryStepTest, FirstRunRebuildsTheLogLaterRunsFetchTheLastMonth) {
  THistoryStepResult r = RunHistoryStep(history_, *service_, account_, true, folder_, Today());
  ASSERT_TRUE(r.Fetched);
  EXPECT_TRUE(r.Saved);
  EXPECT_EQ(r.DaysRequested, 950);
  EXPECT_NE(LastHistoryRequest().find("history?count=950&verbose=1"), std::string::npos);
  EXPECT_EQ(history_.Count(), 950);
  EXPECT_EQ(history_.Days().back().Date, Today());
  const auto& today = Sim().Account().Day(Today());
  EXPECT_EQ(r.TodayTotalMB, Money::FromUnits((today.total + 50) / 100));
  const auto firstLog = ReadWholeFile(Log());
  ASSERT_TRUE(firstLog);
  EXPECT_EQ(firstLog->substr(0, 34), "Date, Downloads, Uploads, Totals\r\n");

  // The next update: the log gives the days up to a month ago.
  r = RunHistoryStep(history_, *service_, account_, false, folder_, Today());
  ASSERT_TRUE(r.Fetched);
  EXPECT_EQ(r.DaysRequested, 31);
  EXPECT_NE(LastHistoryRequest().find("history?count=31&verbose=1"), std::string::npos);
  EXPECT_EQ(history_.Count(), 950);
  EXPECT_EQ(ReadWholeFile(Log()), firstLog);
}

TEST_F(HistoryStepTest, FailuresAndEmptyRepliesLeaveTheLogAlone) {
  ASSERT_TRUE(RunHistoryStep(history_, *service_, account_, true, folder_, Today()).Fetched);
  const auto before = ReadWholeFile(Log());

  Sim().SetCannedReply(Sim().Account().homeServiceId + "/history", 500,
                       "<corvalink><error>Internal error</error></corvalink>");
  THistoryStepResult r = RunHistoryStep(history_, *service_, account_, false, folder_, Today());
  EXPECT_FALSE(r.Fetched);
  EXPECT_EQ(history_.Count(), 950 - 31);  // what the log gave
  EXPECT_EQ(ReadWholeFile(Log()), before);

  Sim().SetCannedReply(Sim().Account().homeServiceId + "/history", 200, "");
  r = RunHistoryStep(history_, *service_, account_, true, folder_, Today());
  EXPECT_FALSE(r.Fetched);
  EXPECT_EQ(ReadWholeFile(Log()), before);

  // A document without days still counts: the store holds today, empty.
  Sim().SetCannedReply(Sim().Account().homeServiceId + "/history", 200,
                       "<corvalink><api/></corvalink>");
  r = RunHistoryStep(history_, *service_, account_, true, folder_, Today());
  EXPECT_TRUE(r.Fetched);
  EXPECT_EQ(history_.Count(), 1);
  EXPECT_EQ(r.TodayTotalMB, Money());
}

// A garbled reply or an error document with a 200 status is no month
// without traffic: the log keeps its days. (Found by the soak, seed
// 20261208: a garbled reply zeroed the last 31 days, and the day that left
// the window before the next good reply kept its zero.)
TEST_F(HistoryStepTest, GarbledRepliesAndErrorDocumentsLeaveTheLogAlone) {
  ASSERT_TRUE(RunHistoryStep(history_, *service_, account_, true, folder_, Today()).Fetched);
  const auto before = ReadWholeFile(Log());
  for (const char* body : {"Service list follows: <<< not xml >>>",
                           "<corvalink><error>Service temporarily unavailable</error></corvalink>",
                           "<html><body>Maintenance</body></html>"}) {
    Sim().SetCannedReply(Sim().Account().homeServiceId + "/history", 200, body);
    const THistoryStepResult r =
        RunHistoryStep(history_, *service_, account_, false, folder_, Today());
    EXPECT_FALSE(r.Fetched) << body;
    EXPECT_EQ(ReadWholeFile(Log()), before) << body;
  }
}

// A log rewritten over and over by a process killed at random moments is
// always whole: either the old one or the new one.
TEST_F(HistoryStepTest, LogSurvivesACrashAtAnyPointOfASave) {
  ASSERT_TRUE(RunHistoryStep(history_, *service_, account_, true, folder_, Today()).Fetched);
  THistory changed = history_;
  changed.AddDayMB(IncDay(Today(), 1), {}, Money::FromWhole(1), {});
  const std::string a = history_.CsvText(), b = changed.CsvText();
  std::mt19937 random(42);
  for (int round = 0; round < 20; ++round) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i) (i % 2 ? history_ : changed).SaveToCsv(Log());
    }
    ::usleep(1000 + random() % 20000);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    const auto text = ReadWholeFile(Log());
    ASSERT_TRUE(text);
    ASSERT_TRUE(*text == a || *text == b) << "a torn log after round " << round;
  }
  // Anything else there is a hidden temporary file of a killed save.
  const std::string hidden = "." + Log().filename().string() + ".";
  for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
    if (entry.path() != Log()) {
      EXPECT_EQ(entry.path().filename().string().rfind(hidden, 0), 0u);
    }
  }
}

}  // namespace
}  // namespace qgm::test
