// An output of zelmak-cli never goes into one of its inputs: a trace or standard output into the
// text being read or into the key file would destroy it, or grow it as long as the disk has room.

#include "cli_test_util.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace zelmak {
namespace {

using test::ProcessResult;
using test::readFile;
using test::TempDir;

struct SameFileRow {
    const char* name;
    std::string redirections;      // for the shell; "@" stands for the test's folder
    std::vector<std::string> args; // "@" too
    std::string refusal;           // between "zelmak-cli: " and "; see ..."; "": the run is fine
};

void PrintTo(const SameFileRow& row, std::ostream* os) {
    *os << row.name;
}

class SameFile : public ::testing::TestWithParam<SameFileRow> {};

TEST_P(SameFile, IsRefusedBeforeAnythingIsWritten) {
    const SameFileRow& row = GetParam();
    TempDir dir;
    auto placed = [&](std::string text) {
        for (std::size_t at; (at = text.find('@')) != std::string::npos;)
            text.replace(at, 1, dir.path().string());
        return text;
    };
    const std::string letter = "HALLO ALLE\n";
    const std::string key = test::keyRecord(test::reversedCard(), {4, 3, 2, 1, 0});
    test::writeFile(dir.file("letter.txt"), letter);
    test::writeFile(dir.file("day.key"), key);
    std::filesystem::create_symlink("letter.txt", dir.file("link.csv"));
    std::vector<std::string> args;
    for (const std::string& arg : row.args)
        args.push_back(placed(arg));
    // Should the program write into its input after all, the size limit stops it soon.
    std::string shell = "trap '' XFSZ; ulimit -f 1024";
    if (!row.redirections.empty())
        shell += "; " + placed(row.redirections);
    const ProcessResult r = test::cliInShell(shell, args);

    if (row.refusal.empty()) {
        EXPECT_EQ(r.status, 0) << r.err;
        return;
    }
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "zelmak-cli: " + placed(row.refusal) + "; see zelmak-cli --help\n");
    EXPECT_EQ(readFile(dir.file("letter.txt")), letter);
    EXPECT_EQ(readFile(dir.file("day.key")), key);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SameFile,
    ::testing::Values(SameFileRow{"trace_into_the_input",
                                  "",
                                  {"--trace", "@/letter.txt", "@/letter.txt"},
                                  "--trace @/letter.txt names the input file @/letter.txt"},
                      SameFileRow{"trace_through_a_link_into_the_input",
                                  "",
                                  {"--trace", "@/link.csv", "@/letter.txt"},
                                  "--trace @/link.csv names the input file @/letter.txt"},
                      SameFileRow{"trace_into_the_key_file",
                                  "",
                                  {"--key", "@/day.key", "--trace", "@/day.key", "@/letter.txt"},
                                  "--trace @/day.key names the key file @/day.key"},
                      SameFileRow{"trace_into_standard_input",
                                  "exec <@/letter.txt",
                                  {"--trace", "@/letter.txt"},
                                  "--trace @/letter.txt names the file standard input comes from"},
                      SameFileRow{"appended_to_the_input",
                                  "exec >>@/letter.txt",
                                  {"@/letter.txt"},
                                  "standard output goes to the input file @/letter.txt"},
                      SameFileRow{"appended_to_standard_input",
                                  "exec <@/letter.txt >>@/letter.txt",
                                  {},
                                  "standard output goes to the file standard input comes from"},
                      SameFileRow{"json_appended_to_the_input",
                                  "exec >>@/letter.txt",
                                  {"--json", "@/letter.txt"},
                                  "standard output goes to the input file @/letter.txt"},
                      SameFileRow{"appended_to_the_key_file",
                                  "exec >>@/day.key",
                                  {"--key", "@/day.key", "@/letter.txt"},
                                  "standard output goes to the key file @/day.key"},
                      SameFileRow{"check_value_appended_to_the_key_file",
                                  "exec >>@/day.key",
                                  {"--check-value", "--key", "@/day.key"},
                                  "standard output goes to the key file @/day.key"},
                      // A device gives and takes without harm.
                      SameFileRow{"null_device_both_ways", "exec </dev/null >/dev/null", {}, ""},
                      SameFileRow{"trace_of_the_null_device_into_it",
                                  "",
                                  {"--trace", "/dev/null", "/dev/null"},
                                  ""}),
    [](const auto& p) { return std::string(p.param.name); });

} // namespace
} // namespace zelmak
