#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qgm {

// The standard CRC-32 (IEEE 802.3 / zlib polynomial); the empty text gives 0.
// `previous`: the CRC of the bytes before these, to go on from.
uint32_t Crc32(std::string_view bytes, uint32_t previous = 0);

// The CRC-32 of the bytes as upper-case hexadecimal without leading zeros,
// the form in which advisory keys are kept ("abc" gives "352441C2").
std::string Crc32Key(std::string_view bytes);
std::string Crc32Key(uint32_t crc);

}  // namespace qgm
