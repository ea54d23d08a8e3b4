#include <zlib.h>

#include "core/util/Pixmap.h"

namespace qgm {
namespace {

void Put32(std::string& out, uint32_t v) {
  out += static_cast<char>(v >> 24);
  out += static_cast<char>(v >> 16);
  out += static_cast<char>(v >> 8);
  out += static_cast<char>(v);
}

void Chunk(std::string& out, const char* type, const std::string& data) {
  Put32(out, static_cast<uint32_t>(data.size()));
  const std::string body = std::string(type, 4) + data;
  out += body;
  Put32(out, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                                         static_cast<uInt>(body.size()))));
}

}  // namespace

std::string EncodePng(const TPixmap& p) {
  std::string raw;
  raw.reserve(static_cast<size_t>(p.Height) * (1 + 4 * static_cast<size_t>(p.Width)));
  for (int y = 0; y < p.Height; ++y) {
    raw += '\0';  // no filter
    for (int x = 0; x < p.Width; ++x) {
      const uint32_t v = p.At(x, y);
      raw += static_cast<char>(v >> 16);  // red
      raw += static_cast<char>(v >> 8);   // green
      raw += static_cast<char>(v);        // blue
      raw += static_cast<char>(v >> 24);  // alpha
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(packedSize, '\0');
  compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
            reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()), 9);
  packed.resize(packedSize);

  std::string png = "\x89PNG\r\n\x1a\n";
  std::string header;
  Put32(header, static_cast<uint32_t>(p.Width));
  Put32(header, static_cast<uint32_t>(p.Height));
  header +=
      std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, no filter, no interlace
  Chunk(png, "IHDR", header);
  Chunk(png, "IDAT", packed);
  Chunk(png, "IEND", "");
  return png;
}

}  // namespace qgm
