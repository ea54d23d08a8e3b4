#pragma once
// Tells assistive tools of a change in one of our lists or graphs. Qt
// hands events on only while a tool listens; a watcher (set by the tests,
// where none listens) sees every event told here.

#include <functional>

class QAccessibleEvent;
class QWidget;

namespace qgm::gui {

void TellAssistiveTools(QAccessibleEvent& event);

// A graph's keys reached `bar`: the focus is on that row's date cell
// (GraphAccessible), which tells the value too.
void TellCurrentBar(QWidget* graph, int bar);

using TAccessibleWatcher = std::function<void(const QAccessibleEvent& event)>;
// Replaces the watcher; an empty one stops watching.
void SetAccessibleWatcher(TAccessibleWatcher watcher);

}  // namespace qgm::gui
