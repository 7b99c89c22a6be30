#include "random_setting.h"

#include <cerrno>
#include <stdexcept>
#include <string>
#include <sys/random.h>

namespace zelmak {

namespace {

// Draws by rejection into slots 1..count: a draw below count + 1 that is 0 or already taken is
// discarded and drawn again. Calls place(slot, number) for each slot in order.
template <typename Place>
void drawPermutation(MachineState& m, RandomSource& source, int count, Place place) {
    for (int n = 1; n <= count; ++n)
        m.numberFree[n] = 1;
    int slot = 1;
    while (slot <= count) {
        m.drawnNumber = source.below(checked::add(count, 1));
        if (m.drawnNumber >= 1 && m.drawnNumber <= count && m.numberFree[m.drawnNumber] == 1) {
            m.numberFree[m.drawnNumber] = 0;
            place(slot, m.drawnNumber);
            slot = checked::add(slot, 1);
        }
    }
}

} // namespace

std::uint32_t uniformBelow(std::uint32_t n, const std::function<std::uint32_t()>& nextWord) {
    if (n == 0)
        throw std::invalid_argument("uniformBelow: n must be at least 1");
    // 2^32 mod n words at the top would make the low numbers more likely; they are drawn again.
    const std::uint32_t rejected = static_cast<std::uint32_t>(-n) % n;
    const std::uint32_t limit = static_cast<std::uint32_t>(0u - rejected); // 0: nothing rejected
    for (;;) {
        const std::uint32_t word = nextWord();
        if (rejected == 0 || word < limit)
            return word % n;
    }
}

std::uint32_t SystemRandomSource::nextWord() {
    if (m_used == std::size(m_words)) {
        // Up to 256 bytes come back whole once the pool is initialised; EINTR only before.
        std::size_t got = 0;
        auto* bytes = reinterpret_cast<unsigned char*>(m_words);
        while (got < sizeof m_words) {
            const ssize_t n = ::getrandom(bytes + got, sizeof m_words - got, 0);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                throw Error("I/O-Fehler " + std::to_string(errno));
            }
            got += static_cast<std::size_t>(n);
        }
        m_used = 0;
    }
    return m_words[m_used++];
}

std::int32_t SystemRandomSource::below(std::int32_t n) {
    if (n < 1)
        throw std::invalid_argument("below: n must be at least 1");
    return static_cast<std::int32_t>(
        uniformBelow(static_cast<std::uint32_t>(n), [this] { return nextWord(); }));
}

std::int32_t ScriptedRandomSource::below(std::int32_t n) {
    if (m_numbers.empty())
        throw std::logic_error("scripted random source ran out after " +
                               std::to_string(m_bounds.size()) + " draws");
    const std::int32_t value = m_numbers.front();
    if (value < 0 || value >= n)
        throw std::logic_error("scripted number " + std::to_string(value) + " is not below " +
                               std::to_string(n));
    m_numbers.pop_front();
    m_bounds.push_back(n);
    return value;
}

void randomSetting(MachineState& m, Window& w, RandomSource& source) {
    m.discReady = 0;
    m.cardReady = 0;
    w.setEnabled(Control::Button37, false);
    w.setEnabled(Control::Button38, false);
    w.setEnabled(Control::Button35, false);
    w.setEnabled(Control::Button40, false);
    // Automatic would otherwise go on running the last accepted setting.
    w.setEnabled(Control::Button41, false);

    drawPermutation(m, source, 31,
                    [&](int k, int symbol) { m.drawnCard[k] = checked::byte(symbol); });
    for (int k = 1; k <= 31; ++k)
        w.setCardItem(k, m.drawnCard[k]);

    // The disc numbers go straight into their selectors: drawn number d shows disc d.
    drawPermutation(m, source, 5, [&](int s, int disc) { w.setDiscItem(s, disc - 1); });

    w.setEnabled(Control::Button38, true);
}

} // namespace zelmak
