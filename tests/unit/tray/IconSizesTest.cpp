// The tray pictures at every size a panel may ask for, up to twice the
// largest tray size for a scale-2 screen: whole, drawn for their size, never
// a small picture blown up.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>

#include "core/tray/NumberIcon.h"
#include "core/tray/TrayIconSizes.h"
#include "core/usage/UsageRecord.h"

namespace qgm {
namespace {

// A text colour no bar or bevel blend produces.
constexpr uint32_t kText = Rgb(0x12, 0x34, 0x56);
constexpr uint32_t kTextRgb = 0x123456;

struct Ink {
  int left = 1 << 20, right = -1, top = 1 << 20, bottom = -1, count = 0;
  int Height() const { return bottom - top + 1; }
};

// The pixels of the text colour with alpha above 128.
bool IsInk(const TPixmap& p, int x, int y) {
  const uint32_t px = p.At(x, y);
  return (px & 0xFFFFFF) == kTextRgb && (px >> 24) > 128;
}

Ink FindInk(const TPixmap& p) {
  Ink ink;
  for (int y = 0; y < p.Height; ++y) {
    for (int x = 0; x < p.Width; ++x) {
      if (!IsInk(p, x, y)) continue;
      ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
      ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
      ++ink.count;
    }
  }
  return ink;
}

// The last row holding a bar pixel (anything visible not in the text colour).
int BarBottom(const TPixmap& p) {
  int bottom = -1;
  for (int y = 0; y < p.Height; ++y) {
    for (int x = 0; x < p.Width; ++x) {
      const uint32_t px = p.At(x, y);
      if ((px >> 24) != 0 && (px & 0xFFFFFF) != kTextRgb) bottom = y;
    }
  }
  return bottom;
}

// True when the picture is made of equal k x k blocks, as a picture k times
// smaller blown up by repeating its pixels would be.
bool IsBlocky(const TPixmap& p, int k) {
  for (int by = 0; by + k <= p.Height; by += k) {
    for (int bx = 0; bx + k <= p.Width; bx += k) {
      for (int y = by; y < by + k; ++y) {
        for (int x = bx; x < bx + k; ++x) {
          if (p.At(x, y) != p.At(bx, by)) return false;
        }
      }
    }
  }
  return true;
}

void ExpectNotBlownUp(const TPixmap& p, const char* what) {
  for (int k : {2, 3, 4}) {
    if (p.Width % k == 0) {
      EXPECT_FALSE(IsBlocky(p, k)) << what << " at " << p.Width << " in " << k;
    }
  }
}

TEST(IconSizes, NumbersAreWholeAndGrowWithTheSize) {
  std::map<int, int> lastHeight;
  for (int S = 16; S <= 128; ++S) {
    for (int n = -3; n <= 100; ++n) {
      const TPixmap p = DrawNumberIcon(n, S, kGreen, kText);
      ASSERT_EQ(p.Width, S);
      ASSERT_EQ(p.Height, S);
      const Ink ink = FindInk(p);
      const int bar = BarBottom(p);
      ASSERT_GT(ink.count, 0) << n << " at " << S;
      // The bar is whole: every pixel of its rows belongs to it.
      for (int y = 0; y <= bar; ++y) {
        for (int x = 0; x < S; ++x) {
          ASSERT_NE(p.At(x, y) >> 24, 0u) << n << " at " << S << ": " << x << "," << y;
          ASSERT_NE(p.At(x, y) & 0xFFFFFF, kTextRgb) << n << " at " << S << ": " << x << "," << y;
        }
      }
      // Nothing cut: the ink stays off the picture's edges and below the bar.
      EXPECT_GT(ink.top, bar) << n << " at " << S;
      EXPECT_GE(ink.left, 1) << n << " at " << S;
      EXPECT_LE(ink.right, S - 2) << n << " at " << S;
      EXPECT_LE(ink.bottom, S - 2) << n << " at " << S;
      // Drawn for the size: the digits stand over a third of the picture
      // and never shrink as the picture grows.
      EXPECT_GE(ink.Height(), 0.35 * S) << n << " at " << S;
      EXPECT_GE(ink.Height(), lastHeight[n]) << n << " at " << S;
      lastHeight[n] = ink.Height();
      // Two digits stay apart: some column between them holds no ink.
      if (n >= 10 && n <= 99) {
        bool gap = false;
        for (int x = ink.left + 1; x < ink.right && !gap; ++x) {
          gap = true;
          for (int y = 0; y < S; ++y) gap = gap && !IsInk(p, x, y);
        }
        EXPECT_TRUE(gap) << n << " at " << S;
      }
    }
  }
}

TEST(IconSizes, LargeNumbersAreCentredAndFillTheWidth) {
  for (int S = 33; S <= 128; ++S) {
    for (int n : {-3, -2, -1, 1, 5, 8, 11, 18, 42, 71, 87, 99, 100}) {
      const Ink ink = FindInk(DrawNumberIcon(n, S, kGreen, kText));
      // Centred to within a pixel.
      EXPECT_LE(std::abs((ink.left + ink.right + 1) - S), 2) << n << " at " << S;
      // Two digits and "100" span over half the width.
      if (n >= 10) {
        EXPECT_GE(ink.right - ink.left + 1, S / 2) << n << " at " << S;
      }
    }
  }
}

TEST(IconSizes, LargePicturesAreDrawnAtTheirSize) {
  for (int size : kTrayIconSizes) {
    for (int S : {size, 2 * size}) {
      if (S <= 32) continue;
      for (int n : {87, 5, 100, -1}) {
        const TPixmap p = DrawNumberIcon(n, S, kGreen, kText);
        ExpectNotBlownUp(p, "number");
        // The glyph edges are smoothed at this size: ink pixels beside
        // partly covered ones, on each side of the digits.
        const Ink ink = FindInk(p);
        int soft = 0;
        for (int y = ink.top; y <= ink.bottom; ++y) {
          for (int x = ink.left; x <= ink.right; ++x) {
            const uint32_t a = p.At(x, y) >> 24;
            soft += a > 0 && a < 255 ? 1 : 0;
          }
        }
        EXPECT_GE(soft, 2 * ink.Height()) << n << " at " << S;
      }
      // 101, the program's icon, is drawn at the size too.
      const TPixmap program = DrawNumberIcon(101, S, kGreen, kText);
      EXPECT_EQ(program.Pixels, MainIcon(S).Pixels);
      ExpectNotBlownUp(program, "program");
    }
  }
}

TEST(IconSizes, AlertAndProgramIconsAreSharpAtEverySize) {
  for (int size : kTrayIconSizes) {
    for (int S : {size, 2 * size}) {
      const std::array<std::pair<const char*, TPixmap>, 3> icons{
          {{"mail", MailIcon(S)}, {"phone", PhoneIcon(S)}, {"main", MainIcon(S)}}};
      for (const auto& [name, icon] : icons) {
        ASSERT_EQ(icon.Width, S);
        ASSERT_EQ(icon.Height, S);
        EXPECT_EQ(icon.At(S / 2, S / 2) >> 24, 0xFFu) << name << " at " << S;
        EXPECT_EQ(icon.At(0, 0) >> 24, 0u) << name << " at " << S;
        ExpectNotBlownUp(icon, name);
      }
      EXPECT_NE(MailIcon(S).Pixels, PhoneIcon(S).Pixels);
    }
  }
  // The small sizes keep the pictures drawn for them.
  for (int S : {16, 32}) {
    const TPixmap mail = MailIcon(S);
    EXPECT_EQ(mail.At(S / 2, S / 2) >> 24, 0xFFu);
  }
}

TEST(IconSizes, AtlasBandsHoldWholeGlyphs) {
  int lastF = 0;
  for (const TGlyphBand& band : kGlyphBands) {
    EXPECT_GT(band.F, lastF);  // sorted, for the largest-fitting look-up
    lastF = band.F;
    // Inside the atlas, and clear of every other band.
    ASSERT_GE(band.X, 0);
    ASSERT_LE(band.X + 15 * band.F, kAtlasWidth) << band.F;
    ASSERT_LE(band.Y + band.F + 4, kAtlasHeight) << band.F;
    for (const TGlyphBand& other : kGlyphBands) {
      if (&other == &band) continue;
      const bool apart = band.X + 15 * band.F <= other.X || other.X + 15 * other.F <= band.X ||
                         band.Y + band.F + 4 <= other.Y || other.Y + other.F + 4 <= band.Y;
      EXPECT_TRUE(apart) << band.F << " and " << other.F;
    }
    // The small bands sit where the small pictures read them.
    if (band.F <= 16) {
      EXPECT_EQ(band.X, 0);
      EXPECT_EQ(band.Y, 11 * (band.F - 8));
      continue;
    }
    // Big bands: every glyph has ink and none touches its cell's border,
    // so no glyph is cut.
    for (int k = 0; k < 14; ++k) {
      const int x0 = band.X + k * band.F, w = k == 13 ? 2 * band.F : band.F;
      int ink = 0;
      for (int r = 0; r < band.F + 4; ++r) {
        for (int dx = 0; dx < w; ++dx) {
          const int a = AtlasAlpha(x0 + dx, band.Y + r);
          ink += a > 128 ? 1 : 0;
          if (r == 0 || r == band.F + 3 || dx == 0 || dx == w - 1) {
            EXPECT_EQ(a, 0) << "band " << band.F << " glyph " << k << " at " << dx << "," << r;
          }
        }
      }
      EXPECT_GT(ink, band.F) << "band " << band.F << " glyph " << k;
    }
  }
  EXPECT_EQ(GlyphBand(7).F, 8);
  EXPECT_EQ(GlyphBand(8).F, 8);
  EXPECT_EQ(GlyphBand(11).F, 10);
  EXPECT_EQ(GlyphBand(64).F, 64);
  EXPECT_EQ(GlyphBand(1000).F, 64);
}

}  // namespace
}  // namespace qgm
