#include "doubles.h"
#include "fake_window.h"
#include "machine/machine.h"
#include "settings/random_setting.h"
#include "settings/settings.h"

#include <algorithm>
#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace zelmak {
namespace {

std::array<int, 31> cardOf(const FakeWindow& w) {
    std::array<int, 31> card{};
    for (int k = 1; k <= 31; ++k)
        card[static_cast<std::size_t>(k - 1)] = w.cardItem(k);
    return card;
}

std::array<int, 5> discsOf(const FakeWindow& w) {
    std::array<int, 5> discs{};
    for (int s = 1; s <= 5; ++s)
        discs[static_cast<std::size_t>(s - 1)] = w.discItem(s);
    return discs;
}

struct Ready {
    MachineState m;
    FakeWindow w;
    Ready() { serviceSetting(m, w, w); }
};

// ---- The unbiased draw ------------------------------------------------------------------------

struct BelowRow {
    const char* name;
    std::uint32_t n;
    std::vector<std::uint32_t> words;
    std::uint32_t result;
    std::size_t wordsUsed;
};

void PrintTo(const BelowRow& row, std::ostream* os) {
    *os << row.name;
}

class UniformBelow : public ::testing::TestWithParam<BelowRow> {};

TEST_P(UniformBelow, RejectsOnlyTheIncompleteLastBlock) {
    const BelowRow& row = GetParam();
    std::size_t used = 0;
    const std::uint32_t result = uniformBelow(row.n, [&] { return row.words.at(used++); });
    EXPECT_EQ(result, row.result);
    EXPECT_EQ(used, row.wordsUsed);
}

// 2^32 = 4 (mod 6) and = 4 (mod 31): the four highest words are drawn again. 32 divides 2^32.
INSTANTIATE_TEST_SUITE_P(
    Words, UniformBelow,
    ::testing::Values(
        BelowRow{"SixRejectsTheTopFour", 6, {0xFFFFFFFF, 0xFFFFFFFC, 0xFFFFFFFB}, 5, 3},
        BelowRow{"SixTakesLowWords", 6, {13}, 1, 1},
        BelowRow{"ThirtyOneRejectsTheTopFour", 31, {0xFFFFFFFD, 0xFFFFFFFB}, 0xFFFFFFFBu % 31, 2},
        BelowRow{"ThirtyTwoRejectsNothing", 32, {0xFFFFFFFF}, 31, 1},
        BelowRow{"OneIsAlwaysZero", 1, {0xFFFFFFFF}, 0, 1}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(SystemRandomSource, DrawsEveryNumberBelowNAboutEquallyOften) {
    SystemRandomSource source;
    std::array<int, 6> counts{};
    constexpr int kDraws = 60000;
    for (int i = 0; i < kDraws; ++i) {
        const int v = source.below(6);
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 6);
        ++counts[static_cast<std::size_t>(v)];
    }
    // Expected 10000 each with a deviation of about 90; 1000 is more than ten times that.
    for (const int c : counts)
        EXPECT_NEAR(c, kDraws / 6, 1000);
}

// ---- Random Cipher ----------------------------------------------------------------------------

TEST(RandomSetting, ScriptedDrawsShowTheRejection) {
    Ready r;
    // The card: 0 and numbers already taken are discarded; 31 down to 1 otherwise.
    std::deque<std::int32_t> script{0, 31, 31, 0, 30};
    for (int n = 29; n >= 1; --n) {
        script.push_back(n);
        if (n % 7 == 0)
            script.push_back(31); // taken long ago
    }
    const std::size_t cardDraws = script.size();
    // The discs: 0 and 5 again are discarded.
    for (const int d : {0, 5, 5, 4, 0, 3, 2, 4, 1})
        script.push_back(d);
    ScriptedRandomSource source(script);
    randomSetting(r.m, r.w, r.w, source);

    EXPECT_EQ(source.remaining(), 0u);
    const auto& bounds = source.bounds();
    ASSERT_EQ(bounds.size(), script.size());
    EXPECT_TRUE(std::all_of(bounds.begin(), bounds.begin() + static_cast<long>(cardDraws),
                            [](int n) { return n == 32; }));
    EXPECT_TRUE(std::all_of(bounds.begin() + static_cast<long>(cardDraws), bounds.end(),
                            [](int n) { return n == 6; }));
    for (int k = 1; k <= 31; ++k)
        EXPECT_EQ(r.w.cardItem(k), 32 - k) << "card selector " << k;
    EXPECT_EQ(discsOf(r.w), (std::array<int, 5>{4, 3, 2, 1, 0}));
}

TEST(RandomSetting, WithdrawsAcceptanceAndLeavesTheMachineAlone) {
    Ready r;
    r.m.setPosition(2, 4);
    r.m.mode = Mode::Decipher;
    r.m.inputText = "IN";
    r.m.outputText = "OUT";
    r.w.showText(Pane::Loaded, "lade");
    const auto panes = r.w.panes;
    const auto key = r.m.key.bytes();
    const auto cardTable = r.m.cardTable;
    const auto cardInverse = r.m.cardTableInverse;
    SystemRandomSource source;
    randomSetting(r.m, r.w, r.w, source);

    EXPECT_EQ(r.m.cardReady, 0);
    EXPECT_EQ(r.m.discReady, 0);
    EXPECT_FALSE(r.w.enabled(Control::SaveCipher));
    EXPECT_FALSE(r.w.enabled(Control::SaveCipherCode));
    EXPECT_FALSE(r.w.enabled(Control::LoadCipherCode));
    EXPECT_FALSE(r.w.enabled(Control::Automatic));
    EXPECT_TRUE(r.w.enabled(Control::CheckCipher));
    EXPECT_TRUE(r.w.enabled(Control::InputPane));
    EXPECT_TRUE(r.w.enabled(Control::OutputPane));
    EXPECT_EQ(r.m.positions[2], 4);
    EXPECT_EQ(r.m.positions[1], 17);
    EXPECT_FALSE(r.m.cipher());
    EXPECT_EQ(r.w.panes, panes);
    EXPECT_EQ(r.m.inputText, "IN");
    EXPECT_EQ(r.m.outputText, "OUT");
    EXPECT_EQ(r.m.key.bytes(), key);
    EXPECT_EQ(r.m.cardTable, cardTable);
    EXPECT_EQ(r.m.cardTableInverse, cardInverse);

    pressKey(r.m, r.w, 18, 'A');
    EXPECT_EQ(r.m.inputText, "IN");
}

TEST(RandomSetting, CheckAcceptsTheDrawAndTheKeysWorkAgain) {
    Ready r;
    SystemRandomSource source;
    randomSetting(r.m, r.w, r.w, source);
    checkSetting(r.m, r.w, r.w);
    EXPECT_EQ(r.w.paneText(Pane::Output), "Cipher-Card o.k !!\r\nCipher-Disc o.k. \r\n");
    EXPECT_TRUE(r.m.ready());
    EXPECT_TRUE(r.w.enabled(Control::Automatic));
    pressKey(r.m, r.w, 18, 'A');
    EXPECT_EQ(r.m.outputText.size(), 1u);
}

TEST(RandomSetting, EveryDrawIsAPermutationAndDrawsDiffer) {
    MachineState m;
    FakeWindow w;
    SystemRandomSource source;
    std::set<std::array<int, 31>> cards;
    std::set<std::array<int, 5>> discOrders;
    constexpr int kPresses = 500;
    for (int press = 0; press < kPresses; ++press) {
        randomSetting(m, w, w, source);
        auto card = cardOf(w);
        cards.insert(card);
        std::sort(card.begin(), card.end());
        for (int k = 1; k <= 31; ++k)
            ASSERT_EQ(card[static_cast<std::size_t>(k - 1)], k) << "press " << press;
        auto discs = discsOf(w);
        discOrders.insert(discs);
        std::sort(discs.begin(), discs.end());
        ASSERT_EQ(discs, (std::array<int, 5>{0, 1, 2, 3, 4})) << "press " << press;
    }
    // 31! cards: a repeat among 500 would mean the draw is not random.
    EXPECT_EQ(cards.size(), static_cast<std::size_t>(kPresses));
    // 120 orders: 500 draws meet nearly all of them (missing more than 20 is next to impossible).
    EXPECT_GT(discOrders.size(), 100u);
}

TEST(ScriptedRandomSource, RefusesNumbersOutOfRangeAndRunningOut) {
    ScriptedRandomSource source({3});
    EXPECT_THROW(source.below(3), std::logic_error);
    EXPECT_EQ(source.below(4), 3);
    EXPECT_THROW(source.below(4), std::logic_error);
}

} // namespace
} // namespace zelmak
