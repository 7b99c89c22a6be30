#include "fifo_guard.h"
#include "file_test_util.h"
#include "files/file_error.h"
#include "files/text_files.h"
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
using test::readFile;
using test::ReadyMachine;
using test::setMode;
using test::snapshot;
using test::TempDir;
using test::writeFile;

std::string allBytes() {
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes.push_back(static_cast<char>(b));
    return bytes;
}

// ---- Line breaks and the saved name -----------------------------------------------------------

struct BreakRow {
    const char* name;
    std::string in;
    std::string out;
};

void PrintTo(const BreakRow& row, std::ostream* os) {
    *os << row.name;
}

class LineBreaks : public ::testing::TestWithParam<BreakRow> {};

TEST_P(LineBreaks, BecomeCrLfOrLf) {
    EXPECT_EQ(withCrLf(GetParam().in), GetParam().out);
    std::string lf = GetParam().out;
    for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;)
        lf.erase(at, 1);
    EXPECT_EQ(withLineBreaks(GetParam().in, "\n"), lf);
}

INSTANTIATE_TEST_SUITE_P(Texts, LineBreaks,
                         ::testing::Values(BreakRow{"Empty", "", ""},
                                           BreakRow{"NoBreak", "ABC", "ABC"},
                                           BreakRow{"LoneLf", "a\nb\n", "a\r\nb\r\n"},
                                           BreakRow{"LoneCr", "a\rb\r", "a\r\nb\r\n"},
                                           BreakRow{"PairStays", "a\r\nb\r\n", "a\r\nb\r\n"},
                                           BreakRow{"LfCrIsTwoBreaks", "a\n\rb", "a\r\n\r\nb"},
                                           BreakRow{"CrBeforePair", "\r\r\n", "\r\n\r\n"},
                                           BreakRow{"TwoLfs", "\n\n", "\r\n\r\n"},
                                           BreakRow{"OtherBytesUnchanged",
                                                    std::string("\0\x85\xff\x0b", 4),
                                                    std::string("\0\x85\xff\x0b", 4)}),
                         [](const auto& p) { return std::string(p.param.name); });

struct NameRow {
    const char* name;
    const char* chosen;
    const char* saved;
};

void PrintTo(const NameRow& row, std::ostream* os) {
    *os << row.name;
}

class CipherFileName : public ::testing::TestWithParam<NameRow> {};

TEST_P(CipherFileName, GetsCifOnce) {
    EXPECT_EQ(cipherFileName(GetParam().chosen), GetParam().saved);
}

INSTANTIATE_TEST_SUITE_P(Names, CipherFileName,
                         ::testing::Values(NameRow{"ProposedName", "ABCDE.cif", "ABCDE.cif"},
                                           NameRow{"TextName", "letter.txt", "letter.txt.cif"},
                                           NameRow{"UpperCase", "LETTER.CIF", "LETTER.CIF"},
                                           NameRow{"MixedCase", "letter.Cif", "letter.Cif"},
                                           NameRow{"Bare", "letter", "letter.cif"},
                                           NameRow{"CifWithoutDot", "lettercif", "lettercif.cif"},
                                           NameRow{"CifInTheMiddle", "a.cif.txt", "a.cif.txt.cif"},
                                           NameRow{"CifFolder", "/tmp/x.cif/name",
                                                   "/tmp/x.cif/name.cif"}),
                         [](const auto& p) { return std::string(p.param.name); });

// ---- Save CipherCode --------------------------------------------------------------------------

class SaveCipherCode : public ::testing::Test {
protected:
    ReadyMachine r;
    TempDir dir;

    void saveAs(const std::string& chosen) {
        r.w.saveAnswers.push_back(chosen);
        saveCipherCode(r.m, r.w, r.w);
    }
};

TEST_F(SaveCipherCode, ProposesAbcdeCifWithBothFilters) {
    saveCipherCode(r.m, r.w, r.w);
    ASSERT_EQ(r.w.saveCalls.size(), 1u);
    EXPECT_EQ(r.w.saveCalls[0].proposedName, "ABCDE.cif");
    EXPECT_EQ(r.w.saveCalls[0].filter, "Chiffredatei (*.cif)|*.cif|Textdatei (*.txt)|*.txt");
}

