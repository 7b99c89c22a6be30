#pragma once

// Checked bytes, indexes and arithmetic. The machine was designed with every byte store, every
// table index and every integer operation checked at run time; a failed check abandons the
// running handler with a RangeError or OverflowError. The checks are one compare and a branch
// that is never taken, so they cost next to nothing on the hot path of a key.

#include "errors.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace zelmak {

using Byte = std::uint8_t;

namespace checked {

[[noreturn]] void throwRange();
[[noreturn]] void throwOverflow();

inline std::int32_t add(std::int32_t a, std::int32_t b) {
    std::int32_t r;
    if (__builtin_add_overflow(a, b, &r)) [[unlikely]]
        throwOverflow();
    return r;
}

inline std::int32_t sub(std::int32_t a, std::int32_t b) {
    std::int32_t r;
    if (__builtin_sub_overflow(a, b, &r)) [[unlikely]]
        throwOverflow();
    return r;
}

// Stores an integer into a byte (0..255).
inline Byte byte(std::int32_t v) {
    if (v < 0 || v > 255) [[unlikely]]
        throwRange();
    return static_cast<Byte>(v);
}

inline void expectRange(std::int32_t v, std::int32_t lo, std::int32_t hi) {
    if (v < lo || v > hi) [[unlikely]]
        throwRange();
}

} // namespace checked

// A one-dimensional table with the index base of the design (for example 1..31).
template <typename T, int Lo, int Hi> class Table {
    static_assert(Lo <= Hi);

public:
    static constexpr int kLow = Lo;
    static constexpr int kHigh = Hi;
    static constexpr std::size_t kSize = static_cast<std::size_t>(Hi - Lo + 1);

    T& operator[](std::int32_t i) {
        checked::expectRange(i, Lo, Hi);
        return m_items[static_cast<std::size_t>(i - Lo)];
    }
    const T& operator[](std::int32_t i) const {
        checked::expectRange(i, Lo, Hi);
        return m_items[static_cast<std::size_t>(i - Lo)];
    }

    std::array<T, kSize>& raw() { return m_items; }
    const std::array<T, kSize>& raw() const { return m_items; }

    bool operator==(const Table&) const = default;

private:
    std::array<T, kSize> m_items{};
};

// A two-dimensional table [RowLo..RowHi][ColLo..ColHi]; both indexes are checked.
template <typename T, int RowLo, int RowHi, int ColLo, int ColHi> class Table2 {
public:
    static constexpr int kRows = RowHi - RowLo + 1;
    static constexpr int kCols = ColHi - ColLo + 1;

    T& operator()(std::int32_t row, std::int32_t col) { return m_items[offset(row, col)]; }
    const T& operator()(std::int32_t row, std::int32_t col) const {
        return m_items[offset(row, col)];
    }

    bool operator==(const Table2&) const = default;

private:
    static std::size_t offset(std::int32_t row, std::int32_t col) {
        checked::expectRange(row, RowLo, RowHi);
        checked::expectRange(col, ColLo, ColHi);
        return static_cast<std::size_t>((row - RowLo) * kCols + (col - ColLo));
    }

    std::array<T, static_cast<std::size_t>(kRows* kCols)> m_items{};
};

} // namespace zelmak
