// What zelmak-cli writes besides the bare text: groups, JSON, the trace, the check value and the
// report of the end positions.

#include "cli_test_util.h"
#include "machine/trace_csv.h"
#include "temp_dir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace zelmak {
namespace {

using test::cli;
using test::ProcessResult;
using test::TempDir;

const std::string kClear = "Die Zeit ist um; treffen um neun Uhr am Bahnhof.\r\nHallo Alle!";

struct GroupRow {
    const char* name;
    int size;
    int perLine; // 0: the default, 10
    bool decipher;
};

void PrintTo(const GroupRow& row, std::ostream* os) {
    *os << row.name;
}

class GroupRoundTrip : public ::testing::TestWithParam<GroupRow> {};

// The grouped text has the layout asked for; read back with --ignore-blanks it keys as the
// ungrouped text does, and the way back gives the clear text of the ungrouped round trip.
TEST_P(GroupRoundTrip, KeysBackAsIfWrittenInOneRun) {
    const GroupRow& row = GetParam();
    const std::string mode = row.decipher ? "--decipher" : "--report";
    const std::string back = row.decipher ? "--report" : "--decipher";
    std::vector<std::string> args{mode, "--start", "Q7ZN2", "--group", std::to_string(row.size)};
    if (row.perLine > 0)
        args.insert(args.end(), {"--groups-per-line", std::to_string(row.perLine)});
    const ProcessResult plain = cli({mode, "--start", "Q7ZN2"}, kClear);
    const ProcessResult grouped = cli(args, kClear);
    ASSERT_EQ(grouped.status, 0) << grouped.err;

    const std::size_t n = static_cast<std::size_t>(row.size);
    const std::size_t perLine = row.perLine > 0 ? static_cast<std::size_t>(row.perLine) : 10;
    std::string expected;
    for (std::size_t i = 0; i < plain.out.size(); ++i) {
        if (i > 0 && i % n == 0)
            expected += (i / n) % perLine == 0 ? "\r\n" : " ";
        expected += plain.out[i];
    }
    EXPECT_EQ(grouped.out, expected);

    const ProcessResult once = cli({back, "--start", "Q7ZN2"}, plain.out);
    const ProcessResult twice = cli({back, "--start", "Q7ZN2", "--ignore-blanks"}, grouped.out);
    EXPECT_EQ(twice.status, 0) << twice.err;
    EXPECT_EQ(twice.out, once.out);
    EXPECT_EQ(twice.err, once.err) << "the end positions";
}

INSTANTIATE_TEST_SUITE_P(Rows, GroupRoundTrip,
                         ::testing::Values(GroupRow{"fives", 5, 0, false},
                                           GroupRow{"fives_three_per_line", 5, 3, false},
                                           GroupRow{"single_symbols", 1, 7, false},
                                           GroupRow{"longer_than_the_text", 100, 1, false},
                                           GroupRow{"from_decipher", 4, 2, true}),
                         [](const auto& p) { return std::string(p.param.name); });

// Blanks as layout: a space is skipped, "_" is still the word space.
TEST(IgnoreBlanks, SkipsSpacesButKeysUnderscores) {
    EXPECT_EQ(cli({"--ignore-blanks"}, "HAL LO_ AL\r\nLE").out, cli({}, "HALLO_ALLE").out);
}

struct JsonRow {
    const char* name;
    std::vector<std::string> args;
    std::string text;
};

void PrintTo(const JsonRow& row, std::ostream* os) {
    *os << row.name;
}

class Json : public ::testing::TestWithParam<JsonRow> {};

// The JSON object, parsed back, holds what the other options give separately.
TEST_P(Json, HoldsWhatTheRunGives) {
    const JsonRow& row = GetParam();
    std::vector<std::string> args = row.args;
    args.push_back("--json");
    const ProcessResult r = cli(args, row.text);
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.out.back(), '\n');
    const auto j = nlohmann::json::parse(r.out);

