#include "files/text_conversion.h"
#include "machine/text_feed.h"

#include <gtest/gtest.h>

#include <string>

namespace zelmak {
namespace {

struct ConversionRow {
    const char* name;
    std::string input; // ISO 8859-1 bytes
    std::string text;
    std::size_t dropped;
};

void PrintTo(const ConversionRow& row, std::ostream* os) {
    *os << row.name;
}

class TextConversion : public ::testing::TestWithParam<ConversionRow> {};

TEST_P(TextConversion, GivesKeyableTextAndCountsWhatWasDropped) {
    const ConversionRow& row = GetParam();
    const ConvertedText result = convertForMachine(row.input);
    EXPECT_EQ(result.text, row.text);
    EXPECT_EQ(result.dropped, row.dropped);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TextConversion,
    ::testing::Values(
        ConversionRow{"empty", "", "", 0},
        ConversionRow{"lower_case_letters_become_upper_case", "hallo alle", "HALLO ALLE", 0},
        ConversionRow{"upper_case_stays", "HALLO", "HALLO", 0},
        ConversionRow{"j_becomes_i", "Jaja", "IAIA", 0},
        ConversionRow{"w_becomes_vv", "Wetter wird", "VVETTER VVIRD", 0},
        ConversionRow{"x_becomes_ks", "Xaver boxt", "KSAVER BOKST", 0},
        ConversionRow{"y_stays", "Yak", "YAK", 0},
        ConversionRow{"umlauts_upper",
                      "\xC4pfel \xD6l \xDC"
                      "ber",
                      "AEPFEL OEL UEBER", 0},
        ConversionRow{"umlauts_lower",
                      "k\xE4se h\xF6hle m\xFC"
                      "de",
                      "KAESE HOEHLE MUEDE", 0},
        ConversionRow{"sharp_s",
                      "Stra\xDF"
                      "e",
                      "STRASSE", 0},
        ConversionRow{"zero_and_one", "10 01", "IO OI", 0},
        ConversionRow{"digits_two_to_nine_stay", "23456789", "23456789", 0},
        ConversionRow{"blank_runs_become_one_space", "a  \t\tb\r\n\r\nc\vd\fe", "A B C D E", 0},
        ConversionRow{"no_break_space_is_a_blank",
                      "a\xA0"
                      "b",
                      "A B", 0},
        ConversionRow{"leading_and_trailing_blanks_trimmed", " \r\n\tab \r\n", "AB", 0},
        ConversionRow{"only_blanks", " \t\r\n ", "", 0},
        ConversionRow{"punctuation_dropped_and_counted", "Hallo, Welt!", "HALLO VVELT", 2},
        ConversionRow{"dropped_between_blanks_keeps_one_space", "a - b", "A B", 1},
        ConversionRow{"dropped_inside_a_word_joins_nothing", "a-b", "AB", 1},
        ConversionRow{"dropped_only", ".,;:!?", "", 6},
        ConversionRow{"underscore_dropped", "a_b", "AB", 1},
        ConversionRow{"other_latin1_letters_dropped",
                      "caf\xE9 \xF1"
                      "and\xFA \xC5\xD8\xE6",
                      "CAF AND", 6},
        ConversionRow{"control_characters_dropped",
                      std::string("a\0b\x1B"
                                  "c\x7F",
                                  6),
                      "ABC", 3},
        ConversionRow{"c1_controls_dropped",
                      "a\x80\x9F"
                      "b",
                      "AB", 2},
        ConversionRow{"leading_dropped_then_blank", "\"  quote\"", "QUOTE", 2}));

// Every byte the converter keeps must have a key: fed to the machine, no character of the
// result may be skipped (the space becomes the word space).
TEST(TextConversionResult, EveryCharacterOfTheResultHasAKey) {
    std::string everyByte;
    for (int b = 0; b < 256; ++b) {
        everyByte += static_cast<char>(b);
        everyByte += 'x'; // keeps words apart, so blanks survive as spaces
    }
    const ConvertedText result = convertForMachine(everyByte);
    ASSERT_FALSE(result.text.empty());
    for (const char c : result.text) {
        const auto key = feedKey(c);
        ASSERT_TRUE(key.has_value())
            << "no key for byte " << static_cast<int>(static_cast<unsigned char>(c));
        if (c == ' ') {
            EXPECT_EQ(key->index, 27);
        }
    }
}

TEST(TextConversionResult, EveryByteIsKeptBlankOrCountedAsDropped) {
    // 26 * 2 letters, 10 digits, 7 umlauts and ß are kept; 7 blanks; the rest is dropped.
    std::string everyByte;
    for (int b = 0; b < 256; ++b)
        everyByte += static_cast<char>(b);
    EXPECT_EQ(convertForMachine(everyByte).dropped, 256u - 52u - 10u - 7u - 7u);
}

} // namespace
} // namespace zelmak
