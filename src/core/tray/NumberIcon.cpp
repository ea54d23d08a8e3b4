#include "core/tray/NumberIcon.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>
#include <string_view>

extern const unsigned char kGlyphAtlasPgm[];
extern const std::size_t kGlyphAtlasPgmSize;
extern const unsigned char kMainIconPam[];
extern const std::size_t kMainIconPamSize;
extern const unsigned char kMailIconPam[];
extern const std::size_t kMailIconPamSize;
extern const unsigned char kPhoneIconPam[];
extern const std::size_t kPhoneIconPamSize;

namespace qgm {
namespace {

// The pixel data after a netpbm header ending in `marker`.
const unsigned char* PayloadAfter(const unsigned char* data, std::size_t size,
                                  std::string_view marker, std::size_t want) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto pos = text.find(marker);
  if (pos == std::string_view::npos || size - (pos + marker.size()) < want) std::abort();
  return data + pos + marker.size();
}

const unsigned char* AtlasPixels() {
  static const unsigned char* pixels =
      PayloadAfter(kGlyphAtlasPgm, kGlyphAtlasPgmSize, "\n255\n", kAtlasWidth * kAtlasHeight);
  return pixels;
}

const std::array<std::array<uint8_t, 256>, 256>& Table() {
  static const auto table = [] {
    std::array<std::array<uint8_t, 256>, 256> t{};
    for (int i = 0; i < 256; ++i) {
      for (int j = 0; j < 256; ++j) t[i][j] = static_cast<uint8_t>((i * j + 127) / 255);
    }
    return t;
  }();
  return table;
}

constexpr uint32_t Channel(uint32_t p, int shift) {
  return (p >> shift) & 0xFF;
}

}  // namespace

uint8_t AtlasAlpha(int x, int y) {
  return AtlasPixels()[y * kAtlasWidth + x];
}

uint8_t BlendTable(int i, int j) {
  return Table()[i][j];
}

uint32_t BlendPixel(uint32_t a, uint32_t b, int k) {
  if (k <= 0) return b;
  if (k >= 255) return a;
  const auto& t = Table();
  uint32_t out = 0xFF000000u;
  for (int shift : {16, 8, 0}) {
    out |= static_cast<uint32_t>(t[k][Channel(a, shift)] + t[255 - k][Channel(b, shift)]) << shift;
  }
  return out;
}

uint32_t ColorToPixel(uint32_t colour) {
  const uint32_t r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}

int GreyLevel(uint32_t colour) {
  const int r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
  return (61 * r + 174 * g + 21 * b) / 256;
}

namespace {

// A 32-pixel RGBA artwork at size x size.
TPixmap ScaledArt(const unsigned char* pam, std::size_t pamSize, int size) {
  constexpr int kSource = 32;
  const unsigned char* rgba = PayloadAfter(pam, pamSize, "ENDHDR\n", kSource * kSource * 4);
  TPixmap icon(size, size);
  // Box filter (or plain sampling when growing) from the 32-pixel artwork,
  // averaging colours weighted by their alpha.
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const int x0 = x * kSource / size, x1 = std::max(x0 + 1, (x + 1) * kSource / size);
      const int y0 = y * kSource / size, y1 = std::max(y0 + 1, (y + 1) * kSource / size);
      uint64_t r = 0, g = 0, b = 0, a = 0, n = 0;
      for (int sy = y0; sy < y1; ++sy) {
        for (int sx = x0; sx < x1; ++sx) {
          const unsigned char* p = rgba + (sy * kSource + sx) * 4;
          r += uint64_t{p[0]} * p[3], g += uint64_t{p[1]} * p[3], b += uint64_t{p[2]} * p[3];
          a += p[3];
          ++n;
        }
      }
      if (a == 0) continue;
      icon.At(x, y) = static_cast<uint32_t>((a / n) << 24 | (r / a) << 16 | (g / a) << 8 | (b / a));
    }
  }
  return icon;
}

}  // namespace

TPixmap MainIcon(int size) {
  return ScaledArt(kMainIconPam, kMainIconPamSize, size);
}
TPixmap MailIcon(int size) {
  return ScaledArt(kMailIconPam, kMailIconPamSize, size);
}
TPixmap PhoneIcon(int size) {
  return ScaledArt(kPhoneIconPam, kPhoneIconPamSize, size);
}

TPixmap DrawNumberIcon(int n, int S, uint32_t barColour, uint32_t textColour) {
  if (n == 101) return MainIcon(S);
  const int W = S, H = S;
  uint32_t p = ColorToPixel(barColour);
  if (Channel(p, 16) == 0 && Channel(p, 0) == 0) {
    // Stretch greens from 170..255 over 0..255.
    const int g = std::clamp(3 * static_cast<int>(Channel(p, 8)) - 510, 0, 255);
    p = (p & 0xFFFF00FFu) | (static_cast<uint32_t>(g) << 8);
  }
  const uint32_t t = ColorToPixel(textColour) & 0x00FFFFFFu;

  const int b = H >= 32 ? 2 : 1;
  const int c = H >= 32 ? 4 : (H >= 20 ? 3 : 2);
  const int barRows = 2 * b + c;
  int f = std::max(8, std::min(W / 2, 16));
  if (f % 2) --f;
  const int band = 11 * (f - 8);
  const int glyphTop = barRows + (H - barRows - f - 3) / 2;

  // Glyphs to copy: atlas column, width and picture column.
  struct Cell {
    int atlasX, width, left;
  };
  Cell cells[2];
  int count = 1;
  if (n < 0) {
    cells[0] = {(9 - n) * f, f, (W - f) / 2};
    p = n == -1 ? 0xFF00FFFFu : 0xFFFF0000u;
  } else if (n <= 9) {
    cells[0] = {n * f, f, (W - f) / 2 + 1};
  } else if (n <= 99) {
    const int tens = n / 10, units = n % 10;
    const int left = (W - 2 * f) / 2 + 1;
    cells[0] = {tens * f, f, left};
    cells[1] = {units * f, f, left + f - 1 - (tens == 1 ? 1 : 0)};
    count = 2;
  } else {
    cells[0] = {13 * f, 2 * f, (W - 2 * f) / 2};
  }

  TPixmap pic(W, H, 0);
  for (int y = 0; y < barRows && y < H; ++y) {
    for (int x = 0; x < W; ++x) pic.At(x, y) = p;
  }
  const uint32_t white = 0xAAFFFFFFu, black = 0x88000000u;
  for (int m = 0; m < b; ++m) {
    const int k = 255 - m * (255 / b);
    const uint32_t light = BlendPixel(white, p, k), dark = BlendPixel(black, p, k);
    for (int x = m; x <= W - 1 - m; ++x) pic.At(x, m) = light;
    for (int x = m; x <= W - 1 - m; ++x) pic.At(x, barRows - 1 - m) = dark;
    for (int y = m; y <= barRows - 1 - m; ++y) pic.At(m, y) = light;
    for (int y = m; y <= barRows - 1 - m; ++y) pic.At(W - 1 - m, y) = dark;
  }
  for (int i = 0; i < count; ++i) {
    const Cell& cell = cells[i];
    for (int r = 0; r < f + 4; ++r) {
      const int py = glyphTop + r;
      if (py < 0 || py >= H) continue;
      for (int dx = 0; dx < cell.width; ++dx) {
        const int px = cell.left + dx, ax = cell.atlasX + dx;
        if (px < 0 || px >= W || ax >= kAtlasWidth) continue;
        pic.At(px, py) = t | static_cast<uint32_t>(AtlasAlpha(ax, band + r)) << 24;
      }
    }
  }
  return pic;
}

}  // namespace qgm
