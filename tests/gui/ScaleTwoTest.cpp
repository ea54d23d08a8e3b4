// On a screen of twice the density the program's own pictures are drawn in
// device pixels, not made at one pixel per logical pixel and scaled up
// (blurred, with the percentage's text in coarse blocks).
//
// QGM_TEST_PICTURES names a folder to keep the pictures in (to look at).
#include <QApplication>
#include <QDir>
#include <QLabel>

#include <gtest/gtest.h>

#include "gui/broadband/BroadbandPage.h"

namespace qgm::gui {
namespace {

void Keep(const QPixmap& picture, const QString& name) {
  const QString folder = qEnvironmentVariable("QGM_TEST_PICTURES");
  if (folder.isEmpty()) return;
  QDir().mkpath(folder + QStringLiteral("/scale2"));
  picture.save(folder + QStringLiteral("/scale2/") + name + QStringLiteral(".png"));
}

TEST(ScaleTwo, TheScreenHasTwoDevicePixelsToALogicalOne) {
  EXPECT_EQ(qApp->devicePixelRatio(), 2.0);
}

TEST(ScaleTwo, BroadbandBarsAndTheirPercentagesAreDrawnInDevicePixels) {
  TBroadbandPage page;
  page.resize(307, 400);
  page.show();
  QApplication::processEvents();
  for (const char* name : {"imgAmtLeft", "imgDaysLeft"}) {
    auto* bar = page.findChild<QLabel*>(QString::fromLatin1(name));
    ASSERT_TRUE(bar) << name;
    const QPixmap grabbed = bar->grab();
    ASSERT_EQ(grabbed.devicePixelRatio(), 2.0);
    Keep(grabbed, QString::fromLatin1(name));
    // The picture the label shows holds a device pixel for each of the
    // screen's, not one for each logical pixel scaled up.
    const QPixmap shown = bar->pixmap();
    EXPECT_EQ(shown.devicePixelRatio(), 2.0) << name;
    EXPECT_EQ(shown.size(), QSize(550, 36)) << name;  // a 275 x 18 bar
  }
}

}  // namespace
}  // namespace qgm::gui
