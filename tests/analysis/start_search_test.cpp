#include "analysis/language_model.h"
#include "analysis/start_search.h"
#include "german_messages.h"

#include <gtest/gtest.h>

namespace zelmak::analysis {
namespace {

using testing::KeyedMessage;

class StartSearch : public ::testing::Test {
protected:
    const LanguageModel model = LanguageModel::german();

    static KeyedMessage keyed(std::size_t length, std::uint32_t seed) {
        auto plain = testing::germanSymbols(seed % testing::kGermanMessages.size());
        plain.resize(length);
        return testing::randomlyKeyed(plain, seed);
    }
    static StartQuery queryFor(const KeyedMessage& k) {
        StartQuery q;
        q.message = k.cipher;
        q.card = k.card;
        q.orders = {k.order};
        return q;
    }
};

// Slots 1 and 2 known keep the search small; the true start must come first among the 961
// others, scored as the whole message it reads.
TEST_F(StartSearch, ranks_the_true_start_first) {
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        const KeyedMessage k = keyed(80, seed);
        StartQuery q = queryFor(k);
        q.known = {k.start[0], k.start[1], -1, -1, -1};
        const SearchResult r = startSearch(q, model, {});
        ASSERT_FALSE(r.candidates.empty());
        const Candidate& best = r.candidates.front();
        EXPECT_EQ(best.start, k.start) << positionsText(best.start);
        EXPECT_EQ(best.order, k.order);
        EXPECT_EQ(best.card, k.card);
        EXPECT_EQ(best.offset, 0);
        EXPECT_EQ(r.hypotheses, 31u * 31u * 31u);
        EXPECT_DOUBLE_EQ(best.score, model.score(k.plain));
        EXPECT_FALSE(r.stopped);
    }
}

TEST_F(StartSearch, finds_the_order_among_several) {
    const KeyedMessage k = keyed(60, 4);
    StartQuery q = queryFor(k);
    q.orders = {DiscOrder{5, 4, 3, 2, 1}, k.order, DiscOrder{2, 1, 3, 5, 4}};
    q.known = {k.start[0], k.start[1], k.start[2], -1, -1};
    q.top = 3;
    const SearchResult r = startSearch(q, model, {});
    ASSERT_FALSE(r.candidates.empty());
    EXPECT_EQ(r.candidates.front().order, k.order);
    EXPECT_EQ(r.candidates.front().start, k.start);
    EXPECT_EQ(r.hypotheses, 3u * 961u);
}

TEST_F(StartSearch, stops_when_asked) {
    const KeyedMessage k = keyed(60, 5);
    std::stop_source stop;
    stop.request_stop();
    RunOptions options;
    options.stop = stop.get_token();
    const SearchResult r = startSearch(queryFor(k), model, options);
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(r.hypotheses, 0u);
}

TEST_F(StartSearch, refuses_what_cannot_be_searched) {
    const KeyedMessage k = keyed(40, 6);
    const auto refused = [&](auto change) {
        StartQuery q = queryFor(k);
        change(q);
        EXPECT_THROW(startSearch(q, model, {}), InputError);
    };
    refused([](StartQuery& q) { q.message.clear(); });
    refused([](StartQuery& q) { q.card[3] = kNoSymbol; });
    refused([](StartQuery& q) { q.card[3] = q.card[4]; });
    refused([](StartQuery& q) { q.top = 0; });
    refused([](StartQuery& q) { q.known[2] = 31; });
}

} // namespace
} // namespace zelmak::analysis
