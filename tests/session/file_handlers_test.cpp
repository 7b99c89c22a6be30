// What the four file handlers ask of their dialogs, and what they leave when the operator
// cancels or the file system refuses: the error box's message, and nothing else changed.

#include "fifo_guard.h"
#include "file_failure.h"
#include "files/text_files.h"
#include "session_steps.h"

#include <gtest/gtest.h>

namespace zelmak::test {
namespace {

namespace fs = std::filesystem;

struct DialogRow {
    const char* name;
    void (Session::*handler)();
    bool save;
    const char* filter;
    const char* proposedName;
    bool dialogAsksBeforeReplacing =
        false; // "Save CipherCode" asks itself, about the file it writes
};

void PrintTo(const DialogRow& row, std::ostream* os) {
    *os << row.name;
}

class FileDialog : public ::testing::TestWithParam<DialogRow> {};

TEST_P(FileDialog, offers_its_filter_and_name_and_a_cancel_changes_nothing) {
    const DialogRow& row = GetParam();
    SessionRig rig;
    TempDir dir;
    rig.type("HA");
    typeInto(rig, Pane::Loaded, "kept");
    const Snapshot before = snapshotOf(rig);
    (rig.session.*row.handler)();
    const auto& calls = row.save ? rig.view.saveCalls : rig.view.openCalls;
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].filter, row.filter);
    EXPECT_EQ(calls[0].proposedName, row.proposedName);
    if (row.save) {
        EXPECT_EQ(calls[0].askBeforeReplacing, row.dialogAsksBeforeReplacing);
    }
    EXPECT_EQ(snapshotOf(rig), before);
    EXPECT_TRUE(rig.view.errors.empty());
}

constexpr const char* kTextFilter = "Chiffredatei (*.cif)|*.cif|Textdatei (*.txt)|*.txt";

INSTANTIATE_TEST_SUITE_P(Handlers, FileDialog,
                         ::testing::Values(DialogRow{"SaveCipher", &Session::saveCipher, true,
                                                     "Datei from Cipher (*.key)|*.key",
                                                     "061226.key", true},
                                           DialogRow{"LoadCipher", &Session::loadCipher, false,
                                                     "Datei from Cipher(*.key)|*.key", ""},
                                           DialogRow{"SaveCipherCode", &Session::saveCipherCode,
                                                     true, kTextFilter, "ABCDE.cif", false},
                                           DialogRow{"LoadCipherCode", &Session::loadCipherCode,
                                                     false, kTextFilter, ""}),
                         [](const auto& p) { return std::string(p.param.name); });

// ---- Failures ---------------------------------------------------------------------------------

std::string missingFolder(const TempDir& d) {
    return d.file("nowhere/x.key");
}
std::string longName(const TempDir& d) {
    return d.file(tooLongName());
}
std::string folderInPlace(const TempDir& d) {
    fs::create_directory(d.file("x.cif"));
    return d.file("x.cif");
}
std::string fileInPlaceOfFolder(const TempDir& d) {
    writeFile(d.file("plain"), "x");
    return d.file("plain/x.key");
}
std::string lockedFolder(const TempDir& d) {
    fs::create_directory(d.file("locked"));
    setMode(d.file("locked"), 0555);
    return d.file("locked/x");
}
// A file with these bytes and permission bits.
std::function<std::string(const TempDir&)> file(std::string bytes, mode_t mode = 0644) {
    return [bytes, mode](const TempDir& d) {
        writeFile(d.file("x.cif"), bytes);
        setMode(d.file("x.cif"), mode);
        return d.file("x.cif");
    };
}

constexpr const char* kBadName = "Ungültiger Dateiname.";
constexpr const char* kDenied = "Dateizugriff verweigert.";

class SaveCipherFailure : public FileFailureTest {};

TEST_P(SaveCipherFailure, reports_and_changes_nothing) {
    expectFailure(&Session::saveCipher);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, SaveCipherFailure,
    ::testing::Values(
        FileFailure{"MissingFolder", missingFolder, kBadName},
        FileFailure{"FileInPlaceOfFolder", fileInPlaceOfFolder, kBadName},
        FileFailure{"TooLongName", longName, kBadName},
        FileFailure{"FolderInPlaceOfFile", folderInPlace, kDenied},
        FileFailure{"ReadOnlyFileEvenForRoot", file(reversedRecordBytes() + "tail", 0444), kDenied},
        FileFailure{"FolderWithoutWritePermission", lockedFolder, kDenied, true},
        FileFailure{"FileOfAnotherUser", file(reversedRecordBytes()), kDenied, true, 0, false,
                    false, true},
        FileFailure{"DeviceInPlaceOfFile", [](const TempDir&) { return std::string("/dev/full"); },
                    kDenied},
        FileFailure{"ShortWriteOfExistingFile", file(std::string(100, 'x')),
                    "Kapazität der Diskette/Festplatte erschöpft.", false, 10, false, true},
        // A new file that could not be written whole is removed again.
        FileFailure{"ShortWriteOfNewFile", [](const TempDir& d) { return d.file("k.key"); },
                    "Kapazität der Diskette/Festplatte erschöpft.", false, 10},
        FileFailure{"NoFreeDescriptor", [](const TempDir& d) { return d.file("k.key"); },
                    "Zu viele Dateien geöffnet.", false, 0, true}),
    [](const auto& p) { return std::string(p.param.name); });

