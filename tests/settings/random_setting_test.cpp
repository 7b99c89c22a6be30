#include "doubles.h"
#include "settings/random_setting.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace zelmak {
namespace {

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

// ---- The draw of "Random Cipher" --------------------------------------------------------------

TEST(DrawRecord, DiscardsZeroAndNumbersAlreadyTaken) {
    // The card: 0 and numbers already taken are discarded; 31 down to 1 otherwise.
    std::deque<std::int32_t> script{0, 31, 31, 0, 30};
    for (int n = 29; n >= 1; --n) {
        script.push_back(n);
        if (n % 7 == 0)
            script.push_back(31); // taken long ago
    }
    const auto cardDraws = static_cast<long>(script.size());
    // The discs: 0 and 5 again are discarded; drawn number n is disc n, at item n - 1.
    for (const int d : {0, 5, 5, 4, 0, 3, 2, 4, 1})
        script.push_back(d);
    ScriptedRandomSource source(script);
    const KeyRecordBytes record = drawRecord(source);

    EXPECT_EQ(source.remaining(), 0u);
    const auto& bounds = source.bounds();
    ASSERT_EQ(bounds.size(), script.size());
    EXPECT_TRUE(
        std::all_of(bounds.begin(), bounds.begin() + cardDraws, [](int n) { return n == 32; }));
    EXPECT_TRUE(
        std::all_of(bounds.begin() + cardDraws, bounds.end(), [](int n) { return n == 6; }));
    for (std::size_t k = 0; k < kCardBytes; ++k)
        EXPECT_EQ(record[k], static_cast<Byte>(31 - k)) << "card entry " << k + 1;
    EXPECT_EQ((std::array<int, 5>{record[31], record[32], record[33], record[34], record[35]}),
              (std::array<int, 5>{4, 3, 2, 1, 0}));
}

TEST(DrawRecord, EveryDrawIsAPermutationAndDrawsDiffer) {
    SystemRandomSource source;
    std::set<KeyRecordBytes> records;
    std::set<std::vector<Byte>> discOrders;
    constexpr int kPresses = 500;
    for (int press = 0; press < kPresses; ++press) {
        KeyRecordBytes record = drawRecord(source);
        records.insert(record);
        discOrders.emplace(record.begin() + kCardBytes, record.end());
        std::sort(record.begin(), record.begin() + kCardBytes);
        std::sort(record.begin() + kCardBytes, record.end());
        for (std::size_t k = 0; k < kCardBytes; ++k)
            ASSERT_EQ(record[k], static_cast<Byte>(k + 1)) << "press " << press;
        for (std::size_t s = 0; s < 5; ++s)
            ASSERT_EQ(record[kCardBytes + s], static_cast<Byte>(s)) << "press " << press;
    }
    // 31! cards: a repeat among 500 would mean the draw is not random.
    EXPECT_EQ(records.size(), static_cast<std::size_t>(kPresses));
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
