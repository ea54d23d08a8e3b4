// The widget tests run on Qt's offscreen platform, with one application,
// as on a desktop with an X11 tray unless a test says otherwise.
#include <gtest/gtest.h>

#include <QApplication>

#include "gui/accessibility/Accessibility.h"
#include "gui/tray/TrayIcon.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  qgm::gui::InstallAccessibility();
  qgm::gui::TTrayIcon::AssumeKind(qgm::gui::ETrayKind::XEmbed);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
