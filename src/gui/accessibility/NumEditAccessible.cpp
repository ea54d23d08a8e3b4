#include "gui/accessibility/NumEditAccessible.h"

#include <QFontMetrics>

#include <limits>

#include "gui/accessibility/AccessibleText.h"

namespace qgm::gui {

TNumEditAccessible::TNumEditAccessible(TNumedit* edit)
    : QAccessibleWidget(edit, QAccessible::SpinBox) {}

void* TNumEditAccessible::interface_cast(QAccessible::InterfaceType t) {
  if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
  if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
  return QAccessibleWidget::interface_cast(t);
}

QString TNumEditAccessible::text(QAccessible::Text t) const {
  switch (t) {
    case QAccessible::Name:
      if (!Edit()->accessibleName().isEmpty()) return Edit()->accessibleName();
      return BuddyCaption(*Edit());
    case QAccessible::Value:
      return Edit()->text();
    default:
      return QAccessibleWidget::text(t);
  }
}

QAccessible::State TNumEditAccessible::state() const {
  QAccessible::State s = QAccessibleWidget::state();
  s.editable = !Edit()->isReadOnly();
  s.readOnly = Edit()->isReadOnly();
  s.selectableText = true;
  return s;
}

QVariant TNumEditAccessible::currentValue() const {
  return static_cast<double>(Edit()->Value());
}

void TNumEditAccessible::setCurrentValue(const QVariant& value) {
  if (Edit()->isReadOnly() || !Edit()->isEnabled()) return;
  Edit()->SetValue(value.toDouble());
}

QVariant TNumEditAccessible::maximumValue() const {
  // 0: no upper limit.
  return Edit()->MaxVal() ? QVariant(Edit()->MaxVal()) : QVariant(std::numeric_limits<int>::max());
}

QVariant TNumEditAccessible::minimumValue() const {
  return Edit()->MinVal();
}

QVariant TNumEditAccessible::minimumStepSize() const {
  return 1;
}

void TNumEditAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
  *startOffset = *endOffset = 0;
  if (selectionIndex != 0 || !Edit()->hasSelectedText()) return;
  *startOffset = Edit()->selectionStart();
  *endOffset = Edit()->selectionEnd();
}

int TNumEditAccessible::selectionCount() const {
  return Edit()->hasSelectedText() ? 1 : 0;
}

void TNumEditAccessible::addSelection(int startOffset, int endOffset) {
  setSelection(0, startOffset, endOffset);
}

void TNumEditAccessible::removeSelection(int selectionIndex) {
  if (selectionIndex == 0) Edit()->deselect();
}

void TNumEditAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
  if (selectionIndex == 0) Edit()->setSelection(startOffset, endOffset - startOffset);
}

int TNumEditAccessible::cursorPosition() const {
  return Edit()->cursorPosition();
}

void TNumEditAccessible::setCursorPosition(int position) {
  Edit()->setCursorPosition(position);
}

QString TNumEditAccessible::text(int startOffset, int endOffset) const {
  return Edit()->text().mid(startOffset, endOffset - startOffset);
}

int TNumEditAccessible::characterCount() const {
  return static_cast<int>(Edit()->text().size());
}

QRect TNumEditAccessible::characterRect(int offset) const {
  // The right-aligned text: measured from the field's right edge.
  const QString text = Edit()->text();
  if (offset < 0 || offset >= text.size()) return {};
  const QFontMetrics metrics(Edit()->font());
  const QRect inside = Edit()->contentsRect().adjusted(2, 0, -2, 0);
  const int textLeft = inside.right() - metrics.horizontalAdvance(text);
  const int x = textLeft + metrics.horizontalAdvance(text.left(offset));
  const QRect r(x, inside.top(), metrics.horizontalAdvance(text.at(offset)), inside.height());
  return QRect(Edit()->mapToGlobal(r.topLeft()), r.size());
}

int TNumEditAccessible::offsetAtPoint(const QPoint& point) const {
  return Edit()->cursorPositionAt(Edit()->mapFromGlobal(point));
}

void TNumEditAccessible::scrollToSubstring(int, int) {}

QString TNumEditAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
  *startOffset = *endOffset = offset;
  return {};
}

}  // namespace qgm::gui
