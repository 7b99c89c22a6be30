#include "symbols.h"

#include "settings/settings.h"

#include <algorithm>

namespace zelmak::analysis {

namespace {

bool layout(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// A character as a message line names it: printable as itself, anything else as \xNN.
std::string named(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7F)
        return std::string("\"") + c + "\"";
    static constexpr char kHex[] = "0123456789ABCDEF";
    return std::string("\\x") + kHex[u >> 4] + kHex[u & 15];
}

Symbol symbolOf(char c) {
    return static_cast<Symbol>(*symbolIndex(c) - 1);
}

} // namespace

std::vector<Symbol> readMessage(std::string_view text) {
    std::vector<Symbol> symbols;
    symbols.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (layout(c))
            continue;
        if (!symbolIndex(c))
            throw InputError("the message holds " + named(c) + " at byte " + std::to_string(i + 1) +
                             ", which is no key symbol");
        symbols.push_back(symbolOf(c));
    }
    return symbols;
}

std::vector<Symbol> readCrib(std::string_view text) {
    std::vector<Symbol> symbols;
    for (const char c : text) {
        if (c == ' ' || c == '_') {
            symbols.push_back(kWordSpace);
            continue;
        }
        const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        if (!symbolIndex(upper))
            throw InputError("the crib holds " + named(c) + ", which has no key on the machine");
        symbols.push_back(symbolOf(upper));
    }
    return symbols;
}

const std::vector<DiscOrder>& allDiscOrders() {
    static const std::vector<DiscOrder> orders = [] {
        std::vector<DiscOrder> all;
        DiscOrder o{1, 2, 3, 4, 5};
        do
            all.push_back(o);
        while (std::next_permutation(o.begin(), o.end()));
        return all;
    }();
    return orders;
}

std::optional<DiscOrder> parseDiscOrder(std::string_view digits) {
    if (digits.size() != kSlotCount)
        return std::nullopt;
    DiscOrder order{};
    for (std::size_t s = 0; s < kSlotCount; ++s) {
        if (digits[s] < '1' || digits[s] > '5')
            return std::nullopt;
        order[s] = static_cast<std::uint8_t>(digits[s] - '0');
        if (std::find(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(s), order[s]) !=
            order.begin() + static_cast<std::ptrdiff_t>(s))
            return std::nullopt;
    }
    return order;
}

std::string orderText(const DiscOrder& order) {
    std::string s;
    for (const auto d : order)
        s.push_back(static_cast<char>('0' + d));
    return s;
}

std::string positionsText(const DiscPositions& positions) {
    std::string s;
    for (const auto p : positions)
        s.push_back(positionSymbol(p));
    return s;
}

std::string cardText(const Card& card) {
    std::string s;
    for (const Symbol v : card)
        s.push_back(v == kNoSymbol ? '.' : keySymbol(v + 1));
    return s;
}

int cardFixed(const Card& card) {
    return static_cast<int>(
        std::count_if(card.begin(), card.end(), [](Symbol v) { return v != kNoSymbol; }));
}

Card inverseCard(const Card& card) {
    Card inv;
    inv.fill(kNoSymbol);
    for (std::size_t k = 0; k < card.size(); ++k)
        if (card[k] != kNoSymbol)
            inv[card[k]] = static_cast<Symbol>(k);
    return inv;
}

bool cardConsistent(const Card& card) {
    std::uint32_t seen = 0;
    for (const Symbol v : card) {
        if (v == kNoSymbol)
            continue;
        if (v >= kSymbolCount || (seen >> v & 1u) != 0)
            return false;
        seen |= 1u << v;
    }
    return true;
}

KeySetting keySettingOf(const KeyRecordBytes& record) {
    if (!recordIsValid(record))
        throw InputError(recordVerdict(record));
    KeySetting k{};
    for (std::size_t i = 0; i < kCardBytes; ++i)
        k.card[i] = static_cast<Symbol>(record[i] - 1);
    for (std::size_t s = 0; s < kSlotCount; ++s)
        k.order[s] = static_cast<std::uint8_t>(record[kCardBytes + s] + 1);
    return k;
}

KeyRecordBytes keyRecordOf(const Card& card, const DiscOrder& order) {
    KeyRecordBytes record{};
    for (std::size_t i = 0; i < kCardBytes; ++i)
        record[i] = static_cast<Byte>(card[i] + 1);
    for (std::size_t s = 0; s < kSlotCount; ++s)
        record[kCardBytes + s] = static_cast<Byte>(order[s] - 1);
    return record;
}

} // namespace zelmak::analysis
