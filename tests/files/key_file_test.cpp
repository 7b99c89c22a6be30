#include "file_test_util.h"
#include "files/file_error.h"
#include "files/key_file.h"
#include "machine/machine.h"
#include "temp_dir.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace zelmak {
namespace {

using test::AsUnprivilegedUser;
using test::FileSizeLimit;
using test::NoFreeDescriptor;
using test::readFile;
using test::ReadyMachine;
using test::setMode;
using test::snapshot;
using test::TempDir;
using test::writeFile;

// The record of the service setting: card 01..1F, discs 00..04.
std::string serviceRecord() {
    std::string bytes;
    for (int k = 1; k <= 31; ++k)
        bytes.push_back(static_cast<char>(k));
    for (int s = 0; s < 5; ++s)
        bytes.push_back(static_cast<char>(s));
    return bytes;
}

// A valid setting other than the service one: card reversed, discs 5 4 3 2 1.
std::string reversedRecord() {
    std::string bytes;
    for (int k = 31; k >= 1; --k)
        bytes.push_back(static_cast<char>(k));
    for (int s = 4; s >= 0; --s)
        bytes.push_back(static_cast<char>(s));
    return bytes;
}

template <typename F> int fileErrorCode(F&& f) {
    try {
        f();
    } catch (const FileError& e) {
        return e.code();
    }
    return 0;
}

// ---- Save Cipher ------------------------------------------------------------------------------

struct StemRow {
    const char* name;
    CalendarDate date;
    const char* proposed;
};

void PrintTo(const StemRow& row, std::ostream* os) {
    *os << row.name;
}

class SaveCipherProposal : public ::testing::TestWithParam<StemRow> {};

TEST_P(SaveCipherProposal, ProposesDayMonthYearFromTheLocalDate) {
    ReadyMachine r;
    const FixedClock clock(GetParam().date);
    saveCipher(r.m, r.w, clock); // the dialog is cancelled
    ASSERT_EQ(r.w.saveCalls.size(), 1u);
    EXPECT_EQ(r.w.saveCalls[0].proposedName, GetParam().proposed);
    EXPECT_EQ(r.w.saveCalls[0].filter, "Datei from Cipher (*.key)|*.key");
}

INSTANTIATE_TEST_SUITE_P(
    Dates, SaveCipherProposal,
    ::testing::Values(StemRow{"SixthOfDecember", {2026, 12, 6}, "061226.key"},
                      StemRow{"FifteenthOfNovember", {2026, 11, 15}, "151126.key"},
                      StemRow{"FirstOfJanuary2000", {2000, 1, 1}, "010100.key"},
                      StemRow{"LastOfOctober1999", {1999, 10, 31}, "311099.key"}),
    [](const auto& p) { return std::string(p.param.name); });

class SaveCipher : public ::testing::Test {
protected:
    ReadyMachine r;
    TempDir dir;
    FixedClock clock{{2026, 12, 6}};

