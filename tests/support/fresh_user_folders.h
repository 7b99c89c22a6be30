#pragma once

// Runs one test of this test program again in a fresh process whose user folders (HOME and the
// XDG folders) all lie in a scratch folder, and tells what that process wrote there. Qt fixes its
// settings folder at its first use in a process, so a test of what the program stores must start
// a process of its own. In the child, the variable `childVariable` names a folder for its files.

#include "process.h"
#include "temp_dir.h"

#include <filesystem>
#include <string>

namespace zelmak::test {

struct FreshRun {
    ProcessResult run;
    std::string written; // the files written outside the child's own folder, one a line
};

inline FreshRun runInFreshUserFolders(const std::string& testName, const char* childVariable) {
    namespace fs = std::filesystem;
    TempDir home;
    const fs::path files = home.path() / "files";
    fs::create_directory(files);
    FreshRun result;
    result.run =
        runProcess("/usr/bin/env",
                   {"HOME=" + home.file("home"), "XDG_CONFIG_HOME=" + home.file("config"),
                    "XDG_DATA_HOME=" + home.file("data"), "XDG_CACHE_HOME=" + home.file("cache"),
                    "QT_QPA_PLATFORM=offscreen", std::string(childVariable) + "=" + files.string(),
                    fs::read_symlink("/proc/self/exe").string(), "--gtest_filter=" + testName});
    for (const auto& entry : fs::recursive_directory_iterator(home.path()))
        if (!entry.is_directory() && entry.path().parent_path() != files)
            result.written += entry.path().string() + "\n";
    return result;
}

} // namespace zelmak::test
