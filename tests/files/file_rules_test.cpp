#include "files/file_rules.h"

#include "fifo_guard.h"
#include "file_conditions.h"
#include "temp_dir.h"

#include <cerrno>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace zelmak {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using Outcome = FileRead::Outcome;

struct ReadRow {
    const char* name;
    std::function<std::string(const TempDir&)> make; // returns the path to read
    std::size_t limit;
    Outcome outcome;
    std::optional<std::string> bytes = std::nullopt; // the bytes read, when known
    int systemError = 0;
    bool unprivileged = false;
};

void PrintTo(const ReadRow& row, std::ostream* os) {
    *os << row.name;
}

std::function<std::string(const TempDir&)> file(std::string bytes) {
    return [bytes](const TempDir& d) {
        test::writeFile(d.file("f"), bytes);
        return d.file("f");
    };
}

std::function<std::string(const TempDir&)> system(std::string path) {
    return [path](const TempDir&) { return path; };
}

class ReadRegularFile : public ::testing::TestWithParam<ReadRow> {};

TEST_P(ReadRegularFile, ReadsOnlyARegularFileWithinTheLimitAndNeverWaits) {
    const ReadRow& row = GetParam();
    TempDir dir;
    test::setMode(dir.path().string(), 0755);
    const std::string path = row.make(dir);
    FileRead read;
    {
        test::FifoGuard guard(path);
        std::optional<test::AsUnprivilegedUser> user;
        if (row.unprivileged)
            user.emplace();
        read = readRegularFile(path, row.limit);
        EXPECT_FALSE(guard.fired()) << "the read waited for the other end of a pipe";
    }
    EXPECT_EQ(read.outcome, row.outcome);
    EXPECT_EQ(read.systemError, row.systemError);
    if (row.bytes) {
        EXPECT_EQ(read.bytes, *row.bytes);
    }
    if (row.outcome != Outcome::Read) {
        EXPECT_TRUE(read.bytes.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadRegularFile,
    ::testing::Values(
        ReadRow{"whole_file", file(std::string("a\0b\r\n\xff", 6)), 16, Outcome::Read,
                std::string("a\0b\r\n\xff", 6)},
        ReadRow{"empty_file", file(""), 16, Outcome::Read, ""},
        ReadRow{"exactly_the_limit", file(std::string(16, 'x')), 16, Outcome::Read,
                std::string(16, 'x')},
        ReadRow{"one_byte_over_the_limit", file(std::string(17, 'x')), 16, Outcome::TooLarge},
        ReadRow{"sparse_file_of_a_gigabyte",
                [](const TempDir& d) {
                    test::writeFile(d.file("sparse"), "");
                    fs::resize_file(d.file("sparse"), std::uintmax_t{1} << 30);
                    return d.file("sparse");
                },
                16 * kMiB, Outcome::TooLarge},
        // /proc files say they are empty; what they hold still counts against the limit.
        ReadRow{"proc_file_within_the_limit", system("/proc/self/status"), kMiB, Outcome::Read},
        ReadRow{"proc_file_over_the_limit", system("/proc/self/status"), 16, Outcome::TooLarge},
        ReadRow{"fifo_without_a_writer",
                [](const TempDir& d) {
                    test::makeFifo(d.file("pipe"));
                    return d.file("pipe");
                },
                16, Outcome::NotRegular},
        ReadRow{"link_to_a_fifo",
                [](const TempDir& d) {
                    test::makeFifo(d.file("pipe"));
                    fs::create_symlink(d.file("pipe"), d.file("link"));
                    return d.file("link");
                },
                16, Outcome::NotRegular},
        ReadRow{"endless_device", system("/dev/zero"), 16 * kMiB, Outcome::NotRegular},
        ReadRow{"terminal_device", system("/dev/tty"), 16, Outcome::NotRegular},
        ReadRow{"folder", [](const TempDir& d) { return d.path().string(); }, 16,
                Outcome::NotRegular, std::nullopt, EISDIR},
        ReadRow{"missing_file", [](const TempDir& d) { return d.file("none"); }, 16,
                Outcome::Failed, std::nullopt, ENOENT},
        ReadRow{"unreadable_file",
                [](const TempDir& d) {
                    test::writeFile(d.file("secret"), "x");
                    test::setMode(d.file("secret"), 0);
                    return d.file("secret");
                },
                16, Outcome::Failed, std::nullopt, EACCES, true}),
    [](const auto& p) { return std::string(p.param.name); });

struct InsideRow {
    const char* name;
    const char* path; // relative to the temporary folder, which holds help/ and help2/
    bool inside;
};

void PrintTo(const InsideRow& row, std::ostream* os) {
    *os << row.name;
}

class LiesInside : public ::testing::TestWithParam<InsideRow> {};

TEST_P(LiesInside, FollowsLinksAndDotsBeforeJudging) {
    TempDir dir;
    fs::create_directories(dir.path() / "help" / "pics");
    fs::create_directories(dir.path() / "help2");
    test::writeFile(dir.file("help/a.png"), "a");
    test::writeFile(dir.file("help/pics/b.png"), "b");
    test::writeFile(dir.file("help2/c.png"), "c");
    test::writeFile(dir.file("outside.png"), "o");
    fs::create_symlink(dir.file("outside.png"), dir.file("help/out-link.png"));
    fs::create_symlink("a.png", dir.file("help/in-link.png"));
    EXPECT_EQ(liesInside(dir.file(GetParam().path), dir.file("help")), GetParam().inside);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, LiesInside,
    ::testing::Values(InsideRow{"file_in_the_folder", "help/a.png", true},
                      InsideRow{"file_in_a_subfolder", "help/pics/b.png", true},
                      InsideRow{"link_within_the_folder", "help/in-link.png", true},
                      InsideRow{"dots_that_stay_inside", "help/pics/../a.png", true},
                      InsideRow{"link_that_points_outside", "help/out-link.png", false},
                      InsideRow{"dots_that_lead_outside", "help/../outside.png", false},
                      InsideRow{"folder_whose_name_starts_alike", "help2/c.png", false},
                      InsideRow{"the_folder_itself", "help", false},
                      InsideRow{"missing_file", "help/none.png", false}),
    [](const auto& p) { return std::string(p.param.name); });

} // namespace
} // namespace zelmak
