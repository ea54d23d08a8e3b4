#include "core/tray/NumberIcon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/usage/UsageRecord.h"

namespace qgm {
namespace {

constexpr uint32_t kWhiteText = 0xFFFFFF;  // colour 0x00BBGGRR

// Checks that `pic` holds, at picture column `left` onward, the atlas glyph
// at `atlasX` for the band of width f, coloured with the text colour.
void ExpectGlyph(const TPixmap& pic, int atlasX, int width, int left, int f, int top,
                 uint32_t rgb) {
  for (int r = 0; r < f + 4; ++r) {
    for (int dx = 0; dx < width; ++dx) {
      const uint32_t want = rgb | static_cast<uint32_t>(AtlasAlpha(atlasX + dx, 11 * (f - 8) + r))
                                      << 24;
      ASSERT_EQ(pic.At(left + dx, top + r), want) << "column " << left + dx << " row " << top + r;
    }
  }
}

// Everything below the bar and outside [from, to] is fully transparent.
void ExpectClearOutside(const TPixmap& pic, int barRows, int from, int to) {
  for (int y = barRows; y < pic.Height; ++y) {
    for (int x = 0; x < pic.Width; ++x) {
      if (x >= from && x <= to) continue;
      ASSERT_EQ(pic.At(x, y), 0u) << x << "," << y;
    }
  }
}

TEST(NumberIcon, SixteenPixelDigitsSitWhereTheyShould) {
  // 16 px: bar rows 0-3, cells rows 4-15, f = 8.
  const TPixmap p42 = DrawNumberIcon(42, 16, kGreen, kWhiteText);
  ExpectGlyph(p42, 4 * 8, 7, 1, 8, 4, 0xFFFFFF);  // "4" at 1-8; the "2" overwrites column 8
  ExpectGlyph(p42, 2 * 8, 8, 8, 8, 4, 0xFFFFFF);
  ExpectClearOutside(p42, 4, 1, 15);

  const TPixmap p15 = DrawNumberIcon(15, 16, kGreen, kWhiteText);
  ExpectGlyph(p15, 1 * 8, 6, 1, 8, 4, 0xFFFFFF);
  ExpectGlyph(p15, 5 * 8, 8, 7, 8, 4, 0xFFFFFF);  // one column further left after a 1
  ExpectClearOutside(p15, 4, 1, 14);

  const TPixmap p7 = DrawNumberIcon(7, 16, kGreen, kWhiteText);
  ExpectGlyph(p7, 7 * 8, 8, 5, 8, 4, 0xFFFFFF);
  ExpectClearOutside(p7, 4, 5, 12);

  const TPixmap p100 = DrawNumberIcon(100, 16, kGreen, kWhiteText);
  ExpectGlyph(p100, 13 * 8, 16, 0, 8, 4, 0xFFFFFF);
}

TEST(NumberIcon, SpecialNumbersAndTheirBars) {
  // -1: "?" under an aqua bar whatever colour was passed.
  const TPixmap q = DrawNumberIcon(-1, 16, kRed, 0);
  EXPECT_EQ(q.At(5, 2), 0xFF00FFFFu);
  ExpectGlyph(q, 10 * 8, 8, 4, 8, 4, 0);
  ExpectClearOutside(q, 4, 4, 11);
  const TPixmap dollar = DrawNumberIcon(-2, 16, kGreen, 0);
  EXPECT_EQ(dollar.At(5, 2), 0xFFFF0000u);
  ExpectGlyph(dollar, 11 * 8, 8, 4, 8, 4, 0);
  const TPixmap cross = DrawNumberIcon(-3, 16, kGreen, 0);
  ExpectGlyph(cross, 12 * 8, 8, 4, 8, 4, 0);
  // 101: the program's own icon.
  const TPixmap unlimited = DrawNumberIcon(101, 16, kGreen, 0);
  EXPECT_EQ(unlimited.Pixels, MainIcon(16).Pixels);
  EXPECT_NE(unlimited.At(8, 8) >> 24, 0u);
}

TEST(NumberIcon, BarColoursAndBevel) {
  // Inside the bar, away from the bevel (16 px: rows 1-2 are the core).
  EXPECT_EQ(DrawNumberIcon(50, 16, Rgb(0, 225, 0), 0).At(5, 2), 0xFF00A500u);  // greens stretched
  EXPECT_EQ(DrawNumberIcon(50, 16, Rgb(0, 255, 0), 0).At(5, 2), 0xFF00FF00u);
  EXPECT_EQ(DrawNumberIcon(50, 16, Rgb(255, 255, 0), 0).At(5, 2), 0xFFFFFF00u);
  // The outer ring: semi-transparent white top and left, black bottom and right.
  const TPixmap p = DrawNumberIcon(50, 16, kRed, 0);
  EXPECT_EQ(p.At(5, 0), 0xAAFFFFFFu);
  EXPECT_EQ(p.At(0, 2), 0xAAFFFFFFu);
  EXPECT_EQ(p.At(5, 3), 0x88000000u);
  EXPECT_EQ(p.At(15, 2), 0x88000000u);
  EXPECT_EQ(p.At(0, 0), 0xAAFFFFFFu);   // top-left ends light
  EXPECT_EQ(p.At(15, 0), 0x88000000u);  // top-right ends dark
  EXPECT_EQ(p.At(0, 3), 0xAAFFFFFFu);   // bottom-left light
  // 32 px: two rings; the inner one is an opaque half blend with the bar.
  const TPixmap big = DrawNumberIcon(50, 32, kRed, 0);
  EXPECT_EQ(big.At(10, 1), BlendPixel(0xAAFFFFFFu, 0xFFFF0000u, 128));
  EXPECT_EQ(big.At(10, 1) >> 24, 0xFFu);
  EXPECT_EQ(big.At(10, 4), 0xFFFF0000u);
}

TEST(NumberIcon, GeometryBySize) {
  // 20 px: bar 5 rows, digits 10 wide; 24 px: bar 5 rows, digits 12 wide;
  // 32 px: bar rows 0-7, cells 10-29, one digit at columns 9-24.
  for (auto [size, barRows, f] :
       {std::tuple{20, 5, 10}, std::tuple{24, 5, 12}, std::tuple{32, 8, 16}}) {
    const TPixmap p = DrawNumberIcon(7, size, kGreen, kWhiteText);
    const int top = barRows + (size - barRows - f - 3) / 2;
    const int left = (size - f) / 2 + 1;
    EXPECT_NE(p.At(size / 2, barRows - 1) >> 24, 0u) << size;
    ExpectGlyph(p, 7 * f, f, left, f, top, 0xFFFFFF);
    ExpectClearOutside(p, barRows, left, left + f - 1);
    if (size == 32) {
      EXPECT_EQ(top, 10);
      EXPECT_EQ(left, 9);
    }
  }
}

TEST(NumberIcon, GreyLevelAndBlendTable) {
  EXPECT_EQ(GreyLevel(0xFFFFFF), 255);
  EXPECT_GT(GreyLevel(0xFFFFFF), 128);  // white text: the preview goes grey
  EXPECT_EQ(GreyLevel(0), 0);
  EXPECT_EQ(GreyLevel(Rgb(0, 0, 255)), 20);
  EXPECT_EQ(BlendTable(255, 200), 200);
  EXPECT_EQ(BlendTable(128, 255), 128);
  EXPECT_EQ(BlendTable(1, 128), 1);  // 0.502 rounds up
  EXPECT_EQ(BlendPixel(0x12345678u, 0x9ABCDEF0u, 0), 0x9ABCDEF0u);
  EXPECT_EQ(BlendPixel(0x12345678u, 0x9ABCDEF0u, 255), 0x12345678u);
}

TEST(NumberIcon, AlertArtwork) {
  const TPixmap mail = MailIcon(16), phone = PhoneIcon(16);
  ASSERT_EQ(mail.Width, 16);
  EXPECT_NE(mail.Pixels, phone.Pixels);
  EXPECT_NE(mail.Pixels, MainIcon(16).Pixels);
  EXPECT_EQ(mail.At(8, 8) >> 24, 0xFFu);  // opaque in the middle
  EXPECT_EQ(mail.At(0, 0) >> 24, 0u);     // transparent corner
}

TEST(Png, EncodesAValidFile) {
  const std::string png = EncodePng(DrawNumberIcon(42, 16, kGreen, 0));
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  EXPECT_EQ(png.substr(png.size() - 8, 4), "IEND");
}

// The default text on a panel of any colour: drawn over the panel, every
// full pixel of ink near the edge of a digit stands apart by at least 4.5:1
// (WCAG's contrast for text) from a pixel just outside the digit, light
// and dark text alike, at the sizes panels ask for. Without the halo black
// digits vanish on a black panel.
double Luminance(uint32_t rgb) {
  double sum = 0;
  const double weights[] = {0.0722, 0.7152, 0.2126};  // blue, green, red of 0xRRGGBB
  for (int i = 0; i < 3; ++i) {
    const double c = ((rgb >> (8 * i)) & 0xFF) / 255.0;
    sum += weights[i] * (c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
  }
  return sum;
}
double Contrast(uint32_t a, uint32_t b) {
  const double x = Luminance(a), y = Luminance(b);
  return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}
uint32_t Over(uint32_t pixel, uint32_t panel) {
  const uint32_t alpha = pixel >> 24;
  uint32_t out = 0;
  for (int shift : {0, 8, 16}) {
    const uint32_t v =
        (((pixel >> shift) & 0xFF) * alpha + ((panel >> shift) & 0xFF) * (255 - alpha) + 127) / 255;
    out |= v << shift;
  }
  return out;
}

TEST(NumberIcon, TheDefaultDigitsReadOnAnyPanel) {
  // Panels as 0xRRGGBB: GNOME's and i3's black, XFCE's grey, a mid grey,
  // KDE's blue, white and KDE's light grey.
  const uint32_t panels[] = {0x000000, 0x353535, 0x808080, 0x3DAEE9, 0xFFFFFF, 0xEFF0F1};
  for (const uint32_t text : {0x000000u, 0xFFFFFFu}) {  // colours as 0x00BBGGRR
    for (const int size : {16, 22, 24, 32, 48, 64}) {
      const TPixmap ink = DrawNumberIcon(17, size, Rgb(0, 200, 0), text);
      const TPixmap pic = DrawNumberIcon(17, size, Rgb(0, 200, 0), text, HaloFor(text));
      const int barRows = size >= 32 ? size / 8 + 2 * (size / 16) : (size >= 20 ? 5 : 4);
      for (const uint32_t panel : panels) {
        int edges = 0, weak = 0;
        for (int y = barRows; y < size; ++y) {
          for (int x = 0; x < size; ++x) {
            if ((ink.At(x, y) >> 24) != 255) continue;
            // Outside the digit: the pixels within three that the ink
            // leaves (almost) bare.
            bool edge = false;
            double contrast = 0;
            for (int dy = -3; dy <= 3; ++dy) {
              for (int dx = -3; dx <= 3; ++dx) {
                const int nx = x + dx, ny = y + dy;
                if (nx < 0 || ny < barRows || nx >= size || ny >= size) continue;
                if ((ink.At(nx, ny) >> 24) >= 64) continue;
                edge = true;
                contrast = std::max(contrast, Contrast(Over(pic.At(x, y), panel),
                                                       Over(pic.At(nx, ny), panel)));
              }
            }
            if (!edge) continue;
            ++edges;
            if (contrast < 4.5) ++weak;
          }
        }
        ASSERT_GT(edges, 0) << size;
        EXPECT_EQ(weak, 0) << "text " << std::hex << text << " on panel " << panel << std::dec
                           << " at " << size << " px: " << weak << " of " << edges
                           << " edges under 4.5:1";
      }
    }
  }
}

}  // namespace
}  // namespace qgm
