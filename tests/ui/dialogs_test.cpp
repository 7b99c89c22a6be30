// The real dialogs of the program, answered by a timer on the offscreen platform.
#include "process.h"
#include "temp_dir.h"
#include "ui/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace zelmak::test {
namespace {

namespace fs = std::filesystem;

// Answers each file dialog that opens with the next path of a list (an empty one cancels) and
// each question box with the next Yes or No; notes the folder each file dialog opened in and
// each question asked.
class DialogAnswerer {
public:
    explicit DialogAnswerer(QStringList paths, QList<bool> yes = {})
        : m_paths(std::move(paths)), m_yes(std::move(yes)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { answer(); });
        m_timer.start(10);
    }

    QStringList openedIn;
    QStringList questions;
    QStringList questionCaptions;
    int nativeDialogs = 0;

private:
    void answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal); box && !m_yes.isEmpty()) {
            questions << box->text();
            questionCaptions << box->windowTitle();
            box->button(m_yes.takeFirst() ? QMessageBox::Yes : QMessageBox::No)->click();
            return;
        }
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog || !dialog->isVisible() || m_accepting || m_paths.isEmpty())
            return;
        openedIn << dialog->directory().absolutePath();
        if (!dialog->testOption(QFileDialog::DontUseNativeDialog))
            ++nativeDialogs;
        const QString path = m_paths.takeFirst();
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->selectFile(path);
        // From the event loop, so that this timer can answer a question the dialog asks.
        m_accepting = true;
        QTimer::singleShot(0, dialog, [this, dialog] {
            QMetaObject::invokeMethod(dialog, "accept");
            m_accepting = false;
        });
    }

    QStringList m_paths;
    QList<bool> m_yes;
    bool m_accepting = false;
    QTimer m_timer;
};

// The name of the environment variable that makes the test below run the dialogs itself, in a
// process of its own whose user folders all lie in a scratch folder.
constexpr const char* kChildFolder = "ZELMAK_DIALOG_TEST_FOLDER";

void useTheFileDialogs(const QString& folder) {
    const QString key = folder + QStringLiteral("/061226.key");
    writeFile(key.toStdString(), std::string(36, '\1'));
    QtDialogs dialogs;
    DialogAnswerer answerer({key, folder + QStringLiteral("/second.key"), key});
    const auto saved = dialogs.saveFile(nullptr, QStringLiteral("Datei from Cipher (*.key)|*.key"),
                                        QStringLiteral("061226.key"), {});
    const auto savedAgain =
        dialogs.saveFile(nullptr, QStringLiteral("Datei from Cipher (*.key)|*.key"), QString(), {});
    const auto opened = dialogs.openFile(nullptr, QStringLiteral("Datei from Cipher(*.key)|*.key"));
    EXPECT_EQ(saved, key);
    EXPECT_EQ(savedAgain, folder + QStringLiteral("/second.key"));
    EXPECT_EQ(opened, key);
    ASSERT_EQ(answerer.openedIn.size(), 3);
    EXPECT_EQ(answerer.openedIn[1], folder) << "the session remembers the folder";
    EXPECT_EQ(answerer.nativeDialogs, 0);
}

TEST(QtDialogs, file_dialogs_write_nothing_into_the_users_configuration) {
    if (const QString folder = qEnvironmentVariable(kChildFolder); !folder.isEmpty()) {
        useTheFileDialogs(folder);
        return;
    }
    // Qt fixes the settings folder at its first use in a process, so the dialogs run in a fresh
    // process of this test program, with every user folder in the scratch folder.
    TempDir home;
    const fs::path files = home.path() / "files";
    fs::create_directory(files);
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    const ProcessResult run = runProcess(
        "/usr/bin/env",
        {"HOME=" + home.file("home"), "XDG_CONFIG_HOME=" + home.file("config"),
         "XDG_DATA_HOME=" + home.file("data"), "XDG_CACHE_HOME=" + home.file("cache"),
         "QT_QPA_PLATFORM=offscreen", std::string(kChildFolder) + "=" + files.string(), self,
         "--gtest_filter=QtDialogs.file_dialogs_write_nothing_into_the_users_configuration"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    std::string written;
    for (const auto& entry : fs::recursive_directory_iterator(home.path()))
        if (!entry.is_directory() && entry.path().parent_path() != files)
            written += entry.path().string() + "\n";
    EXPECT_EQ(written, "");
}

TEST(QtDialogs, the_save_dialog_asks_its_question_about_an_existing_file_and_no_chooses_again) {
    TempDir dir;
    const QString existing = QString::fromStdString(dir.file("old.key"));
    writeFile(existing.toStdString(), std::string(100, 'x'));
    QtDialogs dialogs;
    DialogAnswerer answerer({existing, existing}, {false, true});
    const auto chosen = dialogs.saveFile(nullptr, QStringLiteral("Datei from Cipher (*.key)|*.key"),
                                         QStringLiteral("061226.key"),
                                         [](const QString& path) { return "About " + path; });
    EXPECT_EQ(chosen, existing);
    EXPECT_EQ(answerer.questions, QStringList({"About " + existing, "About " + existing}));
    EXPECT_EQ(answerer.questionCaptions.value(0), QStringLiteral("Save As"));
    EXPECT_EQ(answerer.openedIn.size(), 2) << "No went back to the same dialog";

    // Without a question the name comes back at once; the caller asks.
    DialogAnswerer silent({existing});
    EXPECT_EQ(dialogs.saveFile(nullptr, QStringLiteral("Textdatei (*.txt)|*.txt"), QString(), {}),
              existing);
    EXPECT_TRUE(silent.questions.isEmpty());
}

} // namespace
} // namespace zelmak::test
