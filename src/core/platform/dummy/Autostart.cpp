#include "core/platform/Autostart.h"

namespace qgm {

// The entry is a plain file holding the program path, so a test sees it
// come and go.
std::string AutostartEntryName() {
  return "CorvalinkUsage";
}

std::string AutostartEntryText(const std::string& programPath) {
  return programPath;
}

}  // namespace qgm
