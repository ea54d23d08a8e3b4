#pragma once
// The desktop's Secret Service (GNOME Keyring, KWallet's bridge) for
// programs without a window: entries are those the tray program keeps
// (schema "org.qt.keychain": "server" the service, "user" the key), so
// qgm-cli finds the passwords the program moved there.

#include <memory>
#include <string>

#include "core/platform/SecretStore.h"

namespace qgm {

// Null where the platform set has none.
std::unique_ptr<ISecretStore> OpenSecretService(const std::string& service = kKeyringService);

}  // namespace qgm
