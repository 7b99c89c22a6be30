// Input that zelmak-break cannot work on: one line naming the problem, the designed status,
// nothing on standard output and no file made.

#include "break_test_util.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <sys/stat.h>

namespace zelmak {
namespace {

namespace fs = std::filesystem;

struct RefusalRow {
    const char* name;
    std::string args;  // split at blanks; "@/" starts a name in the test's folder
    std::string input; // standard input
    int status;
    std::string message; // after "zelmak-break: ", "@/" as in args
    bool unprivileged = false;
};

void PrintTo(const RefusalRow& row, std::ostream* os) {
    *os << row.name;
}

class Refusal : public ::testing::TestWithParam<RefusalRow> {};

std::set<std::string> namesIn(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

TEST_P(Refusal, OneLineTheDesignedStatusAndNothingWritten) {
    const RefusalRow& row = GetParam();
    test::Intercept intercept;
    const std::string at = intercept.dir.path().string() + "/";
    test::writeFile(at + "bad.key", std::string(36, '\1'));
    test::writeFile(at + "short.key", std::string(10, '\1'));
    test::writeFile(at + "sealed.cif", "ABC");
    test::writeFile(at + "tiny.txt", "Zu wenig Text.");
    ::chmod((at + "sealed.cif").c_str(), 0);
    fs::create_directory(at + "folder");
    fs::permissions(intercept.dir.path(), fs::perms::all); // the unprivileged user looks inside
    auto placed = [&](std::string text) {
        for (std::size_t p = text.find("@/"); p != std::string::npos; p = text.find("@/", p))
            text.replace(p, 2, at);
        return text;
    };
    std::vector<std::string> args;
    std::istringstream words(placed(row.args));
    for (std::string word; words >> word;)
        args.push_back(word);
    const std::set<std::string> before = namesIn(intercept.dir.path());

    const test::ProcessResult r =
        row.unprivileged ? test::breakUnprivileged(args) : test::breakRun(args, row.input);
    EXPECT_EQ(r.status, row.status);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "zelmak-break: " + placed(row.message) + "\n");
    EXPECT_EQ(namesIn(intercept.dir.path()), before);
}

const std::string kSee = "; see zelmak-break --help";

INSTANTIATE_TEST_SUITE_P(
    CommandLine, Refusal,
    ::testing::Values(
        RefusalRow{"no_command", "", "", 2, "a command is needed: crib, start or stats" + kSee},
        RefusalRow{"unknown_command", "bombe", "", 2,
                   "unknown command \"bombe\": the commands are crib, start and stats" + kSee},
        RefusalRow{"crib_missing", "crib --order 12345", "", 2,
                   "crib needs --crib TEXT, the clear text at the offset" + kSee},
        RefusalRow{"crib_symbol_without_key", "crib --crib X-RAY", "", 2,
                   "--crib: the crib holds \"X\", which has no key on the machine" + kSee},
        RefusalRow{"top_0", "crib --crib=DIE_ZEIT --top 0", "", 2,
                   "--top needs a whole number from 1 to 1000, not \"0\"" + kSee},
        RefusalRow{"threads_0", "crib --crib=DIE_ZEIT --threads=0", "", 2,
                   "--threads needs a whole number from 1 to 1024, not \"0\"" + kSee},
        RefusalRow{"order_twice_a_disc", "crib --crib=DIE_ZEIT --order 31421", "", 2,
                   "--order needs the five disc numbers 1 to 5 of slots 1..5, each once, such as "
                   "31425, not \"31421\"" +
                       kSee},
        RefusalRow{"offsets_backwards", "crib --crib=DIE_ZEIT --at 9-3", "", 2,
                   "--at needs an offset N or a range N-M (N up to M), not \"9-3\"" + kSee},
        RefusalRow{"option_of_start", "crib --crib=DIE_ZEIT --all-orders", "", 2,
                   "crib has no option --all-orders" + kSee},
        RefusalRow{"order_and_key", "crib --crib=DIE_ZEIT --order 12345 --key @/day.key", "", 2,
                   "--order and --key cannot be used together: the key file holds the disc "
                   "order" +
                       kSee},
        RefusalRow{"start_without_key", "start", "", 2,
                   "start needs --key FILE, the card and disc order" + kSee}));

INSTANTIATE_TEST_SUITE_P(
    Message, Refusal,
    ::testing::Values(
        RefusalRow{"empty", "stats", "", 1, "standard input: the message holds no key symbols"},
        RefusalRow{"no_key_symbol", "crib --crib=DIE_ZEIT", "5M5QH AI6!4", 1,
                   "standard input: the message holds \"!\" at byte 10, which is no key symbol"},
        RefusalRow{"crib_longer", "crib --crib=DIE_ZEIT --order 12345", "5M5QH", 2,
                   "the crib (8 symbols) is longer than the message (5 symbols)"},
        RefusalRow{"offset_beyond", "crib --crib=DIE_ZEIT --at 150 @/intercept.cif", "", 2,
                   "the offset must lie within 0-143 for a crib of 8 symbols in a message of "
                   "151"}));

INSTANTIATE_TEST_SUITE_P(
    Files, Refusal,
    ::testing::Values(
        RefusalRow{"missing", "stats @/none.cif", "", 1,
                   "Kann Datei @/none.cif nicht öffnen. (No such file or directory)"},
        RefusalRow{"folder", "stats @/folder", "", 1,
                   "Kann Datei @/folder nicht öffnen. (Is a directory)"},
        RefusalRow{"device", "crib --crib=DIE_ZEIT /dev/zero", "", 1,
                   "Kann Datei /dev/zero nicht öffnen. (no regular file)"},
        RefusalRow{"unreadable", "stats @/sealed.cif", "", 1,
                   "Kann Datei @/sealed.cif nicht öffnen. (Permission denied)", true},
        RefusalRow{"key_a_device", "start --key /dev/zero @/intercept.cif", "", 1,
                   "/dev/zero: Dateizugriff verweigert. (no regular file)"},
        RefusalRow{"key_short", "crib --crib=DIE_ZEIT --key @/short.key @/intercept.cif", "", 1,
                   "@/short.key: Lesen nach Dateiende (EOF)."},
        RefusalRow{"key_rejected", "start --key @/bad.key @/intercept.cif", "", 2,
                   "@/bad.key: Error Cipher-Card!"},
        RefusalRow{"out_key_exists", "crib --crib=DIE_ZEIT --out-key @/day.key @/intercept.cif", "",
                   1, "@/day.key exists already; --out-key never replaces a file"},
        RefusalRow{"language_missing", "crib --crib=DIE_ZEIT --language @/none.txt @/intercept.cif",
                   "", 1, "Kann Datei @/none.txt nicht öffnen. (No such file or directory)"},
        RefusalRow{"language_too_little",
                   "start --key @/day.key --language @/tiny.txt @/intercept.cif", "", 1,
                   "@/tiny.txt: the language sample holds 15 symbols the machine can key, too few "
                   "to learn from (at least 1000)"}));

} // namespace
} // namespace zelmak
