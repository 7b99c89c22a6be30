#pragma once

// A main window for tests: real controls on the offscreen platform, with dialogs that answer
// from queues and an error box that only records, so that no test can wait for a click.

#include "doubles.h"
#include "files/clock.h"
#include "platform_doubles.h"
#include "ui/Unit1.h"
#include "ui/dialogs.h"
#include "ui/run_pane.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace zelmak::test {

// Records in Qt's strings what the window's file handlers ask, and answers with paths that go
// to them in the file system's bytes, as the real dialogs do.
class FakeDialogs : public Dialogs {
public:
    std::optional<std::string> runOpenDialog(std::string_view filter) override {
        openFilters.push_back(QString::fromStdString(std::string(filter)));
        return answered(openAnswers);
    }
    std::optional<std::string> runSaveDialog(std::string_view filter, std::string_view proposedName,
                                             const ReplaceQuestion& question) override {
        saveFilters.push_back(QString::fromStdString(std::string(filter)));
        proposedNames.push_back(QString::fromStdString(std::string(proposedName)));
        saveAsks.push_back(bool(question));
        auto chosen = answered(saveAnswers);
        // The dialog's own question about an existing file; No cancels here.
        if (chosen && question && QFileInfo::exists(QFile::decodeName(chosen->c_str()))) {
            dialogQuestions.push_back(QString::fromStdString(question(*chosen)));
            if (!replaceAnswers.isEmpty() && !replaceAnswers.takeFirst())
                return std::nullopt;
        }
        return chosen;
    }
    bool confirmReplace(std::string_view path) override {
        replaceQuestions.push_back(QFile::decodeName(std::string(path).c_str()));
        return replaceAnswers.isEmpty() || replaceAnswers.takeFirst();
    }
    void errorBox(const QString& message) override { errors.push_back(message); }
    void applicationErrorBox(const QString& message) override { fatalErrors.push_back(message); }

    // Paths the dialogs answer with, in turn; an empty one (or none left) cancels.
    QStringList openAnswers;
    QStringList saveAnswers;
    QStringList openFilters;
    QStringList saveFilters;
    QStringList proposedNames;
    QList<bool> saveAsks;
    // Answers to "replace it?" in turn (none left: yes), the paths asked about after a save
    // dialog, and the questions a save dialog asked itself.
    QList<bool> replaceAnswers;
    QStringList replaceQuestions;
    QStringList dialogQuestions;
    QStringList errors;
    QStringList fatalErrors;
    // Runs with each path a dialog answers, just before the handler gets it (to pull the file
    // away from under the handler, say).
    std::function<void(const QString&)> onAnswer;

private:
    std::optional<std::string> answered(QStringList& answers) {
        auto chosen = next(answers);
        if (!chosen)
            return std::nullopt;
        if (onAnswer)
            onAnswer(*chosen);
        return QFile::encodeName(*chosen).toStdString();
    }
    static std::optional<QString> next(QStringList& answers) {
        const QString answer = answers.isEmpty() ? QString() : answers.takeFirst();
        if (answer.isEmpty())
            return std::nullopt;
        return answer;
    }
};

class FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        services.dialogs = &dialogs;
        services.helpFile = &helpFile;
        services.quit = [this] { ++quitRequests; };
        services.helpViewer = &helpViewer;
        services.launcher = &launcher;
        services.clock = &clock;
        form = std::make_unique<TForm1>(services);
        form->FormCreate();
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        button(1)->setFocus();
    }

    QPushButton* button(int number) const {
        return named<QPushButton>(QStringLiteral("Button%1").arg(number));
    }
    QComboBox* card(int k) const { return named<QComboBox>(QStringLiteral("ComboBox%1").arg(k)); }
    QComboBox* disc(int s) const { return named<QComboBox>(QStringLiteral("ComboBoxS%1").arg(s)); }
    QComboBox* position(int s) const {
        return named<QComboBox>(QStringLiteral("ComboBoxSS%1").arg(s));
    }
    QRadioButton* radio(int n) const {
        return named<QRadioButton>(QStringLiteral("RadioButton%1").arg(n));
    }
    template <typename T> T* named(const QString& name) const {
        T* widget = form->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }

    // The five positions as the selectors show them, slots 1..5.
    std::string positions() const {
        std::string shown;
        for (int s = 1; s <= 5; ++s)
            shown += position(s)->currentText().toStdString();
        return shown;
    }
    // What a pane shows, and the operator putting a text into one (as a paste would).
    RunPane* paneWidget(Pane p) const {
        static const char* const kNames[] = {"Eingabe", "Ausgabe", "lade"}; // in the order of Pane
        return named<RunPane>(QString::fromLatin1(kNames[static_cast<int>(p)]));
    }
    std::string pane(Pane p) const { return paneWidget(p)->text8(); }
    void operatorWrites(Pane p, std::string_view text) const {
        paneWidget(p)->showEditedText(text);
    }

    // The operator picks an item in a selector: the selection changes and its handler runs.
    static void pick(QComboBox* box, int item) {
        box->setCurrentIndex(item);
        emit box->activated(item);
    }

    // Types characters on the physical keyboard into whatever has the focus.
    static void type(const char* keys, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        for (const char* c = keys; *c; ++c)
            QTest::keyClick(QApplication::focusWidget(), *c, mods);
    }

    FakeDialogs dialogs;
    RecordingHelpViewer helpViewer;
    RecordingProgramLauncher launcher;
    FixedClock clock{CalendarDate{2026, 12, 6}};
    QString helpFile;
    int quitRequests = 0;
    FormServices services;
    std::unique_ptr<TForm1> form;
};

} // namespace zelmak::test
