// The converter's real file dialogs, answered by a timer on the offscreen platform.
#include "converter_window.h"
#include "fresh_user_folders.h"
#include "modal_answerer.h"

#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

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
    const FreshRun fresh = runInFreshUserFolders(
        "ConverterDialogs.write_nothing_into_the_users_configuration", kChildFolder);
    EXPECT_EQ(fresh.run.status, 0) << fresh.run.out << fresh.run.err;
    EXPECT_EQ(fresh.written, "");
}

// The name the save dialog gives back for the name the operator types, and the questions it asks.
// "@" stands for a scratch folder.
struct SaveNameRow {
    const char* name;
    std::function<void(const TempDir&)> make;
    const char* typed;
    const char* expected; // "" when the dialog is cancelled
    QList<QMessageBox::StandardButton> answers;
    std::size_t questions;
};

void PrintTo(const SaveNameRow& row, std::ostream* os) {
    *os << row.name;
}

class SaveName : public ::testing::TestWithParam<SaveNameRow> {};

TEST_P(SaveName, GetsTxtOnlyWhenNothingStandsAtTheName) {
    const SaveNameRow& row = GetParam();
    TempDir tmp;
    row.make(tmp);
    const auto inTmp = [&](const char* name) {
        return QString::fromLatin1(name).replace(QLatin1Char('@'),
                                                 QString::fromStdString(tmp.path().string()));
    };
    FileConverterDialogs dialogs;
    // The dialog still open after a question declined is cancelled.
    ModalAnswerer questions({inTmp(row.typed), QString()}, row.answers);
    const auto chosen = dialogs.saveTextFile(nullptr, QStringLiteral("converted.txt"));
    EXPECT_EQ(chosen.value_or(QString()).toStdString(), inTmp(row.expected).toStdString());
    ASSERT_EQ(questions.boxes.size(), row.questions);
    for (const auto& box : questions.boxes)
        EXPECT_TRUE(box.text.contains(QStringLiteral("already exists"))) << box.text.toStdString();
}

void nothing(const TempDir&) {}

INSTANTIATE_TEST_SUITE_P(
    Names, SaveName,
    ::testing::Values(
        SaveNameRow{
            "device_keeps_its_name", nothing, "/dev/full", "/dev/full", {QMessageBox::Yes}, 1},
        SaveNameRow{
            "declined_replacement_chooses_nothing", nothing, "/dev/full", "", {QMessageBox::No}, 1},
        SaveNameRow{"existing_file_without_suffix_keeps_its_name",
                    [](const TempDir& d) { writeFile(d.file("letter"), "old"); },
                    "@/letter",
                    "@/letter",
                    {QMessageBox::Yes},
                    1},
        SaveNameRow{"new_name_gets_txt", nothing, "@/result", "@/result.txt", {}, 0},
        SaveNameRow{"new_name_whose_txt_file_exists_asks",
                    [](const TempDir& d) { writeFile(d.file("result.txt"), "old"); },
                    "@/result",
                    "@/result.txt",
                    {QMessageBox::Yes},
                    1},
        SaveNameRow{"name_with_a_suffix_stays", nothing, "@/result.cif", "@/result.cif", {}, 0},
        // The write follows the link and makes the file it points at.
        SaveNameRow{"link_to_nothing_keeps_its_name",
                    [](const TempDir& d) { fs::create_symlink(d.file("target"), d.file("link")); },
                    "@/link",
                    "@/link",
                    {},
                    0}),
    [](const auto& p) { return std::string(p.param.name); });

} // namespace
} // namespace zelmak::test
