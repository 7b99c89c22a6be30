#include "machine_test_util.h"

#include "machine/text_feed.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace zelmak {
namespace {

using test::acceptSetting;
using test::describe;

// The expected key of every byte, written out from the machine's alphabet rather than from
// the feed's table.
std::optional<FedKey> expectedKey(int byte) {
    const std::string alphabet = "I23456789QERTZUOPASDFGHMKLYCVBN";
    if (byte == ' ' || byte == '_')
        return FedKey{27, '_'};
    char c = static_cast<char>(byte);
    if (byte >= 'a' && byte <= 'z')
        c = static_cast<char>(byte - 'a' + 'A');
    if (byte >= 128 || c == '\0')
        return std::nullopt;
    const auto pos = alphabet.find(c);
    if (pos == std::string::npos)
        return std::nullopt;
    return FedKey{static_cast<int>(pos) + 1, c};
}

class FeedByte : public ::testing::TestWithParam<int> {};

TEST_P(FeedByte, KeysOrSkips) {
    const int byte = GetParam();
    const auto got = feedKey(static_cast<char>(byte));
    const auto want = expectedKey(byte);
    ASSERT_EQ(got.has_value(), want.has_value());
    if (want) {
        EXPECT_EQ(got->index, want->index);
        EXPECT_EQ(got->letter, want->letter);
    }
}

std::string byteName(int byte) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "byte_%03d", byte);
    std::string name = buf;
    if ((byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
        (byte >= 'a' && byte <= 'z'))
        name += std::string("_") + static_cast<char>(byte);
    return name;
}

INSTANTIATE_TEST_SUITE_P(EveryByte, FeedByte, ::testing::Range(0, 256),
                         [](const auto& p) { return byteName(p.param); });

// Spot checks of the rule itself, so that a fault shared by the feed and the expected table
// above still shows.
TEST(FeedKey, NamedCases) {
    struct Row {
        char c;
        int index; // 0: skipped
        char letter;
    };
    const Row rows[] = {
        {'A', 18, 'A'}, {'a', 18, 'A'}, {'B', 30, 'B'}, {'b', 30, 'B'}, {'I', 1, 'I'},
        {'i', 1, 'I'},  {'2', 2, '2'},  {'9', 9, '9'},  {'N', 31, 'N'}, {'n', 31, 'N'},
        {'Y', 27, 'Y'}, {'y', 27, 'Y'}, {' ', 27, '_'}, {'_', 27, '_'}, {'0', 0, 0},
        {'1', 0, 0},    {'J', 0, 0},    {'j', 0, 0},    {'W', 0, 0},    {'w', 0, 0},
        {'X', 0, 0},    {'x', 0, 0},    {'\t', 0, 0},   {'\r', 0, 0},   {'\n', 0, 0},
        {'\0', 0, 0},   {'.', 0, 0},    {'\xe4', 0, 0}, {'\xff', 0, 0}, {'\x80', 0, 0}};
    for (const Row& r : rows) {
        const auto got = feedKey(r.c);
        if (r.index == 0) {
            EXPECT_FALSE(got.has_value()) << "byte " << int(static_cast<unsigned char>(r.c));
        } else {
            ASSERT_TRUE(got.has_value()) << r.c;
            EXPECT_EQ(got->index, r.index) << r.c;
            EXPECT_EQ(got->letter, r.letter) << r.c;
        }
    }
}

class FeedText : public ::testing::Test {
protected:
    void SetUp() override { acceptSetting(m); }
    MachineState m;
};

TEST_F(FeedText, KeysLikeTheKeyboardAndSkipsWhatHasNoKey) {
    feedText(m, "Hallo, Alle!\r\n");
    EXPECT_EQ(m.inputText, "HALLO_ALLE");
    EXPECT_EQ(m.outputText, "5M5QHAI6Y4") << describe(m);
    EXPECT_EQ(test::positions(m), "C8SPA");
    EXPECT_EQ(m.keyLetter, "E");
    EXPECT_EQ(m.keyIndex, 11);
}

TEST_F(FeedText, SkippedCharactersDoNotStepTheDiscs) {
    EXPECT_EQ(feedText(m, "0J1W\tX\r\n.\x80\xff"), 11u) << "skipped characters are counted";
    EXPECT_EQ(m.inputText, "");
    EXPECT_EQ(m.outputText, "");
    EXPECT_EQ(test::positions(m), "AAAAA");
}

// Cipher text laid out in groups: its blanks and line breaks were never keyed, "_" still was.
TEST_F(FeedText, LayoutBlanksAreSkipped) {
    EXPECT_EQ(feedText(m, "5M5QH AI6\r\nY4 _", Blanks::Layout), 4u);
    EXPECT_EQ(m.inputText, "5M5QHAI6Y4_");
    EXPECT_FALSE(feedKey(' ', Blanks::Layout).has_value());
    EXPECT_EQ(feedKey('_', Blanks::Layout)->index, 27);
    EXPECT_EQ(feedKey('y', Blanks::Layout)->letter, 'Y');
}

TEST_F(FeedText, OneCharacterIsProcessed) {
    feedText(m, "h");
    EXPECT_EQ(m.inputText, "H");
    EXPECT_EQ(m.outputText, "5");
    EXPECT_EQ(test::positions(m), "SPAAA");
}

TEST_F(FeedText, DoesNotTestTheFlags) {
    m.cardReady = 0;
    feedText(m, "HALLO");
    EXPECT_EQ(m.outputText, "5M5QH");
}

TEST_F(FeedText, ContinuesTheTextsAndThePositions) {
    feedText(m, "HAL");
    feedText(m, "LO ALLE");
    EXPECT_EQ(m.outputText, "5M5QHAI6Y4");
}

TEST_F(FeedText, DecipherTakesYAsIndex27OnEveryCharacter) {
    m.mode = Mode::Decipher;
    feedText(m, "5m5qhai6y4");
    EXPECT_EQ(m.outputText, "HALLO_ALLE") << describe(m);
    EXPECT_EQ(m.inputText, "5M5QHAI6Y4");
}

TEST_F(FeedText, AnErrorStopsTheRunAtThatCharacter) {
    feedText(m, "HA");
    m.key.discSetting[2] = 7;
    EXPECT_THROW(feedText(m, "LLO"), RangeError);
    EXPECT_EQ(m.inputText, "HAL");
    EXPECT_EQ(m.outputText, "5M");
    EXPECT_EQ(test::positions(m), "DOAAA");
}

TEST_F(FeedText, TheSelectorsShowWhereTheDiscsStoodWhenARunStopsPartWay) {
    m.cardTable[26] = 255; // L runs off the tables
    EXPECT_THROW(feedText(m, "HALLO"), RangeError);
    EXPECT_EQ(m.outputText, "5M");
    EXPECT_EQ(test::positions(m), "DOAAA");
}

} // namespace
} // namespace zelmak
