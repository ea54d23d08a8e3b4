#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qgm {

// The standard CRC-32 (IEEE 802.3 / zlib polynomial); the empty text gives 0.
uint32_t Crc32(std::string_view bytes);

// The CRC-32 of the bytes as upper-case hexadecimal without leading zeros,
// the form in which advisory keys are kept ("abc" gives "352441C2").
std::string Crc32Key(std::string_view bytes);

}  // namespace qgm
