#include "files/symbol_groups.h"
#include "machine/machine.h"
#include "machine/text_feed.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <string>

namespace zelmak {
namespace {

std::string grouped(std::size_t size, std::size_t perLine, std::string_view text) {
    SymbolGroups groups(size, perLine);
    std::string out;
    groups.append(text, out);
    return out;
}

struct GroupRow {
    const char* name;
    std::size_t size;
    std::size_t perLine;
    std::string text;
    std::string layout;
};

void PrintTo(const GroupRow& row, std::ostream* os) {
    *os << row.name;
}

class Grouping : public ::testing::TestWithParam<GroupRow> {};

// However the text is cut into pieces, the layout is that of the whole text.
TEST_P(Grouping, LaysOutTheWholeTextAndEveryCutOfIt) {
    const GroupRow& row = GetParam();
    EXPECT_EQ(grouped(row.size, row.perLine, row.text), row.layout);
    for (std::size_t cut = 0; cut <= row.text.size(); ++cut) {
        for (std::size_t second = cut; second <= row.text.size(); ++second) {
            SymbolGroups groups(row.size, row.perLine);
            std::string out;
            groups.append(std::string_view(row.text).substr(0, cut), out);
            groups.append(std::string_view(row.text).substr(cut, second - cut), out);
            groups.append(std::string_view(row.text).substr(second), out);
            ASSERT_EQ(out, row.layout) << "cut at " << cut << " and " << second;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Grouping,
    ::testing::Values(GroupRow{"empty", 5, 10, "", ""},
                      GroupRow{"short_group", 5, 10, "ABC", "ABC"},
                      GroupRow{"exact_group", 5, 10, "ABCDE", "ABCDE"},
                      GroupRow{"two_groups", 5, 10, "ABCDEFG", "ABCDE FG"},
                      GroupRow{"line_ends_without_break", 2, 2, "ABCD", "AB CD"},
                      GroupRow{"line_break", 2, 2, "ABCDE", "AB CD\r\nE"},
                      GroupRow{"three_lines", 2, 2, "ABCDEFGHIJ", "AB CD\r\nEF GH\r\nIJ"},
                      GroupRow{"one_per_line", 3, 1, "ABCDEFG", "ABC\r\nDEF\r\nG"},
                      GroupRow{"single_symbols", 1, 3, "ABCDE", "A B C\r\nD E"},
                      GroupRow{"hundred", 100, 10, std::string(150, 'A'),
                               std::string(100, 'A') + " " + std::string(50, 'A')}),
    [](const auto& p) { return std::string(p.param.name); });

// Grouped cipher text read back with its blanks as layout deciphers to the clear text of the
// ungrouped round trip, whatever the group size.
TEST(Grouping, GroupedCipherTextDeciphersAsIfWrittenInOneRun) {
    const std::string clear = "DIE ZEIT IST UM, TREFFEN UM NEUN UHR AM BAHNHOF. HALLO ALLE";
    MachineState cipher = machineFor(serviceRecord());
    feedText(cipher, clear);
    MachineState plain = machineFor(serviceRecord());
    plain.mode = Mode::Decipher;
    feedText(plain, cipher.outputText);
    ASSERT_EQ(plain.outputText, "DIE_ZEIT_IST_UM_TREFFEN_UM_NEUN_UHR_AM_BAHNHOF_HALLO_ALLE");

    for (const std::size_t size : {1u, 4u, 5u, 7u, 100u}) {
        MachineState back = machineFor(serviceRecord());
        back.mode = Mode::Decipher;
        feedText(back, grouped(size, 3, cipher.outputText), Blanks::Layout);
        EXPECT_EQ(back.outputText, plain.outputText) << "groups of " << size;
        EXPECT_EQ(back.positions, plain.positions) << "groups of " << size;
    }
}

} // namespace
} // namespace zelmak
