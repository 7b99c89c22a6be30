// The writing rules every save shares: symbolic links are followed (also to a file that does not
// exist yet) and stay links; a key is never written into anything but a regular file; a text
// replaces a file through a new one, except where that would lose the file's other names or its
// owner or group, or where no new file may be made beside it: then it is written in place.

#include "file_conditions.h"
#include "files/file_error.h"
#include "files/key_file.h"
#include "files/text_files.h"
#include "session_rig.h"
#include "temp_dir.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <unistd.h>

namespace zelmak {
namespace {

namespace fs = std::filesystem;
using test::AsUnprivilegedUser;
using test::kNobody;
using test::readFile;
using test::reversedRecordBytes;
using test::setMode;
using test::TempDir;
using test::writeFile;

const std::string kText = "NEW CIPHER TEXT";
const std::string kEarlier = "the earlier bytes, longer than a record of thirty-six bytes";

// How each writer ended: "" when it wrote, "exists" when createKeyFile found the name taken,
// or the error it raised.
std::string outcome(const std::function<void()>& write) {
    try {
        write();
        return "";
    } catch (const FileError& e) {
        return "code " + std::to_string(e.code());
    } catch (const TextFileError& e) {
        return e.what();
    }
}

// ---- Symbolic links ---------------------------------------------------------------------------

struct LinkRow {
    const char* name;
    // Makes the links in the folder and returns the name chosen for the save.
    std::function<std::string(const TempDir&)> prepare;
    const char* lands;     // where the bytes land, relative to the folder; nullptr: nowhere
    bool existing = false; // a file stands there before the save
    int keyCode = 0;       // the key writers' error code where nothing lands
};

void PrintTo(const LinkRow& row, std::ostream* os) {
    *os << row.name;
}

class ThroughALink : public ::testing::TestWithParam<LinkRow> {};

// Saves through the row's link with one writer; returns how it ended and checks the link stayed.
std::string saveThrough(const LinkRow& row, const TempDir& dir,
                        const std::function<void(const std::string&)>& write) {
    fs::create_directory(dir.file("sub"));
    const std::string chosen = row.prepare(dir);
    const fs::path pointsAt = fs::read_symlink(chosen);
    const std::string got = outcome([&] { write(chosen); });
    EXPECT_TRUE(fs::is_symlink(chosen));
    EXPECT_EQ(fs::read_symlink(chosen), pointsAt);
    return got;
}

TEST_P(ThroughALink, TextSaveWritesWhereItPoints) {
    const LinkRow& row = GetParam();
    TempDir dir;
    std::string chosen;
    const std::string got = saveThrough(row, dir, [&](const std::string& name) {
        chosen = name;
        writeTextFile(name, kText);
    });
    if (!row.lands) {
        EXPECT_EQ(got, "Kann Datei " + chosen + " nicht erstellen");
        return;
    }
    EXPECT_EQ(got, "");
    EXPECT_EQ(readFile(dir.file(row.lands)), kText);
}

TEST_P(ThroughALink, KeySaveWritesWhereItPoints) {
    const LinkRow& row = GetParam();
    TempDir dir;
    const std::string got = saveThrough(row, dir, [](const std::string& name) {
        writeKeyRecord(name, test::recordOf(reversedRecordBytes()));
    });
    if (!row.lands) {
        EXPECT_EQ(got, "code " + std::to_string(row.keyCode));
        return;
    }
    EXPECT_EQ(got, "");
    EXPECT_EQ(readFile(dir.file(row.lands)).substr(0, 36), reversedRecordBytes());
}

// A new key file is made where the link points at nothing yet; an existing file stays untouched.
TEST_P(ThroughALink, NewKeyIsCreatedOnlyWhereNothingStands) {
    const LinkRow& row = GetParam();
    TempDir dir;
    bool created = false;
    const std::string got = saveThrough(row, dir, [&](const std::string& name) {
        created = createKeyFile(name, test::recordOf(reversedRecordBytes()));
    });
    if (!row.lands) {
        EXPECT_EQ(got, "code " + std::to_string(row.keyCode));
        return;
    }
    EXPECT_EQ(got, "");
    EXPECT_EQ(created, !row.existing);
    EXPECT_EQ(readFile(dir.file(row.lands)), row.existing ? kEarlier : reversedRecordBytes());
}

INSTANTIATE_TEST_SUITE_P(
    Links, ThroughALink,
    ::testing::Values(LinkRow{"PointingAtNothingYet",
                              [](const TempDir& d) {
                                  fs::create_symlink("sub/letter", d.file("link"));
                                  return d.file("link");
                              },
                              "sub/letter"},
                      LinkRow{"ChainEndingInNothing",
                              [](const TempDir& d) {
                                  fs::create_symlink(d.file("sub/second"), d.file("first"));
                                  fs::create_symlink("../sub/letter", d.file("sub/second"));
                                  return d.file("first");
                              },
                              "sub/letter"},
                      LinkRow{"PointingAtAFile",
                              [](const TempDir& d) {
                                  writeFile(d.file("sub/letter"), kEarlier);
                                  fs::create_symlink("sub/letter", d.file("link"));
                                  return d.file("link");
                              },
                              "sub/letter", true},
                      LinkRow{"IntoAMissingFolder",
                              [](const TempDir& d) {
                                  fs::create_symlink("nowhere/letter", d.file("link"));
                                  return d.file("link");
                              },
                              nullptr, false, io::kPathNotFound},
                      LinkRow{"InALoop",
                              [](const TempDir& d) {
                                  fs::create_symlink("b", d.file("a"));
                                  fs::create_symlink("a", d.file("b"));
                                  return d.file("a");
                              },
                              nullptr, false, io::kPathNotFound}),
    [](const auto& p) { return std::string(p.param.name); });

// ---- A key goes only into a regular file ------------------------------------------------------

TEST(KeySave, IntoANamedPipeIsRefusedBeforeAnythingIsWritten) {
    TempDir dir;
    const std::string fifo = dir.file("pipe.key");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    // A reader that keeps whatever reaches the pipe, so a key written into it would show.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    fs::create_symlink("pipe.key", dir.file("link.key"));
    for (const std::string& chosen : {fifo, dir.file("link.key")}) {
        EXPECT_EQ(outcome([&] { writeKeyRecord(chosen, test::recordOf(reversedRecordBytes())); }),
                  "code 5")
            << chosen;
        EXPECT_FALSE(createKeyFile(chosen, test::recordOf(reversedRecordBytes()))) << chosen;
    }
    char byte = 0;
    EXPECT_EQ(::read(reader, &byte, 1), 0) << "the key went into the pipe";
    ::close(reader);
}

TEST(KeySave, OntoADeviceIsRefused) {
    TempDir dir;
    fs::create_symlink("/dev/null", dir.file("null.key"));
    for (const std::string& chosen : {std::string("/dev/null"), dir.file("null.key")})
        EXPECT_EQ(outcome([&] { writeKeyRecord(chosen, test::recordOf(reversedRecordBytes())); }),
                  "code 5")
            << chosen;
}

// ---- Replacing a text file or writing it in place ---------------------------------------------

struct Identity {
    ino_t inode;
    nlink_t links;
    uid_t owner;
    gid_t group;
    mode_t mode;
};

Identity identityOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return {st.st_ino, st.st_nlink, st.st_uid, st.st_gid, st.st_mode & 07777};
}

void chown(const std::string& path, uid_t owner, gid_t group) {
    ASSERT_EQ(::chown(path.c_str(), owner, group), 0) << path;
}

struct PlaceRow {
    const char* name;
    // Prepares the folder (open to everyone) and the earlier file "x.cif" in it.
    std::function<void(const TempDir&)> prepare;
    bool inPlace;
    bool unprivileged = false;
    bool needsRoot = false; // only root can give a file to another user or group
};

void PrintTo(const PlaceRow& row, std::ostream* os) {
    *os << row.name;
}

class TextSave : public ::testing::TestWithParam<PlaceRow> {};

TEST_P(TextSave, KeepsTheFilesNamesOwnerGroupAndMode) {
    const PlaceRow& row = GetParam();
    if (row.needsRoot && ::geteuid() != 0)
        GTEST_SKIP() << "only root can make a file of another user or group";
    TempDir dir;
    setMode(dir.path().string(), 0777);
    const std::string path = dir.file("x.cif");
    writeFile(path, kEarlier);
    setMode(path, 0664);
    row.prepare(dir);
    const Identity before = identityOf(path);
    const auto names = test::namesIn(dir.path());
    {
        std::optional<AsUnprivilegedUser> user;
        if (row.unprivileged)
            user.emplace();
        EXPECT_EQ(outcome([&] { writeTextFile(path, kText); }), "");
    }
    EXPECT_EQ(readFile(path), kText);
    const Identity after = identityOf(path);
    EXPECT_EQ(after.inode == before.inode, row.inPlace) << "inode " << after.inode;
    EXPECT_EQ(after.links, before.links);
    EXPECT_EQ(after.owner, before.owner);
    EXPECT_EQ(after.group, before.group);
    EXPECT_EQ(after.mode, before.mode);
    EXPECT_EQ(test::namesIn(dir.path()), names) << "a temporary file stayed behind";
}

INSTANTIATE_TEST_SUITE_P(
    Files, TextSave,
    ::testing::Values(
        PlaceRow{"OwnFileIsReplaced", [](const TempDir&) {}, false},
        PlaceRow{"HardLinkedFileInPlace",
                 [](const TempDir& d) { fs::create_hard_link(d.file("x.cif"), d.file("other")); },
                 true},
        PlaceRow{"FileOfAnotherUserInPlace",
                 [](const TempDir& d) { chown(d.file("x.cif"), kNobody, kNobody); }, true, false,
                 true},
        PlaceRow{"GroupThatCannotBeKeptInPlace",
                 [](const TempDir& d) { chown(d.file("x.cif"), kNobody, 0); }, true, true, true},
        // The file may be written, the folder may not: no new file can be made beside it.
        PlaceRow{"WritableFileInReadOnlyFolderInPlace",
                 [](const TempDir& d) {
                     if (::geteuid() == 0)
                         chown(d.file("x.cif"), kNobody, kNobody);
                     setMode(d.path().string(), 0555);
                 },
                 true, true}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(TextSaveInPlace, AFailedWriteIsReportedWithTheSystemsError) {
    TempDir dir;
    const std::string path = dir.file("x.cif");
    writeFile(path, kEarlier);
    fs::create_hard_link(path, dir.file("other"));
    std::optional<TextFileError> error;
    {
        test::FileSizeLimit limit(10);
        try {
            writeTextFile(path, kText);
        } catch (const TextFileError& e) {
            error = e;
        }
    }
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), TextFileError::Kind::Write);
    EXPECT_EQ(error->systemError(), EFBIG);
    EXPECT_EQ(readFile(dir.file("other")), kText.substr(0, 10)) << "both names are one file";
}

} // namespace
} // namespace zelmak
