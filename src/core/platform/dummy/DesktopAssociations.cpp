#include "core/platform/DesktopAssociations.h"

namespace qgm {

// The dummy desktop associates nothing: only the registry answers.
std::vector<std::string> DesktopOpenCommand(const std::string&, const std::string&) {
  return {};
}

}  // namespace qgm
