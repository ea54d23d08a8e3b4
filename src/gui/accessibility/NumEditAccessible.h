#pragma once
// The number field for a screen reader: a spin box named by the caption
// beside it, with its value and limits, and its text to read (the value
// is set through the field's own checks).

#include <QAccessibleWidget>

#include "gui/controls/NumEdit.h"

namespace qgm::gui {

class TNumEditAccessible : public QAccessibleWidget,
                           public QAccessibleValueInterface,
                           public QAccessibleTextInterface {
 public:
  explicit TNumEditAccessible(TNumedit* edit);

  void* interface_cast(QAccessible::InterfaceType t) override;
  QString text(QAccessible::Text t) const override;
  QAccessible::State state() const override;

  // QAccessibleValueInterface
  QVariant currentValue() const override;
  void setCurrentValue(const QVariant& value) override;
  QVariant maximumValue() const override;
  QVariant minimumValue() const override;
  QVariant minimumStepSize() const override;

  // QAccessibleTextInterface
  void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
  int selectionCount() const override;
  void addSelection(int startOffset, int endOffset) override;
  void removeSelection(int selectionIndex) override;
  void setSelection(int selectionIndex, int startOffset, int endOffset) override;
  int cursorPosition() const override;
  void setCursorPosition(int position) override;
  QString text(int startOffset, int endOffset) const override;
  int characterCount() const override;
  QRect characterRect(int offset) const override;
  int offsetAtPoint(const QPoint& point) const override;
  void scrollToSubstring(int startIndex, int endIndex) override;
  QString attributes(int offset, int* startOffset, int* endOffset) const override;

 private:
  TNumedit* Edit() const { return static_cast<TNumedit*>(widget()); }
};

}  // namespace qgm::gui
