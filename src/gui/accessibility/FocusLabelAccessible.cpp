#include "gui/accessibility/FocusLabelAccessible.h"

#include <QKeySequence>

#include "gui/accessibility/AccessibleText.h"

namespace qgm::gui {

TFocusLabelAccessible::TFocusLabelAccessible(TFocusLabel* label)
    : QAccessibleWidget(label, QAccessible::Button) {}

QAccessible::Role TFocusLabelAccessible::role() const {
  return Label()->OpensAddress() ? QAccessible::Link : QAccessible::Button;
}

QString TFocusLabelAccessible::text(QAccessible::Text t) const {
  if (t == QAccessible::Name) {
    if (!Label()->accessibleName().isEmpty()) return Label()->accessibleName();
    const QString caption = Label()->Caption();
    const QString name =
        (Label()->ShowAccelChar() ? WithoutAccelerator(caption) : caption).trimmed();
    // Without a caption of its own, the label beside it names it.
    return name.isEmpty() ? BuddyCaption(*Label()) : name;
  }
  if (t == QAccessible::Accelerator && Label()->ShowAccelChar())
    return QKeySequence::mnemonic(Label()->Caption()).toString(QKeySequence::NativeText);
  return QAccessibleWidget::text(t);
}

QStringList TFocusLabelAccessible::actionNames() const {
  QStringList names = QAccessibleWidget::actionNames();
  if (Label()->OnClick && Label()->isEnabled()) names.prepend(pressAction());
  return names;
}

void TFocusLabelAccessible::doAction(const QString& actionName) {
  if (actionName == pressAction()) {
    if (Label()->isEnabled()) Label()->Click();
    return;
  }
  QAccessibleWidget::doAction(actionName);
}

QStringList TFocusLabelAccessible::keyBindingsForAction(const QString& actionName) const {
  if (actionName == pressAction() && Label()->ShowAccelChar()) {
    const QKeySequence key = QKeySequence::mnemonic(Label()->Caption());
    if (!key.isEmpty()) return {key.toString(QKeySequence::NativeText)};
  }
  return QAccessibleWidget::keyBindingsForAction(actionName);
}

}  // namespace qgm::gui
