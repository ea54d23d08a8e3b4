#include "gui/platform/SingleInstance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace qgm::gui {
namespace {

TEST(SingleInstance, SecondStartAsksTheFirstForItsWindow) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  int shown = 0;
  TSingleInstance first(folder.path());
  ASSERT_TRUE(first.Claim([&shown] { ++shown; }));

  TSingleInstance second(folder.path());
  EXPECT_FALSE(second.Claim([] { FAIL() << "the second copy must not serve"; }));
  const QDeadlineTimer deadline(5000);
  while (shown == 0 && !deadline.hasExpired()) QCoreApplication::processEvents();
  EXPECT_EQ(shown, 1);

  // A third start is turned away too, and asks again.
  TSingleInstance third(folder.path());
  EXPECT_FALSE(third.Claim({}));
  while (shown == 1 && !deadline.hasExpired()) QCoreApplication::processEvents();
  EXPECT_EQ(shown, 2);

  // A start with an account of its own runs beside it without asking.
  TSingleInstance own(folder.path());
  EXPECT_FALSE(own.Claim({}, false));
  const QDeadlineTimer quiet(300);
  while (!quiet.hasExpired()) QCoreApplication::processEvents();
  EXPECT_EQ(shown, 2);
}

// Every copy that runs counts, the one with an account of its own too; a
// copy that ended no longer does, even when its file was left behind.
TEST(SingleInstance, RunningCopiesAreCounted) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  TSingleInstance first(folder.path());
  ASSERT_TRUE(first.Claim({}));
  EXPECT_EQ(first.CountRunning(), 0);
  first.Register();
  first.Register();  // once is enough
  EXPECT_EQ(first.CountRunning(), 1);
  {
    TSingleInstance own(folder.path());
    EXPECT_FALSE(own.Claim({}, false));
    // A second copy in the same process stands for another process here:
    // its lock file has the same name, so it is written by hand instead.
    QFile other(folder.path() +
                QStringLiteral("/corvalink-qgm-%1.copies/999999999").arg(::getuid()));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));  // no lock held: left over
    other.close();
    EXPECT_EQ(first.CountRunning(), 1);
    EXPECT_FALSE(other.exists());  // tidied away
    // Another copy holding its lock counts.
    const QByteArray live = QFile::encodeName(
        folder.path() + QStringLiteral("/corvalink-qgm-%1.copies/999999998").arg(::getuid()));
    const int fd = ::open(live.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(first.CountRunning(), 2);
    ::close(fd);
    EXPECT_EQ(first.CountRunning(), 1);
  }
}

TEST(SingleInstance, LeftoverSocketOfACrashedCopyIsTakenOver) {
  QTemporaryDir folder;
  {
    TSingleInstance crashed(folder.path());
    ASSERT_TRUE(crashed.Claim({}));
  }
  // A stale socket file without a lock holder behind it.
  QFile stale(folder.path() + QStringLiteral("/corvalink-qgm-%1.sock").arg(::getuid()));
  ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
  stale.close();
  int shown = 0;
  TSingleInstance next(folder.path());
  ASSERT_TRUE(next.Claim([&shown] { ++shown; }));
  TSingleInstance later(folder.path());
  EXPECT_FALSE(later.Claim({}));
  const QDeadlineTimer deadline(5000);
  while (shown == 0 && !deadline.hasExpired()) QCoreApplication::processEvents();
  EXPECT_EQ(shown, 1);
}

}  // namespace
}  // namespace qgm::gui
