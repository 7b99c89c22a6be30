// The real dialogs of the program, answered by a timer on the offscreen platform.
#include "fresh_user_folders.h"
#include "modal_answerer.h"
#include "process.h"
#include "temp_dir.h"
#include "ui/dialogs.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>

namespace zelmak::test {
namespace {

namespace fs = std::filesystem;

// The name of the environment variable that makes the test below run the dialogs itself, in a
// process of its own whose user folders all lie in a scratch folder.
constexpr const char* kChildFolder = "ZELMAK_DIALOG_TEST_FOLDER";

void useTheFileDialogs(const QString& folder) {
    const QString key = folder + QStringLiteral("/061226.key");
    writeFile(key.toStdString(), std::string(36, '\1'));
    QtDialogs dialogs;
    ModalAnswerer answerer({key, folder + QStringLiteral("/second.key"), key});
    const auto saved = dialogs.runSaveDialog("Datei from Cipher (*.key)|*.key", "061226.key", {});
    const auto savedAgain = dialogs.runSaveDialog("Datei from Cipher (*.key)|*.key", "", {});
    const auto opened = dialogs.runOpenDialog("Datei from Cipher(*.key)|*.key");
    EXPECT_EQ(saved, key.toStdString());
    EXPECT_EQ(savedAgain, (folder + QStringLiteral("/second.key")).toStdString());
    EXPECT_EQ(opened, key.toStdString());
    ASSERT_EQ(answerer.openedIn.size(), 3);
    EXPECT_EQ(answerer.openedIn[1], folder) << "the session remembers the folder";
    EXPECT_EQ(answerer.nativeDialogs, 0);
}

TEST(QtDialogs, file_dialogs_write_nothing_into_the_users_configuration) {
    if (const QString folder = qEnvironmentVariable(kChildFolder); !folder.isEmpty()) {
        useTheFileDialogs(folder);
        return;
    }
    const FreshRun fresh = runInFreshUserFolders(
        "QtDialogs.file_dialogs_write_nothing_into_the_users_configuration", kChildFolder);
    EXPECT_EQ(fresh.run.status, 0) << fresh.run.out << fresh.run.err;
    EXPECT_EQ(fresh.written, "");
}

TEST(QtDialogs, the_save_dialog_asks_its_question_about_an_existing_file_and_no_chooses_again) {
    TempDir dir;
    const QString existing = QString::fromStdString(dir.file("old.key"));
    writeFile(existing.toStdString(), std::string(100, 'x'));
    QtDialogs dialogs;
    ModalAnswerer answerer({existing, existing}, {QMessageBox::No, QMessageBox::Yes});
    const auto chosen =
        dialogs.runSaveDialog("Datei from Cipher (*.key)|*.key", "061226.key",
                              [](const std::string& path) { return "About " + path; });
    EXPECT_EQ(chosen, existing.toStdString());
    ASSERT_EQ(answerer.boxes.size(), 2U);
    for (const auto& box : answerer.boxes) {
        EXPECT_EQ(box.text, "About " + existing);
        EXPECT_EQ(box.caption, QStringLiteral("Save As")) << "the caption of Qt's own question";
    }
    EXPECT_EQ(answerer.openedIn.size(), 2) << "No went back to the same dialog";

    // Without a question the name comes back at once; the caller asks.
    ModalAnswerer silent({existing});
    EXPECT_EQ(dialogs.runSaveDialog("Textdatei (*.txt)|*.txt", "", {}), existing.toStdString());
    EXPECT_TRUE(silent.boxes.empty());
}

// The open dialog returns a name that does not exist, without a box of its own: the handlers
// report a missing file in the program's words.
TEST(QtDialogs, the_open_dialog_returns_a_name_that_does_not_exist) {
    TempDir dir;
    const QString missing = QString::fromStdString(dir.file("missing.key"));
    QtDialogs dialogs;
    ModalAnswerer answerer({missing});
    EXPECT_EQ(dialogs.runOpenDialog("Datei from Cipher(*.key)|*.key"), missing.toStdString());
    EXPECT_TRUE(answerer.boxes.empty());
}

// The helpers that wait for something fail the test after their deadline instead of waiting on.
TEST(NoHang, a_file_dialog_that_nobody_answers_fails_the_test_and_is_closed) {
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    int result = -1;
    EXPECT_NONFATAL_FAILURE(
        {
            ModalAnswerer answerer({}, {}, 200);
            result = dialog.exec();
        },
        "opened with no answer left");
    EXPECT_EQ(result, QDialog::Rejected);
}

TEST(NoHang, a_program_that_does_not_end_is_killed_with_what_it_started) {
    ProcessResult run;
    EXPECT_NONFATAL_FAILURE(run = runProcess("/bin/sh", {"-c", "sleep 60 & sleep 60"}, {},
                                             std::chrono::milliseconds(300)),
                            "did not end within 300 ms");
    EXPECT_EQ(run.status, 128 + SIGKILL);
}

} // namespace
} // namespace zelmak::test
