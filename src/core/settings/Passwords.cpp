#include "core/settings/Passwords.h"

namespace qgm {

std::string ScramblePassword(std::string password) {
  for (char& c : password) {
    const auto b = static_cast<unsigned char>(c);
    c = static_cast<char>(b <= 242 ? b + 13 : b - 242);
  }
  return password;
}

std::string UnscramblePassword(std::string bytes) {
  for (char& c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    c = static_cast<char>(b >= 14 ? b - 13 : b + 242);
  }
  return bytes;
}

}  // namespace qgm
