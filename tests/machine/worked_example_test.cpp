// The known answers of the machine: "HALLO ALLE" from the service setting at AAAAA, key by key,
// stage by stage for the first key, back again in Decipher mode and on again in Cipher mode.

#include "machine_test_util.h"

#include <gtest/gtest.h>

#include <vector>

namespace zelmak {
namespace {

using test::describe;
using test::positions;
using test::setUp;
using test::typeKeys;

class WorkedExample : public ::testing::Test {
protected:
    void SetUp() override { setUp(m, w); }
    MachineState m;
    PlainWindow w;
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
        const std::string out = typeKeys(m, w, std::string(1, r.key));
        SCOPED_TRACE("key " + std::to_string(n) + " '" + r.key + "': " + describe(m, w));
        EXPECT_EQ(out, std::string(1, r.output));
        EXPECT_EQ(positions(w), r.after);
    }
    EXPECT_EQ(m.inputText, "HALLO_ALLE");
    EXPECT_EQ(m.outputText, "5M5QHAI6Y4") << describe(m, w);
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

    m.keyIndex = 23;
    Rotation(m, w);
    EXPECT_EQ(m.workIndex, 5) << describe(m, w);
    EXPECT_EQ(m.outputAlphabet[m.workIndex], '5');
    EXPECT_EQ(positions(w), "SPAAA") << describe(m, w);
}

TEST_F(WorkedExample, DecipherWithTheYKeyGivesTheClearTextBack) {
    w.cipher = false;
    const std::string out = typeKeys(m, w, "5M5QHAI6Y4"); // the ninth key is the "Y" key
    EXPECT_EQ(out, "HALLO_ALLE") << describe(m, w);
    EXPECT_EQ(m.inputText, "5M5QHAI6Y4");
    EXPECT_EQ(positions(w), "C8SPA") << "the stepping does not depend on the mode";
}

TEST_F(WorkedExample, EncipheringTheCipherTextAgainDoesNotUndoIt) {
    EXPECT_EQ(typeKeys(m, w, "5M5QHAI6Y4"), "942HQOQ9ZN") << describe(m, w);
}

// Every key from the same start: the single-key answers of the service setting at AAAAA, in
// both modes, and each Decipher answer keys back to the key that was pressed.
TEST_F(WorkedExample, EachSingleKeyDeciphersBack) {
    for (int k = 1; k <= 31; ++k) {
        test::setPositions(w, "AAAAA");
        w.cipher = true;
        m.keyIndex = k;
        Rotation(m, w);
        const int cipherIndex = m.workIndex;
        test::setPositions(w, "AAAAA");
        w.cipher = false;
        m.keyIndex = cipherIndex;
        Rotation(m, w);
        EXPECT_EQ(m.workIndex, k) << "key " << k << " gave " << cipherIndex << "; "
                                  << describe(m, w);
    }
}

} // namespace
} // namespace zelmak
