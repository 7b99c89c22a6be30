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

// The run as the keys would make it, with the per-key variables kept in registers and stored
// once at the end: they keep the last key's values, as after the last of a row of keys.
std::size_t feedFolded(MachineState& m, std::string_view text,
                       const std::array<FeedEntry, 256>& table) {
    const bool cipher = m.cipher();
    std::array<char, 32> alphabet{};
    std::copy(m.outputAlphabet.raw().begin(), m.outputAlphabet.raw().end(), alphabet.begin() + 1);
    alphabet[kWordSpaceIndex] = cipher ? 'Y' : '_';
    const auto& card = m.cardTable.raw();
    const auto& inverse = m.cardTableInverse.raw();
    const Mode mode = m.mode;
    auto& positions = m.positions.raw();
    std::int32_t pos[5] = {positions[0], positions[1], positions[2], positions[3], positions[4]};

    const std::size_t inputStart = m.inputText.size();
    const std::size_t outputStart = m.outputText.size();
    m.inputText.resize(inputStart + text.size());
    m.outputText.resize(outputStart + text.size());
    char* in = m.inputText.data() + inputStart;
    char* out = m.outputText.data() + outputStart;
    const FeedEntry* last = nullptr;
    std::size_t work = 0;
    for (const char c : text) {
        const FeedEntry& e = table[static_cast<unsigned char>(c)];
        if (e.index == 0)
            continue;
        *in++ = e.letter;
        const std::size_t v = folded::step(m.folded, mode, pos, card[e.index - 1u]);
        work = inverse[v - 1];
        *out++ = alphabet[work];
        last = &e;
    }
    const std::size_t keyed = static_cast<std::size_t>(in - (m.inputText.data() + inputStart));
    m.inputText.resize(inputStart + keyed);
    m.outputText.resize(outputStart + keyed);
    if (last) {
        m.keyLetter.assign(1, last->letter);
        m.keyIndex = last->index;
        m.workIndex = static_cast<std::int32_t>(work);
        m.outputAlphabet[kWordSpaceIndex] = alphabet[kWordSpaceIndex];
        std::copy(std::begin(pos), std::end(pos), positions.begin());
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
        runKey(m);
    }
    return skipped;
}

void runAutomatic(MachineState& m, Display& d) {
    if (!m.ready())
        return;
    m.inputText.clear();
    m.outputText.clear();
    d.clearPane(Pane::Input);
    d.clearPane(Pane::Output);
    const std::string text = d.paneText(Pane::Loaded);
    try {
        feedText(m, text);
    } catch (...) {
        // What was keyed before the failing character stays processed and shown.
        showTexts(m, d);
        throw;
    }
    showTexts(m, d);
}

} // namespace zelmak
