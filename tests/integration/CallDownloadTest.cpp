// CallHaven months downloaded from the simulator: the walk back, answers
// for other months than asked, and the failures that end the walk.
#include <gtest/gtest.h>
#include <unistd.h>

#include "core/callusage/CallDownload.h"
#include "core/callusage/CallMonths.h"
#include "core/platform/FileIo.h"
#include "support/SimulatorFixture.h"
#include "support/TempFolder.h"

namespace qgm::test {
namespace {

using corvalink::sim::CallAnswer;

class CallDownloadTest : public SimulatorTest {
 protected:
  void SetUp() override {
    SimulatorTest::SetUp();
    Sim().ClearCallAnswers();
    folder_ = std::filesystem::temp_directory_path() / ("qgm-calls-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    d_.ApiHost = "https://localhost:" + std::to_string(Sim().HttpsPort());
    d_.Phone = Sim().Account().phoneNumber;
    d_.Password = Sim().Account().phonePassword;
    d_.Context = &Context();
    d_.Folder = folder_;
    d_.Status = [this] { return status_; };
    d_.SetStatus = [this](const std::string& s) {
      status_ = s;
      shown_.push_back(s);
    };
    const DateParts t = DecodeDate(Sim().Account().Today());
    year_ = t.year;
    month_ = t.month;
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  // (year, month) stepped back `n` months from today.
  std::pair<int, int> Back(int n) const {
    int y = year_, m = month_ - n;
    while (m < 1) m += 12, --y;
    return {y, m};
  }
  bool Has(std::pair<int, int> ym) const {
    return std::filesystem::exists(CallFileName(folder_, ym.first, ym.second));
  }

  std::filesystem::path folder_;
  TCallDownload d_;
  std::string status_ = "Last updated";
  std::vector<std::string> shown_;
  int year_ = 0, month_ = 0;
};

TEST_F(CallDownloadTest, AResetWalksBackToTheStartOfTheHistory) {
  TDateTime refetch = EncodeDate(2000, 1, 1);
  const TDateTime today = Sim().Account().Today();
  EXPECT_EQ(DownloadCallMonths(d_, today, refetch), 28);
  EXPECT_EQ(refetch, EncodeDate(year_, month_, 1));
  EXPECT_EQ(ListCallFiles(folder_).size(), 28u);
  EXPECT_EQ(status_, "Last updated");  // given back
  ASSERT_GE(shown_.size(), 2u);
  EXPECT_EQ(shown_[0].rfind("  Getting CallHaven info for ", 0), 0u);
  // Files keep CR LF line ends.
  const auto text = ReadWholeFile(CallFileName(folder_, year_, month_));
  ASSERT_TRUE(text);
  EXPECT_NE(text->find("\r\n"), std::string::npos);
  TCallhaven calls;
  LoadCallMonths(calls, folder_, today);
  EXPECT_EQ(calls.Count(), 28);
  int total = 0;
  for (int i = 0; i < 28; ++i) total += calls.Items(i).TotalCalls;
  EXPECT_GT(total, 0);
  // An ordinary day later: the current month only.
  Sim().ClearRequests();
  EXPECT_EQ(DownloadCallMonths(d_, today, refetch), 1);
  EXPECT_EQ(Sim().Requests().size(), 1u);
}

TEST_F(CallDownloadTest, AnEarlierAnswerIsSavedForItsMonthAndTheWalkGoesOn) {
  // Asked for two months back, the server answers three months back.
  const auto asked = Back(2), answered = Back(3), next = Back(4);
  Sim().SetCallAnswer(asked.first, asked.second, CallAnswer::EarlierMonth);
  TDateTime refetch = EncodeDate(next.first, next.second, 1);
  DownloadCallMonths(d_, Sim().Account().Today(), refetch);
  EXPECT_TRUE(Has(Back(1)));
  EXPECT_FALSE(Has(asked));
  EXPECT_TRUE(Has(answered));
  EXPECT_TRUE(Has(next));
  EXPECT_FALSE(Has(Back(5)));
}

// A month downloaded while it was still running, then a failure when it is
// asked for again after it ended: it is asked for again at the next
// download, so it never stays half there; a month that cannot be written
// likewise.
TEST_F(CallDownloadTest, AMonthThatFailsItsRefetchIsRefetchedNextTime) {
  const auto last = Back(1);
  // A failure, or an answer without a file for a month whose records were
  // already served.
  for (CallAnswer answer : {CallAnswer::Fail, CallAnswer::MissingHeader}) {
    TDateTime refetch = EncodeDate(last.first, last.second, 1);
    WriteFileAtomic(CallFileName(folder_, last.first, last.second), "Date,Time\r\n");
    Sim().SetCallAnswer(last.first, last.second, answer);
    EXPECT_EQ(DownloadCallMonths(d_, Sim().Account().Today(), refetch), 1);
    EXPECT_EQ(refetch, EncodeDate(last.first, last.second, 1)) << int(answer);
    Sim().ClearCallAnswers();
    EXPECT_EQ(DownloadCallMonths(d_, Sim().Account().Today(), refetch), 2);
    EXPECT_EQ(refetch, EncodeDate(year_, month_, 1));
    TCallMonth stored, served;
    AddCallLines(*ReadWholeFile(CallFileName(folder_, last.first, last.second)), stored);
    AddCallLines(Sim().Account().CallMonthCsv(last.first, last.second), served);
    EXPECT_GT(served.TotalCalls, 0);
    EXPECT_EQ(stored.TotalCalls, served.TotalCalls);
  }

  // A file kept from long ago, older than the months shown, does not make
  // the end of the records a broken answer.
  std::filesystem::remove_all(folder_);
  std::filesystem::create_directories(folder_);
  const auto old = Back(28);
  WriteFileAtomic(CallFileName(folder_, old.first, old.second), "Date,Time\r\n");
  TDateTime reset = EncodeDate(2000, 1, 1);
  EXPECT_EQ(DownloadCallMonths(d_, Sim().Account().Today(), reset), 28);
  EXPECT_EQ(reset, EncodeDate(year_, month_, 1));

  // The folder cannot be written: nothing is marked done.
  d_.Folder = folder_ / "missing" / "calls";
  TDateTime refetch = EncodeDate(last.first, last.second, 1);
  EXPECT_EQ(DownloadCallMonths(d_, Sim().Account().Today(), refetch), 0);
  EXPECT_EQ(refetch, EncodeDate(last.first, last.second, 1));
}

TEST_F(CallDownloadTest, LaterMissingOrBadAnswersEndTheWalkQuietly) {
  for (CallAnswer answer : {CallAnswer::LaterMonth, CallAnswer::MissingHeader, CallAnswer::BadMonth,
                            CallAnswer::Fail}) {
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    Sim().ClearCallAnswers();
    Sim().SetCallAnswer(Back(2).first, Back(2).second, answer);
    TDateTime refetch = EncodeDate(2000, 1, 1);
    EXPECT_EQ(DownloadCallMonths(d_, Sim().Account().Today(), refetch), 2) << int(answer);
    EXPECT_TRUE(Has(Back(1)));
    EXPECT_FALSE(Has(Back(2)));
    EXPECT_FALSE(Has(Back(3)));
    if (answer != CallAnswer::MissingHeader) {
      // A month that failed or came back as another month is asked for
      // again next time, and only the months since it: the walk back is
      // not made again at every start. (No file at all is where the
      // records start.)
      EXPECT_EQ(refetch, EncodeDate(Back(2).first, Back(2).second, 1));
      Sim().ClearCallAnswers();
      Sim().ClearRequests();
      EXPECT_EQ(DownloadCallMonths(d_, Sim().Account().Today(), refetch), 3);
      EXPECT_EQ(Sim().Requests().size(), 3u);
      EXPECT_TRUE(Has(Back(2)));
    }
    EXPECT_EQ(refetch, EncodeDate(year_, month_, 1));  // moved by the first month
  }
  // Without a phone number or password, nothing is asked.
  Sim().ClearRequests();
  d_.Password.clear();
  TDateTime refetch = EncodeDate(2000, 1, 1);
  EXPECT_EQ(DownloadCallMonths(d_, Sim().Account().Today(), refetch), 0);
  EXPECT_TRUE(Sim().Requests().empty());
  EXPECT_EQ(refetch, EncodeDate(2000, 1, 1));
}

}  // namespace
}  // namespace qgm::test
