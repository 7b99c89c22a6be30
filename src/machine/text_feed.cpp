#include "text_feed.h"

#include "folded_step.h"
#include "key_alphabet.h"
#include "machine.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <string>

namespace zelmak {

namespace {

struct FeedEntry {
    std::uint8_t index = 0; // 0: skipped
    char letter = 0;
};

constexpr std::array<FeedEntry, 256> makeFeedTable(Blanks blanks) {
    std::array<FeedEntry, 256> table{};
    for (int i = 1; i <= kSymbolCount; ++i) {
        const char symbol = keySymbol(i);
        table[static_cast<unsigned char>(symbol)] = {static_cast<std::uint8_t>(i), symbol};
        if (symbol >= 'A' && symbol <= 'Z') {
            const char lower = static_cast<char>(symbol - 'A' + 'a');
            table[static_cast<unsigned char>(lower)] = {static_cast<std::uint8_t>(i), symbol};
        }
    }
    if (blanks == Blanks::WordSpace)
        table[static_cast<unsigned char>(' ')] = {kWordSpaceIndex, '_'};
    table[static_cast<unsigned char>('_')] = {kWordSpaceIndex, '_'};
    return table;
}

constexpr auto kWordSpaceTable = makeFeedTable(Blanks::WordSpace);
constexpr auto kLayoutTable = makeFeedTable(Blanks::Layout);

constexpr const std::array<FeedEntry, 256>& feedTable(Blanks blanks) {
    return blanks == Blanks::WordSpace ? kWordSpaceTable : kLayoutTable;
}

} // namespace

std::optional<FedKey> feedKey(char c, Blanks blanks) {
    const FeedEntry& e = feedTable(blanks)[static_cast<unsigned char>(c)];
    if (e.index == 0)
        return std::nullopt;
    return FedKey{e.index, e.letter};
}

namespace {

// Whether every key of a run can take the folded step without a check: the tables fit, and the
// card and its inverse hold indexes 1..31 only. Then nothing in the run can fail.
bool foldedRunApplies(const MachineState& m) {
    if (!folded::applies(m))
        return false;
    for (std::size_t i = 0; i < 31; ++i) {
        const Byte card = m.cardTable.raw()[i];
        const Byte inverse = m.cardTableInverse.raw()[i];
        if (card < 1 || card > 31 || inverse < 1 || inverse > 31)
            return false;
    }
    return true;
}

// Slots 1 and 2 step on every key, one forward and one backward, so the sum of their positions
// stays the same through a run (mod 31) and the position of slot 1 alone gives both. A run folds
// the card and these two slots into one table each way, indexed by that position; they are built
// for each run from the card as it stands, so a card changed since the set-up is always the one
// used.
struct RunTables {
    static constexpr std::size_t kRow = 32; // entries 1..31; entry 0 unused

    int sum = 0;                               // the positions of slots 1 and 2 added, mod 31
    std::array<std::uint8_t, 31 * kRow> in{};  // key index -> card, slot 1, slot 2
    std::array<std::uint8_t, 31 * kRow> out{}; // slot 2, slot 1, inverse card -> WorkIndex
    std::array<char, 31 * kRow> symbol{};      // the output symbol of that WorkIndex
    std::uint32_t steps3 = 0; // bit p set: slot 3 steps when slot 1 has just moved to p
    std::uint32_t steps4 = 0; // bit p set: slot 4 steps when slot 1 has just moved to p

    int slot2(int p1) const { return (sum + 31 - p1) % 31; }

