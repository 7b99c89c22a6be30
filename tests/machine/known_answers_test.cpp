// Known answers beyond the service setting: cards other than the identity, discs in other slots,
// start positions other than AAAAA, in both modes. The answers were computed by a second model
// of the machine that shares no code with this one (reference_machine.py, run as its own test),
// so a fault that enciphering and deciphering share cannot pass: choosing a disc's wiring by its
// slot instead of its number, or swapping the card table and its inverse.

#include "machine_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace zelmak {
namespace {

struct RunResult {
    std::string output;
    std::string endPositions; // slots 1..5 as the selectors show them
    std::string state;        // what explains a wrong answer
};

// The one place that drives the machine: takes the 36 bytes of a key file (31 card bytes, then
// 5 disc bytes) as an accepted setting, sets the start positions and the mode, and presses the
// key of each symbol of the text (a blank is the space bar).
RunResult run(const std::string& keyBytes, const std::string& start, Mode mode,
              const std::string& text) {
    test::Card card{};
    test::Discs discs{};
    for (std::size_t k = 0; k < card.size(); ++k)
        card[k] = static_cast<unsigned char>(keyBytes.at(k));
    for (std::size_t s = 0; s < discs.size(); ++s)
        discs[s] = static_cast<unsigned char>(keyBytes.at(31 + s));
    MachineState m;
    FakeWindow w;
    test::setUp(m, w, card, discs);
    test::setPositions(m, start);
    m.mode = mode;
    std::string keys = text;
    std::replace(keys.begin(), keys.end(), ' ', '_');
    test::typeKeys(m, w, keys);
    return {m.outputText, test::positions(m), test::describe(m)};
}

std::string keyFile(const std::vector<int>& card, const std::vector<int>& discs) {
    std::string bytes;
    for (const int b : card)
        bytes.push_back(static_cast<char>(b));
    for (const int b : discs)
        bytes.push_back(static_cast<char>(b));
    return bytes;
}

const std::vector<int> kReversedCard{31, 30, 29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17, 16,
                                     15, 14, 13, 12, 11, 10, 9,  8,  7,  6,  5,  4,  3,  2,  1};
const std::vector<int> kMixedCard{11, 15, 30, 10, 6,  31, 21, 14, 7,  27, 20, 12, 9, 28, 3, 17,
                                  24, 19, 23, 8,  18, 29, 26, 2,  22, 5,  13, 25, 4, 16, 1};
const std::string kMeeting = "TREFFEN UM NEUN UHR AM BAHNHOF";

struct Row {
    const char* name;
    std::string key;
    const char* start;
    Mode mode;
    std::string text;
    const char* output; // nullptr: only the end positions are known
    const char* end;
};

void PrintTo(const Row& row, std::ostream* os) {
    *os << row.name;
}

class KnownAnswer : public ::testing::TestWithParam<Row> {};

TEST_P(KnownAnswer, OutputAndEndPositions) {
    const Row& row = GetParam();
    const RunResult got = run(row.key, row.start, row.mode, row.text);
    if (row.output) {
        EXPECT_EQ(got.output, row.output) << got.state;
    }
    EXPECT_EQ(got.output.size(), row.text.size());
    EXPECT_EQ(got.endPositions, row.end) << got.state;
}

INSTANTIATE_TEST_SUITE_P(
    Settings, KnownAnswer,
    ::testing::Values(Row{"ReversedCard", keyFile(kReversedCard, {4, 3, 2, 1, 0}), "AAAAA",
                          Mode::Cipher, "HALLO ALLE", "NTSL7FRI4Y", "C8DPA"},
                      Row{"ReversedCardBack", keyFile(kReversedCard, {4, 3, 2, 1, 0}), "AAAAA",
                          Mode::Decipher, "NTSL7FRI4Y", "HALLO_ALLE", "C8DPA"},
                      Row{"MixedCard", keyFile(kMixedCard, {2, 4, 0, 3, 1}), "Q7ZN2", Mode::Cipher,
                          kMeeting, "RN6C9HKGK2S95TKR7729GLKCYMAPCF", "98AY2"},
                      Row{"MixedCardBack", keyFile(kMixedCard, {2, 4, 0, 3, 1}), "Q7ZN2",
                          Mode::Decipher, "RN6C9HKGK2S95TKR7729GLKCYMAPCF",
                          "TREFFEN_UM_NEUN_UHR_AM_BAHNHOF", "98AY2"},
                      Row{"SteppingCipher", keyFile(kMixedCard, {1, 0, 4, 2, 3}), "9Y8DK",
                          Mode::Cipher, std::string(200, 'I'), nullptr, "HT3LM"},
                      Row{"SteppingDecipher", keyFile(kMixedCard, {1, 0, 4, 2, 3}), "9Y8DK",
                          Mode::Decipher, std::string(200, 'I'), nullptr, "HT3LM"}),
    [](const auto& p) { return std::string(p.param.name); });

} // namespace
} // namespace zelmak
