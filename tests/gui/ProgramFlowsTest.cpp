// Flows that go through dialogs and the desktop, run headless: the dialogs
// are answered by the test and the dummy platform records what the program
// asked the desktop to open.
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "core/platform/FileIo.h"
#include "core/platform/dummy/DummyPlatform.h"
#include "gui/app/MainForm.h"
#include "gui/app/Program.h"
#include "gui/controls/FocusLabel.h"
#include "support/FakeDialogs.h"
#include "support/FakeTime.h"
#include "support/SimulatorFixture.h"

namespace qgm::gui {
namespace {

class ProgramFlows : public test::SimulatorTest {
 protected:
  void SetUp() override {
    SimulatorTest::SetUp();
    ASSERT_TRUE(home_.isValid());
    TStartOptions options;
    options.Demo = true;
    options.Endpoints = test::SimulatorEndpoints(Sim());
    options.Folders = FoldersBelow(home_.path().toStdString());
    options.Timers = &timers_;
    options.Dialogs = &dialogs_;
    program_ = std::make_unique<TProgram>(options);
    std::lock_guard lock(dummy::Record().Lock);
    dummy::Record().Opened.clear();
    dummy::Record().OpenSucceeds = true;
  }
  void TearDown() override { dummy::Record().OpenSucceeds = true; }
  std::vector<std::string> Opened() {
    std::lock_guard lock(dummy::Record().Lock);
    return dummy::Record().Opened;
  }
  void ClickViewLog() {
    auto* link = program_->Window().findChild<TFocusLabel*>(QStringLiteral("lblViewMetered"));
    ASSERT_TRUE(link);
    link->OnClick();
  }

  QTemporaryDir home_;
  test::FakeTimerFactory timers_;
  test::FakeDialogs dialogs_;
  std::unique_ptr<TProgram> program_;
};

TEST_F(ProgramFlows, DebugReportIsSavedWhereTheUserSaysAndOpened) {
  const QString file = home_.path() + QStringLiteral("/report.xml");
  dialogs_.fileNames = {file};
  program_->Window().RunDebugReport();
  ASSERT_EQ(dialogs_.suggestions.size(), 1u);
  EXPECT_TRUE(dialogs_.suggestions[0].endsWith(QStringLiteral("/QGM_DebugInfo.xml")));
  const auto report = ReadWholeFile(file.toStdString());
  ASSERT_TRUE(report);
  EXPECT_NE(report->find("<debug_info>"), std::string::npos);
  EXPECT_EQ(Opened(), (std::vector<std::string>{file.toStdString()}));

  // Cancelled: nothing is written or opened.
  program_->Window().RunDebugReport();
  EXPECT_EQ(Opened().size(), 1u);
  EXPECT_TRUE(dialogs_.warnings.empty());

  // A folder that cannot be written: the user is told, nothing is opened.
  dialogs_.fileNames = {home_.path() + QStringLiteral("/no/such/folder/r.xml")};
  program_->Window().RunDebugReport();
  ASSERT_EQ(dialogs_.warnings.size(), 1u);
  EXPECT_TRUE(dialogs_.warnings[0].startsWith(QStringLiteral("The report could not be written")));
  EXPECT_EQ(Opened().size(), 1u);
}

TEST_F(ProgramFlows, UsageLogOpensOnceThereIsOne) {
  ClickViewLog();  // no update yet: no log, a beep
  EXPECT_EQ(dialogs_.beeps, 1);
  EXPECT_TRUE(Opened().empty());

  program_->Cycle().MainTimerTimer();
  ClickViewLog();
  EXPECT_EQ(Opened(), (std::vector<std::string>{program_->UsageLogPath()}));
  EXPECT_TRUE(dialogs_.warnings.empty());

  // The desktop cannot open it and nothing is associated with CSV or text.
  dummy::Record().OpenSucceeds = false;
  ClickViewLog();
  ASSERT_EQ(dialogs_.warnings.size(), 1u);
  EXPECT_TRUE(dialogs_.warnings[0].startsWith(QStringLiteral("There is no application")));
}

}  // namespace
}  // namespace qgm::gui
