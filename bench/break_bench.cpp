// The crib search: hypotheses a second on each vector unit and thread count, one disc order at a
// known offset, and (with "full") every disc order. Needs both cores free for the two-thread
// figures: run it with nothing else busy.
//   zelmak_break_bench            one order, known offset: 1 and 2 threads, each kernel
//   zelmak_break_bench full       all 120 orders at a known offset, all threads

#include "analysis/crib_search.h"
#include "analysis/language_model.h"
#include "files/text_conversion.h"
#include "keyed_message.h"

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace zelmak;
using namespace zelmak::analysis;

namespace {

const char* const kLetter =
    "DER WETTERBERICHT FUER MORGEN MELDET STARKEN WIND AUS NORDWEST UND REGEN AN DER KUESTE "
    "DIE SCHIFFE BLEIBEN IM HAFEN BIS DER STURM NACHLAESST UND DIE SICHT WIEDER BESSER WIRD "
    "DIE LIEFERUNG DER ERSATZTEILE VERZOEGERT SICH DAHER UM ZWEI TAGE";

void run(const char* label, const CribQuery& q, unsigned threads) {
    RunOptions options;
    options.threads = threads;
    const SearchResult r = cribSearch(q, LanguageModel::german(), options);
    std::printf("%-34s %-10s %u thread(s): %11llu hypotheses in %7.3f s = %6.1f M/s (%.1f M/s a "
                "thread), %zu candidate(s)\n",
                label, cribKernelName(), threads, static_cast<unsigned long long>(r.hypotheses),
                r.seconds, static_cast<double>(r.hypotheses) / r.seconds / 1e6,
                static_cast<double>(r.hypotheses) / r.seconds / 1e6 / threadsFor(options),
                r.candidates.size());
}

} // namespace

int main(int argc, char** argv) {
    const bool full = argc > 1 && std::string(argv[1]) == "full";
    const auto keyed = testing::randomlyKeyed(readCrib(convertForMachine(kLetter).text), 2026);
    CribQuery q;
    q.message = keyed.cipher;
    const int offset = 40;
    q.crib.assign(keyed.plain.begin() + offset, keyed.plain.begin() + offset + 30);
    q.firstOffset = q.lastOffset = offset;
    if (full) {
        run("all 120 orders, 30-symbol crib", q, 0);
        return 0;
    }
    q.orders = {keyed.order};
    for (const char* kernel : {"plain", "avx2", "best"}) {
        setenv("ZELMAK_BREAK_KERNEL", kernel, 1);
        run("one order, 30-symbol crib", q, 1);
    }
    run("one order, 30-symbol crib", q, 2);
    return 0;
}
