#include "gui/platform/MediaPlayers.h"

namespace qgm::gui {

// No desktop bus: every stream goes to a new player.
bool OpenWithRunningPlayer(const std::string&, const std::string&) {
  return false;
}

}  // namespace qgm::gui
