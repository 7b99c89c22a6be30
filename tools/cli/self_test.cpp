#include "self_test.h"

#include "machine/key_alphabet.h"
#include "machine/machine.h"
#include "machine/text_feed.h"
#include "settings/settings.h"

namespace zelmak::cli {

namespace {

constexpr const char* kWorked = "design worked example";
constexpr const char* kIndependent = "independent computation";

KeyRecordBytes record(const std::vector<int>& card, const std::vector<int>& discs) {
    KeyRecordBytes bytes{};
    for (std::size_t k = 0; k < kCardBytes; ++k)
        bytes[k] = static_cast<Byte>(card[k]);
    for (std::size_t s = 0; s < 5; ++s)
        bytes[kCardBytes + s] = static_cast<Byte>(discs[s]);
    return bytes;
}

std::vector<int> reversedCard() {
    std::vector<int> card;
    for (int k = 1; k <= kSymbolCount; ++k)
        card.push_back(32 - k);
    return card;
}

const std::vector<int> kMixedCard{11, 15, 30, 10, 6,  31, 21, 14, 7,  27, 20, 12, 9, 28, 3, 17,
                                  24, 19, 23, 8,  18, 29, 26, 2,  22, 5,  13, 25, 4, 16, 1};

std::string positionsOf(const MachineState& m) {
    std::string symbols;
    for (int s = 1; s <= 5; ++s)
        symbols += positionSymbol(m.positions[s]);
    return symbols;
}

} // namespace

const std::vector<KnownAnswer>& knownAnswers() {
    static const std::vector<KnownAnswer> cases = [] {
        const KeyRecordBytes service = serviceRecord();
        const KeyRecordBytes reversed = record(reversedCard(), {4, 3, 2, 1, 0});
        const KeyRecordBytes mixed = record(kMixedCard, {2, 4, 0, 3, 1});
        const KeyRecordBytes stepping = record(kMixedCard, {1, 0, 4, 2, 3});
        const std::string meeting = "TREFFEN UM NEUN UHR AM BAHNHOF";
        const std::string meetingCipher = "RN6C9HKGK2S95TKR7729GLKCYMAPCF";
        const Mode cipher = Mode::Cipher;
        const Mode decipher = Mode::Decipher;
        return std::vector<KnownAnswer>{
            {"service setting, HALLO ALLE ciphered", kWorked, service, "AAAAA", cipher,
             "HALLO ALLE", "5M5QHAI6Y4", "C8SPA"},
            {"service setting, deciphered back", kWorked, service, "AAAAA", decipher, "5M5QHAI6Y4",
             "HALLO_ALLE", "C8SPA"},
            {"service setting, check value", kIndependent, service, "AAAAA", cipher, "", "MM7D2",
             "AAAAA"},
            {"reversed card, discs 5 4 3 2 1, HALLO ALLE ciphered", kIndependent, reversed, "AAAAA",
             cipher, "HALLO ALLE", "NTSL7FRI4Y", "C8DPA"},
            {"reversed card, discs 5 4 3 2 1, check value", kIndependent, reversed, "AAAAA", cipher,
             "", "RTD4T", "AAAAA"},
            {"mixed card, discs 3 5 1 4 2 from Q7ZN2, ciphered", kIndependent, mixed, "Q7ZN2",
             cipher, meeting, meetingCipher, "98AY2"},
            {"mixed card, discs 3 5 1 4 2 from Q7ZN2, deciphered back", kIndependent, mixed,
             "Q7ZN2", decipher, meetingCipher, "TREFFEN_UM_NEUN_UHR_AM_BAHNHOF", "98AY2"},
            {"mixed card, discs 2 1 5 3 4 from 9Y8DK, 200 keys I ciphered", kIndependent, stepping,
             "9Y8DK", cipher, std::string(200, 'I'), "", "HT3LM"},
            {"mixed card, discs 2 1 5 3 4 from 9Y8DK, 200 keys I deciphered", kIndependent,
             stepping, "9Y8DK", decipher, std::string(200, 'I'), "", "HT3LM"},
        };
    }();
    return cases;
}

bool selfTest(const std::vector<KnownAnswer>& cases, std::string& report) {
    std::size_t passed = 0;
    for (const KnownAnswer& c : cases) {
        MachineState m = machineFor(c.record);
        for (int s = 1; s <= 5; ++s)
            m.setPosition(s, *symbolIndex(c.start[static_cast<std::size_t>(s - 1)]) - 1);
        m.mode = c.mode;
        std::string got;
        if (c.text.empty()) {
            got = checkValue(m);
        } else {
            feedText(m, c.text);
            got = m.outputText;
        }
        const std::string end = positionsOf(m);
        const bool ok = (c.output.empty() || got == c.output) && end == c.end;
        passed += ok ? 1 : 0;
        // A check value leaves the machine where it was.
        auto answer = [&](const std::string& output, const std::string& at) {
            if (c.text.empty())
                return output;
            return output.empty() ? "ending at " + at : output + ", ending at " + at;
        };
        report += ok ? "pass  " : "FAIL  ";
        report += c.name + ": " + answer(c.output, c.end) + " (" + c.source + ")";
        if (!ok)
            report += "; came out " + answer(c.output.empty() ? "" : got, end) +
                      (c.text.empty() ? " at " + end : "");
        report += "\n";
    }
    report += std::to_string(passed) + " of " + std::to_string(cases.size()) + " known answers " +
              (passed == cases.size() ? "pass" : "pass; the machine is WRONG") + "\n";
    return passed == cases.size();
}

} // namespace zelmak::cli