TEST_F(SaveCipherCode, ProposedNameIsWrittenAsIs) {
    r.w.showText(Pane::Output, "K5Y");
    saveAs(dir.file("ABCDE.cif"));
    EXPECT_EQ(test::namesIn(dir.path()), std::vector<std::string>{"ABCDE.cif"});
    EXPECT_EQ(r.m.dialogFileName, dir.file("ABCDE.cif"));
}

TEST_F(SaveCipherCode, TextNameGetsCifAdded) {
    saveAs(dir.file("letter.txt"));
    EXPECT_EQ(test::namesIn(dir.path()), std::vector<std::string>{"letter.txt.cif"});
    EXPECT_EQ(r.m.dialogFileName, dir.file("letter.txt"));
}

TEST_F(SaveCipherCode, TypedOutputIsSavedWithoutLineBreak) {
    pressKey(r.m, r.w, 25, 'K');
    pressKey(r.m, r.w, 5, '5');
    pressKey(r.m, r.w, 27, '_');
    saveAs(dir.file("out.cif"));
    const std::string saved = readFile(dir.file("out.cif"));
    EXPECT_EQ(saved, r.m.outputText);
    EXPECT_EQ(saved.size(), 3u);
}

TEST_F(SaveCipherCode, ExactlyThePaneBytes) {
    r.w.showText(Pane::Output, "K5Y");
    saveAs(dir.file("three.cif"));
    EXPECT_EQ(readFile(dir.file("three.cif")), "K5Y");

    // Right after the check the pane holds the verdict, line breaks and all.
    checkSetting(r.m, r.w, r.w);
    saveAs(dir.file("verdict.cif"));
    EXPECT_EQ(readFile(dir.file("verdict.cif")), "Cipher-Card o.k !!\r\nCipher-Disc o.k. \r\n");

    r.w.showText(Pane::Output, allBytes());
    saveAs(dir.file("bytes.cif"));
    EXPECT_EQ(readFile(dir.file("bytes.cif")), allBytes());
}

TEST_F(SaveCipherCode, ReplacesAFileKeepingItsModeAndLeavingNoTemporaryFile) {
    const std::string path = dir.file("old.cif");
    writeFile(path, std::string(1000, 'o'));
    setMode(path, 0640);
    r.w.showText(Pane::Output, "NEW");
    saveAs(path);
    EXPECT_EQ(readFile(path), "NEW");
    EXPECT_EQ(test::modeOf(path), 0640u);
    EXPECT_EQ(test::namesIn(dir.path()), std::vector<std::string>{"old.cif"});
}

// The dialog cannot ask about "letter.cif" when the operator types "letter": the handler asks
// about the file it would really replace, and a "no" leaves it alone.
TEST_F(SaveCipherCode, AsksBeforeReplacingTheFileItWritesNotTheOneChosen) {
    writeFile(dir.file("letter.cif"), "OLD");
    r.w.showText(Pane::Output, "NEW");
    r.w.replaceAnswers = {false};
    saveAs(dir.file("letter"));
    EXPECT_FALSE(r.w.saveCalls.back().askBeforeReplacing);
    EXPECT_EQ(r.w.replaceQuestions, std::vector<std::string>{dir.file("letter.cif")});
    EXPECT_EQ(readFile(dir.file("letter.cif")), "OLD");

    r.w.replaceAnswers = {true};
    saveAs(dir.file("letter"));
    EXPECT_EQ(readFile(dir.file("letter.cif")), "NEW");

    saveAs(dir.file("fresh.txt")); // nothing there: no question
    EXPECT_EQ(r.w.replaceQuestions.size(), 2u);
}

