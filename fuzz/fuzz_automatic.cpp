// Any bytes as a loaded text: into lade (from a file through "Loade CipherCode", or typed),
// then "Automatic" with a setting drawn from the first bytes of the input, and back again in
// the other mode from the same start, all through the session.

#include "files/text_files.h"
#include "fuzz_support.h"
#include "machine/key_alphabet.h"
#include "session_steps.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <string>
#include <utility>

namespace zelmak {
namespace {

using fuzz::expect;
using test::SessionRig;

struct Setting {
    std::array<int, 31> card{};
    std::array<int, 5> discs{};
    std::array<int, 5> start{};
    bool cipher = true;
    bool throughFile = true;
};

// A valid card and disc order, shuffled by the input's bytes, and any start positions.
Setting drawSetting(fuzz::ByteReader& in) {
    Setting s;
    std::iota(s.card.begin(), s.card.end(), 1);
    for (std::size_t i = s.card.size() - 1; i > 0; --i)
        std::swap(s.card[i], s.card[in.next() % (i + 1)]);
    std::iota(s.discs.begin(), s.discs.end(), 0);
    for (std::size_t i = s.discs.size() - 1; i > 0; --i)
        std::swap(s.discs[i], s.discs[in.next() % (i + 1)]);
    for (int& p : s.start)
        p = in.next() % kSymbolCount;
    const std::uint8_t flags = in.next();
    s.cipher = (flags & 1) == 0;
    s.throughFile = (flags & 2) == 0;
    return s;
}

// Line breaks of any kind become CR LF, and nothing else of the text changes.
void expectCrLf(std::string_view raw, std::string_view loaded) {
    std::string rawRest;
    std::size_t rawBreaks = 0;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' || raw[i] == '\n') {
            ++rawBreaks;
            if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n')
                ++i;
        } else {
            rawRest.push_back(raw[i]);
        }
    }
    std::string loadedRest;
    std::size_t loadedBreaks = 0;
    for (std::size_t i = 0; i < loaded.size(); ++i) {
        if (loaded[i] == '\r') {
            expect(i + 1 < loaded.size() && loaded[i + 1] == '\n', "a lone CR stayed in lade");
            ++loadedBreaks;
            ++i;
        } else {
            expect(loaded[i] != '\n', "a lone LF stayed in lade");
            loadedRest.push_back(loaded[i]);
        }
    }
    expect(loadedBreaks == rawBreaks, "loading changed the number of line breaks");
    expect(loadedRest == rawRest, "loading changed a character that is no line break");
}

// What a text keys into InputText: a..z upper-cased, a space as "_", no key skipped.
std::string expectedInput(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const int index = fuzz::keyedIndex(c);
        if (index == 0)
            continue;
        out.push_back(c == ' ' || c == '_' ? '_' : keySymbol(index));
    }
    return out;
}

int stepped(int start, std::size_t keys, int direction) {
    const auto n = static_cast<int>(keys % kSymbolCount);
    return ((start + direction * n) % kSymbolCount + kSymbolCount) % kSymbolCount;
}

void expectRun(const SessionRig& rig, const std::string& expectedIn, bool cipher) {
    const MachineState& m = rig.machine();
    expect(m.inputText == expectedIn, "InputText is not the keyed text");
    expect(m.outputText.size() == m.inputText.size(), "InputText and OutputText differ in length");
    expect(fuzz::onlyOutputSymbols(m.outputText, cipher), "OutputText holds a foreign symbol");
    expect(rig.pane(Pane::Input) == m.inputText, "Eingabe does not show InputText");
    expect(rig.pane(Pane::Output) == m.outputText, "Ausgabe does not show OutputText");
    expect(rig.view.errors.empty(), "a run with an accepted setting reported an error");
}

} // namespace
} // namespace zelmak

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zelmak;
    fuzz::ByteReader in(fuzz::bytesOf(data, size));
    const Setting s = drawSetting(in);
    const std::string_view raw = in.rest();

    // The setting drawn into the selectors by "Random Cipher", then accepted by the check.
    SessionRig rig;
    KeyRecordBytes record{};
    std::copy(s.card.begin(), s.card.end(), record.begin());
    std::copy(s.discs.begin(), s.discs.end(), record.begin() + kCardBytes);
    test::drawSetting(rig, record);
    rig.session.checkCipher();
    const MachineState& m = rig.machine();
    expect(m.ready(), "a valid card and disc order was not accepted");

    if (s.throughFile) {
        const std::string path = fuzz::scratchFile("input.cif");
        fuzz::writeFile(path, raw);
        rig.view.openAnswers.push_back(path);
        rig.session.loadCipherCode();
    } else {
        test::typeInto(rig, Pane::Loaded, withCrLf(raw));
    }
    const std::string loaded = rig.pane(Pane::Loaded);
    expectCrLf(raw, loaded);

    const auto startFrom = [&](bool cipher) {
        if (cipher)
            rig.session.selectCipher();
        else
            rig.session.selectDecipher();
        for (int slot = 1; slot <= 5; ++slot)
            rig.session.pickPosition(slot, s.start[static_cast<std::size_t>(slot - 1)]);
    };
    startFrom(s.cipher);
    rig.session.automatic();
    const std::string expectedIn = expectedInput(loaded);
    expectRun(rig, expectedIn, s.cipher);
    const std::size_t keys = expectedIn.size();
    expect(m.positions[1] == stepped(s.start[0], keys, 1), "slot 1 did not step once per key");
    expect(m.positions[2] == stepped(s.start[1], keys, -1), "slot 2 did not step once per key");
    const Positions end = m.positions;

    // The other mode from the same start gives the keyed text back.
    const std::string firstOut = m.outputText;
    test::typeInto(rig, Pane::Loaded, firstOut);
    startFrom(!s.cipher);
    rig.session.automatic();
    expectRun(rig, firstOut, !s.cipher);
    expect(m.outputText == fuzz::keyedSymbols(loaded, !s.cipher),
           "the other mode did not give the text back");
    expect(m.positions == end, "the way back left the discs elsewhere");
    return 0;
}
