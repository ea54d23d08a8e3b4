#pragma once
// The colours of the program's link captions.

#include <QColor>

namespace qgm::gui {

inline const QColor kLinkColour(1, 93, 179);
inline const QColor kBusyLinkColour(128, 0, 0);  // maroon: a link at work
inline const QColor kLinkHoverColour(204, 0, 0);

}  // namespace qgm::gui
