#include "core/platform/SoundOutput.h"

#include "core/platform/linux/XdgDirs.h"

namespace qgm {

std::vector<std::string> SoundPlayers() {
  return {"pw-play", "paplay", "aplay"};
}

std::filesystem::path DesktopEventSound(const std::string& event) {
  return ThemeSound(event, "freedesktop", TXdgDirs::Default());
}

}  // namespace qgm
