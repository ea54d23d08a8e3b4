#pragma once
// The keys of the fields in the Setup lists' item editors: Enter moves to
// the next control as Tab does (Shift+Enter to the previous one), Escape
// closes the editor. Both are taken, so they reach neither the field nor the window.

#include <QObject>

namespace qgm::gui {

class TItemEditor;

class TEditorKeys : public QObject {
  Q_OBJECT
 public:
  // Watches every field of `editor`; owned by it.
  explicit TEditorKeys(TItemEditor* editor);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TItemEditor* editor_;
};

}  // namespace qgm::gui
