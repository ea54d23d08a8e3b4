#pragma once
// Assistive-tool interfaces for the program's own lists and graphs: the
// scrolling item lists (the advisories, the Setup lists) and the bar
// graphs. The accessibility factory asks here first.

class QAccessibleInterface;
class QObject;

namespace qgm::gui {

// The interface for `object` when it is one of those lists or graphs,
// else nullptr.
QAccessibleInterface* MakeListAccessible(QObject* object);

}  // namespace qgm::gui
