#include "gui/accessibility/ScrollHeaderAccessible.h"

#include <QLabel>

#include "gui/accessibility/AccessibleText.h"

namespace qgm::gui {

TScrollHeaderAccessible::TScrollHeaderAccessible(TScrollHeader* header)
    : QAccessibleWidget(header, QAccessible::ColumnHeader) {}

QString TScrollHeaderAccessible::text(QAccessible::Text t) const {
  if (t != QAccessible::Name && t != QAccessible::Description) return QAccessibleWidget::text(t);
  if (t == QAccessible::Name && !widget()->accessibleName().isEmpty())
    return widget()->accessibleName();
  if (t == QAccessible::Description && !widget()->accessibleDescription().isEmpty())
    return widget()->accessibleDescription();
  // The first label is the caption, a later shown one a hint.
  const auto labels = widget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
  // Without a caption of its own (a framed panel), the label that names it.
  if (t == QAccessible::Name)
    return labels.isEmpty() ? BuddyCaption(*widget())
                            : WithoutAccelerator(labels.first()->text()).trimmed();
  QStringList hints;
  for (qsizetype i = 1; i < labels.size(); ++i)
    if (labels[i]->isVisibleTo(widget())) hints << labels[i]->text().trimmed();
  return hints.join(u' ');
}

}  // namespace qgm::gui
