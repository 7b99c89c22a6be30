#include "platform/program_launcher.h"

#include "temp_dir.h"

#include <QApplication>
#include <QCoreApplication>
#include <QWidget>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace zelmak {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

void writeScript(const fs::path& path, const std::string& body) {
    fs::create_directories(path.parent_path());
    test::writeFile(path.string(), "#!/bin/sh\n" + body);
    fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
}

// Switches into a folder for the life of the guard.
class CurrentFolder {
public:
    explicit CurrentFolder(const fs::path& folder) : m_old(fs::current_path()) {
        fs::current_path(folder);
    }
    ~CurrentFolder() { fs::current_path(m_old); }

private:
    fs::path m_old;
};

std::vector<std::string> lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> result;
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

// Waits (without a deadline that could fail a slow machine's test early) until the log has
// `count` lines; gives up after a minute.
std::vector<std::string> waitForLines(const std::string& path, std::size_t count) {
    for (int i = 0; i < 600; ++i) {
        auto seen = lines(path);
        if (seen.size() >= count)
            return seen;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return lines(path);
}

// Children of this process that have ended but were never reaped.
int zombieChildren() {
    int zombies = 0;
    const std::string self = std::to_string(::getpid());
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string text;
        if (!stat || !std::getline(stat, text))
            continue;
        // pid (comm) state ppid ...; comm may hold blanks, so read after the last ')'.
        std::istringstream rest(text.substr(text.rfind(')') + 1));
        std::string state, ppid;
        rest >> state >> ppid;
        if (ppid == self && state == "Z")
            ++zombies;
    }
    return zombies;
}

// Which file the launcher picks, given what lies in the program's folder, two PATH folders
// and the current folder.
struct SearchRow {
    const char* name;
    std::vector<std::string> files; // "<folder>/<file>", folder one of prog, path1, path2, cwd
    std::string path;               // PATH, with the folder names replaced by their paths
    std::string expected;           // "<folder>/<file>", or "" for nothing
    std::string request = "converter.exe";
};

void PrintTo(const SearchRow& row, std::ostream* os) {
    *os << row.name;
}

class LauncherSearch : public ::testing::TestWithParam<SearchRow> {};

