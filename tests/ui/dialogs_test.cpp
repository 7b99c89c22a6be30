// The real dialogs of the program, answered by a timer on the offscreen platform.
#include "process.h"
#include "temp_dir.h"
#include "ui/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace zelmak::test {
namespace {

namespace fs = std::filesystem;

// Answers each file dialog that opens with the next path of a list (an empty one cancels), and
// notes the folder it opened in.
class FileDialogAnswerer {
public:
    explicit FileDialogAnswerer(QStringList answers) : m_answers(std::move(answers)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { answer(); });
        m_timer.start(10);
    }

    QStringList openedIn;
    int nativeDialogs = 0;

private:
    void answer() {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible() || m_answers.isEmpty())
            return;
        openedIn << dialog->directory().absolutePath();
        if (!dialog->testOption(QFileDialog::DontUseNativeDialog))
            ++nativeDialogs;
        const QString path = m_answers.takeFirst();
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept");
    }

    QStringList m_answers;
    QTimer m_timer;
};

// The name of the environment variable that makes the test below run the dialogs itself, in a
// process of its own whose user folders all lie in a scratch folder.
constexpr const char* kChildFolder = "ZELMAK_DIALOG_TEST_FOLDER";

void useTheFileDialogs(const QString& folder) {
    const QString key = folder + QStringLiteral("/061226.key");
    writeFile(key.toStdString(), std::string(36, '\1'));
    QtDialogs dialogs;
    FileDialogAnswerer answerer({key, folder + QStringLiteral("/second.key"), key});
    const auto saved = dialogs.saveFile(nullptr, QStringLiteral("Datei from Cipher (*.key)|*.key"),
                                        QStringLiteral("061226.key"), false);
    const auto savedAgain = dialogs.saveFile(
        nullptr, QStringLiteral("Datei from Cipher (*.key)|*.key"), QString(), false);
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

} // namespace
} // namespace zelmak::test
