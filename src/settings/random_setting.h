#pragma once

#include "machine/machine_state.h"
#include "machine/window.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <utility>
#include <vector>

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

// Returns scripted numbers in order, for tests. Throws std::logic_error when the script runs
// out or a number does not lie below the n asked for.
class ScriptedRandomSource : public RandomSource {
public:
    explicit ScriptedRandomSource(std::deque<std::int32_t> numbers)
        : m_numbers(std::move(numbers)) {}
    std::int32_t below(std::int32_t n) override;

    std::size_t remaining() const { return m_numbers.size(); }
    // The n of every draw so far, in order.
    const std::vector<std::int32_t>& bounds() const { return m_bounds; }

private:
    std::deque<std::int32_t> m_numbers;
    std::vector<std::int32_t> m_bounds;
};

// Maps uniform 32-bit words to a number below n without bias: words from the incomplete last
// block of n are rejected and replaced by the next word.
std::uint32_t uniformBelow(std::uint32_t n, const std::function<std::uint32_t()>& nextWord);

// "Random Cipher" (Button42Click): withdraws the acceptance (flags 0; "Save Cipher", "Check
// Cipher", "Save CipherCode", "Loade CipherCode" and "Automatic" disabled), draws a card that
// uses every symbol once and an order of the five discs, puts them into the selectors and
// enables "Check Cipher". Positions, mode, panes, texts and the set-up's tables stay unchanged.
void randomSetting(MachineState& m, Window& w, RandomSource& source);

} // namespace zelmak
