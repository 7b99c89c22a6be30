// Figures for the largest texts "Loade CipherCode" takes (16 MiB): ordinary text, line feeds
// only, and one long line, each loaded into a pane set up as the loaded-text pane lade, from the
// file's bytes (made CR LF as the load does) until the pane has been painted. Each text loads in a
// process of its own, so that its peak memory is its own. Prints milliseconds and megabytes.
// usage: zelmak_load_bench [MiB]   (16 by default)
#include "files/text_files.h"
#include "ui/run_pane.h"

#include "bench_support.h"

#include <QApplication>
#include <QElapsedTimer>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>

namespace {

using zelmak::bench::cpuMs;
using zelmak::bench::peakMiB;

// Words and blanks; a CR LF about every lineLength bytes (0: one line), or only blanks-free
// machine symbols when words is false.
std::string text(std::size_t size, std::size_t lineLength, bool words) {
    static const char* const kWords[] = {"der",  "Schl\xfcssel", "wird",    "t\xe4glich", "and",
                                         "the",  "machine",      "keeps",   "its",        "discs",
                                         "o.k.", "Cipher-Card",  "in",      "a",          "letter",
                                         "aus",  "1945",         "K\xf6ln,"};
    static const char kSymbols[] = "I23456789QERTZUOPASDFGHMKLYCVBN_";
    std::mt19937 random(7);
    std::string out;
    out.reserve(size + 16);
    if (!words) {
        while (out.size() < size)
            out.push_back(kSymbols[random() % 32]);
        return out;
    }
    std::size_t lineStart = 0;
    while (out.size() < size) {
        if (lineLength > 0 && out.size() - lineStart >= lineLength) {
            out += "\r\n";
            lineStart = out.size();
        } else if (out.size() > lineStart) {
            out += ' ';
        }
        out += kWords[random() % std::size(kWords)];
    }
    out.resize(size);
    return out;
}

int load(int argc, char** argv, const char* name, const std::string& bytes) {
    QApplication app(argc, argv);
    zelmak::RunPane pane;
    pane.setWrapAtBlanks(true);
    pane.setGeometry(8, 400, 481, 97);
    pane.appendLine("Load");
    pane.show();
    QApplication::processEvents();
    const double before = peakMiB();

    QElapsedTimer wall;
    const double cpu = cpuMs();
    wall.start();
    const std::string loaded = zelmak::withCrLf(bytes);
    const double crLf = static_cast<double>(wall.nsecsElapsed()) / 1e6;
    pane.showText(loaded);
    const double set = static_cast<double>(wall.nsecsElapsed()) / 1e6;
    QApplication::processEvents();
    pane.grab();
    const double shown = static_cast<double>(wall.nsecsElapsed()) / 1e6;
    const double cpuUsed = cpuMs() - cpu;

    const bool exact = pane.text8() == loaded;
    std::printf("%-36s %6.0f ms until shown (CR LF made at %.0f ms, showText done at %.0f ms; "
                "cpu %.0f ms), peak %4.0f MiB (%.0f MiB before), %d blocks, text8 %s\n",
                name, shown, crLf, set, cpuUsed, peakMiB(), before, pane.document()->blockCount(),
                exact ? "exact" : "WRONG");
    return exact ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 16;
    const std::size_t size = mib << 20;
    struct Case {
        const char* name;
        std::size_t lineLength;
        bool words;
        bool lineFeeds;
    };
    const Case cases[] = {{"ordinary text, CR LF every ~70 bytes", 70, true, false},
                          {"line feeds only", 0, false, true},
                          {"one long line of words", 0, true, false},
                          {"one long line of cipher symbols", 0, false, false}};
    std::printf("%zu MiB loaded into lade (481 x 97, cut at blanks):\n", mib);
    std::fflush(stdout);
    return zelmak::bench::runEachInChild(cases, [&](const Case& c) {
        const std::string bytes =
            c.lineFeeds ? std::string(size, '\n') : text(size, c.lineLength, c.words);
        return load(argc, argv, c.name, bytes);
    });
}
