#include "analysis/crib_plan.h"
#include "analysis/crib_search.h"
#include "analysis/language_model.h"
#include "keyed_message.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace zelmak::analysis {
namespace {

using testing::KeyedMessage;

// Our own German lines, none from the model's sample.
const char* const kLetter =
    "AM MORGEN DES DRITTEN TAGES ERREICHTE DIE KOLONNE DAS UFER DES FLUSSES UND DER KOMMANDANT "
    "LIESS "
    "DIE BRUECKE SICHERN BEVOR DER NEBEL SICH HOB UND DIE SPAEHER ZURUECKKEHRTEN";

struct Found {
    KeyedMessage keyed;
    SearchResult result;
};

Found searchFor(std::uint32_t seed, int offset, int cribLength, bool allOrders) {
    Found f{testing::randomlyKeyed(readCrib(kLetter), seed), {}};
    CribQuery q;
    q.message = f.keyed.cipher;
    q.crib.assign(f.keyed.plain.begin() + offset, f.keyed.plain.begin() + offset + cribLength);
    q.firstOffset = std::max(0, offset - 2);
    q.lastOffset = offset + 1;
    if (!allOrders)
        q.orders = {f.keyed.order};
    // Known start positions of slots 1 and 2 keep the test small; slots 3 to 5 are searched.
    q.start[0] = f.keyed.start[0];
    q.start[1] = f.keyed.start[1];
    f.result = cribSearch(q, LanguageModel::german(), {});
    return f;
}

void expectTrueSettingFirst(const Found& f, int offset) {
    ASSERT_FALSE(f.result.candidates.empty());
    const Candidate& c = f.result.candidates.front();
    EXPECT_EQ(c.offset, offset);
    EXPECT_EQ(orderText(c.order), orderText(f.keyed.order));
    EXPECT_EQ(positionsText(c.start), positionsText(f.keyed.start));
    for (std::size_t k = 0; k < c.card.size(); ++k) {
        if (c.card[k] != kNoSymbol) {
            EXPECT_EQ(c.card[k], f.keyed.card[k]) << "card entry " << k;
        }
    }
    EXPECT_GE(c.fixed(), 15);
}

class KnownSetting : public ::testing::TestWithParam<std::uint32_t> {};

// The true setting survives the walk wherever the crib stands and whatever the setting; with
// 30 symbols of crib every wrong one of the 4 x 29,791 hypotheses dies.
TEST_P(KnownSetting, is_found_and_nothing_else_survives_a_30_symbol_crib) {
    const int offset = static_cast<int>(GetParam() * 7 % 60);
    const Found f = searchFor(GetParam(), offset, 30, false);
    expectTrueSettingFirst(f, offset);
    EXPECT_EQ(f.result.candidates.size(), 1u);
    EXPECT_EQ(f.result.hypotheses, 4u * 29791u);
}
INSTANTIATE_TEST_SUITE_P(Seeds, KnownSetting, ::testing::Range(1u, 9u));

// Short cribs let wrong settings through; the estimate made before the search says how many.
TEST(CribSearch, the_estimate_foretells_the_survivors_of_a_short_crib) {
    for (const int length : {18, 22}) {
        const Found f = searchFor(9, 30, length, false);
        CribQuery q;
        q.message = f.keyed.cipher;
        q.crib.assign(f.keyed.plain.begin() + 30, f.keyed.plain.begin() + 30 + length);
        q.firstOffset = 28;
        q.lastOffset = 31;
        q.orders = {f.keyed.order};
        q.start[0] = f.keyed.start[0];
        q.start[1] = f.keyed.start[1];
        const double expected = cribFacts(q).falseSurvivors;
        EXPECT_GT(static_cast<double>(f.result.survivors), expected / 2) << length;
        EXPECT_LT(static_cast<double>(f.result.survivors), expected * 2 + 3) << length;
    }
}

TEST(CribSearch, every_disc_order_is_searched_when_none_is_given) {
    const Found f = searchFor(11, 40, 30, true);
    expectTrueSettingFirst(f, 40);
    EXPECT_EQ(f.result.hypotheses, 120u * 4u * 29791u);
}

// Every vector unit walks alike; the plain walk is the reference.
TEST(CribSearch, each_kernel_finds_the_same) {
    const char* before = std::getenv("ZELMAK_BREAK_KERNEL");
    std::vector<std::string> found;
    for (const char* kernel : {"plain", "avx2", "best"}) {
        setenv("ZELMAK_BREAK_KERNEL", kernel, 1);
        const Found f = searchFor(5, 10, 18, false); // short: many survive the walk
        std::string all = cribKernelName();
        all.clear();
        for (const Candidate& c : f.result.candidates)
            all += std::to_string(c.offset) + positionsText(c.start) + cardText(c.card) + "\n";
        found.push_back(all);
    }
    if (before != nullptr)
        setenv("ZELMAK_BREAK_KERNEL", before, 1);
    else
        unsetenv("ZELMAK_BREAK_KERNEL");
    EXPECT_EQ(found[0], found[1]);
    EXPECT_EQ(found[0], found[2]);
}

TEST(CribSearch, a_known_card_and_known_start_positions_restrict_the_candidates) {
    const KeyedMessage k = testing::randomlyKeyed(readCrib(kLetter), 21);
    CribQuery q;
    q.message = k.cipher;
    q.crib.assign(k.plain.begin(), k.plain.begin() + 12);
    q.orders = {k.order};
    q.start = {k.start[0], k.start[1], -1, -1, k.start[4]};
    q.card = k.card;
    const SearchResult r = cribSearch(q, LanguageModel::german(), {});
    ASSERT_FALSE(r.candidates.empty());
    for (const Candidate& c : r.candidates) {
        EXPECT_EQ(c.card, k.card);
        EXPECT_EQ(c.start[4], k.start[4]);
    }
    EXPECT_EQ(positionsText(r.candidates.front().start), positionsText(k.start));
}

TEST(CribSearch, stops_when_asked_and_tells_its_progress) {
    const KeyedMessage k = testing::randomlyKeyed(readCrib(kLetter), 4);
    CribQuery q;
    q.message = k.cipher;
    q.crib.assign(k.plain.begin(), k.plain.begin() + 30);
    std::stop_source stop;
    RunOptions options;
    options.stop = stop.get_token();
    options.progressEvery = std::chrono::milliseconds(1);
    double fraction = -1;
    options.progress = [&](const Progress& p) {
        fraction = p.fraction();
        stop.request_stop();
    };
    const SearchResult r = cribSearch(q, LanguageModel::german(), options);
    EXPECT_TRUE(r.stopped);
    EXPECT_LT(r.hypotheses, 120u * 961u * 29791u);
    EXPECT_GE(fraction, 0.0);
    EXPECT_LT(fraction, 1.0);
}

struct GraphRow {
    const char* name;
    const char* crib;
    const char* cipher;
    int symbols, parts, loops;
};

class CribGraph : public ::testing::TestWithParam<GraphRow> {};

TEST_P(CribGraph, counts_symbols_parts_and_loops) {
    const GraphRow& row = GetParam();
    const CribPlan plan = planCrib(readCrib(row.crib), readMessage(row.cipher), 0);
    EXPECT_EQ(plan.symbols(), row.symbols);
    EXPECT_EQ(static_cast<int>(plan.parts.size()), row.parts);
    EXPECT_EQ(plan.loops(), row.loops);
    // The walk sets each symbol of its part once and checks every other pair.
    int sets = 0;
    for (const PlanStep& s : plan.steps)
        sets += !s.check;
    EXPECT_EQ(sets + 1, static_cast<int>(plan.parts.front().symbols.size()));
    EXPECT_EQ(plan.steps.size(), plan.parts.front().pairs.size());
}

INSTANTIATE_TEST_SUITE_P(Rows, CribGraph,
                         ::testing::Values(GraphRow{"chain", "ABC", "BCD", 4, 1, 0},
                                           GraphRow{"repeated_pair", "AAA", "BBB", 2, 1, 2},
                                           GraphRow{"self_pair", "A", "A", 1, 1, 1},
                                           GraphRow{"two_parts", "ABCD", "BAEF", 6, 3, 1},
                                           GraphRow{"triangle", "ABC", "BCA", 3, 1, 1}),
                         [](const auto& row) { return std::string(row.param.name); });

struct BadRow {
    const char* name;
    const char* message;
    const char* crib;
    int first, last;
    std::size_t top;
    const char* says;
};

class BadQuery : public ::testing::TestWithParam<BadRow> {};

TEST_P(BadQuery, is_refused_with_one_line) {
    const BadRow& row = GetParam();
    CribQuery q;
    q.message = readMessage(row.message);
    q.crib = readCrib(row.crib);
    q.firstOffset = row.first;
    q.lastOffset = row.last;
    q.top = row.top;
    try {
        checkQuery(q);
        FAIL() << "accepted";
    } catch (const InputError& e) {
        EXPECT_EQ(std::string(e.what()), row.says);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BadQuery,
    ::testing::Values(
        BadRow{"empty_message", "", "AB", 0, 0, 10, "the message is empty"},
        BadRow{"empty_crib", "ABC", "", 0, 0, 10, "the crib is empty"},
        BadRow{"crib_too_long", "ABC", "ABCD", 0, 0, 10,
               "the crib (4 symbols) is longer than the message (3 symbols)"},
        BadRow{"offset_past_end", "ABCDE", "AB", 2, 4, 10,
               "the offset must lie within 0-3 for a crib of 2 symbols in a message of 5"},
        BadRow{"top_zero", "ABCDE", "AB", 0, 0, 0,
               "the number of candidates to show must be at least 1"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(CribInput, names_what_the_machine_has_no_key_for) {
    EXPECT_EQ(readCrib("ab c_Y"), readCrib("AB_C Y"));
    EXPECT_EQ(readCrib("a b")[1], kWordSpace);
    EXPECT_THROW(readCrib("EIN, ZWEI"), InputError);
    EXPECT_THROW(readCrib("JA"), InputError);
    EXPECT_THROW(readMessage("AB?C"), InputError);
    EXPECT_EQ(readMessage("AB C\r\nY").size(), 4u);
}

} // namespace
} // namespace zelmak::analysis
