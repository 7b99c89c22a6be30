// The start search and card completion on German messages keyed by the machine; prints figures.
//   zelmak_analysis_bench [threads]
// Start search: a 150-symbol message, card and disc order known, all 31^5 starts; the time and
// the true start's rank. Completion: ten random settings of 250-350 symbol messages, the card
// entries a 30-symbol crib at offset 0 fixes; the share of the message read back.

#include "analysis/completion.h"
#include "analysis/language_model.h"
#include "analysis/start_search.h"
#include "german_messages.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

using namespace zelmak;
using namespace zelmak::analysis;

namespace {

void startSearchFigures(const LanguageModel& model, unsigned threads) {
    std::vector<Symbol> plain = testing::germanSymbols(2);
    plain.resize(150);
    const auto k = testing::randomlyKeyed(plain, 11);
    StartQuery query;
    query.message = k.cipher;
    query.card = k.card;
    query.orders = {k.order};
    query.top = 10;
    RunOptions options;
    options.threads = threads;
    const SearchResult r = startSearch(query, model, options);
    int rank = 0;
    for (std::size_t i = 0; i < r.candidates.size(); ++i)
        if (r.candidates[i].start == k.start)
            rank = static_cast<int>(i) + 1;
    std::printf("start search, 150 symbols, %u thread(s): %.2f s for %llu starts (%.1f M/s), "
                "true start ranked %d (0: not in the top 10), score %.3f vs next %.3f\n",
                threadsFor(options), r.seconds, static_cast<unsigned long long>(r.hypotheses),
                static_cast<double>(r.hypotheses) / r.seconds / 1e6, rank,
                r.candidates.empty() ? 0.0 : r.candidates[0].score,
                r.candidates.size() > 1 ? r.candidates[1].score : 0.0);
}

void completionFigures(const LanguageModel& model, unsigned threads) {
    int met = 0;
    double seconds = 0;
    for (std::uint32_t trial = 0; trial < 10; ++trial) {
        const std::size_t which = trial % testing::kGermanMessages.size();
        const auto k = testing::randomlyKeyed(testing::germanSymbols(which), 100 + trial);
        Candidate c;
        c.order = k.order;
        c.start = k.start;
        c.card = testing::cardFixedByCrib(k, 30);
        RunOptions options;
        options.threads = threads;
        const auto began = std::chrono::steady_clock::now();
        const Candidate done = completeCard(k.cipher, c, model, options);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        const auto read = decipherSymbols(k.cipher, DiscMaps(k.order), done);
        std::size_t right = 0;
        for (std::size_t i = 0; i < read.size(); ++i)
            right += read[i] == k.plain[i] ? 1 : 0;
        const double share = static_cast<double>(right) / static_cast<double>(read.size());
        met += share >= 0.95 ? 1 : 0;
        std::printf("completion, message %zu (%zu symbols), %d entries fixed: %.1f %% read, "
                    "card %s\n",
                    which, read.size(), cardFixed(c.card), 100.0 * share,
                    done.card == k.card ? "right" : "wrong");
    }
    std::printf("completion: %d of 10 settings read to at least 95 %%, %.2f s each\n", met,
                seconds / 10);
}

} // namespace

int main(int argc, char** argv) {
    const unsigned threads = argc > 1 ? static_cast<unsigned>(std::atoi(argv[1])) : 0;
    const LanguageModel model = LanguageModel::german();
    startSearchFigures(model, threads);
    completionFigures(model, threads);
    return 0;
}
