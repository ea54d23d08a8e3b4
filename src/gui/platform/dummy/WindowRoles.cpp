#include "gui/platform/WindowRoles.h"

namespace qgm::gui {

void KeepOffTaskbar(QWidget&) {}

}  // namespace qgm::gui
