#pragma once

#include "platform/platform.h"

#include <array>
#include <cstdint>

namespace quorvane {

// The classic sixteen colours, chosen by index 0 to 15.
inline constexpr std::array<Rgb, 16> kPalette = {
    0x000000, // 0 black
    0x000080, // 1 blue
    0x008000, // 2 green
    0x008080, // 3 cyan
    0x800000, // 4 red
    0x800080, // 5 magenta
    0x808000, // 6 yellow
    0xC0C0C0, // 7 white (light grey)
    0x808080, // 8 grey
    0x0000FF, // 9 light blue
    0x00FF00, // 10 light green
    0x00FFFF, // 11 light cyan
    0xFF0000, // 12 light red
    0xFF00FF, // 13 light magenta
    0xFFFF00, // 14 light yellow
    0xFFFFFF, // 15 bright white
};

inline constexpr std::int16_t kOrbit1Colour = 10; // light green
inline constexpr std::int16_t kOrbit2Colour = 12; // light red

} // namespace quorvane
