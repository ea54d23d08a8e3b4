#pragma once
// Measures on grabbed pictures of widgets: the contrast of text with what it
// is drawn on (WCAG 2 relative luminance), and where each text-bearing
// widget of a window lies in the window's picture.

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace qgm::test {

inline double Luminance(QRgb c) {
  auto channel = [](int v) {
    const double s = v / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}

inline double Contrast(QRgb a, QRgb b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

struct TTextContrast {
  QRgb Background = 0;  // the most common colour of the area
  QRgb Text = 0;        // the colour that stands out from it the most
  double Ratio = 1;
};

// `area` in device pixels of `picture`.
inline TTextContrast MeasureText(const QImage& picture, const QRect& area) {
  TTextContrast m;
  const QRect r = area.intersected(picture.rect());
  if (r.isEmpty()) return m;
  std::map<QRgb, int> counts;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) ++counts[picture.pixel(x, y) | 0xFF000000u];
  m.Background = std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
                   return a.second < b.second;
                 })->first;
  m.Text = m.Background;
  for (const auto& [colour, count] : counts) {
    const double ratio = Contrast(colour, m.Background);
    if (ratio > m.Ratio) {
      m.Ratio = ratio;
      m.Text = colour;
    }
  }
  return m;
}

// The part of `widget` that shows, in device pixels of `top`'s picture.
inline QRect AreaIn(const QWidget& top, const QWidget& widget, qreal ratio) {
  const QRect shown = widget.visibleRegion().boundingRect();
  if (shown.isEmpty()) return {};
  const QPoint at = widget.mapTo(&top, shown.topLeft());
  return {QPoint(qRound(at.x() * ratio), qRound(at.y() * ratio)),
          QSize(qRound(shown.width() * ratio), qRound(shown.height() * ratio))};
}

// The 2 x 2 blocks of device pixels (at even columns and rows) of `area`
// whose four pixels are not all one colour. A picture of one pixel per
// logical pixel scaled up by two has none: each of its pixels became one
// uniform block.
inline int MixedBlocks(const QImage& picture, QRect area) {
  area = area.intersected(picture.rect());
  int mixed = 0;
  for (int y = area.top() & ~1; y + 1 <= area.bottom(); y += 2) {
    for (int x = area.left() & ~1; x + 1 <= area.right(); x += 2) {
      const QRgb c = picture.pixel(x, y);
      mixed += picture.pixel(x + 1, y) != c || picture.pixel(x, y + 1) != c ||
               picture.pixel(x + 1, y + 1) != c;
    }
  }
  return mixed;
}
inline int MixedBlocks(const QImage& picture) {
  return MixedBlocks(picture, picture.rect());
}

inline QString Hex(QRgb c) {
  return QStringLiteral("#%1").arg(c & 0xFFFFFFu, 6, 16, QLatin1Char('0'));
}

}  // namespace qgm::test
