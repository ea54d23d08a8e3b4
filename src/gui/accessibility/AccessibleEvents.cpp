#include "gui/accessibility/AccessibleEvents.h"

#include <QAccessible>
#include <QWidget>

namespace qgm::gui {

namespace {

TAccessibleWatcher& Watcher() {
  static TAccessibleWatcher watcher;
  return watcher;
}

}  // namespace

void TellAssistiveTools(QAccessibleEvent& event) {
  if (Watcher()) Watcher()(event);
  // Without a listening tool Qt has nothing to hand the event to.
  if (QAccessible::isActive()) QAccessible::updateAccessibility(&event);
}

void TellCurrentBar(QWidget* graph, int bar) {
  QAccessibleEvent focus(graph, QAccessible::Focus);
  focus.setChild(bar * 2);
  TellAssistiveTools(focus);
}

void SetAccessibleWatcher(TAccessibleWatcher watcher) {
  Watcher() = std::move(watcher);
}

}  // namespace qgm::gui