TEST_P(LauncherSearch, FindsTheProgramInItsFolderThenOnThePathNeverInTheCurrentFolder) {
    const SearchRow& row = GetParam();
    TempDir tmp;
    for (const std::string folder : {"prog", "path1", "path2", "cwd"})
        fs::create_directories(tmp.path() / folder);
    for (const std::string& file : row.files) {
        if (file.ends_with("/"))
            fs::create_directories(tmp.path() / file);
        else if (file.ends_with("!")) // a file without execute permission
            test::writeFile((tmp.path() / file.substr(0, file.size() - 1)).string(), "text\n");
        else
            writeScript(tmp.path() / file, "exit 0\n");
    }
    std::string path = row.path;
    for (const std::string folder : {"path1", "path2"}) {
        const std::string full = (tmp.path() / folder).string();
        for (auto at = path.find(folder); at != std::string::npos;
             at = path.find(folder, at + full.size()))
            path.replace(at, folder.size(), full);
    }
    CurrentFolder cwd(tmp.path() / "cwd");
    SystemProgramLauncher launcher(QString::fromStdString((tmp.path() / "prog").string()),
                                   QString::fromStdString(path));

    const auto found = launcher.locate(QString::fromStdString(row.request));
    if (row.expected.empty()) {
        EXPECT_FALSE(found.has_value()) << found->toStdString();
    } else {
        ASSERT_TRUE(found.has_value());
        EXPECT_EQ(found->toStdString(), (tmp.path() / row.expected).string());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LauncherSearch,
    ::testing::Values(
        SearchRow{"program_folder_before_path",
                  {"prog/zelmak-converter", "path1/zelmak-converter"},
                  "path1",
                  "prog/zelmak-converter"},
        SearchRow{"path_when_not_in_program_folder",
                  {"path1/zelmak-converter"},
                  "path1",
                  "path1/zelmak-converter"},
        SearchRow{"path_entries_in_order",
                  {"path1/zelmak-converter", "path2/zelmak-converter"},
                  "path2:path1",
                  "path2/zelmak-converter"},
        // Other systems' programs of the converter's designed or generic name are never ours.
        SearchRow{
            "generic_converter_never_started",
            {"prog/converter.exe", "prog/converter", "path1/converter.exe", "path1/converter"},
            "path1",
            ""},
        SearchRow{"ours_found_after_a_generic_one",
                  {"path1/converter", "path2/zelmak-converter"},
                  "path1:path2",
                  "path2/zelmak-converter"},
        SearchRow{"ours_by_its_own_name",
                  {"prog/zelmak-converter"},
                  "",
                  "prog/zelmak-converter",
                  "zelmak-converter"},
        SearchRow{"other_name_without_exe", {"prog/other"}, "", "prog/other", "other.exe"},
        SearchRow{
            "other_name_without_exe_on_path", {"path1/other"}, "path1", "path1/other", "other.exe"},
        SearchRow{"exact_name_before_name_without_exe",
                  {"prog/other", "prog/other.exe"},
                  "",
                  "prog/other.exe",
                  "other.exe"},
        SearchRow{"program_folder_without_exe_before_path_with_exe",
                  {"prog/other", "path1/other.exe"},
                  "path1",
                  "prog/other",
                  "other.exe"},
        SearchRow{"not_in_current_folder_through_dot", {"cwd/zelmak-converter"}, ".:./", ""},
        SearchRow{"not_in_current_folder_through_empty_entries",
                  {"cwd/zelmak-converter"},
                  ":path2::",
                  ""},
        SearchRow{"not_in_current_folder_through_relative_entry",
                  {"cwd/sub/zelmak-converter"},
                  "sub",
                  ""},
        SearchRow{"not_in_current_folder_when_found_nowhere", {"cwd/zelmak-converter"}, "", ""},
        SearchRow{"file_without_execute_permission_passed_over",
                  {"prog/zelmak-converter!", "path1/zelmak-converter"},
                  "path1",
                  "path1/zelmak-converter"},
        SearchRow{"folder_of_that_name_passed_over",
                  {"prog/zelmak-converter/", "path1/zelmak-converter"},
                  "path1",
                  "path1/zelmak-converter"},
        SearchRow{"name_differing_in_case_not_found", {"prog/Zelmak-Converter"}, "path1", ""},
        SearchRow{"relative_name_with_folder_refused",
                  {"cwd/tools/converter.exe"},
                  "",
                  "",
                  "tools/converter.exe"},
        SearchRow{"only_exe_is_dropped", {"prog/other"}, "", "", "other.bat"},
        SearchRow{"empty_name", {"prog/zelmak-converter"}, "", "", ""}));

TEST(LauncherSearch, FindsOurConverterNextToTheRunningProgram) {
    SystemProgramLauncher launcher(QCoreApplication::applicationDirPath(), QString());
    const auto found = launcher.locate(QStringLiteral("converter.exe"));
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(*found, QCoreApplication::applicationDirPath() + QStringLiteral("/zelmak-converter"));
}

TEST(LauncherSearch, DefaultSearchStartsInTheProgramsFolder) {
    const QStringList folders = SystemProgramLauncher().searchFolders();
    ASSERT_FALSE(folders.isEmpty());
    EXPECT_EQ(folders.front(), QCoreApplication::applicationDirPath());
}

TEST(LauncherStart, EachCallStartsOneMoreProcessWithoutArgumentsAndLeavesNoZombie) {
    TempDir tmp;
    const std::string log = tmp.file("log");
    writeScript(tmp.path() / "prog/zelmak-converter", "echo \"started $#\" >> '" + log + "'\n");
    SystemProgramLauncher launcher(QString::fromStdString((tmp.path() / "prog").string()),
                                   QString());

    launcher.start("converter.exe");
    launcher.start("converter.exe");

    EXPECT_EQ(waitForLines(log, 2), (std::vector<std::string>{"started 0", "started 0"}));
    EXPECT_EQ(zombieChildren(), 0);
}

TEST(LauncherStart, PassesTheRestOfTheCommandLineAsArgumentsWithoutAShell) {
    TempDir tmp;
    const std::string log = tmp.file("log");
    writeScript(tmp.path() / "prog/zelmak-converter",
                "for a in \"$@\"; do echo \"[$a]\" >> '" + log + "'; done\n");
    SystemProgramLauncher launcher(QString::fromStdString((tmp.path() / "prog").string()),
                                   QString());

    launcher.start("converter.exe \"two words\" $HOME;x");

    EXPECT_EQ(waitForLines(log, 2), (std::vector<std::string>{"[two words]", "[$HOME;x]"}));
}

TEST(LauncherStart, FailureThrowsNothingAndShowsNothing) {
    TempDir tmp;
    // A file that is executable but no program: the system refuses to run it.
    fs::create_directories(tmp.path() / "prog");
    test::writeFile(tmp.file("prog/zelmak-converter"), "\x7f"
                                                       "ELF garbage");
    fs::permissions(tmp.path() / "prog/zelmak-converter", fs::perms::owner_all);
    SystemProgramLauncher broken(QString::fromStdString((tmp.path() / "prog").string()), QString());
    SystemProgramLauncher missing(QString::fromStdString(tmp.file("nowhere")),
                                  QString::fromStdString(tmp.file("nowhere")));
    const auto before = QApplication::topLevelWidgets().size();

    EXPECT_NO_THROW(broken.start("converter.exe"));
    EXPECT_NO_THROW(missing.start("converter.exe"));
    EXPECT_NO_THROW(missing.start(""));
    EXPECT_NO_THROW(missing.start("   "));

    EXPECT_EQ(QApplication::topLevelWidgets().size(), before);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(zombieChildren(), 0);
}

} // namespace
} // namespace zelmak
