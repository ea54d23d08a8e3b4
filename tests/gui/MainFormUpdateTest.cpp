// One whole update of the window against the simulated provider on
// loopback: figures, tray, plan details, history graphs and the usage log.
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "core/history/History.h"
#include "core/platform/FileIo.h"
#include "core/platform/dummy/DummyPlatform.h"
#include "gui/app/MainForm.h"
#include "gui/app/Program.h"
#include "gui/tray/TrayIcon.h"
#include "support/SimulatorFixture.h"

namespace qgm::gui {
namespace {

using MainFormUpdate = test::SimulatorTest;

TEST_F(MainFormUpdate, DemoUpdateFillsEveryTabAndTheLog) {
  QTemporaryDir home;
  ASSERT_TRUE(home.isValid());
  TStartOptions options;
  options.Demo = true;
  options.Endpoints = test::SimulatorEndpoints(Sim());
  options.Folders = FoldersBelow(home.path().toStdString());
  TProgram program(options);
  TMainForm& form = program.Window();
  program.Cycle().MainTimerTimer();

  auto text = [&form](const char* name) {
    auto* label = form.findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("<missing>");
  };
  EXPECT_TRUE(text("lblAmtLeft").endsWith(QStringLiteral(" MB")));
  EXPECT_TRUE(text("lblTodayMetered").endsWith(QStringLiteral(" MB")));
  EXPECT_EQ(text("lblCarrier"), QStringLiteral("Corvalink"));
  // The demo's mailboxes hold new mail, and voicemail in "family": the
  // telephone blinks, the hint names both, the ring plays; a click on the
  // tray ends it and brings the usage hint back.
  EXPECT_EQ(program.Cycle().AlertState(), 5);
  EXPECT_EQ(form.Tray().Hint(),
            QStringLiteral("demo and family have mail.\nYou also have voicemail."));
  {
    std::lock_guard lock(dummy::Record().Lock);
    ASSERT_FALSE(dummy::Record().Started.empty());
    EXPECT_NE(dummy::Record().Started.back().back().find("ring.wav"), std::string::npos);
  }
  program.TrayClicked();
  EXPECT_TRUE(form.Tray().Hint().startsWith(QStringLiteral("Amount Left: ")));

  // The history: 950 days from the provider, drawn and logged.
  EXPECT_FALSE(text("lblMaxVal1").isEmpty());
  EXPECT_FALSE(text("lblMaxVal2").isEmpty());
  const QDate today = QDate::currentDate();
  EXPECT_EQ(text("lblLastDt1"), today.toString(QStringLiteral("d MMM")));
  auto* uploads = form.findChild<QCheckBox*>(QStringLiteral("cbUploads"));
  ASSERT_TRUE(uploads);
  EXPECT_TRUE(uploads->text().startsWith(QStringLiteral("&Uploads (")));
  const auto log = ReadWholeFile(UsageLogFile(program.DataFolder(), "demo"));
  ASSERT_TRUE(log);
  EXPECT_EQ(std::count(log->begin(), log->end(), '\n'), 951);
}

}  // namespace
}  // namespace qgm::gui
