// zelmak-cli within a small address space: a file's claimed size never sizes a buffer, the trace
// goes out as it is made, and memory that runs out is one line and status 1, not an abort.

#include "cli_test_util.h"
#include "temp_dir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace zelmak {
namespace {

using test::ProcessResult;
using test::TempDir;

// The program's address space: a few times what it needs for itself and a chunk of the text.
const std::string kCap = "ulimit -v 32768";

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
constexpr bool kAddressSanitizer = __has_feature(address_sanitizer);
#else
constexpr bool kAddressSanitizer = false;
#endif

class InASmallAddressSpace : public ::testing::Test {
protected:
    void SetUp() override {
        if (kAddressSanitizer)
            GTEST_SKIP() << "AddressSanitizer reserves more address space than the cap leaves";
    }
    TempDir dir;
};

// A sparse file claims 64 MiB and holds no key: --json reads it through in chunks.
TEST_F(InASmallAddressSpace, JsonOfASparseFileThatClaimsMoreThanTheCap) {
    const std::string sparse = dir.file("sparse");
    test::writeFile(sparse, "");
    std::filesystem::resize_file(sparse, std::uintmax_t{64} << 20);
    for (const std::vector<std::string>& extra :
         {std::vector<std::string>{}, std::vector<std::string>{"--group", "5"}}) {
        std::vector<std::string> args{"--json", sparse};
        args.insert(args.end(), extra.begin(), extra.end());
        const ProcessResult r = test::cliInShell(kCap, args);
        ASSERT_EQ(r.status, 0) << r.err;
        const auto j = nlohmann::json::parse(r.out);
        EXPECT_EQ(j.at("skipped"), std::uint64_t{64} << 20);
        EXPECT_EQ(j.at("output"), "");
    }
}

TEST_F(InASmallAddressSpace, JsonThatDoesNotFitIsOneLineAndStatus1) {
    const std::string text = dir.file("long.txt");
    test::writeFile(text, std::string(std::size_t{16} << 20, 'A'));
    const ProcessResult r = test::cliInShell(kCap, {"--json", text});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "zelmak-cli: not enough memory to hold the whole text for --json\n");
}

// A trace larger than the whole address space: it is written as it is made.
TEST_F(InASmallAddressSpace, TraceLargerThanTheCap) {
    const std::string text = dir.file("clear.txt");
    test::writeFile(text, std::string(std::size_t{1} << 20, 'A'));
    const ProcessResult r = test::cliInShell(kCap, {"--trace", dir.file("t.csv"), text});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_GT(std::filesystem::file_size(dir.file("t.csv")), std::uintmax_t{32} << 20);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"clear.txt", "t.csv"}))
        << "a temporary file stayed behind";
}

} // namespace
} // namespace zelmak
