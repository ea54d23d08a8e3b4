#pragma once
// What the item lists, their editor and the scroll header share in drawing:
// the desktop colours they paint with and the glyph sheet of check boxes and
// outline buttons.

#include <QColor>
#include <QPixmap>

class QPainter;
class QPalette;
class QPoint;
class QRect;
class QWidget;

namespace qgm::gui {

// The classic 3-D colour set, read from the widget's palette.
struct TListColours {
  QColor Highlight;        // focus outline
  QColor BtnFace;          // default item colour
  QColor BtnShadow;        // frames and lines
  QColor BtnHighlight;     // the light edge of lines and frames
  QColor DkShadow;         // the bottom edge of a focused row
  QColor ActiveCaption;    // a selected row with the focus
  QColor CaptionText;      // text on it
  QColor InactiveCaption;  // a selected row without the focus; also the editors' colour
  QColor Text;             // the control's font colour
};
TListColours ListColours(const QPalette& palette);

// The colour a widget shows through when it paints no background of its own.
QColor BackgroundOf(const QWidget& widget);

// The glyph sheet: 25 cells 16 pixels wide; cell n's glyph is the 13 x 13
// square at (16n + 1, 1). Above one device pixel to a logical one the sheet
// drawn at twice the size (its devicePixelRatio 2, every length doubled).
enum TGlyphCell {
  gcBoxEmpty = 9,
  gcBoxEmptyDisabled = 12,
  gcBoxTicked = 13,
  gcBoxTickedDisabled = 16,
  gcPlus = 17,
  gcMinus = 21,
};
constexpr int kGlyphSide = 13;
const QPixmap& ListGlyphs(qreal ratio = 1);
// Cell `cell`'s glyph in the pixels of ListGlyphs(ratio).
QRect GlyphCell(int cell, qreal ratio = 1);
// Copies cell `cell` opaque with its top left corner at `at`, from the
// sheet for the density of the painter's device.
void DrawGlyph(QPainter& painter, const QPoint& at, int cell);

// A filled rectangle with a one-pixel frame, given as the area it covers
// (right and bottom exclusive).
void FramedRect(QPainter& painter, const QRect& area, const QColor& frame, const QColor& fill);
void FrameRect(QPainter& painter, const QRect& area, const QColor& frame);

}  // namespace qgm::gui
