// Plays a radio channel as the program's radio menu does when no player is
// chosen: the address goes over MPRIS to the running player the desktop
// opens playlists with, else that player is started with the address.
// Prints "running PROGRAM" or "started", or why it could not play.
//   qgm_interop_play ADDRESS
#include <QCoreApplication>
#include <cstdio>
#include <string>

#include "core/platform/Associations.h"
#include "core/platform/Launcher.h"
#include "core/platform/Registry.h"
#include "gui/platform/MediaPlayers.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 2) {
    std::fputs("usage: qgm_interop_play ADDRESS\n", stderr);
    return 2;
  }
  const std::string address = argv[1];
  qgm::TRegistryStore registry;  // empty: the desktop's associations answer
  std::string program = qgm::FindAssociatedExe(registry, ".pls");
  if (program.empty()) program = qgm::FindAssociatedExe(registry, ".mp3");
  if (program.empty()) {
    std::fputs("no player is associated with playlists or MP3 audio\n", stderr);
    return 1;
  }
  if (qgm::gui::OpenWithRunningPlayer(program, address)) {
    std::printf("running %s\n", program.c_str());
    return 0;
  }
  qgm::TLauncher launcher(registry);
  if (!launcher.PlayStream({}, address)) {
    std::fprintf(stderr, "%s could not be started\n", program.c_str());
    return 1;
  }
  std::puts("started");
  return 0;
}
