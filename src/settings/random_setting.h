#pragma once

#include "machine/machine_state.h"

#include <cstdint>
#include <functional>

namespace zelmak {

// Where "Random Cipher" draws its numbers from.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A number in 0..n-1, each equally likely (n >= 1).
    virtual std::int32_t below(std::int32_t n) = 0;
};

// The operating system's cryptographically secure source (getrandom(2)).
class SystemRandomSource : public RandomSource {
public:
    std::int32_t below(std::int32_t n) override;

private:
    std::uint32_t nextWord();

    std::uint32_t m_words[64] = {};
    std::size_t m_used = 64;
};

// Maps uniform 32-bit words to a number below n without bias: words from the incomplete last
// block of n are rejected and replaced by the next word.
std::uint32_t uniformBelow(std::uint32_t n, const std::function<std::uint32_t()>& nextWord);

// A key record drawn as "Random Cipher" draws it: first the card, by rejection from numbers
// below 32, then the disc order, by rejection from numbers below 6.
KeyRecordBytes drawRecord(RandomSource& source);

} // namespace zelmak
