#pragma once
// The desktop's keyring (Secret Service, KWallet) as the settings' secret
// store. Each call waits for its answer, with a time limit.

#include <memory>
#include <string>

#include "core/platform/SecretStore.h"

namespace qgm::gui {

// The keyring under `service` (entries "<service>" / key); null where the
// platform set has none (the dummy set: passwords stay in the hive).
std::unique_ptr<ISecretStore> MakeDesktopKeyring(const std::string& service = kKeyringService);

}  // namespace qgm::gui
