#include "file_conditions.h"
#include "files/text_files.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

namespace zelmak {
namespace {

using test::TempDir;
using test::writeFile;

std::string allBytes() {
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes.push_back(static_cast<char>(b));
    return bytes;
}

// ---- Line breaks and the saved name -----------------------------------------------------------

struct BreakRow {
    const char* name;
    std::string in;
    std::string out;
};

void PrintTo(const BreakRow& row, std::ostream* os) {
    *os << row.name;
}

class LineBreaks : public ::testing::TestWithParam<BreakRow> {};

TEST_P(LineBreaks, BecomeCrLfOrLf) {
    EXPECT_EQ(withCrLf(GetParam().in), GetParam().out);
    std::string lf = GetParam().out;
    for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;)
        lf.erase(at, 1);
    EXPECT_EQ(withLineBreaks(GetParam().in, "\n"), lf);
}

INSTANTIATE_TEST_SUITE_P(Texts, LineBreaks,
                         ::testing::Values(BreakRow{"Empty", "", ""},
                                           BreakRow{"NoBreak", "ABC", "ABC"},
                                           BreakRow{"LoneLf", "a\nb\n", "a\r\nb\r\n"},
                                           BreakRow{"LoneCr", "a\rb\r", "a\r\nb\r\n"},
                                           BreakRow{"PairStays", "a\r\nb\r\n", "a\r\nb\r\n"},
                                           BreakRow{"LfCrIsTwoBreaks", "a\n\rb", "a\r\n\r\nb"},
                                           BreakRow{"CrBeforePair", "\r\r\n", "\r\n\r\n"},
                                           BreakRow{"TwoLfs", "\n\n", "\r\n\r\n"},
                                           BreakRow{"OtherBytesUnchanged",
                                                    std::string("\0\x85\xff\x0b", 4),
                                                    std::string("\0\x85\xff\x0b", 4)}),
                         [](const auto& p) { return std::string(p.param.name); });

struct NameRow {
    const char* name;
    const char* chosen;
    const char* saved;
};

void PrintTo(const NameRow& row, std::ostream* os) {
    *os << row.name;
}

class CipherFileName : public ::testing::TestWithParam<NameRow> {};

TEST_P(CipherFileName, GetsCifOnce) {
    EXPECT_EQ(cipherFileName(GetParam().chosen), GetParam().saved);
}

INSTANTIATE_TEST_SUITE_P(Names, CipherFileName,
                         ::testing::Values(NameRow{"ProposedName", "ABCDE.cif", "ABCDE.cif"},
                                           NameRow{"TextName", "letter.txt", "letter.txt.cif"},
                                           NameRow{"UpperCase", "LETTER.CIF", "LETTER.CIF"},
                                           NameRow{"MixedCase", "letter.Cif", "letter.Cif"},
                                           NameRow{"Bare", "letter", "letter.cif"},
                                           NameRow{"CifWithoutDot", "lettercif", "lettercif.cif"},
                                           NameRow{"CifInTheMiddle", "a.cif.txt", "a.cif.txt.cif"},
                                           NameRow{"CifFolder", "/tmp/x.cif/name",
                                                   "/tmp/x.cif/name.cif"}),
                         [](const auto& p) { return std::string(p.param.name); });

// ---- Reading a text file --------------------------------------------------------------------

TEST(ReadTextFile, EveryByteIsOneCharacter) {
    TempDir dir;
    writeFile(dir.file("bytes.cif"), allBytes());
    EXPECT_EQ(readTextFile(dir.file("bytes.cif")), allBytes());
}

TEST(ReadTextFile, FileOfExactlyTheCapacityIsRead) {
    TempDir dir;
    writeFile(dir.file("big.cif"), std::string(kLoadedTextCapacity, 'A'));
    EXPECT_EQ(readTextFile(dir.file("big.cif")).size(), std::size_t{16} << 20);
}

TEST(ReadTextFile, ReadOnlyFileIsRead) {
    TempDir dir;
    writeFile(dir.file("ro.cif"), "ABC");
    test::setMode(dir.file("ro.cif"), 0444);
    test::setMode(dir.path().string(), 0755);
    test::AsUnprivilegedUser user;
    EXPECT_EQ(readTextFile(dir.file("ro.cif")), "ABC");
}

} // namespace
} // namespace zelmak