    const ProcessResult text = cli(row.args, row.text);
    std::vector<std::string> reported = row.args;
    reported.push_back("--report");
    const ProcessResult report = cli(reported, row.text);
    const bool decipher = std::find(args.begin(), args.end(), "--decipher") != args.end();
    const bool layout = std::find(args.begin(), args.end(), "--ignore-blanks") != args.end();
    std::string keyed;
    for (const char c : row.text) {
        const char up = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        if (std::string("I23456789QERTZUOPASDFGHMKLYCVBN_").find(up) != std::string::npos)
            keyed += up;
        else if (c == ' ' && !layout)
            keyed += '_';
    }

    EXPECT_EQ(j.size(), 7u);
    EXPECT_EQ(j.at("mode"), decipher ? "decipher" : "cipher");
    EXPECT_EQ(j.at("start"), "Q7ZN2");
    EXPECT_EQ("positions: " + j.at("end").get<std::string>() + "\n", report.err);
    EXPECT_EQ(j.at("input"), keyed);
    EXPECT_EQ(j.at("output"), text.out);
    EXPECT_EQ(j.at("skipped"), row.text.size() - keyed.size());
    EXPECT_EQ(j.at("check_value").get<std::string>() + "\n", cli({"--check-value"}).out);
    // Byte for byte as nlohmann::json writes the same object.
    EXPECT_EQ(r.out, nlohmann::ordered_json::parse(r.out).dump() + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Json,
    ::testing::Values(JsonRow{"cipher", {"--start", "Q7ZN2"}, kClear},
                      JsonRow{"decipher", {"--start=Q7ZN2", "--decipher"}, "5M5QH AI6Y4 Jx!"},
                      JsonRow{"groups", {"--start=Q7ZN2", "--group", "3"}, kClear},
                      JsonRow{"blanks_as_layout", {"--start=Q7ZN2", "--ignore-blanks"}, kClear},
                      JsonRow{"empty", {"--start=Q7ZN2"}, ""}),
    [](const auto& p) { return std::string(p.param.name); });

std::vector<std::vector<std::string>> csvRows(const std::string& csv) {
    std::vector<std::vector<std::string>> rows;
    std::size_t from = 0;
    while (from < csv.size()) {
        const std::size_t end = csv.find("\r\n", from);
        if (end == std::string::npos)
            break;
        std::vector<std::string> fields;
        std::stringstream line(csv.substr(from, end - from));
        for (std::string field; std::getline(line, field, ',');)
            fields.push_back(field);
        rows.push_back(fields);
        from = end + 2;
    }
    EXPECT_EQ(from, csv.size()) << "the trace does not end with CR LF";
    return rows;
}

// The worked example's keys: every line has the stages of its key; each key starts where the
// previous one left the discs; the output column is the text written.
TEST(Trace, RowsOfTheWorkedExample) {
    TempDir dir;
    const ProcessResult r = cli({"--trace", dir.file("t.csv")}, "Hallo, Alle");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "5M5QHAI6Y4");
    const std::string csv = test::readFile(dir.file("t.csv"));
    EXPECT_EQ(cli({"--trace", "-"}, "Hallo, Alle").out, csv);

    ASSERT_EQ(csv.rfind(kTraceCsvHeader, 0), 0u);
    const auto rows = csvRows(csv);
    ASSERT_EQ(rows.size(), 11u);
    const std::vector<std::string> first{"1",  "H",  "23", "AAAAA", "23", "3",  "12",
                                         "21", "13", "15", "15",    "31", "10", "17",
                                         "5",  "5",  "5",  "5",     "12"};
    EXPECT_EQ(rows[1], first);
    const std::vector<std::string> before{"AAAAA", "SPAAA", "DOAAA", "FUAAA", "GZSAA",
                                          "HTSAA", "MRSPA", "KESPA", "LQSPA", "Y9SPA"};
    const std::vector<std::string> stepped{"12",  "12", "12", "123", "12",
                                           "124", "12", "12", "12",  "12"};
    for (std::size_t k = 1; k <= 10; ++k) {
        ASSERT_EQ(rows[k].size(), 19u) << "line " << k;
        EXPECT_EQ(rows[k][0], std::to_string(k));
        EXPECT_EQ(rows[k][1], std::string(1, "HALLO_ALLE"[k - 1]));
        EXPECT_EQ(rows[k][3], before[k - 1]) << "line " << k;
        EXPECT_EQ(rows[k][17], std::string(1, r.out[k - 1])) << "line " << k;
        EXPECT_EQ(rows[k][18], stepped[k - 1]) << "line " << k;
    }
}

