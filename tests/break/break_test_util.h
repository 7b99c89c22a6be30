#pragma once

// Running the built zelmak-break on a message keyed by the machine, in the break tool's tests.

#include "keyed_message.h"
#include "process.h"
#include "temp_dir.h"

#include "machine/key_alphabet.h"

#include <string>
#include <unistd.h>
#include <vector>

namespace zelmak::test {

inline ProcessResult breakRun(const std::vector<std::string>& args, const std::string& input = {}) {
    return runProcess(binPath("zelmak-break"), args, input);
}

// As an unprivileged user when the tests run as root, so that a file without permissions
// refuses it.
inline ProcessResult breakUnprivileged(const std::vector<std::string>& args) {
    if (::geteuid() != 0)
        return breakRun(args);
    std::vector<std::string> all{"--reuid=65534", "--regid=65534", "--clear-groups",
                                 binPath("zelmak-break")};
    all.insert(all.end(), args.begin(), args.end());
    return runProcess("/usr/bin/setpriv", all);
}

inline std::string symbolsText(const std::vector<analysis::Symbol>& symbols) {
    std::string text;
    for (const analysis::Symbol s : symbols)
        text += keySymbol(s + 1);
    return text;
}

// Our own German lines, keyed with a fixed setting; the crib stands at kCribAt.
struct Intercept {
    static constexpr const char* kPlain =
        "TREFFEN MORGEN UM ACHT UHR AM ALTEN HAFEN BEIM LEUCHTTURM BRINGEN SIE DIE KARTEN UND "
        "DEN SCHLUESSEL MIT DER KURIER VVARTET AN DER BRUECKE BIS ZUM ABEND";
    static constexpr const char* kCrib = "MORGEN UM ACHT UHR AM ALTEN HAFEN";
    static constexpr int kCribAt = 8;
    static constexpr const char* kOrder = "25314";

    Intercept() {
        for (std::size_t k = 0; k < card.size(); ++k)
            card[k] = static_cast<analysis::Symbol>((k * 7 + 3) % kSymbolCount);
        keyed = testing::keyedByMachine(analysis::readCrib(kPlain), card,
                                        *analysis::parseDiscOrder(kOrder), start);
        writeFile(cif(), symbolsText(keyed));
        const KeyRecordBytes record =
            analysis::keyRecordOf(card, *analysis::parseDiscOrder(kOrder));
        writeFile(key(), std::string(record.begin(), record.end()));
    }
    std::string cif() const { return dir.file("intercept.cif"); }
    std::string key() const { return dir.file("day.key"); }

    TempDir dir;
    analysis::Card card{};
    analysis::DiscPositions start{10, 0, 9, 24, 5};
    std::vector<analysis::Symbol> keyed;
};

} // namespace zelmak::test
