// zelmak-break on a message the machine keyed: the setting found and the message read, as lines
// and as JSON; the key file it writes; the ranks of an MPI run give what one process gives.

#include "break_test_util.h"

#include "analysis/candidates.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace zelmak {
namespace {

std::vector<std::string> fields(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

std::vector<std::string> cribAtItsPlace(const test::Intercept& m, std::vector<std::string> more) {
    std::vector<std::string> args{"crib",
                                  "--crib",
                                  test::Intercept::kCrib,
                                  "--at",
                                  std::to_string(test::Intercept::kCribAt),
                                  "--order",
                                  test::Intercept::kOrder};
    args.insert(args.end(), more.begin(), more.end());
    args.push_back(m.cif());
    return args;
}

class Found : public ::testing::Test {
protected:
    test::Intercept m;
    std::string plainShown = analysis::shownText(analysis::readCrib(test::Intercept::kPlain));

    // The card entries a line shows are the true ones, and so is every symbol of its text.
    void expectTrue(const std::string& card, const std::string& text) {
        ASSERT_EQ(card.size(), 31u);
        ASSERT_EQ(text.size(), plainShown.size());
        for (std::size_t k = 0; k < card.size(); ++k) {
            if (card[k] != '.') {
                EXPECT_EQ(card[k], keySymbol(m.card[k] + 1)) << "card entry " << k;
            }
        }
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] != '.') {
                EXPECT_EQ(text[i], plainShown[i]) << "symbol " << i << " of " << text;
            }
        }
    }
};

TEST_F(Found, a_line_with_offset_order_start_card_and_text_after_the_estimate) {
    const test::ProcessResult r = test::breakRun(cribAtItsPlace(m, {"--top", "3"}));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> line = fields(r.out.substr(0, r.out.find('\n')));
    ASSERT_EQ(line.size(), 5u) << r.out;
    EXPECT_EQ(line[0], std::to_string(test::Intercept::kCribAt));
    EXPECT_EQ(line[1], test::Intercept::kOrder);
    EXPECT_EQ(line[2], analysis::positionsText(m.start));
    expectTrue(line[3], line[4]);
    EXPECT_EQ(line[4].substr(test::Intercept::kCribAt, 33), "MORGEN_UM_ACHT_UHR_AM_ALTEN_HAFEN");
    // Standard error is no terminal: the estimate, and no progress.
    EXPECT_EQ(r.err.rfind("The crib joins ", 0), 0u) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
}

TEST_F(Found, json_with_the_names_scripts_rely_on) {
    const test::ProcessResult r = test::breakRun(cribAtItsPlace(m, {"--json", "--top", "2"}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err.rfind("The crib joins ", 0), 0u) << r.err;
    const auto json = nlohmann::ordered_json::parse(r.out);
    std::vector<std::string> names;
    for (const auto& item : json.items())
        names.push_back(item.key());
    EXPECT_EQ(names, (std::vector<std::string>{"candidates", "hypotheses", "seconds"}));
    EXPECT_EQ(json["hypotheses"], 31ull * 31 * 31 * 31 * 31);
    ASSERT_GE(json["candidates"].size(), 1u);
    const auto& best = json["candidates"][0];
    names.clear();
    for (const auto& item : best.items())
        names.push_back(item.key());
    EXPECT_EQ(names, (std::vector<std::string>{"offset", "order", "start", "card", "text", "fixed",
                                               "score"}));
    EXPECT_EQ(best["offset"], test::Intercept::kCribAt);
    EXPECT_EQ(best["order"], test::Intercept::kOrder);
    EXPECT_EQ(best["start"], analysis::positionsText(m.start));
    const std::string card = best["card"];
    expectTrue(card, best["text"]);
    EXPECT_EQ(best["fixed"], 31 - std::count(card.begin(), card.end(), '.'));
    EXPECT_TRUE(best["score"].is_number());
}

TEST_F(Found, nothing_found_is_status_4) {
    const test::ProcessResult r =
        test::breakRun({"crib", "--crib", "VVIR TREFFEN UNS AM NORDTOR UM ZEHN", "--order",
                        test::Intercept::kOrder, "--quiet", m.cif()});
    EXPECT_EQ(r.status, 4);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "zelmak-break: no setting fits\n");
}

