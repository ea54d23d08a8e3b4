#include "gui/setup/EditorKeys.h"

#include <QKeyEvent>
#include <QLineEdit>

#include "gui/controls/ItemEditor.h"

namespace qgm::gui {

TEditorKeys::TEditorKeys(TItemEditor* editor) : QObject(editor), editor_(editor) {
  for (QLineEdit* field : editor->findChildren<QLineEdit*>()) field->installEventFilter(this);
}

bool TEditorKeys::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  auto* field = qobject_cast<QWidget*>(watched);
  switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      // The next control in the window's tab order, as Tab goes; past the
      // last field that leaves the editor, which closes it.
      const bool back = key->modifiers() & Qt::ShiftModifier;
      QWidget* next = field;
      do {
        next = back ? next->previousInFocusChain() : next->nextInFocusChain();
      } while (next != field &&
               !((next->focusPolicy() & Qt::TabFocus) && next->isEnabled() && next->isVisible()));
      next->setFocus(back ? Qt::BacktabFocusReason : Qt::TabFocusReason);
      return true;
    }
    case Qt::Key_Escape:
      editor_->CloseEditor();
      return true;
    default:
      return QObject::eventFilter(watched, event);
  }
}

}  // namespace qgm::gui
