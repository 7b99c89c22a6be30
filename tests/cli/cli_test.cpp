// zelmak-cli end to end: the built program, run with arguments, standard input and files.

#include "cli_test_util.h"
#include "machine/machine.h"
#include "machine/text_feed.h"
#include "session_rig.h"
#include "settings/settings.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace zelmak {
namespace {

using test::cli;
using test::identityCard;
using test::mixedCard;
using test::ProcessResult;
using test::reversedCard;
using test::TempDir;
using test::writeFile;

// A program that stops before reading its input must not take the test down with it.
const bool kPipeIgnored = [] {
    std::signal(SIGPIPE, SIG_IGN);
    return true;
}();

std::string record(const std::vector<int>& card, const std::vector<int>& discs) {
    return test::keyRecord(card, discs);
}

// What the machine library gives for a text from a setting at AAAAA.
std::string expected(const std::vector<int>& card, const std::vector<int>& discs,
                     const std::string& text, bool cipher = true) {
    MachineState m = machineFor(test::recordOf(record(card, discs)));
    m.mode = cipher ? Mode::Cipher : Mode::Decipher;
    feedText(m, text);
    return m.outputText;
}

TEST(Cli, EnciphersStandardInputWithNoLineBreak) {
    const ProcessResult r = cli({}, "HALLO ALLE");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "5M5QHAI6Y4");
    EXPECT_EQ(r.err, "");
}

TEST(Cli, DeciphersTheWorkedExample) {
    const ProcessResult r = cli({"--decipher"}, "5M5QHAI6Y4");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "HALLO_ALLE");
}

TEST(Cli, ReportsTheEndPositions) {
    const ProcessResult r = cli({"--report"}, "HALLO ALLE");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "5M5QHAI6Y4");
    EXPECT_EQ(r.err, "positions: C8SPA\n");
}

TEST(Cli, StartPositionsInEitherCaseContinueARun) {
    // Where "HALLO ALLE" left the discs, the next text goes on as it would in one run.
    const std::string whole = cli({}, "HALLO ALLE HALLO").out;
    ASSERT_EQ(whole.size(), 16u);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--start", "C8SPA"}, {"--start", "c8spa"}, {"--start=C8sPa"}}) {
        const ProcessResult r = cli(args, " HALLO");
        EXPECT_EQ(r.status, 0) << args[0];
        EXPECT_EQ(r.out, whole.substr(10)) << args[0];
    }
}

TEST(Cli, KeyFileSetsCardAndDiscs) {
    TempDir dir;
    const std::string key = dir.file("reversed.key");
    writeFile(key, record(reversedCard(), {4, 3, 2, 1, 0}));
    const std::string text = "DIE ZEIT IST UM, HALLO ALLE";
    const ProcessResult r = cli({"--key", key}, text);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, expected(reversedCard(), {4, 3, 2, 1, 0}, text));
    EXPECT_NE(r.out, cli({}, text).out);

    const ProcessResult back = cli({"--key=" + key, "--decipher"}, r.out);
    EXPECT_EQ(back.out, "DIE_ZEIT_IST_UM_HALLO_ALLE");
}

TEST(Cli, KeyFileLongerThanARecordUsesItsFirst36Bytes) {
    TempDir dir;
    const std::string key = dir.file("long.key");
    writeFile(key, record(reversedCard(), {1, 0, 3, 2, 4}) + std::string("\x07\x07\xff\x00", 4));
    const ProcessResult r = cli({"--key", key}, "HALLO ALLE");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, expected(reversedCard(), {1, 0, 3, 2, 4}, "HALLO ALLE"));
}

// The known answers of the machine tests (confirmed by the second model of the machine), through
// the program with a key file, start positions and --report.
struct KnownAnswerRow {
    const char* name;
    std::string key;
    const char* start;
    bool decipher;
    std::string text;
    const char* output; // nullptr: only the end positions are known
    const char* end;
};

void PrintTo(const KnownAnswerRow& row, std::ostream* os) {
    *os << row.name;
}

class CliKnownAnswer : public ::testing::TestWithParam<KnownAnswerRow> {};

