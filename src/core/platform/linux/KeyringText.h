#pragma once
// The form a password takes in the desktop's keyring. The program holds
// passwords as its 8-bit text (Windows-1252); a keyring entry holds UTF-8
// text, so other tools (secret-tool, a password manager) read it as
// written. Both keyring implementations go through these two functions.

#include <string>
#include <string_view>

#include "core/platform/SecretStore.h"

namespace qgm {

// The keyring text of a password: its UTF-8 form.
std::string KeyringTextOf(std::string_view password);

// The password a keyring entry holds, back in the program's 8-bit text.
// - UTF-8 text: converted, when every character has a Windows-1252 byte.
// - Bytes that are not UTF-8 (put there by a tool writing the 8-bit code
//   page itself): taken as they stand, so they are not lost.
// - Text holding U+FFFD (the mark of a password damaged on its way in) or
//   a character the code page lacks: no password the program can sign in
//   with. Failed, so the entry is kept untouched and the user asked for
//   the password again, rather than a wrong one sent.
ISecretStore::EReadResult PasswordFromKeyringText(std::string_view text, std::string& password);

}  // namespace qgm
