// Decimal text to int as the system's C runtime reads it (leading blanks, sign, digits), but
// saturating at the int range instead of overflowing.
#pragma once

namespace velt {

// 0 for null or text without leading digits.
int DecimalToInt(const char* text) noexcept;

}  // namespace velt
