#include "gui/controls/ListLook.h"

#include <QPainter>
#include <QPalette>
#include <QWidget>

#include <cstddef>

extern const unsigned char kListGlyphsPpm[];
extern const std::size_t kListGlyphsPpmSize;
extern const unsigned char kListGlyphs2xPpm[];
extern const std::size_t kListGlyphs2xPpmSize;

namespace qgm::gui {

namespace {

QColor Mix(const QColor& a, const QColor& b, double share) {
  auto mix = [share](int x, int y) { return static_cast<int>(x * share + y * (1 - share) + 0.5); };
  return {mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue())};
}

// Painted colours are 8 bits a channel; so are these, so they compare
// equal to what was drawn.
QColor Rgb8(const QColor& c) {
  return QColor(c.rgb());
}

}  // namespace

TListColours ListColours(const QPalette& palette) {
  TListColours c;
  c.Highlight = Rgb8(palette.color(QPalette::Active, QPalette::Highlight));
  c.BtnFace = Rgb8(palette.color(QPalette::Button));
  c.BtnShadow = Rgb8(palette.color(QPalette::Dark));
  c.BtnHighlight = Rgb8(palette.color(QPalette::Light));
  c.DkShadow = Rgb8(palette.color(QPalette::Shadow));
  c.ActiveCaption = c.Highlight;
  c.CaptionText = Rgb8(palette.color(QPalette::Active, QPalette::HighlightedText));
  // Light enough that the ordinary text colour reads on it.
  c.InactiveCaption = Mix(c.Highlight, palette.color(QPalette::Base), 0.35);
  c.Text = Rgb8(palette.color(QPalette::WindowText));
  return c;
}

QColor BackgroundOf(const QWidget& widget) {
  const QWidget* w = &widget;
  while (w->parentWidget() && !w->autoFillBackground()) w = w->parentWidget();
  return w->palette().color(w->backgroundRole());
}

const QPixmap& ListGlyphs(qreal ratio) {
  static const QPixmap sheet = [] {
    QPixmap p;
    p.loadFromData(kListGlyphsPpm, static_cast<uint>(kListGlyphsPpmSize), "PPM");
    return p;
  }();
  static const QPixmap sheet2x = [] {
    QPixmap p;
    p.loadFromData(kListGlyphs2xPpm, static_cast<uint>(kListGlyphs2xPpmSize), "PPM");
    p.setDevicePixelRatio(2);
    return p;
  }();
  return ratio > 1 ? sheet2x : sheet;
}

QRect GlyphCell(int cell, qreal ratio) {
  const int k = ratio > 1 ? 2 : 1;
  return {k * (16 * cell + 1), k, k * kGlyphSide, k * kGlyphSide};
}

void DrawGlyph(QPainter& painter, const QPoint& at, int cell) {
  // The sheet drawn for the density painted on; a source rectangle in the
  // sheet's own pixels covers kGlyphSide logical pixels either way.
  const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1;
  painter.drawPixmap(at, ListGlyphs(ratio), GlyphCell(cell, ratio));
}

void FramedRect(QPainter& painter, const QRect& area, const QColor& frame, const QColor& fill) {
  painter.fillRect(area, fill);
  FrameRect(painter, area, frame);
}

void FrameRect(QPainter& painter, const QRect& area, const QColor& frame) {
  if (area.width() <= 0 || area.height() <= 0) return;
  painter.save();
  painter.setPen(frame);
  painter.setBrush(Qt::NoBrush);
  // A one-pixel pen draws on the pixels below and right of the path, so the
  // frame of an area w wide is drawn as a rectangle w - 1 wide.
  painter.drawRect(area.adjusted(0, 0, -1, -1));
  painter.restore();
}

}  // namespace qgm::gui
