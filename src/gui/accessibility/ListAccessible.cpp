#include "gui/accessibility/ListAccessible.h"

#include "gui/accessibility/GraphAccessible.h"
#include "gui/accessibility/ScrollingCtrlAccessible.h"
#include "gui/controls/ScrollingCtrl.h"

namespace qgm::gui {

QAccessibleInterface* MakeListAccessible(QObject* object) {
  if (auto* list = qobject_cast<TScrollingCtrl*>(object)) return new TScrollingCtrlAccessible(list);
  if (QAccessibleInterface* graph = MakeGraphAccessible(object)) return graph;
  return nullptr;
}

}  // namespace qgm::gui
