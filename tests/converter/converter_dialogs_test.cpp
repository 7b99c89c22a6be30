// The converter's real file dialogs, answered by a timer on the offscreen platform.
#include "converter_window.h"
#include "modal_answerer.h"
#include "process.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace zelmak::test {
namespace {

namespace fs = std::filesystem;

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
    TempDir home;
    const fs::path files = home.path() / "files";
    fs::create_directory(files);
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    const ProcessResult run = runProcess(
        "/usr/bin/env",
        {"HOME=" + home.file("home"), "XDG_CONFIG_HOME=" + home.file("config"),
         "XDG_DATA_HOME=" + home.file("data"), "XDG_CACHE_HOME=" + home.file("cache"),
         "QT_QPA_PLATFORM=offscreen", std::string(kChildFolder) + "=" + files.string(), self,
         "--gtest_filter=ConverterDialogs.write_nothing_into_the_users_configuration"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    std::string written;
    for (const auto& entry : fs::recursive_directory_iterator(home.path()))
        if (!entry.is_directory() && entry.path().parent_path() != files)
            written += entry.path().string() + "\n";
    EXPECT_EQ(written, "");
}

} // namespace
} // namespace zelmak::test
