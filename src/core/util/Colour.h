#pragma once
// Colour operations on 0x00BBGGRR colours (red in the low byte).

#include <cstdint>

namespace qgm {

// Per channel (1 - f) * a + f * b, truncated; a when f <= 0, b when f >= 1.
uint32_t BlendColour(uint32_t a, uint32_t b, double f);
// Towards white / black by p percent.
uint32_t Lighten(uint32_t c, double p);
uint32_t Darken(uint32_t c, double p);
// b when p >= 100, a when p <= 0; otherwise per channel the nearest whole
// numbers of a * (255 - k) / 255 and b * k / 255 added, k = p * 255 div 100.
uint32_t MixPixel(uint32_t a, uint32_t b, int p);

}  // namespace qgm
