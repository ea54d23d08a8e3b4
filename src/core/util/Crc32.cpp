#include "core/util/Crc32.h"

#include <zlib.h>

#include <cstdio>

namespace qgm {

uint32_t Crc32(std::string_view bytes) {
  uLong crc = crc32(0L, Z_NULL, 0);
  // zlib takes the length as uInt; feed very large inputs in pieces.
  while (!bytes.empty()) {
    const size_t piece = bytes.size() > 0x40000000u ? 0x40000000u : bytes.size();
    crc = crc32(crc, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(piece));
    bytes.remove_prefix(piece);
  }
  return static_cast<uint32_t>(crc);
}

std::string Crc32Key(std::string_view bytes) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(Crc32(bytes)));
  return buf;
}

}  // namespace qgm
