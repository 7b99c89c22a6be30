#include "text_conversion.h"

#include <array>

namespace zelmak {

namespace {

enum class Kind : unsigned char { Drop, Blank, Keep };

// What a kept character becomes is held in the rule itself: a text of 16 MiB passes through the
// loop below, which must not look for the end of a string on every character.
struct Rule {
    Kind kind = Kind::Drop;
    unsigned char size = 0;
    std::array<char, 2> replacement{};

    constexpr Rule() = default;
    constexpr Rule(Kind k, const char* text) : kind(k) {
        for (; text[size] != '\0'; ++size)
            replacement[size] = text[size];
    }
};

constexpr std::array<Rule, 256> buildRules() {
    std::array<Rule, 256> rules{};
    constexpr const char* kLetters[26] = {"A", "B", "C", "D", "E",  "F",  "G", "H", "I",
                                          "I", "K", "L", "M", "N",  "O",  "P", "Q", "R",
                                          "S", "T", "U", "V", "VV", "KS", "Y", "Z"};
    for (int i = 0; i < 26; ++i) {
        rules[static_cast<std::size_t>('A' + i)] = {Kind::Keep, kLetters[i]};
        rules[static_cast<std::size_t>('a' + i)] = {Kind::Keep, kLetters[i]};
    }
    constexpr const char* kDigits[10] = {"O", "I", "2", "3", "4", "5", "6", "7", "8", "9"};
    for (int i = 0; i < 10; ++i)
        rules[static_cast<std::size_t>('0' + i)] = {Kind::Keep, kDigits[i]};
    for (const char blank : {' ', '\t', '\n', '\r', '\v', '\f', '\xA0'})
        rules[static_cast<unsigned char>(blank)] = {Kind::Blank, ""};
    rules[0xC4] = rules[0xE4] = {Kind::Keep, "AE"}; // Ä ä
    rules[0xD6] = rules[0xF6] = {Kind::Keep, "OE"}; // Ö ö
    rules[0xDC] = rules[0xFC] = {Kind::Keep, "UE"}; // Ü ü
    rules[0xDF] = {Kind::Keep, "SS"};               // ß
    return rules;
}

constexpr std::array<Rule, 256> kRules = buildRules();

} // namespace

ConvertedText convertForMachine(std::string_view latin1) {
    ConvertedText result;
    // No character becomes more than two, a blank's space included (it stands for the blanks
    // before a kept character, which add nothing themselves).
    result.text.resize(2 * latin1.size());
    char* const start = result.text.data();
    char* out = start;
    bool blankPending = false;
    for (const char c : latin1) {
        const Rule& rule = kRules[static_cast<unsigned char>(c)];
        switch (rule.kind) {
        case Kind::Drop:
            ++result.dropped;
            break;
        case Kind::Blank:
            // Blanks before the first kept character are simply left out.
            blankPending = out != start;
            break;
        case Kind::Keep:
            if (blankPending)
                *out++ = ' ';
            blankPending = false;
            out[0] = rule.replacement[0];
            out[1] = rule.replacement[1];
            out += rule.size;
            break;
        }
    }
    result.text.resize(static_cast<std::size_t>(out - start));
    return result;
}

} // namespace zelmak
