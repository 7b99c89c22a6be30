// zelmak-cli --key-sheet: a month of key files and the sheet that lists them, all or nothing.

#include "cli_test_util.h"
#include "session_rig.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace zelmak {
namespace {

using test::cli;
using test::ProcessResult;
using test::readFile;
using test::TempDir;

std::size_t filesIn(const std::filesystem::path& dir) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir),
                                                  std::filesystem::directory_iterator()));
}

// What the window shows after "Load Cipher" of the file and "Check Cipher": the check value of
// the setting that the check accepted.
std::string checkValueAsTheWindowLoadsIt(const std::string& path) {
    test::SessionRig rig;
    rig.view.openAnswers.push_back(path);
    rig.session.loadCipher();
    rig.session.checkCipher();
    EXPECT_TRUE(rig.machine().ready()) << path;
    return rig.view.checkValue;
}

struct MonthRow {
    const char* month;
    int days;
    const char* firstWeekday;
};

class KeySheetMonth : public ::testing::TestWithParam<MonthRow> {};

TEST_P(KeySheetMonth, AKeyFileForEveryDayAndTheSheetListsTheirCheckValues) {
    const MonthRow& row = GetParam();
    const std::string month = row.month;
    TempDir dir;
    const ProcessResult r = cli({"--key-sheet", month, "--out", dir.path().string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(filesIn(dir.path()), static_cast<std::size_t>(row.days) + 2);

    const std::string html = readFile(dir.file(month + ".html"));
    const std::string text = readFile(dir.file(month + ".txt"));
    EXPECT_NE(html.find("@page { size: A4 landscape;"), std::string::npos);
    EXPECT_EQ(text.find("\n"), text.find("\r\n") + 1) << "CR LF line breaks";

    std::set<std::string> records;
    for (int day = 1; day <= row.days; ++day) {
        const std::string date = month + "-" + (day < 10 ? "0" : "") + std::to_string(day);
        const std::string path = dir.file(date + ".key");
        const std::string bytes = readFile(path);
        ASSERT_EQ(bytes.size(), 36u) << date;
        records.insert(bytes);
        const std::string value = checkValueAsTheWindowLoadsIt(path);

        // The sheet's line of the day: date, 31 pairs key>symbol, discs, check value.
        const std::size_t at = text.find("\r\n" + date + " ");
        ASSERT_NE(at, std::string::npos) << date;
        const std::string line = text.substr(at + 2, text.find("\r\n", at + 2) - at - 2);
        std::string pairs;
        for (std::size_t k = 0; k < 31; ++k) {
            pairs += " ";
            pairs += "I23456789QERTZUOPASDFGHMKLYCVBN"[k];
            pairs += ">";
            pairs += "I23456789QERTZUOPASDFGHMKLYCVBN"[static_cast<unsigned char>(bytes[k]) - 1];
        }
        std::string discs;
        for (std::size_t s = 31; s < 36; ++s)
            discs += std::string(s > 31 ? " " : "") + static_cast<char>('1' + bytes[s]);
        EXPECT_NE(line.find(" card" + pairs + "  discs " + discs + "  check " + value + ""),
                  std::string::npos)
            << line;
        EXPECT_EQ(line.substr(line.size() - 5), value);

        // The printed row of the day ends with the same disc order and check value.
        const std::size_t rowAt = html.find("<td class=\"date\">" + date + " ");
        ASSERT_NE(rowAt, std::string::npos) << date;
        const std::string htmlRow = html.substr(rowAt, html.find("</tr>", rowAt) - rowAt);
        EXPECT_NE(htmlRow.find("<td>" + discs + "</td><td class=\"check\">" + value + "</td>"),
                  std::string::npos)
            << htmlRow;
        EXPECT_NE(htmlRow.find("<td class=\"card\">I\xE2\x86\x92" + pairs.substr(3, 1) + "</td>"),
                  std::string::npos)
            << htmlRow;
    }
    EXPECT_EQ(records.size(), static_cast<std::size_t>(row.days)) << "days with the same setting";
    EXPECT_NE(text.find(month + "-01 " + row.firstWeekday + " "), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Months, KeySheetMonth,
                         ::testing::Values(MonthRow{"2024-02", 29, "Thu"},
                                           MonthRow{"2023-02", 28, "Wed"},
                                           MonthRow{"2025-03", 31, "Sat"}),
                         [](const auto& p) {
                             std::string name = p.param.month;
                             name[4] = '_';
                             return "month_" + name;
                         });

// Nothing is written unless everything is: a file standing at any of the names, a folder that
// is not one, or a file that cannot be made part-way leave the folder as it was.
TEST(KeySheet, AllOrNothing) {
    TempDir dir;
    const std::string out = dir.path().string();
    test::writeFile(dir.file("2025-03.txt"), "mine");
    ProcessResult r = cli({"--key-sheet", "2025-03", "--out", out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "zelmak-cli: " + dir.file("2025-03.txt") +
                         " exists already; --key-sheet never replaces a file\n");
    EXPECT_EQ(filesIn(dir.path()), 1u);
    EXPECT_EQ(readFile(dir.file("2025-03.txt")), "mine");

    std::filesystem::create_symlink("nowhere", dir.file("2025-04-30.key"));
    r = cli({"--key-sheet", "2025-04", "--out", out});
    EXPECT_EQ(r.status, 1) << "a link to nothing stands at the name too";
    EXPECT_EQ(filesIn(dir.path()), 2u);

    r = cli({"--key-sheet", "2025-03", "--out", dir.file("2025-03.txt")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "zelmak-cli: cannot write the key sheet into " + dir.file("2025-03.txt") +
                         ": Not a directory\n");

    // The key files fit under the size limit, the sheet does not: the key files go again.
    TempDir small;
    r = test::cliInShell("trap '' XFSZ; ulimit -f 8",
                         {"--key-sheet", "2025-03", "--out", small.path().string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "zelmak-cli: cannot create " + small.file("2025-03.html") +
                         ": File too large; no file of the sheet was kept\n");
    EXPECT_EQ(filesIn(small.path()), 0u);
}

// The README's own example: --out names a folder that is not there yet.
TEST(KeySheet, MakesTheFolderWhenItIsMissing) {
    TempDir dir;
    const std::string keys = dir.file("keys");
    ProcessResult r = cli({"--key-sheet", "2025-03", "--out", keys});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(filesIn(keys), 33u);
    const std::string first = readFile(dir.file("keys/2025-03-01.key"));

    // Made once, the folder is there: the same month again replaces nothing.
    r = cli({"--key-sheet", "2025-03", "--out", keys});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(readFile(dir.file("keys/2025-03-01.key")), first);

    // Only the last folder is made.
    r = cli({"--key-sheet", "2025-03", "--out", dir.file("no/keys")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "zelmak-cli: cannot write the key sheet into " + dir.file("no/keys") +
                         ": No such file or directory\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("no")));

    // A sheet that cannot be kept takes the folder made for it along.
    r = test::cliInShell("trap '' XFSZ; ulimit -f 8",
                         {"--key-sheet", "2025-04", "--out", dir.file("april")});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("april")));
}

TEST(KeySheet, UnprivilegedUserInAForeignFolderIsRefused) {
    TempDir dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), ::geteuid() == 0 ? 0755 : 0555), 0);
    const ProcessResult r =
        test::cliUnprivileged({"--key-sheet", "2025-03", "--out", dir.path().string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "zelmak-cli: cannot create " + dir.file("2025-03-01.key") +
                         ": Permission denied; no file of the sheet was kept\n");
    EXPECT_EQ(filesIn(dir.path()), 0u);
}

} // namespace
} // namespace zelmak
