#include "gui/accessibility/PercentBarAccessible.h"

#include "gui/accessibility/AccessibleText.h"

namespace qgm::gui {

TPercentBarAccessible::TPercentBarAccessible(TPercentBar* bar)
    : QAccessibleWidget(bar, QAccessible::ProgressBar) {}

void* TPercentBarAccessible::interface_cast(QAccessible::InterfaceType t) {
  if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
  return QAccessibleWidget::interface_cast(t);
}

QString TPercentBarAccessible::text(QAccessible::Text t) const {
  switch (t) {
    case QAccessible::Name:
      if (!Bar()->accessibleName().isEmpty()) return Bar()->accessibleName();
      return BuddyCaption(*Bar());
    case QAccessible::Value:
      return Bar()->PercentText();
    case QAccessible::Description:
      // What the bar stands for, once there is a figure: "34,740 MB".
      return Bar()->Figure().isEmpty() ? Bar()->PercentText() : Bar()->Figure();
    default:
      return QAccessibleWidget::text(t);
  }
}

QVariant TPercentBarAccessible::currentValue() const {
  return Bar()->Percent();
}

}  // namespace qgm::gui
