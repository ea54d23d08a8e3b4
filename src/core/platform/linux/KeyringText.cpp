#include "core/platform/linux/KeyringText.h"

#include "core/util/CodePage.h"

namespace qgm {

std::string KeyringTextOf(std::string_view password) {
  return Cp1252ToUtf8(password);
}

ISecretStore::EReadResult PasswordFromKeyringText(std::string_view text, std::string& password) {
  const std::u16string wide = Utf8ToUtf16(text);
  // Malformed sequences come back as U+FFFD, so a text that does not
  // survive the round trip was not UTF-8.
  if (Utf16ToUtf8(wide) != text) {
    password.assign(text);
    return ISecretStore::EReadResult::Found;
  }
  for (const char16_t ch : wide) {
    if (ch == u'\uFFFD' || (UnicodeToChar1252(ch) == '?' && ch != u'?'))
      return ISecretStore::EReadResult::Failed;
  }
  password = Narrow1252(wide);
  return ISecretStore::EReadResult::Found;
}

}  // namespace qgm
