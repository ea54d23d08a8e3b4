#include "core/platform/SoundOutput.h"

namespace qgm {

// A player that is never started (StartProgram only records it).
std::vector<std::string> SoundPlayers() {
  return {"dummy-player"};
}

// A desktop with a new-mail sound, so tests see it handed to the player.
std::filesystem::path DesktopEventSound(const std::string& event) {
  return "/dummy/sounds/" + event + ".oga";
}

}  // namespace qgm
