#include "core/tray/NumberIcon.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>
#include <string_view>
#include <vector>

extern const unsigned char kGlyphAtlasPgm[];
extern const std::size_t kGlyphAtlasPgmSize;
extern const unsigned char kMainIconPam[];
extern const std::size_t kMainIconPamSize;
extern const unsigned char kMailIconPam[];
extern const std::size_t kMailIconPamSize;
extern const unsigned char kPhoneIconPam[];
extern const std::size_t kPhoneIconPamSize;
extern const unsigned char kMainIcon128Pam[];
extern const std::size_t kMainIcon128PamSize;
extern const unsigned char kMailIcon128Pam[];
extern const std::size_t kMailIcon128PamSize;
extern const unsigned char kPhoneIcon128Pam[];
extern const std::size_t kPhoneIcon128PamSize;

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

const TGlyphBand& GlyphBand(int f) {
  const TGlyphBand* best = &kGlyphBands[0];
  for (const TGlyphBand& band : kGlyphBands) {
    if (band.F <= f) best = &band;
  }
  return *best;
}

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

struct TArtwork {
  const unsigned char* pam;
  std::size_t size;
};

// The RGBA pixels of a `side` x `side` artwork.
const unsigned char* ArtPixels(TArtwork art, int side) {
  return PayloadAfter(art.pam, art.size, "ENDHDR\n", static_cast<std::size_t>(side) * side * 4);
}

// A 32-pixel RGBA artwork at size x size.
TPixmap ScaledArt(TArtwork art, int size) {
  constexpr int kSource = 32;
  const unsigned char* rgba = ArtPixels(art, kSource);
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

// The overlap of source pixel s with target pixel t along one axis, in
// units of 1 / (source * size) of the picture's side: a source pixel is
// `size` units long, a target pixel `source` units.
int64_t Overlap(int s, int t, int source, int size) {
  const int64_t lo = std::max<int64_t>(int64_t{s} * size, int64_t{t} * source);
  const int64_t hi = std::min<int64_t>(int64_t{s + 1} * size, int64_t{t + 1} * source);
  return std::max<int64_t>(0, hi - lo);
}

// A 128-pixel RGBA artwork at size x size, each pixel the area-weighted
// mean of the source pixels it covers (colours weighted by alpha too), so
// every size has smooth edges.
TPixmap AreaScaledArt(TArtwork art, int size) {
  constexpr int kSource = 128;
  const unsigned char* rgba = ArtPixels(art, kSource);
  TPixmap icon(size, size);
  const int64_t area = int64_t{kSource} * kSource;
  for (int y = 0; y < size; ++y) {
    const int sy0 = static_cast<int>(int64_t{y} * kSource / size);
    const int sy1 =
        std::min(kSource, static_cast<int>((int64_t{y + 1} * kSource + size - 1) / size));
    for (int x = 0; x < size; ++x) {
      const int sx0 = static_cast<int>(int64_t{x} * kSource / size);
      const int sx1 =
          std::min(kSource, static_cast<int>((int64_t{x + 1} * kSource + size - 1) / size));
      uint64_t r = 0, g = 0, b = 0, a = 0;
      for (int sy = sy0; sy < sy1; ++sy) {
        const uint64_t wy = static_cast<uint64_t>(Overlap(sy, y, kSource, size));
        for (int sx = sx0; sx < sx1; ++sx) {
          const uint64_t w = wy * static_cast<uint64_t>(Overlap(sx, x, kSource, size));
          const unsigned char* p = rgba + (sy * kSource + sx) * 4;
          const uint64_t wa = w * p[3];
          r += wa * p[0], g += wa * p[1], b += wa * p[2];
          a += wa;
        }
      }
      if (a == 0) continue;
      // The weights of one target pixel add up to source * source units.
      const uint64_t alpha = (a + static_cast<uint64_t>(area) / 2) / static_cast<uint64_t>(area);
      if (alpha == 0) continue;
      icon.At(x, y) = static_cast<uint32_t>(alpha << 24 | ((r + a / 2) / a) << 16 |
                                            ((g + a / 2) / a) << 8 | ((b + a / 2) / a));
    }
  }
  return icon;
}

// Sizes that divide 32 come from the 32-pixel artwork drawn for the small
// tray; every other size from the 128-pixel one.
TPixmap Art(TArtwork small, TArtwork large, int size) {
  if (size > 0 && size <= 32 && 32 % size == 0) return ScaledArt(small, size);
  return AreaScaledArt(large, size);
}

}  // namespace

TPixmap MainIcon(int size) {
  return Art({kMainIconPam, kMainIconPamSize}, {kMainIcon128Pam, kMainIcon128PamSize}, size);
}
TPixmap MailIcon(int size) {
  return Art({kMailIconPam, kMailIconPamSize}, {kMailIcon128Pam, kMailIcon128PamSize}, size);
}
TPixmap PhoneIcon(int size) {
  return Art({kPhoneIconPam, kPhoneIconPamSize}, {kPhoneIcon128Pam, kPhoneIcon128PamSize}, size);
}

namespace {

// A glyph to copy: atlas column, width and picture column.
struct TCell {
  int atlasX, width, left;
};

// Moves the cells so their ink (any coverage) is centred in a picture
// `width` wide.
void CentreInk(TCell* cells, int count, const TGlyphBand& band, int width) {
  int lo = width, hi = -1;
  for (int i = 0; i < count; ++i) {
    for (int dx = 0; dx < cells[i].width; ++dx) {
      for (int r = 0; r < band.F + 4; ++r) {
        if (AtlasAlpha(cells[i].atlasX + dx, band.Y + r) == 0) continue;
        lo = std::min(lo, cells[i].left + dx), hi = std::max(hi, cells[i].left + dx);
        break;
      }
    }
  }
  if (hi < lo) return;
  const int shift = (width - (hi - lo + 1)) / 2 - lo;
  for (int i = 0; i < count; ++i) cells[i].left += shift;
}

}  // namespace

