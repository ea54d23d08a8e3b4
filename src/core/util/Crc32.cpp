#include "core/util/Crc32.h"

#include <zlib.h>

namespace qgm {

uint32_t Crc32(std::string_view bytes, uint32_t previous) {
  uLong crc = previous;
  // zlib takes the length as uInt; feed very large inputs in pieces.
  while (!bytes.empty()) {
    const size_t piece = bytes.size() > 0x40000000u ? 0x40000000u : bytes.size();
    crc = crc32(crc, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(piece));
    bytes.remove_prefix(piece);
  }
  return static_cast<uint32_t>(crc);
}

std::string Crc32Key(std::string_view bytes) {
  return Crc32Key(Crc32(bytes));
}

std::string Crc32Key(uint32_t crc) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  char buf[8];
  int n = 0;
  do {
    buf[7 - n++] = kHex[crc & 15];
    crc >>= 4;
  } while (crc != 0);
  return std::string(buf + 8 - n, static_cast<size_t>(n));
}

}  // namespace qgm
