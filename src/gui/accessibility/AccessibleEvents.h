#pragma once
// Tells assistive tools of a change in one of our lists or graphs. Qt
// hands events on only while a tool listens; a watcher (set by the tests,
// where none listens) sees every event told here.

#include <functional>

class QAccessibleEvent;

namespace qgm::gui {

void TellAssistiveTools(QAccessibleEvent& event);

using TAccessibleWatcher = std::function<void(const QAccessibleEvent& event)>;
// Replaces the watcher; an empty one stops watching.
void SetAccessibleWatcher(TAccessibleWatcher watcher);

}  // namespace qgm::gui
