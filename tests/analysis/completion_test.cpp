#include "analysis/completion.h"
#include "analysis/language_model.h"
#include "german_messages.h"

#include <gtest/gtest.h>

namespace zelmak::analysis {
namespace {

class Completion : public ::testing::TestWithParam<std::uint32_t> {
protected:
    const LanguageModel model = LanguageModel::german();
};

// The entries a 30-symbol crib fixes and the whole message leave the rest of the card to the
// language score; the fixed entries must stay as they were.
TEST_P(Completion, finds_the_card_a_crib_leaves_open) {
    const std::uint32_t seed = GetParam();
    const auto k = testing::randomlyKeyed(
        testing::germanSymbols(seed % testing::kGermanMessages.size()), seed);
    Candidate c{0, k.order, k.start, testing::cardFixedByCrib(k, 30), 0};
    ASSERT_LT(c.fixed(), kSymbolCount - 3);
    const Candidate done = completeCard(k.cipher, c, model, {});
    EXPECT_EQ(cardText(done.card), cardText(k.card)) << "from " << cardText(c.card);
    EXPECT_EQ(done.start, k.start);
    EXPECT_DOUBLE_EQ(done.score, model.score(k.plain));
    // The same seed, the same card, whatever the threads.
    RunOptions one;
    one.threads = 1;
    EXPECT_EQ(completeCard(k.cipher, c, model, one).card, done.card);
}

INSTANTIATE_TEST_SUITE_P(Settings, Completion, ::testing::Values(21u, 22u, 23u));

TEST(CompletionStopped, still_gives_a_whole_card_that_keeps_the_fixed_entries) {
    const auto k = testing::randomlyKeyed(testing::germanSymbols(0), 9);
    const Candidate c{0, k.order, k.start, testing::cardFixedByCrib(k, 20), 0};
    std::stop_source stop;
    stop.request_stop();
    RunOptions options;
    options.stop = stop.get_token();
    const Candidate done = completeCard(k.cipher, c, LanguageModel::german(), options);
    EXPECT_EQ(done.fixed(), kSymbolCount);
    EXPECT_TRUE(cardConsistent(done.card));
    for (std::size_t s = 0; s < kSymbolCount; ++s)
        if (c.card[s] != kNoSymbol) {
            EXPECT_EQ(done.card[s], c.card[s]);
        }
}

} // namespace
} // namespace zelmak::analysis
