#pragma once
// Where passwords are kept when the desktop has a keyring. The settings
// store asks it first and falls back on the hive's scrambled values when
// it is missing, locked or refuses.

#include <string>

namespace qgm {

// The keyring service the program's entries are kept under; the window
// program and qgm-cli must agree on it.
inline constexpr const char* kKeyringService = "QGM";

class ISecretStore {
 public:
  virtual ~ISecretStore() = default;
  enum class EReadResult { Found, NotFound, Failed };
  // Failed: the keyring could not be asked (locked, refused, gone).
  virtual EReadResult Read(const std::string& key, std::string& secret) = 0;
  virtual bool Write(const std::string& key, const std::string& secret) = 0;
  // True also when there was nothing to remove.
  virtual bool Remove(const std::string& key) = 0;
};

}  // namespace qgm
