#include "analysis/language_model.h"
#include "german_messages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace zelmak::analysis {
namespace {

using testing::germanSymbols;

class GermanModel : public ::testing::Test {
protected:
    static const LanguageModel& model() {
        static const LanguageModel german = LanguageModel::german();
        return german;
    }
};

// Every context is a distribution over the 31 symbols, none of them impossible: an unseen
// trigram must not sink a whole decipher to minus infinity.
TEST_F(GermanModel, every_context_sums_to_one_without_impossible_symbols) {
    for (Symbol a = 0; a < kSymbolCount; ++a)
        for (Symbol b = 0; b < kSymbolCount; ++b) {
            double sum = 0;
            for (Symbol c = 0; c < kSymbolCount; ++c) {
                ASSERT_TRUE(std::isfinite(model().logProb(a, b, c)));
                sum += std::exp(model().logProb(a, b, c));
            }
            ASSERT_NEAR(sum, 1.0, 1e-4) << int(a) << " " << int(b);
        }
}

TEST_F(GermanModel, scores_german_of_its_own_above_random_text) {
    EXPECT_GT(model().sampleMean(), model().randomMean() + 2.0);
    std::mt19937 random(5);
    for (std::size_t m = 0; m < testing::kGermanMessages.size(); ++m) {
        const auto text = germanSymbols(m);
        std::vector<Symbol> noise(text.size());
        for (auto& s : noise)
            s = static_cast<Symbol>(random() % kSymbolCount);
        EXPECT_GT(model().score(text), model().sampleMean() - 0.5);
        EXPECT_LT(model().score(noise), model().randomMean() + 1.0);
    }
    // The word space and E lead German.
    const auto& f = model().frequencies();
    const auto e = static_cast<std::size_t>(*symbolIndex('E') - 1);
    for (std::size_t s = 0; s < kSymbolCount; ++s)
        if (s != kWordSpace && s != e) {
            EXPECT_GT(f[e], f[s]) << keySymbol(static_cast<int>(s) + 1);
        }
}

TEST_F(GermanModel, scores_only_trigrams_of_known_symbols) {
    EXPECT_EQ(model().score({}), LanguageModel::kNoScore);
    EXPECT_EQ(model().score(readCrib("DE")), LanguageModel::kNoScore);
    auto text = readCrib("DER_H");
    text[3] = kNoSymbol; // leaves D E R the only trigram of three known symbols
    EXPECT_DOUBLE_EQ(model().score(text), model().score(readCrib("DER")));
}

TEST(LanguageSample, learns_alike_from_utf8_and_latin1_and_refuses_a_tiny_sample) {
    std::string utf8, latin1;
    for (int i = 0; i < 40; ++i) {
        utf8 += "Die K\xc3\xb6nigin \xc3\xbc"
                "bergibt dem B\xc3\xa4"
                "cker Gr\xc3\xbc\xc3\x9f"
                "e. ";
        latin1 += "Die K\xf6nigin \xfc"
                  "bergibt dem B\xe4"
                  "cker Gr\xfc\xdf"
                  "e. ";
    }
    const LanguageModel a = LanguageModel::fromSample(utf8);
    const LanguageModel b = LanguageModel::fromSample(latin1);
    EXPECT_EQ(std::vector<float>(a.trigrams(), a.trigrams() + 32 * 32 * 32),
              std::vector<float>(b.trigrams(), b.trigrams() + 32 * 32 * 32));
    EXPECT_GT(a.score(readCrib("DIE KOENIGIN")), a.score(readCrib("QZV8 PFKML3T")));
    EXPECT_THROW(LanguageModel::fromSample("Nur ein kurzer Satz."), InputError);
    EXPECT_THROW(LanguageModel::fromSample(std::string(5000, '!')), InputError);
}

struct StatisticsRow {
    const char* name;
    const char* text;
    std::uint64_t total;
    std::uint64_t as;
    double ioc;
};

void PrintTo(const StatisticsRow& row, std::ostream* os) {
    *os << row.name;
}

class Statistics : public ::testing::TestWithParam<StatisticsRow> {};

TEST_P(Statistics, counts_and_index_of_coincidence) {
    const StatisticsRow& row = GetParam();
    const LanguageModel model = LanguageModel::german();
    const auto text = readCrib(row.text);
    const TextStatistics s = statisticsOf(text, model);
    EXPECT_EQ(s.total, row.total);
    EXPECT_NEAR(s.indexOfCoincidence, row.ioc, 1e-12);
    EXPECT_EQ(s.score, model.score(text));
    EXPECT_EQ(s.counts[static_cast<std::size_t>(*symbolIndex('A') - 1)], row.as);
}

INSTANTIATE_TEST_SUITE_P(Rows, Statistics,
                         ::testing::Values(StatisticsRow{"empty", "", 0, 0, 0.0},
                                           StatisticsRow{"one", "A", 1, 1, 0.0},
                                           StatisticsRow{"all_alike", "EEEE", 4, 0, 1.0},
                                           StatisticsRow{"all_different", "ABCD", 4, 1, 0.0},
                                           // A: 3, N: 2, B: 1 of 6: (6 + 2) / 30
                                           StatisticsRow{"banana", "BANANA", 6, 3, 8.0 / 30.0}),
                         [](const ::testing::TestParamInfo<StatisticsRow>& row) {
                             return row.param.name;
                         });

} // namespace
} // namespace zelmak::analysis
