// The About tab's services against the simulated home site and time
// server: the release check and its notice, the download handed to the
// updater (never for a name that is not a plain file name), and the clock.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "core/about/Maintenance.h"
#include "core/platform/FileIo.h"
#include "support/SimulatorFixture.h"
#include "support/TempFolder.h"

namespace qgm::test {
namespace {

class Recorder : public IMaintenanceView, public INoticeSink {
 public:
  void SetVersionLink(const std::string& text, bool clickable) override {
    links.emplace_back(text, clickable);
  }
  void SetClockState(const std::string& text) override { clock = text; }
  void LetPendingEventsRun() override { ++pumps; }
  void ShowNotice(const TNoticeRequest& n) override { notices.push_back(n); }
  std::vector<std::pair<std::string, bool>> links;
  std::string clock;
  int pumps = 0;
  std::vector<TNoticeRequest> notices;
};

class MaintenanceTest : public SimulatorTest {
 protected:
  void SetUp() override {
    SimulatorTest::SetUp();
    folder_ =
        std::filesystem::temp_directory_path() / ("qgm-maintenance-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    Sim().SetVersionStatus(200);
    Sim().SetTimeBehaviour(0, 0);
  }
  void TearDown() override {
    std::filesystem::remove_all(folder_);
    Sim().SetHomeFiles("*", "");
    Sim().SetVersionStatus(200);
    Sim().SetTimeBehaviour(0, 0);
  }
  TMaintenance Make() {
    TMaintenanceConfig c;
    c.HomeSite = Sim().HomeSite();
    c.TimeHost = "127.0.0.1:" + std::to_string(Sim().TimePort());
    c.Context = &Context();
    c.DataFolder = folder_;
    c.ProgramPath = "/opt/qgm/qgm";
    c.AcknowledgeAlert = [this] { ++acknowledged_; };
    c.StartUpdater = [this](const std::string& program, const std::string& update) {
      started_.emplace_back(program, update);
      return true;
    };
    c.Quit = [this] { ++quits_; };
    return TMaintenance(c, view_, view_);
  }
  bool Fetched(const std::string& name) {
    for (const auto& r : Sim().Requests())
      if (r.path.find(name) != std::string::npos) return true;
    return false;
  }
  std::filesystem::path folder_;
  Recorder view_;
  int acknowledged_ = 0, quits_ = 0;
  std::vector<std::pair<std::string, std::string>> started_;
};

TEST_F(MaintenanceTest, ANewerReleaseIsAnnouncedAndHandedToTheUpdater) {
  Sim().OfferDemoUpdate();
  TMaintenance m = Make();
  ASSERT_TRUE(m.CheckForNewVersion());
  ASSERT_EQ(view_.notices.size(), 1u);
  const TNoticeRequest& n = view_.notices[0];
  EXPECT_EQ(n.Caption, "A new QGM update is available");
  EXPECT_EQ(n.LinkCaption, "Click here to download");
  EXPECT_TRUE(n.Body.starts_with("Click the link below to download and install the new update.\n"));
  EXPECT_FALSE(n.Alert);
  EXPECT_EQ(n.AutoCloseSeconds, 0);
  // The notice's link: the file lands in the data folder, the updater gets
  // both paths, and the program ends.
  n.OnLinkClick();
  const auto saved = folder_ / "qgm9901.exe";
  EXPECT_EQ(ReadWholeFile(saved).value_or(""), "QGM demo update: a stand-in for a release file.\n");
  ASSERT_EQ(started_.size(), 1u);
  EXPECT_EQ(started_[0], std::make_pair(std::string("/opt/qgm/qgm"), saved.string()));
  EXPECT_EQ(acknowledged_, 1);
  EXPECT_EQ(quits_, 1);
}

TEST_F(MaintenanceTest, NothingIsAnnouncedForStarsLineBreaksOrErrorPages) {
  TMaintenance m = Make();
  for (const char* body : {"*", "*qgm9901.exe", "qgm9901.exe\n", "qgm0000.exe"}) {
    Sim().SetHomeFiles(body, "");
    EXPECT_FALSE(m.CheckForNewVersion()) << body;
    EXPECT_EQ(m.UpdateFileName(), body);
  }
  Sim().SetHomeFiles("qgm9901.exe", "");
  Sim().SetVersionStatus(500);
  EXPECT_FALSE(m.CheckForNewVersion());
  std::string failure;
  EXPECT_FALSE(m.FetchVersionFile(&failure).has_value());
  EXPECT_EQ(failure, "HTTP/1.1 500 Internal Server Error");
  EXPECT_EQ(m.UpdateFileName(), "");
  EXPECT_TRUE(view_.notices.empty());
  // The manual check says so on the link, which stays unclickable.
  m.ManualVersionCheck();
  ASSERT_EQ(view_.links.size(), 2u);
  EXPECT_EQ(view_.links[0],
            std::make_pair(std::string(" Checking for a newer version ... "), false));
  EXPECT_EQ(view_.links[1], std::make_pair(std::string("This is the latest version"), false));
  EXPECT_EQ(view_.pumps, 1);
  Sim().SetVersionStatus(200);
  m.ManualVersionCheck();
  EXPECT_EQ(view_.links.back(), std::make_pair(std::string(" "), false));
  m.ResetVersionLink();
  EXPECT_EQ(view_.links.back(),
            std::make_pair(std::string("Check if there's a newer version"), true));
}

TEST_F(MaintenanceTest, UnsafeUpdateNamesAreNeverFetched) {
  TMaintenance m = Make();
  for (const std::string name : {"../x.exe", "/etc/x.exe", "a b.exe"}) {
    Sim().SetHomeFiles(name, "");
    Sim().ClearRequests();
    view_.notices.clear();
    m.CheckForNewVersion();  // the body is kept whatever it names
    ASSERT_EQ(m.UpdateFileName(), name);
    m.DownloadUpdate();
    EXPECT_FALSE(Fetched("x.exe")) << name;
    EXPECT_TRUE(started_.empty());
    EXPECT_EQ(quits_, 0);  // still running, and saying why
    ASSERT_FALSE(view_.notices.empty());
    EXPECT_NE(view_.notices.back().Body.find("not a plain file name"), std::string::npos);
  }
  EXPECT_FALSE(std::filesystem::exists(folder_.parent_path() / "x.exe"));
  // A release file the site does not have: nothing saved, nothing started.
  Sim().SetHomeFiles("qgm9902.exe", "");
  m.CheckForNewVersion();
  m.DownloadUpdate();
  EXPECT_FALSE(std::filesystem::exists(folder_ / "qgm9902.exe"));
  EXPECT_TRUE(started_.empty());
  EXPECT_EQ(quits_, 0);
}

TEST_F(MaintenanceTest, TheClockLineAgainstTheTimeServer) {
  TMaintenance m = Make();
  Sim().SetTimeBehaviour(90, 0);  // the server is 90 s ahead: this clock is slow
  auto offset = m.CheckClock();
  ASSERT_TRUE(offset.has_value());
  EXPECT_NEAR(*offset, -90, 1.5);
  EXPECT_TRUE(view_.clock == "Slow by 1 mins & 30 secs" ||
              view_.clock == "Slow by 1 mins & 29 secs")
      << view_.clock;
  // A server past the counter's wrap in February 2036.
  const int64_t toWrap = 2085978496LL + 86400 * 30 -
                         std::chrono::duration_cast<std::chrono::seconds>(
                             std::chrono::system_clock::now().time_since_epoch())
                             .count();
  Sim().SetTimeBehaviour(toWrap, 0);
  offset = m.CheckClock();
  ASSERT_TRUE(offset.has_value());
  EXPECT_NEAR(*offset, -static_cast<double>(toWrap), 1.5);
  // A server that closes without a word.
  Sim().SetTimeBehaviour(0, corvalink::sim::ProviderSimulator::kTimeCloses);
  EXPECT_FALSE(m.CheckClock().has_value());
  EXPECT_EQ(view_.clock, "Unable to get the time.");
}

}  // namespace
}  // namespace qgm::test
