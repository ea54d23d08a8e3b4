#include "gui/app/Snapshot.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <memory>

#include "core/platform/FileIo.h"
#include "gui/app/MainForm.h"
#include "gui/app/Program.h"
#include "gui/tray/TrayIcon.h"

namespace qgm::gui {

void SnapshotWhenAsked(TProgram& program, const std::string& prefix, int limitSeconds) {
  struct TState {
    QElapsedTimer since;
    bool ready = false;
  };
  auto state = std::make_shared<TState>();
  state->since.start();
  auto* poll = new QTimer(&program.Window());
  QObject::connect(poll, &QTimer::timeout, poll, [&program, prefix, limitSeconds, poll, state] {
    TMainForm& form = program.Window();
    if (!state->ready && !program.Cycle().FirstUpdate()) {
      state->ready = true;
      WriteFileAtomic(prefix + "-ready", "ready\n");
    }
    const bool asked = QFile::exists(QString::fromStdString(prefix + "-go"));
    if (!asked && state->since.elapsed() < limitSeconds * 1000LL) return;
    poll->stop();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      screen->grabWindow(0).save(QString::fromStdString(prefix + "-screen.png"));
    }
    form.grab().save(QString::fromStdString(prefix + "-window.png"));
    form.SavePageShots(prefix + "-page");
    std::printf("tray hint: %s\n", form.Tray().Hint().toUtf8().constData());
    std::printf("tray visible: %d\n", form.Tray().Visible() ? 1 : 0);
    std::printf("tray kind: %s\n", TrayKindName(form.Tray().Kind()));
    std::printf("platform: %s\n", qPrintable(QGuiApplication::platformName()));
    std::fflush(stdout);
    form.Exit();
  });
  poll->start(200);
}

}  // namespace qgm::gui
