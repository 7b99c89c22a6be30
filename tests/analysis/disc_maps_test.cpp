#include "analysis/candidates.h"
#include "analysis/disc_maps.h"
#include "keyed_message.h"

#include <gtest/gtest.h>

namespace zelmak::analysis {
namespace {

using testing::keyedByMachine;

Card serviceCard() {
    Card c;
    for (std::size_t i = 0; i < c.size(); ++i)
        c[i] = static_cast<Symbol>(i);
    return c;
}

// The split tables and their stepping must be the machine's own, key for key, over long runs in
// which slot 5 steps (it steps while slot 3 stands on a mark, moved or not).
TEST(DiscMaps, key_for_key_the_machine_with_the_service_card) {
    std::mt19937 random(7);
    for (const DiscOrder order :
         {DiscOrder{1, 2, 3, 4, 5}, DiscOrder{3, 1, 4, 2, 5}, DiscOrder{5, 4, 3, 2, 1}}) {
        const DiscMaps maps(order);
        for (int trial = 0; trial < 20; ++trial) {
            DiscPositions at;
            for (auto& p : at)
                p = static_cast<std::uint8_t>(random() % kSymbolCount);
            std::vector<Symbol> text(2000);
            for (auto& s : text)
                s = static_cast<Symbol>(random() % kSymbolCount);
            const auto keyed = keyedByMachine(text, serviceCard(), order, at);
            const DiscPositions start = at;
            for (std::size_t i = 0; i < text.size(); ++i) {
                ASSERT_EQ(maps.encipher(at, text[i]), keyed[i])
                    << "order " << orderText(order) << " key " << i << " at " << positionsText(at);
                ASSERT_EQ(maps.decipher(at, keyed[i]), text[i]);
                maps.step(at);
            }
            EXPECT_EQ(positionsAfter(maps, start, text.size()), at);
            EXPECT_EQ(positionsBefore(maps, at, text.size()), start);

            const SlowTurns turns = slowTurns(maps, start[0], start[1], start[2], 300);
            DiscPositions walk = start;
            for (std::size_t j = 0; j < 300; ++j) {
                EXPECT_EQ(turnOn(start[2], turns.turned3[j]), walk[2]);
                EXPECT_EQ(turnBack(start[3], turns.turned4[j]), walk[3]);
                EXPECT_EQ(turnOn(start[4], turns.turned5[j]), walk[4]);
                maps.step(walk);
            }
        }
    }
}

// A candidate with the whole card deciphers the message as the machine does in Decipher mode.
TEST(DiscMaps, deciphering_a_candidate_is_the_machine_in_decipher_mode) {
    const auto k = testing::randomlyKeyed(readCrib("EIN SCHIFF IST IN SICHT"), 3);
    const DiscMaps maps(k.order);
    const Candidate c{0, k.order, k.start, k.card, 0};
    EXPECT_EQ(decipherSymbols(k.cipher, maps, c), k.plain);
    EXPECT_EQ(keyedByMachine(k.cipher, k.card, k.order, k.start, Mode::Decipher), k.plain);
    EXPECT_EQ(decipherText(k.cipher, maps, c), "EIN_SCHIFF_IST_IN_SICHT");
    Candidate partial = c;
    partial.card[k.cipher[0]] = kNoSymbol;
    EXPECT_EQ(decipherText(k.cipher, maps, partial)[0], '.');
}

} // namespace
} // namespace zelmak::analysis
