// A running player reached over MPRIS on a private session bus (the test
// runs under dbus-run-session; without a session bus it is skipped).
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "gui/platform/MediaPlayers.h"

namespace qgm::gui {
namespace {

TEST(MediaPlayers, ARunningPlayerGetsTheAddressOverMpris) {
  const QByteArray fake = qgetenv("QGM_FAKE_MPRIS_PLAYER");
  if (fake.isEmpty() || !QDBusConnection::sessionBus().isConnected())
    GTEST_SKIP() << "needs a session bus and the fake player (ctest gui.mpris)";
  // Nothing of that name running: nothing is sent.
  EXPECT_FALSE(OpenWithRunningPlayer("/usr/bin/fakeplayer", "http://radio.example/a.pls"));

  QTemporaryDir dir;
  const QString log = dir.filePath(QStringLiteral("calls.log"));
  QProcess player;
  player.start(QString::fromLocal8Bit(fake), {log});
  ASSERT_TRUE(player.waitForReadyRead(5000));
  // The service shows on the bus once the player has said it is ready.
  // What a launched player would refuse is never sent to a running one.
  EXPECT_FALSE(OpenWithRunningPlayer("/opt/Players/FakePlayer", "file:///etc/passwd"));
  EXPECT_FALSE(OpenWithRunningPlayer("/opt/Players/FakePlayer", "javascript:alert(1)"));
  const std::string address = "http://radio.example/a b;$(x)&y='1'";
  EXPECT_TRUE(OpenWithRunningPlayer("/opt/Players/FakePlayer", address));
  ASSERT_TRUE(player.waitForFinished(5000));
  QFile calls(log);
  ASSERT_TRUE(calls.open(QIODevice::ReadOnly));
  EXPECT_EQ(
      QString::fromUtf8(calls.readAll()),
      QStringLiteral("OpenUri ") + QString::fromStdString(address) + QStringLiteral("\nPlay\n"));
  calls.close();
  // A host without a scheme goes as http.
  QFile::remove(log);
  player.start(QString::fromLocal8Bit(fake), {log});
  ASSERT_TRUE(player.waitForReadyRead(5000));
  EXPECT_TRUE(OpenWithRunningPlayer("/opt/Players/FakePlayer", "host:8000/x"));
  ASSERT_TRUE(player.waitForFinished(5000));
  ASSERT_TRUE(calls.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(calls.readAll()),
            QStringLiteral("OpenUri http://host:8000/x\nPlay\n"));
  // Another program's name does not reach it.
  EXPECT_FALSE(OpenWithRunningPlayer("/usr/bin/vlc", address));
}

}  // namespace
}  // namespace qgm::gui
