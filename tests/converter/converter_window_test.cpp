#include "converter_window.h"

#include "fifo_guard.h"
#include "memory_cap.h"
#include "temp_dir.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>

namespace zelmak {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// Dialogs that answer from a script (an empty name cancels) and remember what they offered.
struct ScriptedDialogs : ConverterDialogs {
    std::deque<QString>* opens;
    std::deque<QString>* saves;
    QStringList* proposals;

    std::optional<QString> openTextFile(QWidget*) override { return next(*opens); }
    std::optional<QString> saveTextFile(QWidget*, const QString& proposed) override {
        proposals->append(proposed);
        return next(*saves);
    }
    static std::optional<QString> next(std::deque<QString>& answers) {
        if (answers.empty())
            return std::nullopt;
        const QString answer = answers.front();
        answers.pop_front();
        if (answer.isEmpty())
            return std::nullopt;
        return answer;
    }
};

class ConverterWindowTest : public ::testing::Test {
protected:
    ConverterWindowTest() {
        auto dialogs = std::make_unique<ScriptedDialogs>();
        dialogs->opens = &m_opens;
        dialogs->saves = &m_saves;
        dialogs->proposals = &m_proposals;
        m_window = std::make_unique<ConverterWindow>(std::move(dialogs));
        m_window->show();
    }

