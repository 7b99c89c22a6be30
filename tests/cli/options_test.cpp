// The command line of zelmak-cli: every refused command line says what is wrong in one line,
// points to --help, exits with 2 and writes nothing, neither on standard output nor as a file.

#include "cli_test_util.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace zelmak {
namespace {

using test::cli;

constexpr const char* kAlphabet = "(I 2 3 4 5 6 7 8 9 Q E R T Z U O P A S D F G H M K L Y C V B N)";

struct UsageRow {
    const char* name;
    std::vector<std::string> args; // "@" stands for a fresh empty folder
    std::string message;           // between "zelmak-cli: " and "; see zelmak-cli --help"
};

void PrintTo(const UsageRow& row, std::ostream* os) {
    *os << row.name;
}

class Usage : public ::testing::TestWithParam<UsageRow> {};

TEST_P(Usage, OneLineNamingTheProblemStatus2AndNoOutput) {
    const UsageRow& row = GetParam();
    test::TempDir dir;
    std::vector<std::string> args = row.args;
    for (std::string& arg : args)
        if (arg == "@")
            arg = dir.path().string();
    const test::ProcessResult r = cli(args, "HALLO ALLE");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "zelmak-cli: " + row.message + "; see zelmak-cli --help\n");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << "a refused command line made a file";
}

const std::string kGroupRange = "--group: needs a whole number from 1 to 100, not ";

INSTANTIATE_TEST_SUITE_P(
    Rows, Usage,
    ::testing::Values(
        UsageRow{"unknown_option", {"--frobnicate"}, "unknown option --frobnicate"},
        UsageRow{"unknown_option_with_value", {"--frobnicate=3"}, "unknown option --frobnicate"},
        UsageRow{"unknown_short_option", {"-x"}, "unknown option -x"},
        UsageRow{"key_without_value", {"--key"}, "--key needs a value (FILE)"},
        UsageRow{"start_without_value", {"--start"}, "--start needs a value (POSITIONS)"},
        UsageRow{"empty_trace", {"--trace="}, "--trace needs a value (FILE)"},
        // An empty name names no file at all: a wrong command line, not a missing file.
        UsageRow{"empty_key", {"--key", ""}, "--key needs a file name"},
        UsageRow{"empty_new_key", {"--new-key", ""}, "--new-key needs a file name"},
        UsageRow{"empty_out", {"--key-sheet", "2025-03", "--out", ""}, "--out needs a folder name"},
        UsageRow{"empty_input", {""}, "INPUT needs a file name, or \"-\" for standard input"},
        // CLI11 would take these as the flag turned off (or on) without a word.
        UsageRow{"flag_with_zero", {"--decipher=0"}, "--decipher takes no value, not \"0\""},
        UsageRow{"flag_with_false", {"--json=false"}, "--json takes no value, not \"false\""},
        UsageRow{"flag_with_true", {"--report=true"}, "--report takes no value, not \"true\""},
        UsageRow{"flag_with_empty_value",
                 {"--ignore-blanks="},
                 "--ignore-blanks takes no value, not \"\""},
        UsageRow{
            "task_flag_with_value", {"--self-test=1"}, "--self-test takes no value, not \"1\""},
        UsageRow{
            "two_inputs", {"a.txt", "b.txt"}, "only one INPUT may be given, not also \"b.txt\""},
        UsageRow{"two_inputs_after_dashes",
                 {"--", "a.txt", "-b"},
                 "only one INPUT may be given, not also \"-b\""},
        UsageRow{"start_four",
                 {"--start", "AAAA"},
                 "--start needs exactly five symbols, one for each disc slot, not 4 (\"AAAA\")"},
        UsageRow{"start_six",
                 {"--start=AAAAAA"},
                 "--start needs exactly five symbols, one for each disc slot, not 6 (\"AAAAAA\")"},
        UsageRow{"start_empty",
                 {"--start", ""},
                 "--start needs exactly five symbols, one for each disc slot, not 0 (\"\")"},
        UsageRow{"start_letter_j",
                 {"--start", "AAJAA"},
                 std::string("--start: \"J\" for slot 3 is not a symbol of the key alphabet ") +
                     kAlphabet},
        UsageRow{"start_underscore",
                 {"--start", "AAAA_"},
                 std::string("--start: \"_\" for slot 5 is not a symbol of the key alphabet ") +
                     kAlphabet},
        // Characters, not bytes: "Ä" is two bytes of UTF-8.
        UsageRow{"start_umlaut",
                 {"--start=\xC3\x84"
                  "AAAA"},
                 std::string("--start: \"\xC3\x84\" for slot 1 is not a symbol of the key "
                             "alphabet ") +
                     kAlphabet},
        UsageRow{"start_umlaut_four_characters",
                 {"--start=\xC3\x84"
                  "AAA"},
                 "--start needs exactly five symbols, one for each disc slot, not 4 "
                 "(\"\xC3\x84"
                 "AAA\")"},
        UsageRow{"start_byte_that_is_no_utf8",
                 {"--start=\xC4"
                  "AAAA"},
                 std::string("--start: \"\\xC4\" for slot 1 is not a symbol of the key alphabet ") +
                     kAlphabet},
        UsageRow{"start_line_break_shown_escaped",
                 {"--start=A\nAA"},
                 "--start needs exactly five symbols, one for each disc slot, not 4 "
                 "(\"A\\x0AAA\")"},
        UsageRow{"group_zero", {"--group", "0"}, kGroupRange + "\"0\""},
        UsageRow{"group_101", {"--group=101"}, kGroupRange + "\"101\""},
        UsageRow{"group_not_a_number", {"--group", "5x"}, kGroupRange + "\"5x\""},
        UsageRow{"group_negative", {"--group=-5"}, kGroupRange + "\"-5\""},
        UsageRow{"groups_per_line_zero",
                 {"--group", "5", "--groups-per-line", "0"},
                 "--groups-per-line: needs a whole number from 1 to 100, not \"0\""},
        UsageRow{"groups_per_line_alone",
                 {"--groups-per-line", "3"},
                 "--groups-per-line M goes with --group N"},
        UsageRow{"json_and_trace_on_standard_output",
                 {"--json", "--trace", "-"},
                 "--json and --trace - cannot both write to standard output"},
        UsageRow{"groups_and_trace_on_standard_output",
                 {"--group", "5", "--trace=-"},
                 "--group lays out the text, which --trace - replaces"},
        UsageRow{"month_13",
                 {"--key-sheet", "2025-13", "--out", "@"},
                 "--key-sheet needs a month written YYYY-MM, such as 2025-03, not \"2025-13\""},
        UsageRow{"month_00",
                 {"--key-sheet", "2025-00", "--out", "@"},
                 "--key-sheet needs a month written YYYY-MM, such as 2025-03, not \"2025-00\""},
        UsageRow{"month_one_digit",
                 {"--key-sheet=2025-3", "--out", "@"},
                 "--key-sheet needs a month written YYYY-MM, such as 2025-03, not \"2025-3\""},
        UsageRow{"month_with_day",
                 {"--key-sheet", "2025-03-01", "--out", "@"},
                 "--key-sheet needs a month written YYYY-MM, such as 2025-03, not "
                 "\"2025-03-01\""},
        UsageRow{"month_of_year_0",
                 {"--key-sheet", "0000-01", "--out", "@"},
                 "--key-sheet needs a month written YYYY-MM, such as 2025-03, not \"0000-01\""},
        UsageRow{"key_sheet_without_out",
                 {"--key-sheet", "2025-03"},
                 "--key-sheet needs --out DIR, the folder for its files"},
        UsageRow{"out_without_key_sheet", {"--out", "@"}, "--out DIR goes with --key-sheet"},
        UsageRow{"key_sheet_and_key",
                 {"--key-sheet", "2025-03", "--out", "@", "--key", "x.key"},
                 "--key-sheet takes no other option than --out DIR"},
        UsageRow{"self_test_and_input",
                 {"--self-test", "in.txt"},
                 "--self-test takes no other options and no INPUT"},
        UsageRow{"check_value_and_start",
                 {"--check-value", "--start", "AAAAA"},
                 "--check-value takes no other option than --key FILE"},
        UsageRow{"two_tasks",
                 {"--self-test", "--check-value"},
                 "--check-value and --self-test cannot be used together"},
        UsageRow{"new_key_and_key_sheet",
                 {"--key-sheet", "2025-03", "--new-key", "@/k.key", "--out", "@"},
                 "--new-key and --key-sheet cannot be used together"}),
    [](const auto& p) { return std::string(p.param.name); });