// --out-key writes the best setting only with a whole card, and never over a file.
TEST_F(Found, out_key_only_for_a_whole_card_and_only_as_a_new_file) {
    const std::string made = m.dir.file("found.key");
    test::ProcessResult r = test::breakRun(cribAtItsPlace(m, {"--quiet", "--out-key", made}));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out, "");
    EXPECT_EQ(
        r.err.rfind("zelmak-break: no key file written: the best setting's card has only ", 0), 0u)
        << r.err;
    EXPECT_FALSE(std::filesystem::exists(made));

    // With the card of a key file only the positions are searched, and the card is whole.
    std::vector<std::string> withKey{"crib",
                                     "--crib",
                                     test::Intercept::kCrib,
                                     "--at",
                                     std::to_string(test::Intercept::kCribAt),
                                     "--key",
                                     m.key(),
                                     "--quiet",
                                     "--out-key",
                                     made,
                                     m.cif()};
    r = test::breakRun(withKey);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::readFile(made), test::readFile(m.key()));
    EXPECT_EQ(fields(r.out)[3], analysis::cardText(m.card));

    r = test::breakRun(withKey);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "") << "the search ran although the key file could not be written";
    EXPECT_EQ(r.err,
              "zelmak-break: " + made + " exists already; --out-key never replaces a file\n");
}

TEST_F(Found, ctrl_c_stops_the_search_and_shows_what_was_found) {
    // A search of hours, stopped once it has said what it expects.
    const test::ProcessResult r = test::runProcess(
        test::binPath("zelmak-break"),
        {"crib", "--crib", test::Intercept::kCrib, "--at", "0-100", "--json", m.cif()}, {},
        std::chrono::seconds(60), {"expected to survive.", SIGINT});
    EXPECT_EQ(r.status, 130);
    const auto json = nlohmann::json::parse(r.out);
    EXPECT_LT(json["hypotheses"], 101ull * 120 * 31 * 31 * 31 * 31 * 31);
    EXPECT_NE(r.err.find("zelmak-break: stopped after "), std::string::npos) << r.err;
}

TEST_F(Found, two_mpi_ranks_give_what_one_process_gives) {
    const std::vector<std::string> args = cribAtItsPlace(m, {"--json", "--quiet", "--threads=1"});
    test::ProcessResult one = test::breakRun(args);
    ASSERT_EQ(one.status, 0) << one.err;
    std::vector<std::string> mpi{"--oversubscribe", "--allow-run-as-root", "-np", "2"};
    // Under the sanitizers: stacks unwound in full, so that Open MPI's own leaks show the
    // library that tests/lsan.supp names.
    if (const char* asan = std::getenv("ASAN_OPTIONS"))
        mpi.insert(mpi.end(),
                   {"-x", std::string("ASAN_OPTIONS=") + asan + ":fast_unwind_on_malloc=0"});
    mpi.push_back(test::binPath("zelmak-break"));
    mpi.insert(mpi.end(), args.begin(), args.end());
    const test::ProcessResult two = test::runProcess(ZELMAK_MPIEXEC, mpi);
    ASSERT_EQ(two.status, 0) << two.err;
    auto a = nlohmann::ordered_json::parse(one.out);
    auto b = nlohmann::ordered_json::parse(two.out);
    a.erase("seconds");
    b.erase("seconds");
    EXPECT_EQ(a.dump(), b.dump());
}

TEST_F(Found, the_start_search_reads_the_message_with_the_key_file) {
    const test::ProcessResult r =
        test::breakRun({"start", "--key", m.key(), "--top", "1", "--quiet", m.cif()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0 " + std::string(test::Intercept::kOrder) + " " +
                         analysis::positionsText(m.start) + " " + analysis::cardText(m.card) + " " +
                         plainShown + "\n");
}

TEST(Statistics, counts_every_symbol_of_the_message) {
    const test::ProcessResult r = test::breakRun({"stats", "--json"}, "5M5QH AI6Y4\r\n5M5QH");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto json = nlohmann::ordered_json::parse(r.out);
    EXPECT_EQ(json["symbols"], 15);
    EXPECT_EQ(json["counts"]["5"], 4);
    EXPECT_EQ(json["counts"]["Y"], 1);
    EXPECT_EQ(json["counts"].size(), 31u);
    EXPECT_TRUE(json["index_of_coincidence"].is_number());
    EXPECT_TRUE(json["score"].is_number());
}

} // namespace
} // namespace zelmak
