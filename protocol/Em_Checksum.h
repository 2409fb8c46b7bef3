#pragma once

#include "protocol/FJParseExport.h"

#include <cstdint>

namespace Fjarnis2011 {
namespace FJParse {

// Reflected CRC-32 (polynomial 0xEDB88320), initial value 0, no final
// inversion, run over a whole binary log including its trailing 4-byte
// little-endian CRC: true when the remainder is 0. Fewer than one byte: true.
FJPARSE_API bool Check_Crc32(const uint8_t* p, int n);

// The CRC value itself (same variant), for building frames.
FJPARSE_API uint32_t Calc_Crc32(const uint8_t* p, int n);

// CRC-24Q of RTCM 3 over n bytes (24-bit result, 0 for n < 1).
FJPARSE_API uint32_t Calc_Crc24q(const uint8_t* p, int n);

}  // namespace FJParse
}  // namespace Fjarnis2011
