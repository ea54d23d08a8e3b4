#include "core/usage/PercentBar.h"

#include "core/util/Colour.h"

namespace qgm {
namespace {

uint32_t Opaque(uint32_t colour) {
  return 0xFF000000u | (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
}
uint32_t ColourOf(uint32_t pixel) {
  return (pixel >> 16 & 0xFF) | (pixel & 0xFF00) | (pixel & 0xFF) << 16;
}

}  // namespace

void DrawPercentBar(TPixmap& pic, int p, uint32_t c, uint32_t buttonFace) {
  const int W = pic.Width, H = pic.Height;
  const int m = H / 2;
  if (m <= 3) return;
  const int F = W * p / 100;
  auto row = [&](int y, uint32_t colour, int from, int to) {
    if (y < 0 || y >= H) return;
    for (int x = from < 0 ? 0 : from; x < to && x < W; ++x) pic.At(x, y) = Opaque(colour);
  };

  // Trough.
  const uint32_t E = Darken(buttonFace, 8), L = Lighten(buttonFace, 70);
  for (int y = m - 1; y <= m + 2; ++y) row(y, L, 0, W);
  for (int i = 0; i <= m - 2; ++i) row(i, BlendColour(E, L, static_cast<double>(i + 2) / m), 0, W);
  for (int y = m + 3; y < H; ++y)
    row(y, BlendColour(L, E, static_cast<double>(y - m - 2) / (H - m)), 0, W);
  row(0, E, 0, W);
  row(H - 1, E, 0, W);
  for (int y = 0; y < H; ++y) {
    pic.At(0, y) = Opaque(E);
    pic.At(W - 1, y) = Opaque(E);
  }

  // Fill, its end softened into the trough.
  auto fillRow = [&](int y, uint32_t colour, int q) {
    row(y, colour, 0, F);
    if (p < 100 && F >= 0 && F < W)
      pic.At(F, y) = Opaque(MixPixel(colour, ColourOf(pic.At(F, y)), q));
  };
  const uint32_t upper = Darken(c, 20), lower = Darken(c, 30);
  for (int y = m - 1; y >= 0; --y) {
    fillRow(y, BlendColour(upper, c, static_cast<double>(y + 1) / m), 100 - y * (100 / m));
  }
  for (int y = m; y < H; ++y) {
    fillRow(y, BlendColour(c, lower, static_cast<double>(y - m - 1) / (H - m)),
            (y - m) * (100 / m));
  }
}

}  // namespace qgm