TEST_P(CliKnownAnswer, OutputAndReportedEndPositions) {
    const KnownAnswerRow& row = GetParam();
    TempDir dir;
    writeFile(dir.file("k.key"), row.key);
    std::vector<std::string> args{"--key", dir.file("k.key"), "--start", row.start, "--report"};
    if (row.decipher)
        args.push_back("--decipher");
    const ProcessResult r = cli(args, row.text);
    EXPECT_EQ(r.status, 0) << r.err;
    if (row.output) {
        EXPECT_EQ(r.out, row.output);
    }
    EXPECT_EQ(r.out.size(), row.text.size());
    EXPECT_EQ(r.err, "positions: " + std::string(row.end) + "\n");
}

const std::string kMeeting = "TREFFEN UM NEUN UHR AM BAHNHOF";

INSTANTIATE_TEST_SUITE_P(
    Settings, CliKnownAnswer,
    ::testing::Values(KnownAnswerRow{"reversed_card", record(reversedCard(), {4, 3, 2, 1, 0}),
                                     "AAAAA", false, "HALLO ALLE", "NTSL7FRI4Y", "C8DPA"},
                      KnownAnswerRow{"mixed_card", record(mixedCard(), {2, 4, 0, 3, 1}), "Q7ZN2",
                                     false, kMeeting, "RN6C9HKGK2S95TKR7729GLKCYMAPCF", "98AY2"},
                      KnownAnswerRow{"mixed_card_back", record(mixedCard(), {2, 4, 0, 3, 1}),
                                     "Q7ZN2", true, "RN6C9HKGK2S95TKR7729GLKCYMAPCF",
                                     "TREFFEN_UM_NEUN_UHR_AM_BAHNHOF", "98AY2"},
                      KnownAnswerRow{"stepping_cipher", record(mixedCard(), {1, 0, 4, 2, 3}),
                                     "9Y8DK", false, std::string(200, 'I'), nullptr, "HT3LM"},
                      KnownAnswerRow{"stepping_decipher", record(mixedCard(), {1, 0, 4, 2, 3}),
                                     "9Y8DK", true, std::string(200, 'I'), nullptr, "HT3LM"}),
    [](const auto& p) { return std::string(p.param.name); });

struct BadKeyRow {
    const char* name;
    std::string bytes; // empty: no file at all
    int status;
    const char* err;
};

void PrintTo(const BadKeyRow& row, std::ostream* os) {
    *os << row.name;
}

class CliBadKey : public ::testing::TestWithParam<BadKeyRow> {};

TEST_P(CliBadKey, StopsWithTheMessageAndStatus) {
    TempDir dir;
    const std::string key = dir.file("bad.key");
    if (!GetParam().bytes.empty())
        writeFile(key, GetParam().bytes);
    const ProcessResult r = cli({"--key", key, "-"});
    EXPECT_EQ(r.status, GetParam().status);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "zelmak-cli: " + key + ": " + GetParam().err);
}

std::vector<int> cardWith(int k, int value) {
    auto c = identityCard();
    c[static_cast<std::size_t>(k - 1)] = value;
    return c;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CliBadKey,
    ::testing::Values(
        BadKeyRow{"missing", "", 1, "Datei nicht gefunden. (No such file or directory)\n"},
        BadKeyRow{"short_35_bytes", record(identityCard(), {0, 1, 2, 3}), 1,
                  "Lesen nach Dateiende (EOF).\n"},
        BadKeyRow{"one_byte", std::string(1, '\x01'), 1, "Lesen nach Dateiende (EOF).\n"},
        BadKeyRow{"card_entry_zero", record(cardWith(7, 0), {0, 1, 2, 3, 4}), 2,
                  "Error Cipher-Card!\n"},
        BadKeyRow{"card_symbol_twice", record(cardWith(7, 8), {0, 1, 2, 3, 4}), 2,
                  "Error Cipher-Card!\n"},
        BadKeyRow{"card_entry_32", record(cardWith(31, 32), {0, 1, 2, 3, 4}), 2,
                  "Error Cipher-Card!\n"},
        BadKeyRow{"card_checked_before_discs", record(cardWith(1, 0), {0, 0, 0, 0, 0}), 2,
                  "Error Cipher-Card!\n"},
        BadKeyRow{"discs_equal", record(identityCard(), {0, 1, 2, 3, 3}), 2,
                  "Error Cipher-Disc !!\n"},
        BadKeyRow{"disc_5", record(identityCard(), {0, 1, 5, 3, 4}), 2, "Error Cipher-Disc !!\n"},
        BadKeyRow{"disc_255", record(identityCard(), {255, 1, 2, 3, 4}), 2,
                  "Error Cipher-Disc !!\n"},
        BadKeyRow{"two_discs_out_of_range", record(identityCard(), {0, 1, 2, 9, 200}), 2,
                  "Error Cipher-Disc !!\n"}),
    [](const auto& p) { return std::string(p.param.name); });

