#include "cli_test_util.h"
#include "temp_dir.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelmak {
namespace {

using test::cli;
using test::readFile;
using test::TempDir;

TEST(NewKey, WritesA36ByteKeyOfPermutations) {
    TempDir dir;
    const auto result = cli({"--new-key", dir.file("k.key")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "");
    const std::string bytes = readFile(dir.file("k.key"));
    ASSERT_EQ(bytes.size(), 36u);
    std::string card = bytes.substr(0, 31);
    std::string discs = bytes.substr(31);
    std::sort(card.begin(), card.end());
    std::sort(discs.begin(), discs.end());
    for (int k = 1; k <= 31; ++k)
        EXPECT_EQ(card[static_cast<std::size_t>(k - 1)], k);
    EXPECT_EQ(discs, std::string("\0\1\2\3\4", 5));
}

TEST(NewKey, TheKeyCiphersAndDeciphersWithKey) {
    TempDir dir;
    ASSERT_EQ(cli({"--new-key=" + dir.file("k.key")}).status, 0);
    const auto ciphered = cli({"--key", dir.file("k.key"), "--start", "Q9A2N"}, "HALLO WELT");
    ASSERT_EQ(ciphered.status, 0) << ciphered.err;
    ASSERT_EQ(ciphered.out.size(), 9u);
    const auto deciphered =
        cli({"--decipher", "--key", dir.file("k.key"), "--start", "Q9A2N"}, ciphered.out);
    ASSERT_EQ(deciphered.status, 0) << deciphered.err;
    EXPECT_EQ(deciphered.out, "HALLO_ELT"); // W has no key; the space deciphers to "_"
}

TEST(NewKey, TwoKeysDiffer) {
    TempDir dir;
    ASSERT_EQ(cli({"--new-key", dir.file("a.key")}).status, 0);
    ASSERT_EQ(cli({"--new-key", dir.file("b.key")}).status, 0);
    EXPECT_NE(readFile(dir.file("a.key")), readFile(dir.file("b.key")));
}

TEST(NewKey, NeverReplacesAFile) {
    TempDir dir;
    test::writeFile(dir.file("k.key"), "precious");
    const auto result = cli({"--new-key", dir.file("k.key")});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("exists already"), std::string::npos) << result.err;
    EXPECT_EQ(readFile(dir.file("k.key")), "precious");
}

// A link to nothing yet makes the file it points at and stays a link; a link to a file is a file
// that exists.
TEST(NewKey, ThroughASymbolicLinkCreatesOnlyWhereNothingStands) {
    TempDir dir;
    std::filesystem::create_symlink("k.key", dir.file("link.key"));
    const auto made = cli({"--new-key", dir.file("link.key")});
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.key")));
    const std::string key = readFile(dir.file("k.key"));
    EXPECT_EQ(key.size(), 36u);

    const auto again = cli({"--new-key", dir.file("link.key")});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("exists already"), std::string::npos) << again.err;
    EXPECT_EQ(readFile(dir.file("k.key")), key);
}

TEST(NewKey, ReportsAFileErrorWithItsMessage) {
    TempDir dir;
    const auto missing = cli({"--new-key", dir.file("no/k.key")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "zelmak-cli: " + dir.file("no/k.key") +
                               ": Ungültiger Dateiname. (No such file or directory)\n");
}

TEST(NewKey, UnprivilegedUserInAForeignFolderIsRefused) {
    TempDir dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), ::geteuid() == 0 ? 0755 : 0555), 0);
    const auto result = test::cliUnprivileged({"--new-key", dir.file("k.key")});
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_EQ(result.err, "zelmak-cli: " + dir.file("k.key") +
                              ": Dateizugriff verweigert. (Permission denied)\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("k.key")));
}

TEST(NewKey, TakesNoOtherOptions) {
    TempDir dir;
    for (const auto& extra : std::vector<std::vector<std::string>>{
             {"--decipher"}, {"--key", "x.key"}, {"--start", "AAAAA"}, {"--report"}, {"in.txt"}}) {
        std::vector<std::string> args{"--new-key", dir.file("k.key")};
        args.insert(args.end(), extra.begin(), extra.end());
        const auto result = cli(args);
        EXPECT_EQ(result.status, 2) << extra[0];
        EXPECT_NE(result.err.find("--new-key"), std::string::npos) << result.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("k.key")));
    EXPECT_EQ(cli({"--new-key"}).status, 2);
}

TEST(NewKey, UsageTextNamesIt) {
    const auto result = cli({"--help"});
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find("zelmak-cli --new-key FILE"), std::string::npos);
}

} // namespace
} // namespace zelmak
