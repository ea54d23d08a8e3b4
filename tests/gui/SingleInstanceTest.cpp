#include "gui/platform/SingleInstance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>

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
