// qgm: the tray program.

#include <QAccessible>
#include <QApplication>
#include <QFont>
#include <QTimer>

#include <cstdlib>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/platform/ProcessValues.h"
#include "core/tray/NumberIcon.h"
#include "core/util/CodePage.h"
#include "core/util/PasswordInput.h"
#include "gui/accessibility/Accessibility.h"
#include "gui/app/DemoEnvironment.h"
#include "gui/app/Dialogs.h"
#include "gui/app/MainForm.h"
#include "gui/app/Measure.h"
#include "gui/app/Program.h"
#include "gui/app/Snapshot.h"
#include "gui/platform/SingleInstance.h"
#include "gui/tray/TrayIcon.h"

namespace qgm::gui {
constexpr const char* kNoHomeText =
    "No home folder is known for this user (HOME is not set and the password database has "
    "none), so settings cannot be stored: changes last for this run only.";
}  // namespace qgm::gui

int main(int argc, char** argv) {
  std::vector<std::string> args;
  bool demo = false;
  // For tests and screenshots: see Snapshot.h.
  std::string snapshot;
  int snapshotAfter = 0;
  // For the start-up benchmark: report start time, peak memory and the CPU
  // used over the given idle seconds, then end.
  int measureSeconds = 0;
  int measureSettle = 0;
  // For tests: the demo's provider sends hostile content and fails
  // requests, each in this share of its replies (corvalink-sim --hostile
  // and --chaos), holding stalled replies back a second.
  std::string hostile;
  bool passwordStdin = false;
  std::vector<int> argIndex;  // where each of `args` stands in argv
  QApplication app(argc, argv);
  qgm::gui::InstallAccessibility();
  // Read after Qt has taken its own options ("-style fusion" and the like)
  // out of the command line.
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--password-stdin") {
      passwordStdin = true;
    } else if (a == "--demo") {
      demo = true;
    } else if (a == "--hostile" && i + 1 < argc) {
      hostile = argv[++i];
    } else if (a == "--measure" && i + 2 < argc) {
      measureSeconds = std::atoi(argv[++i]);
      measureSettle = std::atoi(argv[++i]);
    } else if (a == "--snapshot" && i + 2 < argc) {
      snapshot = argv[++i];
      snapshotAfter = std::atoi(argv[++i]);
    } else {
      args.push_back(a);
      argIndex.push_back(i);
    }
  }
  // What may be a password leaves the command line other local users can
  // read (the copy in `args` is what the program uses).
  if (args.size() >= 2) qgm::BlankArgument(argv[argIndex[1]]);
  if (passwordStdin) {
    // "qgm NAME --password-stdin": the account's password is the first line.
    if (args.size() != 1) {
      std::fputs("qgm: --password-stdin takes the account name alone: qgm NAME --password-stdin\n",
                 stderr);
      return 2;
    }
    const auto line = qgm::ReadPasswordLine(stdin);
    if (!line) {
      std::fputs("qgm: --password-stdin: no password on standard input\n", stderr);
      return 2;
    }
    args.push_back(*line);
  }
  QApplication::setApplicationName(QStringLiteral("QGM"));
  // The desktop entry names the program to the compositor (Wayland's
  // app_id) and to task lists; every window carries the program's icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("com.corvalink.qgm"));
  QApplication::setWindowIcon(qgm::gui::TrayIconAtSizes([](int size) { return qgm::MainIcon(size); }));
  QApplication::setQuitOnLastWindowClosed(false);
  qgm::InitLocale();
  // One face for every window, menu and hint: the program's "Arial" (or
  // its metric-compatible stand-in), so no second font is loaded.
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(12);
  QApplication::setFont(font);

  qgm::gui::TMainForm* form = nullptr;
  qgm::gui::TSingleInstance instance;
  // The first copy registers whatever its arguments. A start with an account
  // and password of its own (two arguments) runs beside a running copy
  // without disturbing it; any other start asks the running copy for its
  // window and ends.
  const bool ownAccount = args.size() == 2;
  const bool first = instance.Claim(
      [&form] {
        if (form) form->BringUp();
      },
      !ownAccount);
  if (!first && !ownAccount) return 0;
  instance.Register();

  qgm::gui::TStartOptions options;
  // The account name and password as the program holds them (its 8-bit
  // text), whether the session typed them in UTF-8 or in the code page.
  for (const std::string& a : args) options.Args.push_back(qgm::ArgumentTo1252(a));
  options.Demo = demo;
  options.CountRunningCopies = [&instance] { return instance.CountRunning(); };
  // The demo runs its own provider, in folders of its own.
  std::unique_ptr<qgm::gui::TDemoEnvironment> demoEnv;
  if (demo) {
    try {
      std::vector<std::string> simArgs;
      if (!hostile.empty())
        simArgs = {"--hostile", hostile, "--chaos", hostile, "--stall-ms", "1000"};
      demoEnv = std::make_unique<qgm::gui::TDemoEnvironment>(std::filesystem::path(), simArgs);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "qgm: the simulated provider could not start: %s\n", e.what());
      return 1;
    }
    options.Endpoints = demoEnv->Endpoints();
    options.Folders = demoEnv->Folders();
  } else {
    std::string error;
    if (!qgm::LoadEndpoints(qgm::EndpointsFileIn(options.Folders.Config), options.Endpoints, error))
      std::fprintf(stderr, "qgm: %s\n", error.c_str());
  }
  // Without a home folder there is nowhere private to keep settings: the
  // program runs on settings in memory and says so.
  const bool noHome = !demo && options.Folders.Config.empty();
  if (noHome) std::fprintf(stderr, "qgm: %s\n", qgm::gui::kNoHomeText);
  qgm::gui::TProgram program(options);
  qgm::gui::TMainForm& mainForm = program.Window();
  form = &mainForm;
  if (program.ShowAtStart()) mainForm.show();
  if (noHome) {
    QTimer::singleShot(0, &mainForm, [&mainForm] {
      qgm::gui::TQtDialogs::Shared().Warning(&mainForm, QStringLiteral("QGM"),
                                             QString::fromUtf8(qgm::gui::kNoHomeText));
    });
  }
  if (measureSeconds > 0) qgm::gui::MeasureStartAndIdle(&mainForm, measureSeconds, measureSettle);
  if (!snapshot.empty()) qgm::gui::SnapshotWhenAsked(program, snapshot, snapshotAfter);
  return app.exec();
}
