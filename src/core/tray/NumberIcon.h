#pragma once
// The tray picture: a bevelled bar in the usage colour along the top and the
// percentage left below it, drawn pixel by pixel from the glyph atlas.

#include <cstdint>

#include "core/util/Pixmap.h"

namespace qgm {

inline constexpr int kAtlasWidth = 250;
inline constexpr int kAtlasHeight = 110;

// The glyph coverage of the atlas at (x, y).
uint8_t AtlasAlpha(int x, int y);
// The program's icon at size x size.
TPixmap MainIcon(int size);
// The alert icons: "ZMAIL" (new mail) and "ZPHONE" (voicemail).
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
// program's icon.
TPixmap DrawNumberIcon(int n, int size, uint32_t barColour, uint32_t textColour);

}  // namespace qgm
