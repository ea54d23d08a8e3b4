#include "gui/accessibility/ItemEditorAccessible.h"

#include <QLabel>

#include "gui/accessibility/AccessibleText.h"

namespace qgm::gui {

TItemEditorAccessible::TItemEditorAccessible(TItemEditor* editor)
    : QAccessibleWidget(editor, QAccessible::Grouping) {}

QString TItemEditorAccessible::text(QAccessible::Text t) const {
  if (t != QAccessible::Name || !widget()->accessibleName().isEmpty())
    return QAccessibleWidget::text(t);
  QStringList captions;
  for (const QLabel* label : widget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
    QString caption = WithoutAccelerator(label->text()).trimmed();
    if (caption.endsWith(u':')) caption.chop(1);
    if (!caption.isEmpty()) captions << caption;
  }
  return captions.join(QStringLiteral(", "));
}

}  // namespace qgm::gui
