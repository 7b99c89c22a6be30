// Letters read from files: UTF-8 when the bytes are valid UTF-8, ISO 8859-1 otherwise.
#include "converter_fixture.h"
#include "letter_text.h"

#include <gtest/gtest.h>

namespace zelmak {
namespace {

using test::ConverterWindowTest;

struct LetterRow {
    const char* name;
    std::string bytes;
    std::string shown; // in the pane, ISO 8859-1
    LetterText::Encoding encoding;
    std::size_t characters;
    std::size_t withoutLatin1;
};

void PrintTo(const LetterRow& row, std::ostream* os) {
    *os << row.name;
}

class ReadLetter : public ::testing::TestWithParam<LetterRow> {};

TEST_P(ReadLetter, TakesUtf8WhenValidElseLatin1) {
    const LetterRow& row = GetParam();
    const LetterText letter = readLetter(row.bytes);
    EXPECT_EQ(letter.latin1, row.shown);
    EXPECT_EQ(letter.encoding, row.encoding);
    EXPECT_EQ(letter.characters, row.characters);
    EXPECT_EQ(letter.withoutLatin1, row.withoutLatin1);
}

constexpr auto kUtf8 = LetterText::Encoding::Utf8;
constexpr auto kLatin1 = LetterText::Encoding::Latin1;

INSTANTIATE_TEST_SUITE_P(
    Rows, ReadLetter,
    ::testing::Values(
        LetterRow{"utf8_umlauts",
                  "\xC3\x84rger \xC3\xBC"
                  "ber \xC3\x96l, Stra\xC3\x9F"
                  "e",
                  "\xC4rger \xFC"
                  "ber \xD6l, Stra\xDF"
                  "e",
                  kUtf8, 21, 0},
        LetterRow{"latin1_umlauts",
                  "\xC4rger \xFC"
                  "ber \xD6l, Stra\xDF"
                  "e",
                  "\xC4rger \xFC"
                  "ber \xD6l, Stra\xDF"
                  "e",
                  kLatin1, 21, 0},
        LetterRow{"ascii_is_utf8", "Hallo\r\nAlle", "Hallo\r\nAlle", kUtf8, 11, 0},
        LetterRow{"empty", "", "", kUtf8, 0, 0},
        LetterRow{"byte_order_mark_left_out", "\xEF\xBB\xBFJa", "Ja", kUtf8, 2, 0},
        // Typographic quotes, a dash and the euro sign have no ISO 8859-1 form.
        LetterRow{"beyond_latin1", "\xE2\x80\x9E\xC3\x96l\xE2\x80\x9C \xE2\x80\x93 5 \xE2\x82\xAC",
                  "?\xD6l? ? 5 ?", kUtf8, 10, 4},
        LetterRow{"beyond_16_bits_once",
                  "a\xF0\x9F\x98\x80"
                  "b",
                  "a?b", kUtf8, 3, 1},
        // As some systems write it: an A with a combining diaeresis.
        LetterRow{"combining_mark_composed", "A\xCC\x88rger", "\xC4rger", kUtf8, 6, 0},
        LetterRow{"wide_spaces_part_words",
                  "a\xE2\x80\x83"
                  "b\xE2\x80\xA8"
                  "c",
                  "a b\nc", kUtf8, 5, 0},
        LetterRow{"cut_sequence_is_latin1", "Gr\xC3", "Gr\xC3", kLatin1, 3, 0},
        LetterRow{"overlong_form_is_latin1", "\xC0\xAF", "\xC0\xAF", kLatin1, 2, 0}),
    [](const auto& p) { return std::string(p.param.name); });

struct OpenedRow {
    const char* name;
    const char* bytes;
    const char* told;
};

void PrintTo(const OpenedRow& row, std::ostream* os) {
    *os << row.name;
}

class ConverterOpened : public ConverterWindowTest,
                        public ::testing::WithParamInterface<OpenedRow> {};

TEST_P(ConverterOpened, ConvertsTheLetterAndTellsHowItWasRead) {
    test::writeFile(m_tmp.file("brief.txt"), GetParam().bytes);
    m_opens.push_back(path("brief.txt"));
    click("openButton");
    EXPECT_EQ(status(), QString::fromUtf8(GetParam().told));
    EXPECT_EQ(input(), "\xC4rger \xFC"
                       "ber \xD6l, Stra\xDF"
                       "e");
    click("convertButton");
    EXPECT_EQ(result(), "AERGER UEBER OEL STRASSE");
    EXPECT_TRUE(status().endsWith(QStringLiteral(", 1 character dropped.")))
        << status().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, ConverterOpened,
    ::testing::Values(OpenedRow{"utf8",
                                "\xC3\x84rger \xC3\xBC"
                                "ber \xC3\x96l, Stra\xC3\x9F"
                                "e",
                                "Opened brief.txt as UTF-8: 21 characters."},
                      OpenedRow{
                          "latin1",
                          "\xC4rger \xFC"
                          "ber \xD6l, Stra\xDF"
                          "e",
                          "Opened brief.txt as ISO 8859-1 (it is not UTF-8): 21 characters."}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(ConverterWindowTest, CharactersWithoutALatin1FormAreCountedWhenOpened) {
    test::writeFile(m_tmp.file("quotes.txt"), "\xE2\x80\x9E\xC3\x96l\xE2\x80\x9C");
    m_opens.push_back(path("quotes.txt"));
    click("openButton");
    EXPECT_EQ(status(), QStringLiteral("Opened quotes.txt as UTF-8: 4 characters, 2 without an "
                                       "ISO 8859-1 form (shown as ?)."));
    EXPECT_EQ(input(), "?\xD6l?");
}

} // namespace
} // namespace zelmak
