// Colours as the chart control takes them: 32 bits, alpha in the top byte, then red, green, blue.
#pragma once

#include <cstdint>

namespace chart {

using Argb = std::uint32_t;

constexpr Argb opaque(int red, int green, int blue) {
    return 0xFF000000u | (static_cast<Argb>(red & 0xFF) << 16) | (static_cast<Argb>(green & 0xFF) << 8) |
           static_cast<Argb>(blue & 0xFF);
}

namespace colours {
inline constexpr Argb black = opaque(0, 0, 0);
inline constexpr Argb white = opaque(255, 255, 255);
inline constexpr Argb red = opaque(255, 0, 0);
inline constexpr Argb darkRed = opaque(139, 0, 0);
} // namespace colours

} // namespace chart
