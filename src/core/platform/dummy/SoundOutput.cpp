#include "core/platform/SoundOutput.h"

namespace qgm {

// A player that is never started (StartProgram only records it).
std::vector<std::string> SoundPlayers() {
  return {"dummy-player"};
}

}  // namespace qgm
