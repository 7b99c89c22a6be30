#pragma once

#include "key_alphabet.h"

#include <array>
#include <cstdint>

namespace zelmak::fixed {

// clang-format off
// The stepping marks of discs 1..5: the position indexes (position + 1) that hold a mark.
inline constexpr std::array<std::array<std::uint8_t, 4>, kDiscCount> kMarks{{
    {2, 6, 22, 31},  // 2 6 G N
    {1, 12, 20, 29}, // I R D V
    {3, 9, 24, 31},  // 3 9 M N
    {4, 11, 23, 31}, // 4 E H N
    {8, 10, 21, 28}, // 8 Q F C
}};

// Wiring of discs 1..5 (rows 1..5) and of the reflector (row 6), contacts 1..31. The reflector
// pairs its contacts and leaves contact 15 unpaired (entry 0), which lets the index through.
inline constexpr std::array<std::array<std::uint8_t, kSymbolCount>, kDiscCount + 1> kWiring{{
    {7, 18, 6, 9, 14, 1, 26, 16, 23, 20, 28, 4, 25, 5, 12, 24,
     27, 21, 22, 15, 3, 30, 29, 17, 11, 10, 19, 2, 13, 31, 8},
    {17, 12, 15, 18, 31, 6, 11, 27, 13, 14, 3, 8, 16, 19, 1, 10,
     9, 2, 25, 23, 29, 22, 4, 28, 26, 30, 20, 21, 7, 5, 24},
    {8, 1, 25, 31, 9, 17, 21, 20, 27, 30, 16, 24, 23, 5, 6, 13,
     19, 14, 12, 18, 22, 15, 2, 28, 11, 29, 10, 3, 4, 26, 7},
    {29, 14, 5, 19, 23, 26, 13, 2, 7, 24, 25, 22, 9, 6, 28, 10,
     18, 15, 4, 1, 11, 12, 16, 31, 3, 17, 30, 20, 8, 21, 27},
    {18, 22, 3, 16, 5, 27, 13, 30, 9, 2, 6, 10, 31, 20, 15, 14,
     21, 17, 24, 8, 23, 1, 25, 12, 4, 19, 26, 29, 28, 11, 7},
    {20, 10, 17, 27, 18, 31, 29, 23, 16, 2, 26, 19, 25, 22, 0, 9,
     3, 5, 12, 1, 24, 14, 8, 21, 13, 11, 4, 30, 7, 28, 6},
}};

// clang-format on

inline constexpr int kReflectorRow = kDiscCount + 1;

} // namespace zelmak::fixed
