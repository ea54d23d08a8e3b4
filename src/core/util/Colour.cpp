#include "core/util/Colour.h"

#include <initializer_list>

namespace qgm {
namespace {

uint32_t Ch(uint32_t c, int shift) {
  return (c >> shift) & 0xFF;
}

// Nearest whole number of v * k / 255.
uint32_t Scale(uint32_t v, uint32_t k) {
  return (v * k + 127) / 255;
}

}  // namespace

uint32_t BlendColour(uint32_t a, uint32_t b, double f) {
  if (f <= 0) return a;
  if (f >= 1) return b;
  uint32_t out = 0;
  for (int shift : {0, 8, 16}) {
    const double v = (1 - f) * Ch(a, shift) + f * Ch(b, shift);
    out |= static_cast<uint32_t>(v) << shift;
  }
  return out;
}

uint32_t Lighten(uint32_t c, double p) {
  return BlendColour(c, 0xFFFFFF, p / 100);
}
uint32_t Darken(uint32_t c, double p) {
  return BlendColour(c, 0, p / 100);
}

uint32_t MixPixel(uint32_t a, uint32_t b, int p) {
  if (p >= 100) return b;
  if (p <= 0) return a;
  const uint32_t k = static_cast<uint32_t>(p * 255 / 100);
  uint32_t out = 0;
  for (int shift : {0, 8, 16})
    out |= (Scale(Ch(a, shift), 255 - k) + Scale(Ch(b, shift), k)) << shift;
  return out;
}

}  // namespace qgm