    // Only for a run the folded path applies to: every index in these lookups is 1..31. The
    // alphabet is OutputAlphabet with entry 27 as the run writes it.
    RunTables(const MachineState& m, const std::array<char, 32>& alphabet)
        : sum((m.positions[1] + m.positions[2]) % 31) {
        const FoldedStages& f = m.folded;
        const auto& card = m.cardTable.raw();
        const auto& inverse = m.cardTableInverse.raw();
        for (int p = 0; p <= 30; ++p) {
            const std::size_t r1 = FoldedStages::row(m.mode, 1, p);
            const std::size_t r2 = FoldedStages::row(m.mode, 2, slot2(p));
            const std::size_t at = static_cast<std::size_t>(p) * kRow;
            for (std::size_t i = 1; i <= 31; ++i) {
                in[at + i] = f.forward[r2 + f.forward[r1 + card[i - 1]]];
                out[at + i] = inverse[f.backward[r1 + f.backward[r2 + i]] - 1u];
                symbol[at + i] = alphabet[out[at + i]];
            }
            steps3 |= ((f.marks[1] >> p) & 1u) << p;
            steps4 |= ((f.marks[2] >> slot2(p)) & 1u) << p;
        }
    }
};

// The run as the keys would make it, with the per-key variables kept in registers and stored
// once at the end: they keep the last key's values, as after the last of a row of keys.
std::size_t feedFolded(MachineState& m, std::string_view text,
                       const std::array<FeedEntry, 256>& table) {
    const bool cipher = m.cipher();
    std::array<char, 32> alphabet{};
    std::copy(m.outputAlphabet.raw().begin(), m.outputAlphabet.raw().end(), alphabet.begin() + 1);
    alphabet[kWordSpaceIndex] = cipher ? 'Y' : '_';
    const FoldedStages& f = m.folded;
    const Mode mode = m.mode;
    auto& positions = m.positions.raw();
    const RunTables run(m, alphabet);
    // Kept in registers: the stores of the texts could otherwise be taken to change them.
    const std::uint32_t steps3 = run.steps3;
    const std::uint32_t steps4 = run.steps4;
    const std::uint32_t marks3 = f.marks[3];
    std::int32_t p1 = positions[0];
    std::int32_t p3 = positions[2];
    std::int32_t p4 = positions[3];
    std::int32_t p5 = positions[4];

    const std::size_t inputStart = m.inputText.size();
    const std::size_t outputStart = m.outputText.size();
    m.inputText.resize(inputStart + text.size());
    m.outputText.resize(outputStart + text.size());
    char* in = m.inputText.data() + inputStart;
    char* out = m.outputText.data() + outputStart;
    std::size_t last = 0; // where the last key left the run tables
    std::int32_t lastIndex = 0;
    for (const char c : text) {
        const FeedEntry& e = table[static_cast<unsigned char>(c)];
        if (e.index == 0)
            continue;
        *in++ = e.letter;
        const std::size_t r12 = static_cast<std::size_t>(p1) * RunTables::kRow;
        const std::size_t r3 = FoldedStages::row(mode, 3, p3);
        const std::size_t r4 = FoldedStages::row(mode, 4, p4);
        std::size_t v = run.in[r12 + e.index];
        v = f.forward[r3 + v];
        v = f.forward[r4 + v];
        v = f.turn[FoldedStages::turnRow(mode, p5) + v];
        v = f.backward[r4 + v];
        v = f.backward[r3 + v];
        last = r12 + v;
        lastIndex = e.index;
        *out++ = run.symbol[last];

        // Stepping, as in the checked step.
        p1 = p1 == 30 ? 0 : p1 + 1;
        if ((steps3 >> p1) & 1u)
            p3 = p3 == 30 ? 0 : p3 + 1;
        if ((steps4 >> p1) & 1u)
            p4 = p4 == 0 ? 30 : p4 - 1;
        if ((marks3 >> p3) & 1u)
            p5 = p5 == 30 ? 0 : p5 + 1;
    }
    const std::size_t keyed = static_cast<std::size_t>(in - (m.inputText.data() + inputStart));
    m.inputText.resize(inputStart + keyed);
    m.outputText.resize(outputStart + keyed);
    if (keyed > 0) {
        m.keyLetter.assign(1, m.inputText.back());
        m.keyIndex = lastIndex;
        m.workIndex = run.out[last];
        m.outputAlphabet[kWordSpaceIndex] = alphabet[kWordSpaceIndex];
        positions = {p1, run.slot2(p1), p3, p4, p5};
    }
    return text.size() - keyed;
}

} // namespace

std::size_t feedText(MachineState& m, std::string_view text, Blanks blanks) {
    const auto& table = feedTable(blanks);
    if (foldedRunApplies(m))
        return feedFolded(m, text, table);
    m.inputText.reserve(m.inputText.size() + text.size());
    m.outputText.reserve(m.outputText.size() + text.size());
    std::size_t skipped = 0;
    for (const char c : text) {
        const FeedEntry& e = table[static_cast<unsigned char>(c)];
        if (e.index == 0) {
            ++skipped;
            continue;
        }
        enterKey(m, e.index, e.letter);
        TextIO(m);
    }
    return skipped;
}

void runAutomatic(MachineState& m, std::string_view text) {
    if (!m.ready())
        return;
    m.inputText.clear();
    m.outputText.clear();
    feedText(m, text);
}

} // namespace zelmak
