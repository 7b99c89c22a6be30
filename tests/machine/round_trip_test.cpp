// Decipher undoes Cipher over many random settings: whatever card, disc order and start
// positions, typing the cipher text in Decipher mode from the same start gives back the keyed
// clear text, with "_" for every index 27 (so a clear "Y" comes back as "_" too).

#include "machine_test_util.h"

#include "machine/text_feed.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

namespace zelmak {
namespace {

struct RandomSetting {
    test::Card card;
    test::Discs discs;
    std::string start;
    std::string clear;
};

RandomSetting draw(std::mt19937& rng) {
    RandomSetting s;
    std::iota(s.card.begin(), s.card.end(), 1);
    std::shuffle(s.card.begin(), s.card.end(), rng);
    std::iota(s.discs.begin(), s.discs.end(), 0);
    std::shuffle(s.discs.begin(), s.discs.end(), rng);
    std::uniform_int_distribution<int> position(0, 30);
    for (int slot = 0; slot < 5; ++slot)
        s.start += positionSymbol(position(rng));
    // Clear texts over the 31 symbols and the word space, up to a few turns of slot 1.
    const std::string symbols = std::string(kKeyAlphabet) + "_";
    std::uniform_int_distribution<std::size_t> symbol(0, symbols.size() - 1);
    std::uniform_int_distribution<int> length(1, 200);
    const int n = length(rng);
    for (int i = 0; i < n; ++i)
        s.clear += symbols[symbol(rng)];
    return s;
}

std::string describeSetting(const RandomSetting& s) {
    std::string out = "card";
    for (const int c : s.card)
        out += " " + std::to_string(c);
    out += ", discs";
    for (const int d : s.discs)
        out += " " + std::to_string(d + 1);
    out += ", start " + s.start + ", clear " + s.clear;
    return out;
}

// Presses the keys of a text: "_" is the space bar, every other symbol its own key, so index 27
// is the space bar's "_" or the Y key's "Y".
std::string type(const RandomSetting& s, bool cipher, const std::string& text) {
    MachineState m;
    test::acceptSetting(m, s.card, s.discs);
    test::setPositions(m, s.start);
    m.mode = cipher ? Mode::Cipher : Mode::Decipher;
    return test::typeKeys(m, text);
}

TEST(RoundTrip, DecipherGivesBackTheKeyedClearTextOverRandomSettings) {
    std::mt19937 rng(20240531u);
    for (int trial = 0; trial < 500; ++trial) {
        const RandomSetting s = draw(rng);
        const std::string cipherText = type(s, true, s.clear);
        ASSERT_EQ(cipherText.size(), s.clear.size());
        ASSERT_EQ(cipherText.find('_'), std::string::npos) << "Cipher mode shows index 27 as Y";
        const std::string back = type(s, false, cipherText);

        std::string expected = s.clear;
        std::replace(expected.begin(), expected.end(), 'Y', '_');
        if (back != expected) {
            const auto diff = std::mismatch(back.begin(), back.end(), expected.begin());
            FAIL() << "trial " << trial << ": " << describeSetting(s) << "\ncipher " << cipherText
                   << "\nback   " << back << "\nfirst difference at symbol "
                   << (diff.first - back.begin());
        }
    }
}

// The same through the text feed: the loaded cipher text's "Y" keys index 27 in Decipher mode.
TEST(RoundTrip, TheTextFeedDeciphersWhatItEnciphered) {
    std::mt19937 rng(7u);
    for (int trial = 0; trial < 200; ++trial) {
        RandomSetting s = draw(rng);
        std::replace(s.clear.begin(), s.clear.end(), '_', ' ');
        MachineState m;
        test::acceptSetting(m, s.card, s.discs);
        test::setPositions(m, s.start);
        feedText(m, s.clear);
        const std::string cipherText = m.outputText;

        MachineState m2;
        test::acceptSetting(m2, s.card, s.discs);
        test::setPositions(m2, s.start);
        m2.mode = Mode::Decipher;
        feedText(m2, cipherText);

        std::string expected = s.clear;
        std::replace(expected.begin(), expected.end(), 'Y', '_');
        std::replace(expected.begin(), expected.end(), ' ', '_');
        ASSERT_EQ(m2.outputText, expected) << "trial " << trial << ": " << describeSetting(s);
        EXPECT_EQ(test::positions(m2), test::positions(m)) << "the stepping is the same";
    }
}

} // namespace
} // namespace zelmak
