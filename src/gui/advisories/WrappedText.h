#pragma once
// Word-wrapped text in a rectangle: lines broken at blanks (every character
// of code 32 or less; a word longer than the width is cut), line feeds
// kept, and every line but the last of a paragraph justified when asked.

#include <QString>

#include <functional>

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

// Characters of code 32 or less: spaces, line breaks and other controls.
inline bool IsBlank(QChar c) {
  return c.unicode() <= 32;
}

// The text as it is wrapped: without blanks or white space at either end.
QString TrimBlanks(const QString& text);

// One wrapped line: the characters from Start up to End are drawn, the
// blanks from End up to Next are dropped (or the line feed that ended it),
// and the next line starts at Next.
struct TTextLine {
  int Start = 0;
  int End = 0;
  int Next = 0;
  bool AtLineFeed = false;
};

// The width of one character in pixels.
using TCharWidth = std::function<int(QChar)>;

// The widths DrawWrappedText measures with: a control character (C0, DEL,
// C1) is as wide as a space, and is drawn as one. `metrics` must outlive the result.
TCharWidth CharWidths(const QFontMetrics& metrics);

// The line of `text` that starts at `pos` (below the text's length) in
// `width` pixels. It breaks after the last blank before the first character
// that does not fit, or cuts a word wider than the line where it stops
// fitting; when not even the first character fits, the line runs to the
// end of the paragraph. Next is always beyond `pos`.
TTextLine NextTextLine(const QString& text, int pos, int width, const TCharWidth& advance);

// Draws `text` (trimmed) from the rectangle's top, or only measures it with
// wtMeasureOnly (the painter may then be null); returns the height used.
int DrawWrappedText(QPainter* painter, const QFontMetrics& metrics, const QString& text,
                    const QRect& rect, int flags);

}  // namespace qgm::gui