    template <typename T> T* child(const char* name) {
        auto* widget = m_window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void click(const char* button) {
        QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
    }
    QString input() { return child<QPlainTextEdit>("inputPane")->toPlainText(); }
    QString result() { return child<QPlainTextEdit>("resultPane")->toPlainText(); }
    QString status() { return child<QLabel>("statusLabel")->text(); }
    QString path(const char* name) { return QString::fromStdString(m_tmp.file(name)); }

    TempDir m_tmp;
    std::deque<QString> m_opens;
    std::deque<QString> m_saves;
    QStringList m_proposals;
    std::unique_ptr<ConverterWindow> m_window;
};

TEST_F(ConverterWindowTest, OpenConvertAndSaveALatin1Letter) {
    test::writeFile(m_tmp.file("brief.txt"), "Gr\xFC\xDF"
                                             "e, Welt!\r\nJa \x80 x\r\n");
    m_opens.push_back(path("brief.txt"));
    m_saves.push_back(path("out.txt"));

    click("openButton");
    EXPECT_EQ(input(), QStringLiteral("Grüße, Welt!\nJa \u0080 x\n"));
    EXPECT_FALSE(child<QPushButton>("saveButton")->isEnabled());

    click("convertButton");
    EXPECT_EQ(result(), QStringLiteral("GRUESSE VVELT IA KS"));
    EXPECT_TRUE(status().contains(QStringLiteral("3 characters dropped")))
        << status().toStdString();

    click("saveButton");
    EXPECT_EQ(m_proposals, QStringList{path("brief-converted.txt")});
    EXPECT_EQ(test::readFile(m_tmp.file("out.txt")), "GRUESSE VVELT IA KS");
    EXPECT_TRUE(status().startsWith(QStringLiteral("Saved"))) << status().toStdString();
}

TEST_F(ConverterWindowTest, TypedTextIsConvertedAndCharactersBeyondLatin1CountOnceEach) {
    child<QPlainTextEdit>("inputPane")->setPlainText(QStringLiteral("x € y \U0001F600 z."));
    click("convertButton");
    EXPECT_EQ(result(), QStringLiteral("KS Y Z"));
    EXPECT_TRUE(status().contains(QStringLiteral("3 characters dropped")))
        << status().toStdString();

    child<QPlainTextEdit>("inputPane")->setPlainText(QStringLiteral("a!"));
    click("convertButton");
    EXPECT_TRUE(status().contains(QStringLiteral("1 character dropped"))) << status().toStdString();
}

TEST_F(ConverterWindowTest, SaveIsOfferedOnlyForAResultThatMatchesTheText) {
    auto* save = child<QPushButton>("saveButton");
    EXPECT_FALSE(save->isEnabled());
    child<QPlainTextEdit>("inputPane")->setPlainText(QStringLiteral("...")); // nothing to key
    click("convertButton");
    EXPECT_FALSE(save->isEnabled());

    child<QPlainTextEdit>("inputPane")->setPlainText(QStringLiteral("hallo"));
    click("convertButton");
    EXPECT_TRUE(save->isEnabled());
    QTest::keyClick(child<QPlainTextEdit>("inputPane"), Qt::Key_A);
    EXPECT_FALSE(save->isEnabled());
    EXPECT_TRUE(result().isEmpty());
}

TEST_F(ConverterWindowTest, CancelledDialogsChangeNothing) {
    child<QPlainTextEdit>("inputPane")->setPlainText(QStringLiteral("hallo"));
    click("convertButton");
    const QString before = status();
    m_opens.push_back(QString());
    m_saves.push_back(QString());

    click("openButton");
    click("saveButton");

    EXPECT_EQ(input(), QStringLiteral("hallo"));
    EXPECT_EQ(result(), QStringLiteral("HALLO"));
    EXPECT_EQ(status(), before);
    EXPECT_EQ(m_proposals, QStringList{QStringLiteral("converted.txt")});
    EXPECT_TRUE(fs::is_empty(m_tmp.path()));
}

TEST_F(ConverterWindowTest, FileFailuresAreToldInTheStatusLineWithoutADialog) {
    child<QPlainTextEdit>("inputPane")->setPlainText(QStringLiteral("hallo"));
    click("convertButton");
    test::writeFile(m_tmp.file("readonly.txt"), "keep");
    fs::permissions(m_tmp.path() / "readonly.txt",
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    m_opens.push_back(path("missing.txt"));
    m_saves.push_back(path("readonly.txt"));
    m_saves.push_back(path("no/such/folder/out.txt"));

    click("openButton");
    EXPECT_TRUE(status().startsWith(QStringLiteral("Cannot open"))) << status().toStdString();
    EXPECT_EQ(input(), QStringLiteral("hallo"));

    click("saveButton");
    EXPECT_TRUE(status().contains(QStringLiteral("Permission denied"))) << status().toStdString();
    EXPECT_EQ(test::readFile(m_tmp.file("readonly.txt")), "keep");

    click("saveButton");
    EXPECT_TRUE(status().startsWith(QStringLiteral("Cannot write"))) << status().toStdString();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ConverterWindowTest, SavingReplacesAnExistingWritableFileWhole) {
    test::writeFile(m_tmp.file("out.txt"), std::string(100, 'z'));
    child<QPlainTextEdit>("inputPane")->setPlainText(QStringLiteral("ja"));
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
    child<QPlainTextEdit>("inputPane")->setPlainText(QStringLiteral("hallo"));
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
    EXPECT_EQ(input(), QStringLiteral("hallo"));
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

TEST_F(ConverterWindowTest, SavingOntoAPipeThatNobodyReadsNeverWaits) {
    child<QPlainTextEdit>("inputPane")->setPlainText(QStringLiteral("hallo"));
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
// result pane must show even at the largest size the machine loads.
TEST_F(ConverterWindowTest, ASixteenMiBResultOfOneLineShows) {
    test::writeFile(m_tmp.file("long.txt"),
                    linesOf(std::size_t{16} << 20, repeated("HALLO ALLE ", 372) + "HALLO ALLE\n"));
    m_opens.push_back(path("long.txt"));
    click("openButton");
    click("convertButton");
    auto* pane = child<QPlainTextEdit>("resultPane");
    EXPECT_EQ(pane->document()->blockCount(), 1);
    EXPECT_EQ(pane->document()->characterCount() - 1, 16 * 1024 * 1024);
    EXPECT_TRUE(showsText(pane));
    EXPECT_TRUE(child<QPushButton>("saveButton")->isEnabled());
}

TEST_F(ConverterWindowTest, AResultTheMachineCouldNotLoadIsNotMade) {
    // Every W becomes VV: nine million of them make a result of over 16 MiB.
    child<QPlainTextEdit>("inputPane")
        ->setPlainText(QString::fromStdString(linesOf(9'000'000, std::string(63, 'W') + "\n")));
    click("convertButton");
    EXPECT_TRUE(result().isEmpty());
    EXPECT_FALSE(child<QPushButton>("saveButton")->isEnabled());
    EXPECT_TRUE(status().contains(QStringLiteral("more than the 16 MiB the machine loads")))
        << status().toStdString();
}

} // namespace
} // namespace zelmak
