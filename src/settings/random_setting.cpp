#include "random_setting.h"

#include <array>
#include <cerrno>
#include <stdexcept>
#include <string>
#include <sys/random.h>

namespace zelmak {

namespace {

// Draws by rejection into slots 1..count: a draw below count + 1 that is 0 or already taken is
// discarded and drawn again. Calls place(slot, number) for each slot in order.
template <typename Place> void drawPermutation(RandomSource& source, int count, Place place) {
    std::array<bool, kSymbolCount + 1> taken{}; // numbers 1..count, count at most 31
    int slot = 1;
    while (slot <= count) {
        const std::int32_t drawn = source.below(checked::add(count, 1));
        if (drawn >= 1 && drawn <= count && !taken[static_cast<std::size_t>(drawn)]) {
            taken[static_cast<std::size_t>(drawn)] = true;
            place(slot, drawn);
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

KeyRecordBytes drawRecord(RandomSource& source) {
    KeyRecordBytes record{};
    drawPermutation(source, kSymbolCount, [&](int k, int symbol) {
        record[static_cast<std::size_t>(k - 1)] = checked::byte(symbol);
    });
    // Drawn number n is disc n, which its selector shows at item n - 1.
    drawPermutation(source, 5, [&](int s, int disc) {
        record[kCardBytes + static_cast<std::size_t>(s - 1)] = checked::byte(disc - 1);
    });
    return record;
}

} // namespace zelmak
