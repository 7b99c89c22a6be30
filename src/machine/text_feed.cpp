#include "text_feed.h"

#include "folded_step.h"
#include "key_alphabet.h"
#include "machine.h"
#include "step_rules.h"

#include <algorithm>
#include <array>
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
    const auto outside = [](Byte index) { return index < 1 || index > kSymbolCount; };
    return std::none_of(m.cardTable.raw().begin(), m.cardTable.raw().end(), outside) &&
           std::none_of(m.cardTableInverse.raw().begin(), m.cardTableInverse.raw().end(), outside);
}

// Slots 1 and 2 step on every key, one on and one back, so the sum of their positions stays the
// same through a run (mod 31) and the position of slot 1 alone gives both. A run folds the card
// and these two slots into one table each way, indexed by that position; they are built for each
// run from the card as it stands, so a card changed since the set-up is always the one used.
struct RunTables {
    static constexpr std::size_t kRow = kSymbolCount + 1; // entries 1..31; entry 0 unused
    static constexpr std::size_t kSize = kSymbolCount * kRow;

    std::array<std::uint8_t, kSize> in{};  // key index -> card, slot 1, slot 2
    std::array<std::uint8_t, kSize> out{}; // slot 2, slot 1, inverse card -> WorkIndex
    std::array<char, kSize> symbol{};      // the output symbol of that WorkIndex
    // The marks of the discs in slots 1..3 as bit sets; slot 2's by the position of slot 1.
    std::array<std::uint32_t, 4> marks{};
    int sum = 0; // the positions of slots 1 and 2 added, mod 31

    int slot2(int p1) const { return (sum + kSymbolCount - p1) % kSymbolCount; }

    // Only for a run the folded path applies to: every index in these lookups is 1..31.
    explicit RunTables(const MachineState& m)
        : marks(m.folded.marks), sum((m.positions[1] + m.positions[2]) % kSymbolCount) {
        const FoldedStages& f = m.folded;
        const auto& card = m.cardTable.raw();
        const auto& inverse = m.cardTableInverse.raw();
        marks[2] = 0;
        for (int p = 0; p <= kLastPosition; ++p) {
            marks[2] |= ((f.marks[2] >> slot2(p)) & 1u) << p;
            const std::size_t r1 = FoldedStages::row(m.mode, 1, p);
            const std::size_t r2 = FoldedStages::row(m.mode, 2, slot2(p));
            const std::size_t at = static_cast<std::size_t>(p) * kRow;
            for (std::size_t i = 1; i <= kSymbolCount; ++i) {
                in[at + i] = f.forward[r2 + f.forward[r1 + card[i - 1]]];
                out[at + i] = inverse[f.backward[r1 + f.backward[r2 + i]] - 1u];
                symbol[at + i] = outputSymbol(out[at + i], m.mode);
            }
        }
    }
};

// The run as the keys would make it, with the per-key variables kept in registers and stored
// once at the end: they keep the last key's values, as after the last of a row of keys.
std::size_t feedFolded(MachineState& m, std::string_view text,
                       const std::array<FeedEntry, 256>& table) {
    const FoldedStages& f = m.folded;
    const Mode mode = m.mode;
    auto& positions = m.positions.raw();
    const RunTables run(m);
    // Kept in registers: the stores of the texts could otherwise be taken to change them.
    const std::array<std::uint32_t, 4> marks = run.marks;
    std::int32_t p1 = positions[0];
    std::int32_t p2 = 0; // turned by its pin but never read: worked out from p1 at the end
    std::int32_t p3 = positions[2];
    std::int32_t p4 = positions[3];
    std::int32_t p5 = positions[4];
    const auto at = [&](int slot) -> std::int32_t& {
        return slot == 1 ? p1 : slot == 2 ? p2 : slot == 3 ? p3 : slot == 4 ? p4 : p5;
    };
    // Slot 2 follows from slot 1 in a run, and so do its marks (RunTables::marks).
    const auto marked = [&marks, &p1](int guide, std::int32_t p) {
        return ((marks[static_cast<std::size_t>(guide)] >> (guide == 2 ? p1 : p)) & 1u) != 0;
    };

    const std::size_t inputStart = m.inputText.size();
    const std::size_t outputStart = m.outputText.size();
    m.inputText.resize(inputStart + text.size());
    m.outputText.resize(outputStart + text.size());
    char* in = m.inputText.data() + inputStart;
    char* out = m.outputText.data() + outputStart;
    std::size_t last = 0; // where the last key left the run tables
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
        *out++ = run.symbol[last];
        stepping::stepOnce<stepping::Plain>(at, marked, [](int) {});
    }
    const std::size_t keyed = static_cast<std::size_t>(in - (m.inputText.data() + inputStart));
    m.inputText.resize(inputStart + keyed);
    m.outputText.resize(outputStart + keyed);
    if (keyed > 0) {
        m.keyLetter.assign(1, m.inputText.back());
        // Found again rather than kept: a register less on every key.
        const auto lastKey = std::find_if(text.rbegin(), text.rend(), [&table](char c) {
            return table[static_cast<unsigned char>(c)].index != 0;
        });
        m.keyIndex = table[static_cast<unsigned char>(*lastKey)].index;
        m.workIndex = run.out[last];
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
