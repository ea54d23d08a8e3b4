#pragma once
// A picture of 32-bit pixels, top row first, each read as 0xAARRGGBB with
// straight (not premultiplied) alpha.

#include <cstdint>
#include <string>
#include <vector>

namespace qgm {

struct TPixmap {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;

  TPixmap() = default;
  TPixmap(int w, int h, uint32_t fill = 0)
      : Width(w), Height(h), Pixels(static_cast<size_t>(w) * static_cast<size_t>(h), fill) {}
  uint32_t& At(int x, int y) { return Pixels[static_cast<size_t>(y) * Width + x]; }
  uint32_t At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
};

// The picture as a PNG file (8-bit RGBA).
std::string EncodePng(const TPixmap& picture);

}  // namespace qgm
