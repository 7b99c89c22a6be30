// The known answers of the machine: "HALLO ALLE" from the service setting at AAAAA, key by key,
// stage by stage for the first key, back again in Decipher mode and on again in Cipher mode.

#include "machine/key_history.h"
#include "machine/trace.h"
#include "machine/trace_csv.h"
#include "machine_test_util.h"

#include <gtest/gtest.h>

#include <vector>

namespace zelmak {
namespace {

using test::acceptSetting;
using test::describe;
using test::positions;
using test::typeKeys;

class WorkedExample : public ::testing::Test {
protected:
    void SetUp() override { acceptSetting(m); }
    MachineState m;
};

TEST_F(WorkedExample, OutputsAndPositionsAfterEveryKey) {
    struct Row {
        char key;
        char output;
        const char* after;
    };
    const std::vector<Row> rows{{'H', '5', "SPAAA"}, {'A', 'M', "DOAAA"}, {'L', '5', "FUAAA"},
                                {'L', 'Q', "GZSAA"}, {'O', 'H', "HTSAA"}, {'_', 'A', "MRSPA"},
                                {'A', 'I', "KESPA"}, {'L', '6', "LQSPA"}, {'L', 'Y', "Y9SPA"},
                                {'E', '4', "C8SPA"}};
    int n = 0;
    for (const Row& r : rows) {
        ++n;
        const std::string out = typeKeys(m, std::string(1, r.key));
        SCOPED_TRACE("key " + std::to_string(n) + " '" + r.key + "': " + describe(m));
        EXPECT_EQ(out, std::string(1, r.output));
        EXPECT_EQ(positions(m), r.after);
    }
    EXPECT_EQ(m.inputText, "HALLO_ALLE");
    EXPECT_EQ(m.outputText, "5M5QHAI6Y4") << describe(m);
}

// Recomputes the first key from the tables that Init wrote, keeping every value the worked
// figures name (before a wrap and after it), then checks that Rotation ends where they do.
TEST_F(WorkedExample, FirstKeyStageByStage) {
    const int p = 17; // every slot at "A"
    std::vector<int> trace;
    auto wrap = [](int v) {
        if (v > 31)
            v -= 31;
        if (v <= 0)
            v += 31;
        return v;
    };
    auto shift = [&](int v) {
        trace.push_back(v);
        const int wrapped = wrap(v);
        if (wrapped != v)
            trace.push_back(wrapped);
        return wrapped;
    };
    int v = m.cardTable[23];
    trace.push_back(v);
    for (int s = 1; s <= 5; ++s) {
        v = shift(v + p - 1);
        v = m.discWiring(m.key.discSetting[s] + 1, v);
        trace.push_back(v);
        v = shift(v + p + 1);
    }
    const int reflected = m.discWiring(6, v);
    trace.push_back(reflected);
    if (reflected != 0)
        v = reflected;
    trace.push_back(v);
    for (int s = 5; s >= 1; --s) {
        v = shift(v + p - 1);
        v = m.discWiringInverse(m.key.discSetting[s] + 1, v);
        trace.push_back(v);
        v = shift(v + p + 1);
    }
    v = m.cardTableInverse[v];
    trace.push_back(v);

    const std::vector<int> worked{23,                 // card
                                  39, 8,  16, 34, 3,  // slot 1
                                  19, 25, 43, 12,     // slot 2
                                  28, 3,  21,         // slot 3
                                  37, 6,  26, 44, 13, // slot 4
                                  29, 28, 46, 15,     // slot 5
                                  0,  15,             // reflector: entry 15 is 0, so 15 stays
                                  31, 13, 31,         // slot 5
                                  47, 16, 23, 41, 10, // slot 4
                                  26, 30, 48, 17,     // slot 3
                                  33, 2,  18, 36, 5,  // slot 2
                                  21, 18, 36, 5,      // slot 1
                                  5};                 // inverse card
    EXPECT_EQ(trace, worked);

    // The trace of the same key gives the same stages.
    MachineState traced = m;
    traced.keyIndex = 23;
    const KeyTrace t = traceRotation(traced);
    const std::array<StageTrace, 5> forward{StageTrace{23, 8, 16, 3}, StageTrace{3, 19, 25, 12},
                                            StageTrace{12, 28, 3, 21}, StageTrace{21, 6, 26, 13},
                                            StageTrace{13, 29, 28, 15}};
    const std::array<StageTrace, 5> backward{StageTrace{5, 21, 18, 5}, StageTrace{17, 2, 18, 5},
                                             StageTrace{10, 26, 30, 17}, StageTrace{31, 16, 23, 10},
                                             StageTrace{15, 31, 13, 31}};
    auto same = [](const StageTrace& a, const StageTrace& b) {
        return a.in == b.in && a.entry == b.entry && a.exit == b.exit && a.out == b.out;
    };
    EXPECT_EQ(t.card, 23);
    for (std::size_t s = 0; s < 5; ++s) {
        EXPECT_TRUE(same(t.forward[s], forward[s])) << "forward slot " << s + 1;
        EXPECT_TRUE(same(t.backward[s], backward[s])) << "backward slot " << s + 1;
    }
    EXPECT_EQ(t.reflector, 15);
    EXPECT_EQ(t.output, 5);
    EXPECT_EQ(t.symbol, '5');
    EXPECT_EQ(t.before, (std::array<int, 5>{17, 17, 17, 17, 17}));
    EXPECT_EQ(t.after, (std::array<int, 5>{18, 16, 17, 17, 17}));
    EXPECT_EQ(t.stepped, (std::array<bool, 5>{true, true, false, false, false}));

    // Its CSV line: the card, the five slots forward, the reflector, slots 5..1 backward, the
    // inverse card.
    std::string line;
    appendTraceCsv(line, 1, 'H', t);
    EXPECT_EQ(line, "1,H,23,AAAAA,23,3,12,21,13,15,15,31,10,17,5,5,5,5,12\r\n");

    // The machine view's trace of the key, taken from the undo history after the key has run.
    KeyHistory history;
    MachineState typed = m;
    history.pressKey(typed, 23, 'H');
    const auto keys = history.lastKeys(typed, 1000);
    ASSERT_EQ(keys.size(), 1u);
    const KeyTrace viewed = traceKey(typed, keys[0]);
    std::string viewedLine;
    appendTraceCsv(viewedLine, keys[0].number, keys[0].letter, viewed);
    EXPECT_EQ(viewedLine, line);
    EXPECT_EQ(positions(typed), "SPAAA") << "tracing moved the machine";

    m.keyIndex = 23;
    Rotation(m);
    EXPECT_EQ(m.workIndex, 5) << describe(m);
    EXPECT_EQ(outputSymbol(m.workIndex, m.mode), '5');
    EXPECT_EQ(positions(m), "SPAAA") << describe(m);
}

// Every key from the same start: the single-key answers of the service setting at AAAAA, in
// both modes, and each Decipher answer keys back to the key that was pressed.
TEST_F(WorkedExample, EachSingleKeyDeciphersBack) {
    for (int k = 1; k <= 31; ++k) {
        test::setPositions(m, "AAAAA");
        m.mode = Mode::Cipher;
        m.keyIndex = k;
        Rotation(m);
        const int cipherIndex = m.workIndex;
        test::setPositions(m, "AAAAA");
        m.mode = Mode::Decipher;
        m.keyIndex = cipherIndex;
        Rotation(m);
        EXPECT_EQ(m.workIndex, k) << "key " << k << " gave " << cipherIndex << "; " << describe(m);
    }
}

} // namespace
} // namespace zelmak
