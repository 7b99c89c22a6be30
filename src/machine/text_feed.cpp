#include "text_feed.h"

#include "key_alphabet.h"
#include "machine.h"

#include <array>

namespace zelmak {

namespace {

struct FeedEntry {
    std::uint8_t index = 0; // 0: skipped
    char letter = 0;
};

constexpr std::array<FeedEntry, 256> makeFeedTable() {
    std::array<FeedEntry, 256> table{};
    for (int i = 1; i <= kSymbolCount; ++i) {
        const char symbol = keySymbol(i);
        table[static_cast<unsigned char>(symbol)] = {static_cast<std::uint8_t>(i), symbol};
        if (symbol >= 'A' && symbol <= 'Z') {
            const char lower = static_cast<char>(symbol - 'A' + 'a');
            table[static_cast<unsigned char>(lower)] = {static_cast<std::uint8_t>(i), symbol};
        }
    }
    table[static_cast<unsigned char>(' ')] = {kWordSpaceIndex, '_'};
    table[static_cast<unsigned char>('_')] = {kWordSpaceIndex, '_'};
    return table;
}

constexpr auto kFeedTable = makeFeedTable();

} // namespace

std::optional<FedKey> feedKey(char c) {
    const FeedEntry& e = kFeedTable[static_cast<unsigned char>(c)];
    if (e.index == 0)
        return std::nullopt;
    return FedKey{e.index, e.letter};
}

void feedText(MachineState& m, Window& w, std::string_view text) {
    m.inputText.reserve(m.inputText.size() + text.size());
    m.outputText.reserve(m.outputText.size() + text.size());
    std::int32_t position = 0;
    for (const char c : text) {
        position = checked::add(position, 1);
        m.textPosition = position;
        const FeedEntry& e = kFeedTable[static_cast<unsigned char>(c)];
        if (e.index == 0)
            continue;
        m.keyLetter.assign(1, e.letter);
        m.keyIndex = e.index;
        m.inputText.push_back(e.letter);
        TextIO(m, w, PaneRefresh::Deferred);
    }
    m.textPosition = checked::add(position, 1);
}

} // namespace zelmak
