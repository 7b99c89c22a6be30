#include "text_conversion.h"

#include <array>

namespace zelmak {

namespace {

enum class Kind : unsigned char { Drop, Blank, Keep };

struct Rule {
    Kind kind = Kind::Drop;
    const char* replacement = ""; // what a kept character becomes
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
    result.text.reserve(latin1.size());
    bool blankPending = false;
    for (const char c : latin1) {
        const Rule& rule = kRules[static_cast<unsigned char>(c)];
        switch (rule.kind) {
        case Kind::Drop:
            ++result.dropped;
            break;
        case Kind::Blank:
            // Blanks before the first kept character are simply left out.
            blankPending = !result.text.empty();
            break;
        case Kind::Keep:
            if (blankPending)
                result.text += ' ';
            blankPending = false;
            result.text += rule.replacement;
            break;
        }
    }
    return result;
}

} // namespace zelmak
