// The tray icon's hint: what the notification area takes, at most 127
// characters.
#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <algorithm>
#include <vector>

#include "gui/tray/TrayIcon.h"

namespace qgm::gui {
namespace {

TEST(TrayIcon, HintIsCutAt127Characters) {
  TTrayIcon tray;
  QString text;
  for (int i = 0; i < 200; ++i) text += QChar(u'a' + i % 26);
  for (const int length : {0, 1, 126, 127, 128, 200}) {
    tray.SetHint(text.left(length));
    EXPECT_EQ(tray.Hint().toStdString(), text.left(std::min(length, 127)).toStdString()) << length;
  }
}

// Asked to show before it has a picture (the program shows the tray at
// start, the first "?" picture comes after), the icon shows with the
// picture, whichever kind of tray it lives in.
TEST(TrayIcon, ShownBeforeItsFirstPictureItShowsWithIt) {
  QPixmap picture(16, 16);
  picture.fill(Qt::black);
  for (const ETrayKind kind : {ETrayKind::XEmbed, ETrayKind::StatusNotifier}) {
    TTrayIcon::AssumeKind(kind);
    TTrayIcon tray;
    tray.Show();
    EXPECT_FALSE(tray.Visible()) << "nothing to show yet";
    tray.SetIcon(QIcon(picture));
    EXPECT_TRUE(tray.Visible()) << static_cast<int>(kind);
  }
  TTrayIcon::AssumeKind(std::nullopt);
}

}  // namespace
}  // namespace qgm::gui

namespace qgm::gui {
namespace {

// Every size a panel asks for, each drawn at its own size.
TEST(TrayIcon, PicturesComeAtEveryPanelSize) {
  std::vector<int> asked;
  const QIcon icon = TrayIconAtSizes([&asked](int size) {
    asked.push_back(size);
    TPixmap p(size, size, 0);
    p.At(size - 1, size - 1) = 0xFF000000u;  // a mark in the far corner
    return p;
  });
  const QList<QSize> sizes = icon.availableSizes();
  for (const int size : {16, 22, 24, 32, 48, 64}) {
    EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
    const QImage picture = icon.pixmap(QSize(size, size), 1.0).toImage();
    ASSERT_EQ(picture.size(), QSize(size, size)) << size;
    EXPECT_EQ(qAlpha(picture.pixel(size - 1, size - 1)), 255) << "drawn, not scaled: " << size;
  }
  std::sort(asked.begin(), asked.end());
  EXPECT_EQ(std::adjacent_find(asked.begin(), asked.end()), asked.end()) << "each size once";
}

}  // namespace
}  // namespace qgm::gui
