#pragma once
// Colours are 32-bit values 0x00BBGGRR (red in the low byte), the form in
// which the VLD file stores them.

#include <cstdint>

namespace veldor {

using Colour = std::uint32_t;

constexpr Colour rgb(int r, int g, int b) {
    return static_cast<Colour>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int red(Colour c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int green(Colour c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int blue(Colour c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

inline constexpr Colour kWhite = rgb(255, 255, 255);
inline constexpr Colour kBlack = rgb(0, 0, 0);
inline constexpr Colour kYellow = rgb(255, 255, 0);

}  // namespace veldor
