// The converter's real file dialogs, answered by a timer on the offscreen platform.
#include "converter_window.h"
#include "fresh_user_folders.h"
#include "modal_answerer.h"

#include <gtest/gtest.h>

namespace zelmak::test {
namespace {

constexpr const char* kChildFolder = "ZELMAK_CONVERTER_DIALOG_TEST_FOLDER";

// Like the main window's, the converter's dialogs leave no file names or folders behind in the
// user's configuration. Qt fixes its settings folder at the first use in a process, so the
// dialogs run in a fresh process of this test program with every user folder in a scratch folder.
TEST(ConverterDialogs, write_nothing_into_the_users_configuration) {
    if (const QString folder = qEnvironmentVariable(kChildFolder); !folder.isEmpty()) {
        const QString text = folder + QStringLiteral("/letter.txt");
        writeFile(text.toStdString(), "Hallo");
        FileConverterDialogs dialogs;
        ModalAnswerer answerer({text, folder + QStringLiteral("/result.txt")});
        EXPECT_EQ(dialogs.openTextFile(nullptr), text);
        EXPECT_EQ(dialogs.saveTextFile(nullptr, QStringLiteral("result.txt")),
                  folder + QStringLiteral("/result.txt"));
        EXPECT_EQ(answerer.nativeDialogs, 0);
        return;
    }
    const FreshRun fresh = runInFreshUserFolders(
        "ConverterDialogs.write_nothing_into_the_users_configuration", kChildFolder);
    EXPECT_EQ(fresh.run.status, 0) << fresh.run.out << fresh.run.err;
    EXPECT_EQ(fresh.written, "");
}

} // namespace
} // namespace zelmak::test