    void saveAs(const std::string& path) {
        r.w.saveAnswers.push_back(path);
        saveCipher(r.m, r.w, clock);
    }
};

TEST_F(SaveCipher, NewFileHoldsExactlyTheServiceRecord) {
    const std::string path = dir.file("061226.key");
    saveAs(path);
    EXPECT_EQ(readFile(path), serviceRecord());
    EXPECT_EQ(r.m.dialogFileName, path);
}

TEST_F(SaveCipher, NameWithoutExtensionIsUsedUnchanged) {
    saveAs(dir.file("mykey"));
    EXPECT_TRUE(r.w.saveCalls.back().askBeforeReplacing) << "the dialog asks about that name";
    EXPECT_EQ(readFile(dir.file("mykey")), serviceRecord());
    EXPECT_EQ(test::namesIn(dir.path()), std::vector<std::string>{"mykey"});
}

TEST_F(SaveCipher, LongerFileKeepsItsLengthAndTheBytesAfterTheRecord) {
    const std::string path = dir.file("long.key");
    std::string old(100, '\0');
    for (std::size_t i = 0; i < old.size(); ++i)
        old[i] = static_cast<char>(0xA0 + i % 50);
    writeFile(path, old);
    saveAs(path);
    const std::string now = readFile(path);
    ASSERT_EQ(now.size(), 100u);
    EXPECT_EQ(now.substr(0, 36), serviceRecord());
    EXPECT_EQ(now.substr(36), old.substr(36));
}

TEST(KeyFileReplaceQuestion, SaysWhetherTheFileIsReplacedOrWrittenInto) {
    TempDir dir;
    const std::string replace = "k.key already exists.\nDo you want to replace it?";
    const struct {
        std::size_t size;
        std::string question;
    } rows[] = {
        {10, replace},
        {36, replace},
        {100, "k.key already exists and is longer than a key file (100 bytes).\nThe key setting "
              "is written over its first 36 bytes; the other 64 bytes stay as they are.\nDo you "
              "want to write into it?"},
    };
    for (const auto& row : rows) {
        writeFile(dir.file("k.key"), std::string(row.size, 'x'));
        EXPECT_EQ(keyFileReplaceQuestion(dir.file("k.key")), row.question) << row.size;
    }
}

TEST_F(SaveCipher, WritesTheCapturedSettingNotTheSelectors) {
    // A selection set by the program runs no check, so the set-up still holds the service card.
    r.w.setCardItem(1, 2);
    saveAs(dir.file("k.key"));
    EXPECT_EQ(readFile(dir.file("k.key")), serviceRecord());
}

TEST_F(SaveCipher, CancelWritesNothingAndChangesNothing) {
    const auto before = snapshot(r.m, r.w);
    saveCipher(r.m, r.w, clock);
    EXPECT_TRUE(test::namesIn(dir.path()).empty());
    EXPECT_EQ(snapshot(r.m, r.w), before);
}

struct SaveFailure {
    const char* name;
    // Prepares the target in the folder and returns its path.
    std::function<std::string(const TempDir&)> target;
    int code;
    const char* message;
    bool unprivileged = false;
    rlim_t sizeLimit = 0;            // 0: none
    bool keepsOldBytes = true;       // false where a failed write has already overwritten the start
    bool standsForOtherUser = false; // root, through the switch to 65534, is another user
};

void PrintTo(const SaveFailure& row, std::ostream* os) {
    *os << row.name;
}

class SaveCipherFailure : public ::testing::TestWithParam<SaveFailure> {};

TEST_P(SaveCipherFailure, ReportsTheCodeAndLeavesTheSettingAlone) {
    const SaveFailure& row = GetParam();
    if (row.standsForOtherUser && ::geteuid() != 0)
        GTEST_SKIP() << "only root can write a file as another user's owner";
    ReadyMachine r;
    TempDir dir;
    setMode(dir.path().string(), 0755);
    const std::string path = row.target(dir);
    std::error_code ec;
    const std::string oldBytes =
        std::filesystem::is_regular_file(path, ec) ? readFile(path) : std::string();
    auto before = snapshot(r.m, r.w);
    r.w.saveAnswers.push_back(path);
    const FixedClock clock({2026, 12, 6});

    int code = 0;
    std::string message;
    {
        std::optional<AsUnprivilegedUser> user;
        if (row.unprivileged)
            user.emplace();
        std::optional<FileSizeLimit> limit;
        if (row.sizeLimit)
            limit.emplace(row.sizeLimit);
        try {
            saveCipher(r.m, r.w, clock);
        } catch (const FileError& e) {
            code = e.code();
            message = e.what();
        }
    }
    EXPECT_EQ(code, row.code);
    EXPECT_EQ(message, row.message);
    before.dialogFileName = path;
    EXPECT_EQ(snapshot(r.m, r.w), before);
    if (!oldBytes.empty() && row.keepsOldBytes) {
        EXPECT_EQ(readFile(path), oldBytes);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SaveCipherFailure,
    ::testing::Values(
        SaveFailure{"MissingFolder", [](const TempDir& d) { return d.file("nowhere/k.key"); }, 3,
                    "Ungültiger Dateiname"},
        SaveFailure{"FileInPlaceOfFolder",
                    [](const TempDir& d) {
                        writeFile(d.file("plain"), "x");
                        return d.file("plain/k.key");
                    },
                    3, "Ungültiger Dateiname"},
        SaveFailure{"TooLongName", [](const TempDir& d) { return d.file(test::tooLongName()); }, 3,
                    "Ungültiger Dateiname"},
        SaveFailure{"FolderInPlaceOfFile",
                    [](const TempDir& d) {
                        std::filesystem::create_directory(d.file("k.key"));
                        return d.file("k.key");
                    },
                    5, "Dateizugriff verweigert"},
        SaveFailure{"ReadOnlyFileEvenForRoot",
                    [](const TempDir& d) {
                        writeFile(d.file("k.key"), reversedRecord() + "tail");
                        setMode(d.file("k.key"), 0444);
                        return d.file("k.key");
                    },
                    5, "Dateizugriff verweigert"},
        SaveFailure{"FolderWithoutWritePermission",
                    [](const TempDir& d) {
                        std::filesystem::create_directory(d.file("locked"));
                        setMode(d.file("locked"), 0555);
                        return d.file("locked/k.key");
                    },
                    5, "Dateizugriff verweigert", true},
        SaveFailure{"FileOfAnotherUser",
                    [](const TempDir& d) {
                        writeFile(d.file("k.key"), reversedRecord());
                        setMode(d.file("k.key"), 0644);
                        return d.file("k.key");
                    },
                    5, "Dateizugriff verweigert", true, 0, true, true},
        SaveFailure{"DeviceInPlaceOfFile", [](const TempDir&) { return std::string("/dev/full"); },
                    5, "Dateizugriff verweigert"},
        SaveFailure{"ShortWriteOfExistingFile",
                    [](const TempDir& d) {
                        writeFile(d.file("k.key"), std::string(100, 'x'));
                        return d.file("k.key");
                    },
                    101, "Kapazität der Diskette/Festplatte erschöpft", false, 10, false}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(SaveCipherShortWrite, NewFileIsRemovedAgain) {
    ReadyMachine r;
    TempDir dir;
    r.w.saveAnswers.push_back(dir.file("k.key"));
    int code = 0;
    {
        FileSizeLimit limit(10);
        code = fileErrorCode([&] { saveCipher(r.m, r.w, FixedClock({2026, 1, 1})); });
    }
    EXPECT_EQ(code, io::kDiskFull);
    EXPECT_TRUE(test::namesIn(dir.path()).empty());
}

TEST(SaveCipherDescriptors, TooManyOpenFilesIsCodeFour) {
    ReadyMachine r;
    TempDir dir;
    r.w.saveAnswers.push_back(dir.file("k.key"));
    int code = 0;
    {
        NoFreeDescriptor full;
        code = fileErrorCode([&] { saveCipher(r.m, r.w, FixedClock({2026, 1, 1})); });
    }
    EXPECT_EQ(code, io::kTooManyOpenFiles);
}

// ---- Load Cipher ------------------------------------------------------------------------------

class LoadCipher : public ::testing::Test {
protected:
    ReadyMachine r;
    TempDir dir;

    void load(const std::string& path) {
        r.w.openAnswers.push_back(path);
        loadCipher(r.m, r.w, r.w, r.w);
    }
};

TEST_F(LoadCipher, OffersTheFilterWithoutBlank) {
    loadCipher(r.m, r.w, r.w, r.w);
    ASSERT_EQ(r.w.openCalls.size(), 1u);
    EXPECT_EQ(r.w.openCalls[0].filter, "Datei from Cipher(*.key)|*.key");
}

TEST_F(LoadCipher, CancelChangesNothingAtAll) {
    ASSERT_TRUE(r.w.enabled(Control::Automatic));
    const auto before = snapshot(r.m, r.w);
    loadCipher(r.m, r.w, r.w, r.w);
    EXPECT_EQ(snapshot(r.m, r.w), before);
}

TEST_F(LoadCipher, CompletedLoadFillsSettingAndSelectorsButAcceptsNothing) {
    r.m.setPosition(3, 5);
    r.m.mode = Mode::Decipher;
    r.m.cardErrorCount = 7;
    writeFile(dir.file("rev.key"), reversedRecord());
    load(dir.file("rev.key"));

    for (int k = 1; k <= 31; ++k)
        EXPECT_EQ(r.w.cardItem(k), 32 - k) << "card selector " << k;
    for (int s = 1; s <= 5; ++s)
        EXPECT_EQ(r.w.discItem(s), 5 - s) << "disc selector " << s;
    EXPECT_EQ(r.m.key.bytes(), (test::toBytes(reversedRecord())));
    EXPECT_EQ(r.m.dialogFileName, dir.file("rev.key"));
    EXPECT_EQ(r.m.cardReady, 0);
    EXPECT_EQ(r.m.discReady, 0);
    EXPECT_EQ(r.m.cardErrorCount, 0);
    EXPECT_TRUE(r.w.enabled(Control::CheckCipher));
    EXPECT_FALSE(r.w.enabled(Control::SaveCipher));
    EXPECT_FALSE(r.w.enabled(Control::Automatic));
    // The text buttons and panes keep their state; positions and mode stay.
    EXPECT_TRUE(r.w.enabled(Control::SaveCipherCode));
    EXPECT_TRUE(r.w.enabled(Control::LoadCipherCode));
    EXPECT_TRUE(r.w.enabled(Control::InputPane));
    EXPECT_TRUE(r.w.enabled(Control::OutputPane));
    EXPECT_EQ(r.m.positions[3], 5);
    EXPECT_EQ(r.m.positions[1], 17);
    EXPECT_FALSE(r.m.cipher());
}

TEST_F(LoadCipher, KeysStayDeadUntilTheCheckAcceptsTheSetting) {
    writeFile(dir.file("rev.key"), reversedRecord());
    load(dir.file("rev.key"));
    pressKey(r.m, r.w, 18, 'A');
    EXPECT_EQ(r.m.inputText, "");
    EXPECT_EQ(r.m.outputText, "");

    checkSetting(r.m, r.w, r.w);
    EXPECT_EQ(r.w.paneText(Pane::Output), "Cipher-Card o.k !!\r\nCipher-Disc o.k. \r\n");
    pressKey(r.m, r.w, 18, 'A');
    EXPECT_EQ(r.m.inputText, "A");
    EXPECT_EQ(r.m.outputText.size(), 1u);
}

TEST_F(LoadCipher, LongerFileIsReadFromItsFirstRecord) {
    writeFile(dir.file("long.key"), reversedRecord() + "\x01\x02\x03\x04");
    load(dir.file("long.key"));
    EXPECT_EQ(r.m.key.bytes(), (test::toBytes(reversedRecord())));
    EXPECT_EQ(r.w.cardItem(1), 31);
}

TEST_F(LoadCipher, ReadOnlyFileLoads) {
    writeFile(dir.file("ro.key"), reversedRecord());
    setMode(dir.file("ro.key"), 0444);
    setMode(dir.path().string(), 0755);
    {
        AsUnprivilegedUser user;
        load(dir.file("ro.key"));
    }
    EXPECT_EQ(r.w.cardItem(1), 31);
}

TEST_F(LoadCipher, OutOfRangeBytesLeaveTheirSelectorsBlankAndStopTheCheck) {
    std::string bytes = serviceRecord();
    bytes[4] = 32;              // card selector 5
    bytes[10] = 0;              // card selector 11: the empty item
    bytes[31 + 2] = 5;          // disc selector 3
    bytes[31 + 4] = char(0xFF); // disc selector 5
    writeFile(dir.file("odd.key"), bytes);
    load(dir.file("odd.key"));
    EXPECT_EQ(r.w.cardItem(5), -1);
    EXPECT_EQ(r.w.cardItem(11), 0);
    EXPECT_EQ(r.w.cardItem(6), 6);
    EXPECT_EQ(r.w.discItem(3), -1);
    EXPECT_EQ(r.w.discItem(5), -1);
    EXPECT_EQ(r.m.key.cardSetting[5], 32);
    EXPECT_EQ(r.m.key.discSetting[5], 0xFF);
    EXPECT_THROW(checkSetting(r.m, r.w, r.w), RangeError);
}

TEST_F(LoadCipher, InvalidSettingInRangeLoadsAndTheCheckRejectsIt) {
    std::string bytes = serviceRecord();
    bytes[1] = 1; // symbol I twice, symbol 2 missing
    writeFile(dir.file("dup.key"), bytes);
    load(dir.file("dup.key"));
    EXPECT_TRUE(r.w.enabled(Control::CheckCipher));
    checkSetting(r.m, r.w, r.w);
    EXPECT_EQ(r.w.paneText(Pane::Output), "Error Cipher-Card!\r\n");
}

TEST_F(LoadCipher, SavedSettingComesBackIntoAll36Selectors) {
    // A valid setting other than the service one, accepted and saved.
    const auto record = test::toBytes(reversedRecord());
    for (int k = 1; k <= 31; ++k)
        r.w.setCardItem(k, record[static_cast<std::size_t>(k - 1)]);
    for (int s = 1; s <= 5; ++s)
        r.w.setDiscItem(s, record[static_cast<std::size_t>(30 + s)]);
    checkSetting(r.m, r.w, r.w);
    r.w.saveAnswers.push_back(dir.file("round.key"));
    saveCipher(r.m, r.w, FixedClock({2026, 12, 6}));

    serviceSetting(r.m, r.w, r.w);
    r.m.setPosition(2, 9);
    r.m.mode = Mode::Decipher;
    load(dir.file("round.key"));
    for (int k = 1; k <= 31; ++k)
        EXPECT_EQ(r.w.cardItem(k), 32 - k);
    for (int s = 1; s <= 5; ++s)
        EXPECT_EQ(r.w.discItem(s), 5 - s);
    EXPECT_EQ(r.m.positions[2], 9);
    EXPECT_FALSE(r.m.cipher());
}

struct LoadFailure {
    const char* name;
    std::function<std::string(const TempDir&)> target;
    int code;
    const char* message;
    bool unprivileged = false;
};

void PrintTo(const LoadFailure& row, std::ostream* os) {
    *os << row.name;
}

class LoadCipherFailure : public ::testing::TestWithParam<LoadFailure> {};

TEST_P(LoadCipherFailure, ReportsTheCodeAndChangesNothing) {
    const LoadFailure& row = GetParam();
    ReadyMachine r;
    TempDir dir;
    setMode(dir.path().string(), 0755);
    const std::string path = row.target(dir);
    const auto before = snapshot(r.m, r.w);
    r.w.openAnswers.push_back(path);
    int code = 0;
    std::string message;
    {
        std::optional<AsUnprivilegedUser> user;
        if (row.unprivileged)
            user.emplace();
        try {
            loadCipher(r.m, r.w, r.w, r.w);
        } catch (const FileError& e) {
            code = e.code();
            message = e.what();
        }
    }
    EXPECT_EQ(code, row.code);
    EXPECT_EQ(message, row.message);
    EXPECT_EQ(snapshot(r.m, r.w), before);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, LoadCipherFailure,
    ::testing::Values(
        LoadFailure{"MissingFile", [](const TempDir& d) { return d.file("none.key"); }, 2,
                    "Datei nicht gefunden"},
        LoadFailure{"MissingFolder", [](const TempDir& d) { return d.file("no/k.key"); }, 3,
                    "Ungültiger Dateiname"},
        LoadFailure{"TooLongName", [](const TempDir& d) { return d.file(test::tooLongName()); }, 3,
                    "Ungültiger Dateiname"},
        LoadFailure{"FolderInPlaceOfFile",
                    [](const TempDir& d) {
                        std::filesystem::create_directory(d.file("k.key"));
                        return d.file("k.key");
                    },
                    5, "Dateizugriff verweigert"},
        LoadFailure{"UnreadableFile",
                    [](const TempDir& d) {
                        writeFile(d.file("k.key"), reversedRecord());
                        setMode(d.file("k.key"), 0);
                        return d.file("k.key");
                    },
                    5, "Dateizugriff verweigert", true},
        LoadFailure{"ShorterThanARecord",
                    [](const TempDir& d) {
                        writeFile(d.file("k.key"), reversedRecord().substr(0, 35));
                        return d.file("k.key");
                    },
                    100, "Lesen nach Dateiende (EOF)"},
        LoadFailure{"EmptyFile",
                    [](const TempDir& d) {
                        writeFile(d.file("k.key"), "");
                        return d.file("k.key");
                    },
                    100, "Lesen nach Dateiende (EOF)"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(LoadCipherDescriptors, TooManyOpenFilesIsCodeFour) {
    ReadyMachine r;
    TempDir dir;
    writeFile(dir.file("k.key"), reversedRecord());
    r.w.openAnswers.push_back(dir.file("k.key"));
    int code = 0;
    {
        NoFreeDescriptor full;
        code = fileErrorCode([&] { loadCipher(r.m, r.w, r.w, r.w); });
    }
    EXPECT_EQ(code, io::kTooManyOpenFiles);
}

// ---- Creating a new key file ------------------------------------------------------------------

TEST(CreateKeyFile, WritesANewFileAndNeverReplacesOne) {
    TempDir dir;
    const auto record = test::toBytes(reversedRecord());
    EXPECT_TRUE(createKeyFile(dir.file("new.key"), KeyRecordBytes(record)));
    EXPECT_EQ(readFile(dir.file("new.key")), reversedRecord());

    EXPECT_FALSE(createKeyFile(dir.file("new.key"), (test::toBytes(serviceRecord()))));
    EXPECT_EQ(readFile(dir.file("new.key")), reversedRecord());

    EXPECT_EQ(fileErrorCode([&] { createKeyFile(dir.file("no/new.key"), KeyRecordBytes{}); }),
              io::kPathNotFound);
}

} // namespace
} // namespace zelmak
