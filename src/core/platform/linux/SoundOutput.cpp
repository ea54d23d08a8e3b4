#include "core/platform/SoundOutput.h"

namespace qgm {

std::vector<std::string> SoundPlayers() {
  return {"pw-play", "paplay", "aplay"};
}

}  // namespace qgm
