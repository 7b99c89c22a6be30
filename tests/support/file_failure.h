#pragma once

// The one fixture of the file handlers' failures. A row prepares the target in a fresh folder;
// the handler runs on it under the row's conditions (an unprivileged user, a file-size limit, no
// free descriptor), and the operator must get the row's message in the error box and nothing
// else: what the session shows and holds stays as it was, no name comes or goes in the folder,
// and a file that stood there keeps its bytes.

#include "file_conditions.h"
#include "session_rig.h"
#include "temp_dir.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace zelmak::test {

struct FileFailure {
    const char* name;
    // Prepares the target in the folder and returns the path the dialog answers with.
    std::function<std::string(const TempDir&)> target;
    // The error box's message; "%s" stands for the path of the file written or read.
    std::string message;
    bool unprivileged = false;
    rlim_t sizeLimit = 0; // 0: none
    bool noFreeDescriptor = false;
    bool overwritesStart = false; // a key written in place has already replaced the first bytes
    bool needsRoot = false;       // only root, through the switch to 65534, is another user
};

inline void PrintTo(const FileFailure& row, std::ostream* os) {
    *os << row.name;
}

class FileFailureTest : public ::testing::TestWithParam<FileFailure> {
protected:
    SessionRig rig;
    TempDir dir;

    void SetUp() override { rig.type("HA"); } // keys that the history could take back

    // Runs the handler with both dialogs answering the row's path; `fileOf` gives the file the
    // handler uses for the chosen path.
    void expectFailure(void (Session::*handler)(),
                       const std::function<std::string(const std::string&)>& fileOf = {}) {
        const FileFailure& row = GetParam();
        if (row.needsRoot && ::geteuid() != 0)
            GTEST_SKIP() << "only root can write a file as another user's owner";
        setMode(dir.path().string(), 0755);
        const std::string chosen = row.target(dir);
        const std::string file = fileOf ? fileOf(chosen) : chosen;
        std::error_code ec;
        const bool existed = std::filesystem::is_regular_file(file, ec);
        const std::string oldBytes = existed ? readFile(file) : std::string();
        const auto names = namesIn(dir.path());
        if (row.noFreeDescriptor)
            meetSeams();
        const Snapshot before = snapshotOf(rig);
        rig.view.openAnswers.push_back(chosen);
        rig.view.saveAnswers.push_back(chosen);
        {
            std::optional<AsUnprivilegedUser> user;
            if (row.unprivileged)
                user.emplace();
            std::optional<FileSizeLimit> limit;
            if (row.sizeLimit)
                limit.emplace(row.sizeLimit);
            std::optional<NoFreeDescriptor> full;
            if (row.noFreeDescriptor)
                full.emplace();
            (rig.session.*handler)();
        }
        std::string message = row.message;
        if (const auto at = message.find("%s"); at != std::string::npos)
            message.replace(at, 2, file);
        EXPECT_EQ(rig.view.errors, std::vector<std::string>{message});
        EXPECT_EQ(snapshotOf(rig), before);
        EXPECT_EQ(namesIn(dir.path()), names);
        if (existed && !row.overwritesStart) {
            EXPECT_EQ(readFile(file), oldBytes);
        }
    }

private:
    // The sanitizer build's check of an object's type needs a free descriptor the first time it
    // meets a class through another type: the session reaches its view through these seams only
    // once the handler fails, so they are met here, while descriptors are free.
    void meetSeams() {
        Notices& notices = rig.view;
        notices.announce({});
        FileDialogs& dialogs = rig.view;
        (void)dialogs.confirmReplace({});
        rig.view.announcements.clear();
        rig.view.replaceQuestions.clear();
    }
};

} // namespace zelmak::test
