#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace mosaiq {

// A colour as the program's data model keeps it: 24 bits in blue-green-red order, so 0x0000FF is
// pure red and 0xFF0000 pure blue. The front end converts at the edge.
using Color = std::uint32_t;

constexpr Color kWhite = 0xFFFFFF;
constexpr Color kBlack = 0x000000;
constexpr Color kRed = 0x0000FF;

constexpr int kCellCount = 1024;
constexpr int kLoopSlots = 512;

// The instruction set: codes 0 to 7. Every other code is data only.
enum Code : std::uint8_t {
    WhitePixel = 0,
    NextPixel = 1,
    PreviousPixel = 2,
    PlusColor = 3,
    MinusColor = 4,
    RepeatUntilWhite = 5,
    EndRepeat = 6,
    Run = 7,
};
constexpr int kInstructionCount = 8;

// The names double as the palette's tooltips.
constexpr std::array<std::string_view, kInstructionCount> kInstructionNames = {
    "White Pixel",        "Next Pixel (X)",
    "Previous Pixel (X)", "Plus Color",
    "Minus Color",        "Repeat Until Pixel (X) Turns White",
    "End Repeat",         "Run",
};

constexpr std::array<Color, kInstructionCount> kInstructionColors = {
    0xFFFFFF, 0x0000FF, 0xFF0000, 0x00FF00, 0x00FFFF, 0xFFFF00, 0xFF00FF, 0xC0C0C0,
};

constexpr Color GreyOf(int channel) {
    const auto c = static_cast<Color>(channel);
    return (c << 16) | (c << 8) | c;
}

namespace detail {
template <bool RunRule> constexpr std::array<Color, 256> MakeColorTable() {
    std::array<Color, 256> table{};
    for (int code = 0; code < 256; ++code) {
        if (code < kInstructionCount)
            table[code] = kInstructionColors[code];
        else if (code == 255)
            table[code] = kBlack;
        else
            table[code] = GreyOf(RunRule ? 256 - code : code);
    }
    return table;
}
inline constexpr auto kEditColors = MakeColorTable<false>();
inline constexpr auto kRunColors = MakeColorTable<true>();
} // namespace detail

// The editing colour rule: greys 8..254 have all three channels equal to the code.
constexpr Color EditColor(std::uint8_t code) {
    return detail::kEditColors[code];
}

// The run colour rule, applied only while a run repaints the bar under X: greys 8..254 have all
// three channels equal to 256 minus the code, so they come out inverted.
constexpr Color RunColor(std::uint8_t code) {
    return detail::kRunColors[code];
}

} // namespace mosaiq
