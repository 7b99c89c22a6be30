// A file written piece by piece (the trace of a long run): the pieces wait in a new file beside
// the target, never in the system's temporary folder when a file may be made there, and reach
// the target only at commit(); a writer dropped before leaves the target and the folder as they
// were.

#include "file_conditions.h"
#include "files/file_writing.h"
#include "temp_dir.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace zelmak {
namespace {

namespace fs = std::filesystem;
using test::AsUnprivilegedUser;
using test::readFile;
using test::setMode;
using test::TempDir;
using test::writeFile;
using writing::Result;
using writing::StreamedFile;

const std::string kEarlier = "the earlier trace";
const std::string kPieces[] = {"key,letter\r\n", std::string(100000, 'Q'), "\r\nlast\r\n"};

struct StreamRow {
    const char* name;
    // Prepares the folder (open to everyone) and the earlier file "t.csv" in it.
    std::function<void(const TempDir&)> prepare;
    bool inPlace;             // the target keeps its inode
    bool besideTarget = true; // the pieces wait in a new file in the target's folder
    bool unprivileged = false;
};

void PrintTo(const StreamRow& row, std::ostream* os) {
    *os << row.name;
}

ino_t inodeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

class Streamed : public ::testing::TestWithParam<StreamRow> {};

TEST_P(Streamed, PiecesReachTheTargetOnlyAtCommit) {
    const StreamRow& row = GetParam();
    TempDir dir;
    setMode(dir.path().string(), 0777);
    const std::string path = dir.file("t.csv");
    writeFile(path, kEarlier);
    setMode(path, 0666);
    row.prepare(dir);
    const bool existed = fs::exists(path);
    const ino_t inode = inodeOf(path);
    const auto names = test::namesIn(dir.path());

    std::optional<AsUnprivilegedUser> user;
    if (row.unprivileged)
        user.emplace();
    for (const bool keep : {false, true}) {
        StreamedFile file;
        ASSERT_TRUE(file.open(path).done());
        for (const std::string& piece : kPieces)
            ASSERT_TRUE(file.write(piece).done());
        EXPECT_EQ(test::namesIn(dir.path()).size(), names.size() + (row.besideTarget ? 1 : 0))
            << "where the pieces wait";
        EXPECT_EQ(fs::exists(path) ? readFile(path) : "(none)", existed ? kEarlier : "(none)")
            << "before commit";
        if (keep)
            ASSERT_TRUE(file.commit().done());
        else
            file.discard();
    }
    user.reset();
    EXPECT_EQ(readFile(path), kPieces[0] + kPieces[1] + kPieces[2]);
    if (existed) {
        EXPECT_EQ(inodeOf(path) == inode, row.inPlace);
    }
    auto expected = names;
    if (!existed)
        expected = {"t.csv"};
    EXPECT_EQ(test::namesIn(dir.path()), expected) << "a temporary file stayed behind";
}

INSTANTIATE_TEST_SUITE_P(
    Files, Streamed,
    ::testing::Values(
        StreamRow{"NewFile", [](const TempDir& d) { fs::remove(d.file("t.csv")); }, false},
        StreamRow{"OwnFileIsReplaced", [](const TempDir&) {}, false},
        StreamRow{"HardLinkedFileInPlace",
                  [](const TempDir& d) { fs::create_hard_link(d.file("t.csv"), d.file("other")); },
                  true},
        // No file may be made beside it: the pieces wait elsewhere and are copied in.
        StreamRow{"WritableFileInReadOnlyFolderInPlace",
                  [](const TempDir& d) {
                      if (::geteuid() == 0) {
                          ASSERT_EQ(::chown(d.file("t.csv").c_str(), test::kNobody, test::kNobody),
                                    0);
                      }
                      setMode(d.path().string(), 0555);
                  },
                  true, false, true}),
    [](const auto& p) { return std::string(p.param.name); });

// A device takes the pieces as they come.
TEST(StreamedDevice, IsWrittenStraight) {
    StreamedFile file;
    ASSERT_TRUE(file.open("/dev/null").done());
    EXPECT_TRUE(file.write(kPieces[1]).done());
    EXPECT_TRUE(file.commit().done());

    ASSERT_TRUE(file.open("/dev/full").done());
    const Result full = file.write(kPieces[1]);
    EXPECT_EQ(full.stage, Result::Stage::Store);
    EXPECT_EQ(full.err, ENOSPC);
}

} // namespace
} // namespace zelmak
