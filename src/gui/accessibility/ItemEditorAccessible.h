#pragma once
// The in-place item editor for a screen reader: a group named by its
// fields' captions ("Name, Password"); the fields are Qt's own edits,
// each named by its caption.

#include <QAccessibleWidget>

#include "gui/controls/ItemEditor.h"

namespace qgm::gui {

class TItemEditorAccessible : public QAccessibleWidget {
 public:
  explicit TItemEditorAccessible(TItemEditor* editor);
  QString text(QAccessible::Text t) const override;
};

}  // namespace qgm::gui
