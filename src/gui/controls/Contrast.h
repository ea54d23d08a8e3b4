#pragma once
// Text that stays legible on whatever it is drawn on: the desktop's palette
// may be light or dark, while some of the program's colours are fixed.
// Contrast as WCAG 2 measures it (relative luminance).

#include <QColor>

class QWidget;

namespace qgm::gui {

// The least contrast ratio of text with its background.
inline constexpr double kLegibleContrast = 4.5;

double RelativeLuminance(const QColor& colour);
double ContrastRatio(const QColor& a, const QColor& b);

// `colour` where it reads on `background`; otherwise the same hue made
// lighter (on a dark background) or darker (on a light one), just enough.
QColor Legible(const QColor& colour, const QColor& background);
// `preferred` where it reads on `background`, else the palette's `text`
// (made legible): black meant for a light face gives way to the desktop's
// text colour on a dark one.
QColor TextOn(const QColor& background, const QColor& preferred, const QColor& text);
// `colour` made legible on what `widget` is drawn on.
QColor LegibleOn(const QWidget& widget, const QColor& colour);

}  // namespace qgm::gui
