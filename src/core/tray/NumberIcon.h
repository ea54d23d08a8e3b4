#pragma once
// The tray picture: a bevelled bar in the usage colour along the top and the
// percentage left below it, drawn pixel by pixel from the glyph atlas.

#include <cstdint>
#include <optional>

#include "core/util/Pixmap.h"

namespace qgm {

// One band of the glyph atlas, for glyphs F pixels wide: cells F + 4 rows
// high from row Y holding, from column X, "0".."9", "?", "$" and "X" each F
// wide, then the "100" glyph 2F wide.
struct TGlyphBand {
  int F, X, Y;
};

// The bands by glyph width. Those up to 16 keep the first layout (column 0,
// row 11 (F - 8)); the larger ones serve pictures above 32 pixels: half of
// each tray size at scale 2 (20, 22, 24, 32, 48, 64 for 40 .. 128 pixels)
// and at scale 1.25 and 1.5 (18, 28, 30, 36, 40).
inline constexpr TGlyphBand kGlyphBands[] = {
    {8, 0, 0},    {10, 0, 22},  {12, 0, 44},   {14, 0, 66},   {16, 0, 88},    {18, 670, 54},
    {20, 250, 0}, {22, 550, 0}, {24, 250, 26}, {28, 250, 54}, {30, 480, 110}, {32, 0, 110},
    {36, 0, 310}, {40, 0, 146}, {48, 0, 190},  {64, 0, 242},
};
inline constexpr int kAtlasWidth = 960;
inline constexpr int kAtlasHeight = 350;

// The band with the largest glyph width up to f (the smallest band when
// none is that narrow).
const TGlyphBand& GlyphBand(int f);

// The glyph coverage of the atlas at (x, y).
uint8_t AtlasAlpha(int x, int y);
// The program's icon at size x size. Sizes dividing 32 are box-filtered
// from the 32-pixel artwork, every other size is filtered by area from the
// 128-pixel artwork, so no size is a small picture blown up (up to 128).
TPixmap MainIcon(int size);
// The alert icons: "ZMAIL" (new mail) and "ZPHONE" (voicemail), sized like
// the program's icon.
TPixmap MailIcon(int size);
TPixmap PhoneIcon(int size);

// T[i][j] = i * j / 255, rounded.
uint8_t BlendTable(int i, int j);
// k = 0 gives b, k = 255 gives a (alpha included); otherwise each colour
// channel T[k][a] + T[255 - k][b], alpha 255.
uint32_t BlendPixel(uint32_t a, uint32_t b, int k);
// A colour (0x00BBGGRR) as an opaque pixel (0xFFRRGGBB).
uint32_t ColorToPixel(uint32_t colour);
// (61 red + 174 green + 21 blue) div 256.
int GreyLevel(uint32_t colour);

// The picture for number n at size S: -1 "?" under an aqua bar, -2 "$" and
// -3 "X" under a red bar, 0..99 the digits, 100 the "100" glyph, 101 the
// program's icon. Up to 32 pixels the layout is the classic small one; above
// it the bar, bevel and glyphs grow with S (glyphs from the largest band up
// to S / 2) and the ink is centred, so every size up to 128 is drawn sharp.
//
// With a halo colour (0x00BBGGRR), the ink below the bar gets an outline of
// that colour under it, one pixel wide per 32 pixels of picture: digits
// legible on a panel of any colour, light or dark, whatever the text's own.
TPixmap DrawNumberIcon(int n, int size, uint32_t barColour, uint32_t textColour,
                       std::optional<uint32_t> haloColour = std::nullopt);
// The halo for a text colour: white around dark text, black around light.
uint32_t HaloFor(uint32_t textColour);

}  // namespace qgm
