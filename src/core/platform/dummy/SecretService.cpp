#include "core/platform/SecretService.h"

namespace qgm {

// The dummy platform keeps everything in the process: no keyring.
std::unique_ptr<ISecretStore> OpenSecretService(const std::string&) {
  return nullptr;
}

}  // namespace qgm
