#include "gui/controls/Contrast.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

#include "gui/controls/ListLook.h"

namespace qgm::gui {

double RelativeLuminance(const QColor& colour) {
  auto channel = [](int v) {
    const double s = v / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  const QRgb c = colour.rgb();
  return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}

double ContrastRatio(const QColor& a, const QColor& b) {
  const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor Legible(const QColor& colour, const QColor& background) {
  // Towards the end of the scale that leaves more room from the background.
  const bool lighter = ContrastRatio(Qt::white, background) > ContrastRatio(Qt::black, background);
  // Styles draw panels and tab pages a shade off the palette's colour (the
  // desktop's style lightens a dark face by a quarter): the text reads on
  // that shade too.
  const QColor shade = lighter ? background.lighter(130) : background.darker(110);
  auto reads = [&](const QColor& c) {
    return ContrastRatio(c, background) >= kLegibleContrast &&
           ContrastRatio(c, shade) >= kLegibleContrast;
  };
  if (reads(colour)) return colour;
  const QColor hsl = colour.toHsl();
  const int hue = hsl.hslHue(), saturation = hsl.hslSaturation();
  for (int step = 1; step <= 255; ++step) {
    const int lightness = std::clamp(hsl.lightness() + (lighter ? step : -step), 0, 255);
    const QColor tried = QColor::fromHsl(hue, saturation, lightness).toRgb();
    if (reads(tried)) return tried;
    if (lightness == 0 || lightness == 255) break;
  }
  return lighter ? QColor(Qt::white) : QColor(Qt::black);
}

QColor TextOn(const QColor& background, const QColor& preferred, const QColor& text) {
  const QColor kept = Legible(preferred, background);
  return kept == preferred ? preferred : Legible(text, background);
}

QColor LegibleOn(const QWidget& widget, const QColor& colour) {
  return Legible(colour, BackgroundOf(widget));
}

}  // namespace qgm::gui
