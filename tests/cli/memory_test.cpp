// zelmak-cli within a small address space: the trace goes out as it is made.

#include "cli_test_util.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

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
