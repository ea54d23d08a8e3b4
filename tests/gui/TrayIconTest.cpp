// The tray icon's hint: what the notification area takes, at most 127
// characters.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace qgm::gui
