#pragma once
// Word-wrapped text in a rectangle: lines broken at spaces (a word longer
// than the width is cut), line feeds kept, and every line but the last of
// a paragraph justified when asked.

#include <QString>

class QFontMetrics;
class QPainter;
class QRect;

namespace qgm::gui {

enum TWrapFlags {
  wtCentre = 0x1,
  wtRight = 0x2,
  wtMeasureOnly = 0x400,
  wtJustify = 0x1000000,
};

// Draws `text` (trimmed) from the rectangle's top, or only measures it with
// wtMeasureOnly (the painter may then be null); returns the height used.
int DrawWrappedText(QPainter* painter, const QFontMetrics& metrics, const QString& text,
                    const QRect& rect, int flags);

}  // namespace qgm::gui
