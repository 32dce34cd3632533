// Decimal text to integer the way the C library's atoi reads it.
#pragma once

#include <cstdint>
#include <string>

namespace kestrun {

// Skips leading blanks, takes one optional sign, then reads digits up to the first
// non-digit; no digits give 0. Values beyond 32 bits wrap around instead of being
// undefined.
std::int32_t ParseDecimal(const std::string& text);

}  // namespace kestrun
