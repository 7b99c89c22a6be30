#include "text_feed.h"

#include "key_alphabet.h"
#include "machine.h"

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

std::size_t feedText(MachineState& m, std::string_view text, Blanks blanks) {
    const auto& table = feedTable(blanks);
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
