// Any bytes as a key file: "Load Cipher" through the session, then the setting check on what it
// put into the selectors, and, for an accepted setting, a few keys there and back.

#include "fuzz_support.h"
#include "machine/key_alphabet.h"
#include "session_rig.h"
#include "settings/settings.h"

#include <algorithm>
#include <array>
#include <string>

namespace zelmak {
namespace {

using fuzz::expect;
using test::SessionRig;

constexpr std::size_t kMaxKeys = 24;

bool isPermutation(const KeyRecordBytes& record) {
    std::array<bool, 32> used{};
    for (std::size_t k = 0; k < kCardBytes; ++k) {
        const Byte b = record[k];
        if (b < 1 || b > 31 || used[b])
            return false;
        used[b] = true;
    }
    return true;
}

bool discsDistinct(const KeyRecordBytes& record) {
    for (std::size_t a = kCardBytes; a < kKeyRecordSize; ++a)
        for (std::size_t b = a + 1; b < kKeyRecordSize; ++b)
            if (record[a] == record[b])
                return false;
    return true;
}

void expectLoaded(const SessionRig& rig, const KeyRecordBytes& record) {
    const FakeView& w = rig.view;
    for (int k = 1; k <= 31; ++k) {
        const Byte b = record[static_cast<std::size_t>(k - 1)];
        expect(w.shownDraft.cardItem(k) == (b <= 31 ? b : -1),
               "a card selector does not show its byte of the key file");
    }
    for (int s = 1; s <= 5; ++s) {
        const Byte b = record[static_cast<std::size_t>(30 + s)];
        expect(w.shownDraft.discItem(s) == (b <= 4 ? b : -1),
               "a disc-number selector does not show its byte of the key file");
    }
    const MachineState& m = rig.machine();
    expect(m.key.bytes() == record, "the key setting does not hold the file's first 36 bytes");
    expect(m.cardReady == 0 && m.discReady == 0, "a load left an acceptance flag set");
    expect(w.enabled(Control::CheckCipher), "a load left Check Cipher disabled");
    expect(!w.enabled(Control::SaveCipher), "a load left Save Cipher enabled");
    expect(!w.enabled(Control::Automatic), "a load left Automatic enabled");
    expect(w.errors.empty(), "a load of a whole record reported an error");
}

// The verdict lines and the flags and buttons that go with them.
void expectVerdict(const SessionRig& rig, bool cardOk, bool discsOk) {
    const FakeView& w = rig.view;
    const MachineState& m = rig.machine();
    const std::string& out = w.text(Pane::Output);
    if (!cardOk) {
        expect(out == std::string(kCardRejected) + "\r\n", "wrong lines for a rejected card");
        expect(m.cardReady == 0 && m.discReady == 0, "a rejected card left a flag set");
    } else {
        const std::string expected = std::string(kCardAccepted) + "\r\n" +
                                     (discsOk ? kDiscsAccepted : kDiscsRejected) + "\r\n";
        expect(out == expected, "wrong verdict lines for an accepted card");
        expect(m.cardReady == 1, "an accepted card left CardReady at 0");
        expect(m.discReady == (discsOk ? 1 : 0), "DiscReady does not match the disc verdict");
        for (int s = 1; s <= 5; ++s)
            expect(m.positions[s] == kStartPosition, "the set-up left a disc off A");
    }
    const bool ready = cardOk && discsOk;
    for (const Control c : {Control::SaveCipher, Control::InputPane, Control::OutputPane,
                            Control::SaveCipherCode, Control::LoadCipherCode, Control::Automatic})
        expect(w.enabled(c) == ready, "a button's enabled state does not match the verdict");
    expect(m.ready() == ready, "the acceptance flags do not match the verdict");
}

// Keys typed in Cipher mode from A A A A A, then their output typed in Decipher mode from the
// same start, must give the keys back (the word space as "_").
void keysThereAndBack(SessionRig& rig, std::string_view extra) {
    const MachineState& m = rig.machine();
    std::string typed;
    const std::size_t count = extra.empty() ? 10 : std::min(extra.size(), kMaxKeys);
    for (std::size_t i = 0; i < count; ++i) {
        const auto b = extra.empty() ? static_cast<unsigned char>("HALLO ALLE"[i])
                                     : static_cast<unsigned char>(extra[i]);
        const int index = b % kSymbolCount + 1;
        char letter = keySymbol(index);
        if (index == kWordSpaceIndex && (b & 0x80) != 0)
            letter = '_'; // the space bar rather than the Y key
        typed.push_back(letter);
        rig.session.pressKey(letter);
    }
    expect(m.inputText == typed, "InputText does not hold the keys typed");
    expect(m.outputText.size() == typed.size(), "not one output symbol per key");
    expect(fuzz::onlyOutputSymbols(m.outputText, true), "Cipher mode gave a symbol not its own");
    expect(rig.pane(Pane::Output) == m.outputText, "Ausgabe does not show OutputText");

    const std::string cipherText = m.outputText;
    rig.session.selectDecipher();
    for (int s = 1; s <= 5; ++s)
        rig.session.pickPosition(s, kStartPosition);
    rig.session.clearAll();
    for (const char c : cipherText)
        rig.session.pressKey(c);
    std::string expected = typed;
    std::replace(expected.begin(), expected.end(), 'Y', '_');
    expect(m.outputText == expected, "deciphering did not give the keys back");
}

} // namespace
} // namespace zelmak

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zelmak;
    const std::string_view bytes = fuzz::bytesOf(data, size);
    const std::string path = fuzz::scratchFile("input.key");
    fuzz::writeFile(path, bytes);

    // The window as after start-up: the service setting accepted.
    SessionRig rig;
    const test::Snapshot before = test::snapshotOf(rig);

    rig.view.openAnswers.push_back(path);
    rig.session.loadCipher();
    if (size < kKeyRecordSize) {
        expect(rig.view.errors == std::vector<std::string>{"Lesen nach Dateiende (EOF)."},
               "a short key file gave the wrong error");
        expect(test::snapshotOf(rig) == before, "a failed load changed the window or the state");
        return 0;
    }
    KeyRecordBytes record{};
    std::copy_n(data, kKeyRecordSize, record.begin());
    expectLoaded(rig, record);

    const bool blankCard =
        std::any_of(record.begin(), record.begin() + kCardBytes, [](Byte b) { return b > 31; });
    const bool blankDisc =
        std::any_of(record.begin() + kCardBytes, record.end(), [](Byte b) { return b > 4; });
    const bool cardOk = isPermutation(record);
    const bool discsOk = !blankDisc && discsDistinct(record);
    rig.session.checkCipher();
    if (!rig.view.errors.empty()) {
        expect(rig.view.errors == std::vector<std::string>{"Bereichsüberschreitung."},
               "wrong range error text");
        // The check stops at a blank card selector; with an accepted card the set-up stops at
        // a blank disc-number selector.
        expect(blankCard || (cardOk && blankDisc), "the check raised the range error needlessly");
        return 0;
    }
    expect(!blankCard && !(cardOk && blankDisc), "a blank selector passed the check");
    expectVerdict(rig, cardOk, discsOk);
    if (rig.machine().ready())
        keysThereAndBack(rig, bytes.substr(kKeyRecordSize));
    return 0;
}
