#pragma once
// Click-to-copy for a label: the text goes to the clipboard and the label
// says so in maroon for a second, then shows its text again.

#include <QString>

namespace qgm::gui {

class TFocusLabel;

// Nothing happens for an empty text or while the label still shows the
// message of an earlier click.
void CopyWithFeedback(TFocusLabel* label, const QString& message);

}  // namespace qgm::gui