TEST_F(SaveCipherCode, ThroughALinkReplacesTheLinkedFile) {
    writeFile(dir.file("real.cif"), "old");
    std::filesystem::create_symlink(dir.file("real.cif"), dir.file("link.cif"));
    r.w.showText(Pane::Output, "NEW");
    saveAs(dir.file("link.cif"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.cif")));
    EXPECT_EQ(readFile(dir.file("real.cif")), "NEW");
}

// A link that points at nothing yet stands for no file: nothing is replaced, so nothing is asked,
// and the save makes the file the link points at.
TEST_F(SaveCipherCode, LinkToNothingYetIsSavedWithoutAQuestion) {
    std::filesystem::create_symlink("real.cif", dir.file("link.cif"));
    r.w.showText(Pane::Output, "NEW");
    r.w.replaceAnswers = {false};
    saveAs(dir.file("link.cif"));
    EXPECT_TRUE(r.w.replaceQuestions.empty());
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.cif")));
    EXPECT_EQ(readFile(dir.file("real.cif")), "NEW");

    // Now that it points at a file, the same link asks.
    r.w.replaceAnswers = {false};
    saveAs(dir.file("link.cif"));
    EXPECT_EQ(r.w.replaceQuestions, std::vector<std::string>{dir.file("link.cif")});
}

TEST_F(SaveCipherCode, CancelWritesNothingAndChangesNothing) {
    const auto before = snapshot(r.m, r.w);
    saveCipherCode(r.m, r.w, r.w);
    EXPECT_TRUE(test::namesIn(dir.path()).empty());
    EXPECT_EQ(snapshot(r.m, r.w), before);
}

struct TextSaveFailure {
    const char* name;
    std::function<std::string(const TempDir&)> target; // the chosen name
    TextFileError::Kind kind;
    bool unprivileged = false;
    rlim_t sizeLimit = 0;
};

void PrintTo(const TextSaveFailure& row, std::ostream* os) {
    *os << row.name;
}

class SaveCipherCodeFailure : public ::testing::TestWithParam<TextSaveFailure> {};

TEST_P(SaveCipherCodeFailure, ReportsAndLeavesTheEarlierFileAsItWas) {
    const TextSaveFailure& row = GetParam();
    ReadyMachine r;
    TempDir dir;
    setMode(dir.path().string(), 0755);
    const std::string chosen = row.target(dir);
    const std::string saved = cipherFileName(chosen);
    std::error_code ec;
    const bool existed = std::filesystem::is_regular_file(saved, ec);
    const std::string oldBytes = existed ? readFile(saved) : std::string();
    const auto namesBefore = test::namesIn(dir.path());
    r.w.showText(Pane::Output, std::string(5000, 'K'));
    r.w.saveAnswers.push_back(chosen);

    std::optional<TextFileError> error;
    {
        std::optional<AsUnprivilegedUser> user;
        if (row.unprivileged)
            user.emplace();
        std::optional<FileSizeLimit> limit;
        if (row.sizeLimit)
            limit.emplace(row.sizeLimit);
        try {
            saveCipherCode(r.m, r.w, r.w);
        } catch (const TextFileError& e) {
            error = e;
        }
    }
    ASSERT_TRUE(error) << "the save did not fail";
    EXPECT_EQ(error->kind(), row.kind);
    const std::string expected = row.kind == TextFileError::Kind::Write
                                     ? std::string("Stream-Write-Fehler ")
                                     : "Kann Datei " + saved + " nicht erstellen";
    EXPECT_EQ(std::string(error->what()), expected);
    EXPECT_EQ(r.m.dialogFileName, chosen);
    EXPECT_EQ(test::namesIn(dir.path()), namesBefore);
    if (existed) {
        EXPECT_EQ(readFile(saved), oldBytes);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SaveCipherCodeFailure,
    ::testing::Values(
        TextSaveFailure{"MissingFolder", [](const TempDir& d) { return d.file("no/x"); },
                        TextFileError::Kind::Create},
        TextSaveFailure{"TooLongName",
                        [](const TempDir& d) { return d.file(std::string(253, 'n')); },
                        TextFileError::Kind::Create},
        TextSaveFailure{"FolderInPlaceOfFile",
                        [](const TempDir& d) {
                            std::filesystem::create_directory(d.file("x.cif"));
                            return d.file("x.cif");
                        },
                        TextFileError::Kind::Create},
        TextSaveFailure{"ReadOnlyFileEvenForRoot",
                        [](const TempDir& d) {
                            writeFile(d.file("x.cif"), "earlier");
                            setMode(d.file("x.cif"), 0444);
                            return d.file("x.cif");
                        },
                        TextFileError::Kind::Create},
        TextSaveFailure{"ReadOnlyFileForUser",
                        [](const TempDir& d) {
                            writeFile(d.file("x.cif"), "earlier");
                            setMode(d.file("x.cif"), 0444);
                            setMode(d.path().string(), 0777);
                            return d.file("x.cif");
                        },
                        TextFileError::Kind::Create, true},
        TextSaveFailure{"FolderWithoutWritePermission",
                        [](const TempDir& d) {
                            std::filesystem::create_directory(d.file("locked"));
                            setMode(d.file("locked"), 0555);
                            return d.file("locked/x");
                        },
                        TextFileError::Kind::Create, true},
        TextSaveFailure{"FullDisk",
                        [](const TempDir& d) {
                            std::filesystem::create_symlink("/dev/full", d.file("full.cif"));
                            return d.file("full.cif");
                        },
                        TextFileError::Kind::Write},
        TextSaveFailure{"WriteFailsPartWay",
                        [](const TempDir& d) {
                            writeFile(d.file("x.cif"), "earlier");
                            return d.file("x.cif");
                        },
                        TextFileError::Kind::Write, false, 1000},
        TextSaveFailure{"NewFileRunsFull", [](const TempDir& d) { return d.file("new"); },
                        TextFileError::Kind::Write, false, 1}),
    [](const auto& p) { return std::string(p.param.name); });

// ---- Loade CipherCode -------------------------------------------------------------------------

class LoadCipherCode : public ::testing::Test {
protected:
    ReadyMachine r;
    TempDir dir;

    void load(const std::string& path) {
        r.w.openAnswers.push_back(path);
        loadCipherCode(r.m, r.w, r.w);
    }
};

TEST_F(LoadCipherCode, OffersBothFilters) {
    loadCipherCode(r.m, r.w, r.w);
    ASSERT_EQ(r.w.openCalls.size(), 1u);
    EXPECT_EQ(r.w.openCalls[0].filter, "Chiffredatei (*.cif)|*.cif|Textdatei (*.txt)|*.txt");
}

TEST_F(LoadCipherCode, ReplacesLadeAndNothingElse) {
    writeFile(dir.file("a.txt"), "ONE\nTWO\rTHREE\r\n");
    auto expected = snapshot(r.m, r.w);
    load(dir.file("a.txt"));
    EXPECT_EQ(r.w.paneText(Pane::Loaded), "ONE\r\nTWO\r\nTHREE\r\n");
    expected.panes[static_cast<std::size_t>(Pane::Loaded)] = "ONE\r\nTWO\r\nTHREE\r\n";
    expected.dialogFileName = dir.file("a.txt");
    EXPECT_EQ(snapshot(r.m, r.w), expected);
}

TEST_F(LoadCipherCode, EveryByteLoadsAsOneCharacter) {
    writeFile(dir.file("bytes.cif"), allBytes());
    load(dir.file("bytes.cif"));
    EXPECT_EQ(r.w.paneText(Pane::Loaded), withCrLf(allBytes()));
    EXPECT_EQ(r.w.paneText(Pane::Loaded).size(), 258u); // lone LF and lone CR became pairs
}

TEST_F(LoadCipherCode, EmptyFileEmptiesLade) {
    writeFile(dir.file("empty.cif"), "");
    load(dir.file("empty.cif"));
    EXPECT_EQ(r.w.paneText(Pane::Loaded), "");
}

TEST_F(LoadCipherCode, SavedTextComesBackUnchanged) {
    std::string text = allBytes();
    std::erase(text, '\r');
    std::erase(text, '\n');
    r.w.showText(Pane::Output, text);
    r.w.saveAnswers.push_back(dir.file("round"));
    saveCipherCode(r.m, r.w, r.w);
    load(dir.file("round.cif"));
    EXPECT_EQ(r.w.paneText(Pane::Loaded), text);
}

TEST_F(LoadCipherCode, ReadOnlyFileLoads) {
    writeFile(dir.file("ro.cif"), "ABC");
    setMode(dir.file("ro.cif"), 0444);
    setMode(dir.path().string(), 0755);
    {
        AsUnprivilegedUser user;
        load(dir.file("ro.cif"));
    }
    EXPECT_EQ(r.w.paneText(Pane::Loaded), "ABC");
}

TEST_F(LoadCipherCode, FileOfExactlyTheCapacityLoads) {
    writeFile(dir.file("big.cif"), std::string(kLoadedTextCapacity, 'A'));
    load(dir.file("big.cif"));
    EXPECT_EQ(r.w.paneText(Pane::Loaded).size(), std::size_t{16} << 20);
}

TEST_F(LoadCipherCode, CancelKeepsLade) {
    r.w.showText(Pane::Loaded, "keep");
    const auto before = snapshot(r.m, r.w);
    loadCipherCode(r.m, r.w, r.w);
    EXPECT_EQ(snapshot(r.m, r.w), before);
}

struct TextLoadFailure {
    const char* name;
    std::function<std::string(const TempDir&)> target;
    TextFileError::Kind kind;
    bool unprivileged = false;
};

void PrintTo(const TextLoadFailure& row, std::ostream* os) {
    *os << row.name;
}

class LoadCipherCodeFailure : public ::testing::TestWithParam<TextLoadFailure> {};

TEST_P(LoadCipherCodeFailure, ReportsAndLeavesLadeUnchanged) {
    const TextLoadFailure& row = GetParam();
    ReadyMachine r;
    TempDir dir;
    setMode(dir.path().string(), 0755);
    const std::string path = row.target(dir);
    r.w.showText(Pane::Loaded, "earlier text");
    auto expected = snapshot(r.m, r.w);
    expected.dialogFileName = path;
    r.w.openAnswers.push_back(path);
    std::optional<TextFileError> error;
    {
        std::optional<AsUnprivilegedUser> user;
        if (row.unprivileged)
            user.emplace();
        try {
            loadCipherCode(r.m, r.w, r.w);
        } catch (const TextFileError& e) {
            error = e;
        }
    }
    ASSERT_TRUE(error) << "the load did not fail";
    EXPECT_EQ(error->kind(), row.kind);
    EXPECT_EQ(std::string(error->what()), row.kind == TextFileError::Kind::Capacity
                                              ? std::string("Text überschreitet Memo-Kapazität")
                                              : "Kann Datei " + path + " nicht öffnen");
    EXPECT_EQ(snapshot(r.m, r.w), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, LoadCipherCodeFailure,
    ::testing::Values(
        TextLoadFailure{"MissingFile", [](const TempDir& d) { return d.file("none.cif"); },
                        TextFileError::Kind::Open},
        TextLoadFailure{"MissingFolder", [](const TempDir& d) { return d.file("no/x.cif"); },
                        TextFileError::Kind::Open},
        TextLoadFailure{"TooLongName", [](const TempDir& d) { return d.file(test::tooLongName()); },
                        TextFileError::Kind::Open},
        TextLoadFailure{"FolderInPlaceOfFile",
                        [](const TempDir& d) {
                            std::filesystem::create_directory(d.file("x.cif"));
                            return d.file("x.cif");
                        },
                        TextFileError::Kind::Open},
        TextLoadFailure{"UnreadableFile",
                        [](const TempDir& d) {
                            writeFile(d.file("x.cif"), "secret");
                            setMode(d.file("x.cif"), 0);
                            return d.file("x.cif");
                        },
                        TextFileError::Kind::Open, true},
        // Only a regular file is loaded, and a pipe never keeps the window waiting.
        TextLoadFailure{"NamedPipe",
                        [](const TempDir& d) {
                            test::makeFifo(d.file("pipe.cif"));
                            return d.file("pipe.cif");
                        },
                        TextFileError::Kind::Open},
        TextLoadFailure{"EndlessDevice", [](const TempDir&) { return std::string("/dev/zero"); },
                        TextFileError::Kind::Open},
        TextLoadFailure{"OneByteOverTheCapacity",
                        [](const TempDir& d) {
                            writeFile(d.file("big.cif"), std::string(kLoadedTextCapacity + 1, 'A'));
                            return d.file("big.cif");
                        },
                        TextFileError::Kind::Capacity}),
    [](const auto& p) { return std::string(p.param.name); });

} // namespace
} // namespace zelmak
