// The anchor for the tray program's start-up benchmark: a minimal Qt 6 tray
// program with a main window of eight tabs and a tray icon, measured the
// same way.
#include <QApplication>
#include <QLabel>
#include <QSystemTrayIcon>
#include <QTabWidget>

#include <cstdlib>

#include "gui/app/Measure.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  QTabWidget window;
  window.setFixedSize(307, 485);
  for (const char* caption : {"&Broadband", "&History", "&Corvalink", "&Network", "Ca&llHaven",
                              "Ad&visories", "&About", "&Setup"}) {
    window.addTab(new QLabel(QString::fromLatin1(caption)), QString::fromLatin1(caption));
  }
  QPixmap icon(16, 16);
  icon.fill(Qt::green);
  QSystemTrayIcon tray{QIcon(icon)};
  tray.setToolTip(QStringLiteral("anchor"));
  tray.show();
  qgm::gui::MeasureStartAndIdle(&window, argc > 1 ? std::atoi(argv[1]) : 10,
                                argc > 2 ? std::atoi(argv[2]) : 0);
  return app.exec();
}
