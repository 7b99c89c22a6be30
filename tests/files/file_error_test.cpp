#include "files/file_error.h"
#include "temp_dir.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace zelmak {
namespace {

struct ErrnoRow {
    const char* name;
    int errnoValue;
    int code;
    const char* message;
};

void PrintTo(const ErrnoRow& row, std::ostream* os) {
    *os << row.name;
}

class SystemErrors : public ::testing::TestWithParam<ErrnoRow> {};

TEST_P(SystemErrors, MapToTheOperatorsCodes) {
    const ErrnoRow& row = GetParam();
    test::TempDir dir; // an existing folder, so that ENOENT means a missing file
    const FileError e = FileError::fromErrno(row.errnoValue, dir.file("k.key"));
    EXPECT_EQ(e.code(), row.code);
    EXPECT_STREQ(e.what(), row.message);
    EXPECT_EQ(e.systemError(), row.errnoValue) << "the reason behind the code";
}

INSTANTIATE_TEST_SUITE_P(
    Errno, SystemErrors,
    ::testing::Values(
        ErrnoRow{"MissingFile", ENOENT, 2, "Datei nicht gefunden"},
        ErrnoRow{"NotAFolder", ENOTDIR, 3, "Ungültiger Dateiname"},
        ErrnoRow{"NameTooLong", ENAMETOOLONG, 3, "Ungültiger Dateiname"},
        ErrnoRow{"TooManyOpen", EMFILE, 4, "Zu viele Dateien geöffnet"},
        ErrnoRow{"TooManyOpenInSystem", ENFILE, 4, "Zu viele Dateien geöffnet"},
        ErrnoRow{"NoPermission", EACCES, 5, "Dateizugriff verweigert"},
        ErrnoRow{"NotPermitted", EPERM, 5, "Dateizugriff verweigert"},
        ErrnoRow{"ReadOnlyFileSystem", EROFS, 5, "Dateizugriff verweigert"},
        ErrnoRow{"AFolder", EISDIR, 5, "Dateizugriff verweigert"},
        ErrnoRow{"DiskFull", ENOSPC, 101, "Kapazität der Diskette/Festplatte erschöpft"},
        ErrnoRow{"QuotaFull", EDQUOT, 101, "Kapazität der Diskette/Festplatte erschöpft"},
        ErrnoRow{"FileTooLarge", EFBIG, 101, "Kapazität der Diskette/Festplatte erschöpft"},
        // System numbers that happen to equal one of our codes keep their own meaning.
        ErrnoRow{"IoErrorIsNotAccessDenied", EIO, EIO, "I/O-Fehler 5"},
        ErrnoRow{"InterruptedIsNotTooManyFiles", EINTR, EINTR, "I/O-Fehler 4"},
        ErrnoRow{"NoSuchProcessIsNotABadName", ESRCH, ESRCH, "I/O-Fehler 3"},
        ErrnoRow{"NetworkDownIsNotEof", ENETDOWN, ENETDOWN, "I/O-Fehler 100"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(SystemErrors, MissingFolderOnTheWayIsABadName) {
    test::TempDir dir;
    EXPECT_EQ(FileError::fromErrno(ENOENT, dir.file("no/k.key")).code(), io::kPathNotFound);
    EXPECT_EQ(FileError::fromErrno(ENOENT, "").code(), io::kPathNotFound);
}

TEST(FileErrors, CodesOfTheRecordTransferHaveTheirMessages) {
    EXPECT_STREQ(FileError(io::kReadPastEnd).what(), "Lesen nach Dateiende (EOF)");
    EXPECT_STREQ(FileError(io::kDiskFull).what(), "Kapazität der Diskette/Festplatte erschöpft");
    EXPECT_STREQ(FileError(io::kInvalidNumber).what(), "Ungültige numerische Eingabe");
    EXPECT_STREQ(FileError(42).what(), "I/O-Fehler 42");
    EXPECT_EQ(FileError(io::kReadPastEnd).systemError(), 0) << "no system call failed";
}

TEST(FileErrors, TextFileMessagesNameTheFileAndEndWithoutFullStop) {
    using Kind = TextFileError::Kind;
    EXPECT_STREQ(TextFileError(Kind::Create, "/a/b.cif").what(),
                 "Kann Datei /a/b.cif nicht erstellen");
    EXPECT_STREQ(TextFileError(Kind::Open, "/a/b.cif").what(), "Kann Datei /a/b.cif nicht öffnen");
    EXPECT_STREQ(TextFileError(Kind::Write, "/a/b.cif").what(), "Stream-Write-Fehler ");
    EXPECT_STREQ(TextFileError(Kind::Capacity, "/a/b.cif").what(),
                 "Text überschreitet Memo-Kapazität");
}

} // namespace
} // namespace zelmak
