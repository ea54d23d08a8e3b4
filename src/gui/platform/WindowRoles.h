#pragma once
// What the desktop's task bar and pager are told of a window: the program's
// notice popups belong to the program, not to a task of their own.

class QWidget;

namespace qgm::gui {

// Keeps `window` (a top-level, not yet shown) off the task bar and the
// pager (X11: _NET_WM_STATE_SKIP_TASKBAR and _SKIP_PAGER). Nothing where
// the desktop has no such hint.
void KeepOffTaskbar(QWidget& window);

}  // namespace qgm::gui
