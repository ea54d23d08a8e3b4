#include "gui/accessibility/MessageFormAccessible.h"

namespace qgm::gui {

TMessageFormAccessible::TMessageFormAccessible(TMessageForm* form)
    : QAccessibleWidget(form, QAccessible::AlertMessage) {}

QString TMessageFormAccessible::text(QAccessible::Text t) const {
  if (t == QAccessible::Name) return Form()->Caption();
  if (t == QAccessible::Description) return Form()->Body();
  return QAccessibleWidget::text(t);
}

}  // namespace qgm::gui