struct FileErrorRow {
    const char* name;
    std::vector<std::string> args; // "@" stands for a fresh folder holding "locked.txt"
    std::string err;               // with "@" for the folder
};

void PrintTo(const FileErrorRow& row, std::ostream* os) {
    *os << row.name;
}

class CliFileError : public ::testing::TestWithParam<FileErrorRow> {};

// The message the window shows comes first, as it is; the system's reason after it tells a
// missing file from a permission problem or a folder.
TEST_P(CliFileError, SaysTheSystemsReasonAfterTheMessage) {
    const FileErrorRow& row = GetParam();
    TempDir dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    writeFile(dir.file("locked.txt"), "HALLO");
    ASSERT_EQ(::chmod(dir.file("locked.txt").c_str(), 0), 0);
    auto placed = [&](std::string text) {
        for (std::size_t at; (at = text.find('@')) != std::string::npos;)
            text.replace(at, 1, dir.path().string());
        return text;
    };
    std::vector<std::string> args;
    for (const std::string& arg : row.args)
        args.push_back(placed(arg));
    // As root every file could be read: the program runs as an unprivileged user.
    const ProcessResult r = test::cliUnprivileged(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, placed(row.err));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CliFileError,
    ::testing::Values(
        FileErrorRow{"missing_input",
                     {"@/absent.txt"},
                     "zelmak-cli: Kann Datei @/absent.txt nicht öffnen. (No such file or "
                     "directory)\n"},
        FileErrorRow{"unreadable_input",
                     {"@/locked.txt"},
                     "zelmak-cli: Kann Datei @/locked.txt nicht öffnen. (Permission denied)\n"},
        FileErrorRow{"key_is_a_folder",
                     {"--key", "@", "-"},
                     "zelmak-cli: @: Dateizugriff verweigert. (Is a directory)\n"},
        FileErrorRow{"unreadable_key",
                     {"--check-value", "--key", "@/locked.txt"},
                     "zelmak-cli: @/locked.txt: Dateizugriff verweigert. (Permission denied)\n"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Cli, InputFromAFileOrDashOrMissing) {
    TempDir dir;
    const std::string text = dir.file("clear.txt");
    writeFile(text, "Hallo Alle\r\n");
    ProcessResult r = cli({text});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "5M5QHAI6Y4");

    r = cli({"-"}, "HALLO ALLE");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "5M5QHAI6Y4");

    r = cli({dir.file("absent.txt")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("absent.txt"), std::string::npos) << r.err;

    r = cli({"--", "-x"});
    EXPECT_EQ(r.status, 1) << "after -- a name is an input, not an option";
}

TEST(Cli, EmptyInputGivesEmptyOutput) {
    const ProcessResult r = cli({"--report"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "positions: AAAAA\n");
}

TEST(Cli, BytesWithoutAKeyAreSkipped) {
    std::string every;
    std::string keyable;
    for (int round = 0; round < 3; ++round)
        for (int b = 0; b < 256; ++b) {
            const char c = static_cast<char>(b);
            every += c;
            if (feedKey(c))
                keyable += c;
        }
    ASSERT_EQ(keyable.size(), 3u * (2 * 26 - 6 + 8 + 2)); // letters, digits 2..9, space, _
    const ProcessResult all = cli({}, every);
    const ProcessResult only = cli({}, keyable);
    EXPECT_EQ(all.status, 0);
    EXPECT_EQ(all.out, only.out);
    EXPECT_EQ(all.out.size(), keyable.size());
}

// A text longer than the program's read chunk comes out as one run through the machine.
TEST(Cli, LongTextMatchesTheMachineAcrossChunks) {
    std::string text;
    std::uint32_t x = 12345;
    while (text.size() < 2'500'000) {
        x = x * 1103515245u + 12345u;
        text += "ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789\n"[(x >> 16) % 38];
    }
    const ProcessResult r = cli({"--report"}, text);
    EXPECT_EQ(r.status, 0);
    const std::string want = expected(identityCard(), {0, 1, 2, 3, 4}, text);
    EXPECT_EQ(r.out.size(), want.size());
    EXPECT_TRUE(r.out == want) << "the outputs differ";
}

} // namespace
} // namespace zelmak
