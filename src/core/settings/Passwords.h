#pragma once

#include <string>

namespace qgm {

// The reversible byte substitution applied to every stored password: bytes
// up to 242 move up by 13, bytes from 243 wrap round to 1..13. It keeps a
// password from being read at a glance; it is not encryption, which is why
// the hive file is private to its owner.
std::string ScramblePassword(std::string password);
std::string UnscramblePassword(std::string bytes);

}  // namespace qgm
