#include "gui/platform/Keyring.h"

namespace qgm::gui {

// The dummy platform keeps everything in the process: no keyring.
std::unique_ptr<ISecretStore> MakeDesktopKeyring(const std::string&) {
  return nullptr;
}

}  // namespace qgm::gui