class LoadCipherFailure : public FileFailureTest {};

TEST_P(LoadCipherFailure, reports_and_changes_nothing) {
    expectFailure(&Session::loadCipher);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, LoadCipherFailure,
    ::testing::Values(FileFailure{"MissingFile",
                                  [](const TempDir& d) { return d.file("none.key"); },
                                  "Datei nicht gefunden."},
                      FileFailure{"MissingFolder", missingFolder, kBadName},
                      FileFailure{"TooLongName", longName, kBadName},
                      FileFailure{"FolderInPlaceOfFile", folderInPlace, kDenied},
                      FileFailure{"UnreadableFile", file(reversedRecordBytes(), 0), kDenied, true},
                      FileFailure{"ShorterThanARecord", file(reversedRecordBytes().substr(0, 35)),
                                  "Lesen nach Dateiende (EOF)."},
                      FileFailure{"EmptyFile", file(""), "Lesen nach Dateiende (EOF)."},
                      FileFailure{"NoFreeDescriptor", file(reversedRecordBytes()),
                                  "Zu viele Dateien geöffnet.", false, 0, true}),
    [](const auto& p) { return std::string(p.param.name); });

constexpr const char* kCannotCreate = "Kann Datei %s nicht erstellen.";
constexpr const char* kWriteError = "Stream-Write-Fehler .";

// Saves 5000 symbols, so that a file-size limit of 1000 stops the write part-way.
class SaveCipherCodeFailure : public FileFailureTest {};

TEST_P(SaveCipherCodeFailure, reports_and_leaves_the_earlier_file_as_it_was) {
    typeInto(rig, Pane::Output, std::string(5000, 'K'));
    expectFailure(&Session::saveCipherCode,
                  [](const std::string& chosen) { return cipherFileName(chosen); });
}

INSTANTIATE_TEST_SUITE_P(
    Targets, SaveCipherCodeFailure,
    ::testing::Values(
        FileFailure{"MissingFolder", missingFolder, kCannotCreate},
        FileFailure{"TooLongName", [](const TempDir& d) { return d.file(std::string(253, 'n')); },
                    kCannotCreate},
        FileFailure{"FolderInPlaceOfFile", folderInPlace, kCannotCreate},
        FileFailure{"ReadOnlyFileEvenForRoot", file("earlier", 0444), kCannotCreate},
        FileFailure{"ReadOnlyFileInOpenFolderForUser",
                    [](const TempDir& d) {
                        const std::string path = file("earlier", 0444)(d);
                        setMode(d.path().string(), 0777);
                        return path;
                    },
                    kCannotCreate, true},
        FileFailure{"FolderWithoutWritePermission", lockedFolder, kCannotCreate, true},
        FileFailure{"FullDisk",
                    [](const TempDir& d) {
                        fs::create_symlink("/dev/full", d.file("full.cif"));
                        return d.file("full.cif");
                    },
                    kWriteError},
        FileFailure{"WriteFailsPartWay", file("earlier"), kWriteError, false, 1000},
        FileFailure{"NewFileRunsFull", [](const TempDir& d) { return d.file("new"); }, kWriteError,
                    false, 1}),
    [](const auto& p) { return std::string(p.param.name); });

class LoadCipherCodeFailure : public FileFailureTest {};

TEST_P(LoadCipherCodeFailure, reports_and_leaves_the_loaded_text_pane_as_it_was) {
    typeInto(rig, Pane::Loaded, "earlier text");
    expectFailure(&Session::loadCipherCode);
}

constexpr const char* kCannotOpen = "Kann Datei %s nicht öffnen.";

INSTANTIATE_TEST_SUITE_P(
    Targets, LoadCipherCodeFailure,
    ::testing::Values(FileFailure{"MissingFile",
                                  [](const TempDir& d) { return d.file("none.cif"); }, kCannotOpen},
                      FileFailure{"MissingFolder", missingFolder, kCannotOpen},
                      FileFailure{"TooLongName", longName, kCannotOpen},
                      FileFailure{"FolderInPlaceOfFile", folderInPlace, kCannotOpen},
                      FileFailure{"UnreadableFile", file("secret", 0), kCannotOpen, true},
                      // Only a regular file is loaded, and a pipe never keeps the window waiting.
                      FileFailure{"NamedPipe",
                                  [](const TempDir& d) {
                                      makeFifo(d.file("pipe.cif"));
                                      return d.file("pipe.cif");
                                  },
                                  kCannotOpen},
                      FileFailure{"EndlessDevice",
                                  [](const TempDir&) { return std::string("/dev/zero"); },
                                  kCannotOpen},
                      FileFailure{"OneByteOverTheCapacity",
                                  [](const TempDir& d) {
                                      return file(std::string(kLoadedTextCapacity + 1, 'A'))(d);
                                  },
                                  "Text überschreitet Memo-Kapazität."}),
    [](const auto& p) { return std::string(p.param.name); });

} // namespace
} // namespace zelmak::test
