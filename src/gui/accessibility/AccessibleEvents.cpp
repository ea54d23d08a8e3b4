#include "gui/accessibility/AccessibleEvents.h"

#include <QAccessible>

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

void SetAccessibleWatcher(TAccessibleWatcher watcher) {
  Watcher() = std::move(watcher);
}

}  // namespace qgm::gui
