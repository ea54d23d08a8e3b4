#pragma once
// The program's link captions: their colours and their look.

#include <QColor>
#include <QWidget>

namespace qgm::gui {

class TFocusLabel;

inline const QColor kLinkColour(1, 93, 179);
inline const QColor kBusyLinkColour(128, 0, 0);  // maroon: a link at work
inline const QColor kLinkHoverColour(204, 0, 0);

// A focus label as a link: link colour, red under the mouse, the hand
// cursor, a tab stop, at least one line high; `alignment` places the
// caption.
void StyleAsLink(TFocusLabel& label, Qt::Alignment alignment);
// The caption's colour.
void SetTextColour(QWidget& widget, const QColor& colour);

}  // namespace qgm::gui
