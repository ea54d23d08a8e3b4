#pragma once
// Click-to-copy for a label: the text goes to the clipboard and the label
// says so in maroon for a second, then shows its text again.

#include <QPalette>
#include <QString>

#include <memory>

#include "core/util/Timing.h"

namespace qgm::gui {

class TFocusLabel;

class TCopyFeedback {
 public:
  // `label` outlives this object (both belong to the same page).
  TCopyFeedback(TFocusLabel* label, QString message, ITimerFactory& timers);
  ~TCopyFeedback();
  // Copies the label's text. Nothing happens for an empty text or while the
  // label still shows the message of an earlier click.
  void Copy();
  bool Showing() const;
  // Puts a new text on the label; while the message shows, the text comes
  // back when the message goes.
  void SetText(const QString& text);

 private:
  void Restore();

  TFocusLabel* label_;
  QString message_;
  QString text_;
  QPalette before_;
  std::unique_ptr<ITimer> timer_;
};

}  // namespace qgm::gui
