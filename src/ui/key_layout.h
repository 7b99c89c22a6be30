#pragma once

// The on-screen keyboard as data: one row per key, from which the button's name and caption,
// the key index it enters and its place in the window all come.

#include "machine/key_alphabet.h"

#include <stdexcept>

namespace zelmak {

struct KeyRow {
    int number;  // ButtonN
    char symbol; // what the key enters; "_" is the space bar
    int x;
    int y;
};

inline constexpr int kSpaceBarNumber = 32;

// The 31 symbol keys, row by row as they stand on the keyboard, then the space bar.
inline constexpr KeyRow kKeyRows[] = {
    {2, '2', 35, 128},   {3, '3', 89, 128},   {4, '4', 143, 128},  {5, '5', 197, 128},
    {6, '6', 251, 128},  {7, '7', 305, 128},  {8, '8', 359, 128},  {9, '9', 413, 128},
    {10, 'Q', 9, 152},   {12, 'E', 64, 152},  {13, 'R', 118, 152}, {14, 'T', 172, 152},
    {15, 'Z', 226, 152}, {16, 'U', 280, 152}, {1, 'I', 333, 152},  {17, 'O', 390, 152},
    {18, 'P', 444, 152}, {19, 'A', 39, 174},  {20, 'S', 93, 174},  {21, 'D', 147, 174},
    {22, 'F', 201, 174}, {23, 'G', 255, 174}, {24, 'H', 309, 174}, {26, 'K', 362, 174},
    {27, 'L', 416, 174}, {34, 'Y', 74, 194},  {28, 'C', 128, 194}, {11, 'V', 180, 194},
    {30, 'B', 234, 194}, {31, 'N', 288, 194}, {25, 'M', 342, 194}, {32, '_', 123, 218},
};

// The key index a key enters: the space bar is the word space (27), every other key the index of
// its symbol.
constexpr int keyIndexOf(char symbol) {
    return symbol == '_' ? kWordSpaceIndex : symbolIndex(symbol).value_or(0);
}

inline const KeyRow& keyRow(int number) {
    for (const KeyRow& row : kKeyRows)
        if (row.number == number)
            return row;
    throw std::out_of_range("no key button " + std::to_string(number));
}

} // namespace zelmak
