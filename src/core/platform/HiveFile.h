#pragma once
// The hive file: the registry-export text format ("REGEDIT4"), so a file
// exported from Windows or written by hand loads as it stands.
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\Corvalink\QuotaGaugeData]
//   "home"="john"                      text, with \\ and \" escapes
//   "StartDelay"=dword:0000003c        32-bit integer
//   "home2"=hex:77,7c,7b,\             bytes, continued on the next line
//     70
//   @="default value"
//   "note"=hex(1):...                  other types as hex(type) bytes
//
// Sections of other roots and deletion entries ("[-...]", "=-") are ignored.

#include <string>
#include <string_view>

#include "core/platform/Registry.h"

namespace qgm {

class THiveFile {
 public:
  // Fills the store's roots from the text; false with a message (the line
  // number included) when the text is not a hive. The store is left empty
  // then.
  static bool Parse(std::string_view text, TRegistryStore& store, std::string& error);
  // The text of both roots: keys depth first, subkeys in case-insensitive
  // order, values in their order, CR LF line ends.
  static std::string Format(TRegistryStore& store);
};

}  // namespace qgm