uint32_t HaloFor(uint32_t textColour) {
  return GreyLevel(textColour) < 128 ? 0x00FFFFFFu : 0u;
}

namespace {

// Lays the halo under the ink of rows top.. : each pixel's halo coverage is
// the strongest ink within `width` pixels, and the ink is drawn over it.
void AddHalo(TPixmap& pic, int top, uint32_t halo, int width) {
  const int W = pic.Width, H = pic.Height;
  std::vector<uint8_t> ink(static_cast<size_t>(W) * H, 0);
  for (int y = top; y < H; ++y)
    for (int x = 0; x < W; ++x) ink[y * W + x] = static_cast<uint8_t>(pic.At(x, y) >> 24);
  const uint32_t h = ColorToPixel(halo) & 0x00FFFFFFu;
  for (int y = top; y < H; ++y) {
    for (int x = 0; x < W; ++x) {
      int cover = 0;
      for (int dy = -width; dy <= width; ++dy) {
        const int yy = y + dy;
        if (yy < top || yy >= H) continue;
        for (int dx = -width; dx <= width; ++dx) {
          const int xx = x + dx;
          if (xx >= 0 && xx < W) cover = std::max<int>(cover, ink[yy * W + xx]);
        }
      }
      if (cover == 0) continue;
      // The ink (alpha a) over the halo (alpha cover): straight alpha out.
      const uint32_t p = pic.At(x, y);
      const int a = ink[y * W + x];
      const int under = cover * (255 - a) / 255;
      const int out = a + under;
      uint32_t mixed = 0;
      for (const int shift : {0, 8, 16}) {
        const int v = (static_cast<int>((p >> shift) & 0xFF) * a +
                       static_cast<int>((h >> shift) & 0xFF) * under + out / 2) / out;
        mixed |= static_cast<uint32_t>(v) << shift;
      }
      pic.At(x, y) = mixed | static_cast<uint32_t>(out) << 24;
    }
  }
}

}  // namespace

TPixmap DrawNumberIcon(int n, int S, uint32_t barColour, uint32_t textColour,
                       std::optional<uint32_t> haloColour) {
  if (n == 101) return MainIcon(S);
  const int W = S, H = S;
  uint32_t p = ColorToPixel(barColour);
  if (Channel(p, 16) == 0 && Channel(p, 0) == 0) {
    // Stretch greens from 170..255 over 0..255.
    const int g = std::clamp(3 * static_cast<int>(Channel(p, 8)) - 510, 0, 255);
    p = (p & 0xFFFF00FFu) | (static_cast<uint32_t>(g) << 8);
  }
  const uint32_t t = ColorToPixel(textColour) & 0x00FFFFFFu;

  // Up to 32 pixels the small layout, column for column; above it the bar,
  // its bevel and the glyphs grow with the picture and the ink is centred.
  const bool large = H > 32;
  const int b = H >= 32 ? H / 16 : 1;
  const int c = H >= 32 ? H / 8 : (H >= 20 ? 3 : 2);
  const int barRows = 2 * b + c;
  // Glyphs half the width (two digits fill it), from the largest band that
  // is not wider.
  const TGlyphBand& band = GlyphBand(std::max(8, W / 2));
  const int f = band.F;
  const int glyphTop = barRows + (H - barRows - f - 3) / 2;

  TCell cells[2];
  int count = 1;
  if (n < 0) {
    cells[0] = {band.X + (9 - n) * f, f, (W - f) / 2};
    p = n == -1 ? 0xFF00FFFFu : 0xFFFF0000u;
  } else if (n <= 9) {
    cells[0] = {band.X + n * f, f, (W - f) / 2 + 1};
  } else if (n <= 99) {
    const int tens = n / 10, units = n % 10;
    const int left = (W - 2 * f) / 2 + 1;
    // The narrow "1" lets the units digit in closer.
    const int tighten = tens == 1 ? (large ? f / 8 : 1) : 0;
    cells[0] = {band.X + tens * f, f, left};
    cells[1] = {band.X + units * f, f, left + f - 1 - tighten};
    count = 2;
  } else {
    cells[0] = {band.X + 13 * f, 2 * f, (W - 2 * f) / 2};
  }
  if (large) CentreInk(cells, count, band, W);

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
    const TCell& cell = cells[i];
    for (int r = 0; r < f + 4; ++r) {
      const int py = glyphTop + r;
      if (py < 0 || py >= H) continue;
      for (int dx = 0; dx < cell.width; ++dx) {
        const int px = cell.left + dx, ax = cell.atlasX + dx;
        if (px < 0 || px >= W || ax >= kAtlasWidth) continue;
        uint32_t alpha = AtlasAlpha(ax, band.Y + r);
        // Small pictures: the later cell replaces the overlap. Large ones
        // sit below the bar and keep the stronger coverage of the two.
        if (large) alpha = std::max(alpha, pic.At(px, py) >> 24);
        pic.At(px, py) = t | alpha << 24;
      }
    }
  }
  if (haloColour) AddHalo(pic, barRows, *haloColour, std::max(1, H / 32));
  return pic;
}

}  // namespace qgm
