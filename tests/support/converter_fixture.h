#pragma once

// The converter's window with scripted file dialogs, shown on the offscreen platform, and the
// helpers its tests share.

#include "converter_window.h"
#include "temp_dir.h"
#include "ui/run_pane.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <deque>
#include <memory>

namespace zelmak::test {

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

// The longest paragraph that Qt has to lay out in the pane: the cost of showing a text grows
// faster than its length, so a long unbroken run must never make one.
inline int longestBlock(const QPlainTextEdit* pane) {
    int longest = 0;
    for (QTextBlock b = pane->document()->begin(); b.isValid(); b = b.next())
        longest = std::max(longest, b.length());
    return longest;
}

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
    // The panes are the main window's text panes; a test of another pane fails, never crashes.
    QPlainTextEdit* inputPane() { return child<QPlainTextEdit>("inputPane"); }
    QPlainTextEdit* resultPane() { return child<QPlainTextEdit>("resultPane"); }
    static std::string text8(QPlainTextEdit* pane) {
        const auto* run = qobject_cast<RunPane*>(pane);
        return run ? run->text8() : "(not a RunPane)";
    }
    std::string input() { return text8(inputPane()); }
    std::string result() { return text8(resultPane()); }
    QString status() { return child<QLabel>("statusLabel")->text(); }
    QString path(const char* name) { return QString::fromStdString(m_tmp.file(name)); }

    // The text pasted over everything in the input pane, as the operator would.
    void enter(const QString& text) {
        inputPane()->selectAll();
        QApplication::clipboard()->setText(text);
        inputPane()->paste();
        QApplication::processEvents();
    }

    TempDir m_tmp;
    std::deque<QString> m_opens;
    std::deque<QString> m_saves;
    QStringList m_proposals;
    std::unique_ptr<ConverterWindow> m_window;
};

} // namespace zelmak::test