// A trace that cannot be written is found before the run; a run that fails leaves no trace.
TEST(Trace, NoTraceFileFromAFailure) {
    TempDir dir;
    const ProcessResult missing = cli({"--trace", dir.file("no/t.csv")}, "HALLO");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "") << "refused before the run";
    EXPECT_EQ(missing.err, "zelmak-cli: cannot write the trace " + dir.file("no/t.csv") +
                               ": No such file or directory\n");

    const ProcessResult unreadable = cli({"--trace", dir.file("t.csv"), dir.path().string()});
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("t.csv")));

    ASSERT_EQ(::chmod(dir.path().c_str(), ::geteuid() == 0 ? 0755 : 0555), 0);
    const ProcessResult foreign =
        test::cliUnprivileged({"--trace", dir.file("t.csv"), "/dev/null"});
    EXPECT_EQ(foreign.status, 1);
    EXPECT_EQ(foreign.err,
              "zelmak-cli: cannot write the trace " + dir.file("t.csv") + ": Permission denied\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("t.csv")));
}

// A trace into the file that standard output goes to would mix the two.
TEST(Trace, NotIntoTheFileOfStandardOutput) {
    TempDir dir;
    const ProcessResult r =
        test::cliInShell("exec >\"" + dir.file("out") + "\"", {"--json", "--trace", "/dev/stdout"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "zelmak-cli: --trace /dev/stdout names the file standard output goes to; "
                     "see zelmak-cli --help\n");
    EXPECT_EQ(test::readFile(dir.file("out")), "");
}

TEST(CheckValue, OfTheServiceSettingAndOfAKeyFile) {
    TempDir dir;
    test::writeFile(dir.file("r.key"), test::keyRecord(test::reversedCard(), {4, 3, 2, 1, 0}));
    test::writeFile(dir.file("bad.key"), test::keyRecord(test::reversedCard(), {4, 3, 2, 1, 1}));
    EXPECT_EQ(cli({"--check-value"}).out, "MM7D2\n");
    const ProcessResult r = cli({"--check-value", "--key", dir.file("r.key")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "RTD4T\n");
    const ProcessResult bad = cli({"--check-value", "--key", dir.file("bad.key")});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err, "zelmak-cli: " + dir.file("bad.key") + ": Error Cipher-Disc !!\n");
}

// The end positions are what --report is for: when they cannot be written, the run failed.
TEST(Report, AFailedReportIsAFailedRun) {
    for (const std::string redirect : {"exec 2>/dev/full", "exec 2>&-"}) {
        const ProcessResult r = test::cliInShell(redirect, {"--report"}, "HALLO ALLE");
        EXPECT_EQ(r.status, 1) << redirect;
        EXPECT_EQ(r.out, "5M5QHAI6Y4") << redirect;
    }
    // A closed standard error is not taken over by a file the run opens.
    TempDir dir;
    const ProcessResult traced =
        test::cliInShell("exec 2>&-", {"--report", "--trace", dir.file("t.csv")}, "HALLO");
    EXPECT_EQ(traced.status, 1);
    EXPECT_EQ(test::readFile(dir.file("t.csv")).find("positions"), std::string::npos);
}

} // namespace
} // namespace zelmak
