#include "gui/accessibility/Accessibility.h"

#include <QAccessible>

#include "gui/accessibility/FocusLabelAccessible.h"
#include "gui/accessibility/ItemEditorAccessible.h"
#include "gui/accessibility/ListAccessible.h"
#include "gui/accessibility/MessageFormAccessible.h"
#include "gui/accessibility/NumEditAccessible.h"
#include "gui/accessibility/PercentBarAccessible.h"
#include "gui/accessibility/ScrollHeaderAccessible.h"
#include "gui/accessibility/TabRowsAccessible.h"

namespace qgm::gui {

QAccessibleInterface* MakeAccessible(const QString& /*className*/, QObject* object) {
  if (auto* x = qobject_cast<TFocusLabel*>(object)) return new TFocusLabelAccessible(x);
  if (auto* x = qobject_cast<TNumedit*>(object)) return new TNumEditAccessible(x);
  if (auto* x = qobject_cast<TScrollHeader*>(object)) return new TScrollHeaderAccessible(x);
  if (auto* x = qobject_cast<TItemEditor*>(object)) return new TItemEditorAccessible(x);
  if (auto* x = qobject_cast<TPercentBar*>(object)) return new TPercentBarAccessible(x);
  if (auto* x = qobject_cast<TMessageForm*>(object)) return new TMessageFormAccessible(x);
  if (QAccessibleInterface* rows = MakeTabRowsAccessible(object)) return rows;
  if (QAccessibleInterface* list = MakeListAccessible(object)) return list;
  return nullptr;
}

void InstallAccessibility() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QAccessible::installFactory(&MakeAccessible);
}

}  // namespace qgm::gui