// The forms a command line keeps: --opt=value, the last of a repeated option, "-" and "--".
TEST(Options, FormsOfTheCommandLine) {
    const std::string worked = "5M5QHAI6Y4";
    EXPECT_EQ(cli({"--start=AAAAA"}, "HALLO ALLE").out, worked);
    EXPECT_EQ(cli({"--start", "C8SPA", "--start", "AAAAA"}, "HALLO ALLE").out, worked);
    EXPECT_EQ(cli({"-"}, "HALLO ALLE").out, worked);
    EXPECT_EQ(cli({"--decipher", "--", "-"}, worked).out, "HALLO_ALLE");
    const test::ProcessResult dashed = cli({"--", "--decipher"});
    EXPECT_EQ(dashed.status, 1) << "after -- a name is an INPUT";
    EXPECT_EQ(dashed.err,
              "zelmak-cli: Kann Datei --decipher nicht öffnen. (No such file or directory)\n");
    EXPECT_EQ(cli({"--", "--decipher=0"}).status, 1) << "after -- it is an INPUT too";
}

// --help is all the output there is: when it cannot be written, the run failed and says why.
TEST(Options, HelpThatCannotBeWrittenSaysWhy) {
    const test::ProcessResult r = test::cliInShell("exec >/dev/full", {"--help"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "zelmak-cli: writing standard output failed: No space left on device\n");
}

// --help describes every option with an example.
TEST(Options, HelpShowsEveryOptionWithAnExample) {
    const test::ProcessResult r = cli({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    ASSERT_EQ(r.out.rfind("Usage: zelmak-cli", 0), 0u) << r.out;
    const std::size_t examplesAt = r.out.find("Examples:");
    ASSERT_NE(examplesAt, std::string::npos);
    const std::string described = r.out.substr(0, examplesAt);
    const std::string examples = r.out.substr(examplesAt);
    for (const char* option :
         {"--decipher", "--key", "--start", "--report", "--group", "--groups-per-line",
          "--ignore-blanks", "--json", "--trace", "--check-value", "--self-test", "--new-key",
          "--key-sheet", "--out", "-- "}) {
        EXPECT_NE(described.find(std::string(" ") + option), std::string::npos) << option;
        EXPECT_NE(examples.find(std::string(" ") + option), std::string::npos) << option;
    }
}

} // namespace
} // namespace zelmak
