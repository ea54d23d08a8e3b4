#include "gui/platform/ProcessStats.h"

namespace qgm::gui {

TProcessStats ReadProcessStats() {
  return {};
}

}  // namespace qgm::gui
