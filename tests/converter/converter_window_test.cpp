#include "converter_fixture.h"
#include "fifo_guard.h"
#include "memory_cap.h"

#include <QImage>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace zelmak {
namespace {

namespace fs = std::filesystem;
using test::ConverterWindowTest;
using test::TempDir;

TEST_F(ConverterWindowTest, OpenConvertAndSaveALatin1Letter) {
    test::writeFile(m_tmp.file("brief.txt"), "Gr\xFC\xDF"
                                             "e, Welt!\r\nJa \x80 x\r\n");
    m_opens.push_back(path("brief.txt"));
    m_saves.push_back(path("out.txt"));

    click("openButton");
    EXPECT_EQ(input(), "Gr\xFC\xDF"
                       "e, Welt!\r\nJa \x80 x\r\n");
    EXPECT_FALSE(child<QPushButton>("saveButton")->isEnabled());

    click("convertButton");
    EXPECT_EQ(result(), "GRUESSE VVELT IA KS");
    EXPECT_TRUE(status().contains(QStringLiteral("3 characters dropped")))
        << status().toStdString();

    click("saveButton");
    EXPECT_EQ(m_proposals, QStringList{path("brief-converted.txt")});
    EXPECT_EQ(test::readFile(m_tmp.file("out.txt")), "GRUESSE VVELT IA KS");
    EXPECT_TRUE(status().startsWith(QStringLiteral("Saved"))) << status().toStdString();
}

TEST_F(ConverterWindowTest, PastedTextIsConvertedAndCharactersBeyondLatin1CountOnceEach) {
    enter(QStringLiteral("x € y \U0001F600 z."));
    EXPECT_EQ(input(), "x ? y ? z.");
    click("convertButton");
    EXPECT_EQ(result(), "KS Y Z");
    EXPECT_TRUE(status().contains(QStringLiteral("3 characters dropped")))
        << status().toStdString();

    enter(QStringLiteral("a!"));
    click("convertButton");
    EXPECT_TRUE(status().contains(QStringLiteral("1 character dropped"))) << status().toStdString();
}

TEST_F(ConverterWindowTest, SaveIsOfferedOnlyForAResultThatMatchesTheText) {
    auto* save = child<QPushButton>("saveButton");
    EXPECT_FALSE(save->isEnabled());
    enter(QStringLiteral("...")); // nothing to key
    click("convertButton");
    EXPECT_FALSE(save->isEnabled());

    enter(QStringLiteral("hallo"));
    click("convertButton");
    EXPECT_TRUE(save->isEnabled());
    QTest::keyClick(inputPane(), Qt::Key_A);
    EXPECT_FALSE(save->isEnabled());
    EXPECT_EQ(result(), "");

    // So does a file opened after converting.
    click("convertButton");
    test::writeFile(m_tmp.file("other.txt"), "other");
    m_opens.push_back(path("other.txt"));
    click("openButton");
    EXPECT_FALSE(save->isEnabled());
    EXPECT_EQ(result(), "");
}

TEST_F(ConverterWindowTest, CancelledDialogsChangeNothing) {
    enter(QStringLiteral("hallo"));
    click("convertButton");
    const QString before = status();
    m_opens.push_back(QString());
    m_saves.push_back(QString());

    click("openButton");
    click("saveButton");

    EXPECT_EQ(input(), "hallo");
    EXPECT_EQ(result(), "HALLO");
    EXPECT_EQ(status(), before);
    EXPECT_EQ(m_proposals, QStringList{QStringLiteral("converted.txt")});
    EXPECT_TRUE(fs::is_empty(m_tmp.path()));
}

TEST_F(ConverterWindowTest, SavingReplacesAnExistingWritableFileWhole) {
    test::writeFile(m_tmp.file("out.txt"), std::string(100, 'z'));
    enter(QStringLiteral("ja"));
    click("convertButton");
    m_saves.push_back(path("out.txt"));
    click("saveButton");
    EXPECT_EQ(test::readFile(m_tmp.file("out.txt")), "IA");
}

// ---- The file rules of "Loade CipherCode" -------------------------------------------------------

struct OpenRow {
    const char* name;
    std::function<std::string(const TempDir&)> make; // returns the path the operator picks
    const char* reason;
};

void PrintTo(const OpenRow& row, std::ostream* os) {
    *os << row.name;
}

class ConverterOpen : public ConverterWindowTest, public ::testing::WithParamInterface<OpenRow> {};

TEST_P(ConverterOpen, RefusesWhatTheMachineWouldRefuseWithoutWaiting) {
    const std::string path = GetParam().make(m_tmp);
    enter(QStringLiteral("hallo"));
    m_opens.push_back(QString::fromStdString(path));
    {
        test::FifoGuard guard(path);
        test::MemoryCap cap(std::size_t{1} << 30);
        click("openButton");
        EXPECT_FALSE(guard.fired()) << "the converter waited for a pipe";
    }
    EXPECT_EQ(status(),
              QStringLiteral("Cannot open %1: %2.")
                  .arg(QString::fromStdString(path), QString::fromLatin1(GetParam().reason)));
    EXPECT_EQ(input(), "hallo");
}

INSTANTIATE_TEST_SUITE_P(
    Files, ConverterOpen,
    ::testing::Values(OpenRow{"named_pipe",
                              [](const TempDir& d) {
                                  test::makeFifo(d.file("pipe.txt"));
                                  return d.file("pipe.txt");
                              },
                              "it is not a regular file"},
                      OpenRow{"endless_device",
                              [](const TempDir&) { return std::string("/dev/zero"); },
                              "it is not a regular file"},
                      OpenRow{"sparse_file_of_a_gigabyte",
                              [](const TempDir& d) {
                                  test::writeFile(d.file("sparse.txt"), "");
                                  fs::resize_file(d.file("sparse.txt"), std::uintmax_t{1} << 30);
                                  return d.file("sparse.txt");
                              },
                              "it is larger than 16 MiB, the most the machine loads"},
                      OpenRow{"missing_file", [](const TempDir& d) { return d.file("none.txt"); },
                              "No such file or directory"}),
    [](const auto& p) { return std::string(p.param.name); });

// ---- Targets that cannot be written
// --------------------------------------------------------------

struct SaveRow {
    const char* name;
    std::function<std::string(const TempDir&)> make; // returns the path the operator picks
    const char* reason;
};

void PrintTo(const SaveRow& row, std::ostream* os) {
    *os << row.name;
}

class ConverterSave : public ConverterWindowTest, public ::testing::WithParamInterface<SaveRow> {};

TEST_P(ConverterSave, AFailedWriteIsToldInTheStatusLineWithoutADialog) {
    const std::string target = GetParam().make(m_tmp);
    enter(QStringLiteral("hallo"));
    click("convertButton");
    m_saves.push_back(QString::fromStdString(target));
    click("saveButton");
    EXPECT_EQ(status(),
              QStringLiteral("Cannot write %1: %2.")
                  .arg(QString::fromStdString(target), QString::fromLatin1(GetParam().reason)));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(child<QPushButton>("saveButton")->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Targets, ConverterSave,
    ::testing::Values(
        SaveRow{"full_device", [](const TempDir&) { return std::string("/dev/full"); },
                "No space left on device"},
        // Refused also for root, who could write it.
        SaveRow{"read_only_file",
                [](const TempDir& d) {
                    test::writeFile(d.file("readonly.txt"), "keep");
                    fs::permissions(d.file("readonly.txt"), fs::perms::owner_read |
                                                                fs::perms::group_read |
                                                                fs::perms::others_read);
                    return d.file("readonly.txt");
                },
                "Permission denied"},
        SaveRow{"missing_folder", [](const TempDir& d) { return d.file("no/such/out.txt"); },
                "No such file or directory"},
        SaveRow{"folder", [](const TempDir& d) { return d.path().string(); }, "Is a directory"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(ConverterWindowTest, AReadOnlyFileKeepsItsText) {
    test::writeFile(m_tmp.file("readonly.txt"), "keep");
    fs::permissions(m_tmp.path() / "readonly.txt", fs::perms::owner_read);
    enter(QStringLiteral("hallo"));
    click("convertButton");
    m_saves.push_back(path("readonly.txt"));
    click("saveButton");
    EXPECT_EQ(test::readFile(m_tmp.file("readonly.txt")), "keep");
}

TEST_F(ConverterWindowTest, SavingOntoAPipeThatNobodyReadsNeverWaits) {
    enter(QStringLiteral("hallo"));
    click("convertButton");
    ASSERT_TRUE(test::makeFifo(m_tmp.file("pipe.txt")));
    m_saves.push_back(path("pipe.txt"));
    {
        test::FifoGuard guard(m_tmp.file("pipe.txt"));
        click("saveButton");
        EXPECT_FALSE(guard.fired()) << "the converter waited for a pipe";
    }
    EXPECT_TRUE(status().startsWith(QStringLiteral("Cannot write %1").arg(path("pipe.txt"))))
        << status().toStdString();
    EXPECT_EQ(fs::status(m_tmp.path() / "pipe.txt").type(), fs::file_type::fifo);
}

// A text of `size` bytes made of the line, repeated, and as many A as are needed to fill it up.
std::string linesOf(std::size_t size, const std::string& line) {
    std::string text;
    text.reserve(size);
    while (text.size() + line.size() <= size)
        text += line;
    text.append(size - text.size(), 'A');
    return text;
}

std::string repeated(const std::string& part, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
        text += part;
    return text;
}

// Whether the pane's visible part shows any text: dark pixels on its light ground.
bool showsText(QPlainTextEdit* pane) {
    const QImage image = pane->viewport()->grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                return true;
    return false;
}

// The text's line breaks become spaces: the result of a whole file is one line, which the
// result pane must show, cut into short blocks, even at the largest size the machine loads.
TEST_F(ConverterWindowTest, ASixteenMiBResultOfOneLineShowsInShortBlocks) {
    test::writeFile(m_tmp.file("long.txt"),
                    linesOf(std::size_t{16} << 20, repeated("HALLO ALLE ", 372) + "HALLO ALLE\n"));
    m_opens.push_back(path("long.txt"));
    click("openButton");
    click("convertButton");
    EXPECT_EQ(result().size(), std::size_t{16} << 20);
    EXPECT_LE(test::longestBlock(resultPane()), 1024);
    EXPECT_TRUE(showsText(resultPane()));
    EXPECT_TRUE(child<QPushButton>("saveButton")->isEnabled());
}

// A run without blanks (a line of W, a cipher text) is shown in lines the panes cut themselves:
// Qt never has to lay out one long paragraph, in either pane.
TEST_F(ConverterWindowTest, ALongRunWithoutBlanksIsShownInShortBlocks) {
    const std::string run(50'000, 'W');
    test::writeFile(m_tmp.file("run.txt"), run);
    m_opens.push_back(path("run.txt"));
    click("openButton");
    EXPECT_EQ(input(), run);
    EXPECT_LE(test::longestBlock(inputPane()), 1024);
    EXPECT_TRUE(showsText(inputPane()));

    click("convertButton");
    EXPECT_EQ(result(), repeated("VV", 50'000));
    EXPECT_LE(test::longestBlock(resultPane()), 1024);
    EXPECT_TRUE(showsText(resultPane()));
}

TEST_F(ConverterWindowTest, AResultTheMachineCouldNotLoadIsNotMade) {
    // Every W becomes VV: nine million of them make a result of over 16 MiB.
    test::writeFile(m_tmp.file("w.txt"), linesOf(9'000'000, std::string(63, 'W') + "\n"));
    m_opens.push_back(path("w.txt"));
    click("openButton");
    click("convertButton");
    EXPECT_EQ(result(), "");
    EXPECT_FALSE(child<QPushButton>("saveButton")->isEnabled());
    EXPECT_TRUE(status().contains(QStringLiteral("more than the 16 MiB the machine loads")))
        << status().toStdString();
}

} // namespace
} // namespace zelmak
