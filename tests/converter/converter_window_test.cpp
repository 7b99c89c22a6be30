#include "converter_window.h"

#include "temp_dir.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>

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
    EXPECT_TRUE(status().contains(QStringLiteral("read-only"))) << status().toStdString();
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

} // namespace
} // namespace zelmak
