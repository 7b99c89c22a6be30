#pragma once

// Conditions for the file tests: an unprivileged user for permission failures (the tests run as
// root in CI, and root may read and write anything), resource limits that make the system's
// calls fail the way a full disk or a full descriptor table does, and a look at a folder's
// names and a file's permission bits.

#include "doubles.h"
#include "files/file_error.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <grp.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zelmak::test {

inline constexpr uid_t kNobody = 65534;

// Runs the file operations of its scope as an unprivileged user (uid and gid 65534, no
// supplementary groups) when the test runs as root; otherwise the test's own user already is.
class AsUnprivilegedUser {
public:
    AsUnprivilegedUser() {
        m_wasRoot = ::geteuid() == 0;
        if (!m_wasRoot)
            return;
        m_groups.resize(static_cast<std::size_t>(::getgroups(0, nullptr)));
        ::getgroups(static_cast<int>(m_groups.size()), m_groups.data());
        if (::setgroups(0, nullptr) != 0 || ::setegid(kNobody) != 0 || ::seteuid(kNobody) != 0)
            ADD_FAILURE() << "cannot switch to uid " << kNobody;
    }
    ~AsUnprivilegedUser() {
        if (!m_wasRoot)
            return;
        if (::geteuid() != 0 && ::seteuid(0) != 0)
            std::abort(); // the rest of the tests cannot run as the wrong user
        (void)!::setegid(0);
        (void)!::setgroups(m_groups.size(), m_groups.data());
    }
    AsUnprivilegedUser(const AsUnprivilegedUser&) = delete;
    AsUnprivilegedUser& operator=(const AsUnprivilegedUser&) = delete;

private:
    std::vector<gid_t> m_groups;
    bool m_wasRoot = false;
};

// Lets no file of this process grow beyond `bytes` while in scope: a write past the limit stores
// what fits and the next one fails with EFBIG, as on a disk that has just run full.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = SIG_DFL;
};

// The sanitizer build's check of an object's dynamic type needs a free descriptor (a pipe) the
// first time it meets a class, and then remembers it. The calls that fail for want of
// descriptors meet these classes, so they are met here first, while descriptors are free.
inline void meetCheckedTypes() {
    const FixedClock clock({2026, 1, 1});
    const Clock& anyClock = clock;
    (void)anyClock.localDate();
    const FileError error(io::kTooManyOpenFiles);
    (void)error.code();
    try {
        throw FileError(io::kTooManyOpenFiles); // as the session's error box meets it
    } catch (const std::exception& e) {
        (void)e.what();
    }
}

// Fills the descriptor table while in scope: the next open fails with EMFILE.
class NoFreeDescriptor {
public:
    NoFreeDescriptor() {
        meetCheckedTypes();
        ::getrlimit(RLIMIT_NOFILE, &m_old);
        const int lowestFree = ::dup(0);
        ::close(lowestFree);
        rlimit limit = m_old;
        limit.rlim_cur = static_cast<rlim_t>(lowestFree);
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
    ~NoFreeDescriptor() { ::setrlimit(RLIMIT_NOFILE, &m_old); }
    NoFreeDescriptor(const NoFreeDescriptor&) = delete;
    NoFreeDescriptor& operator=(const NoFreeDescriptor&) = delete;

private:
    rlimit m_old{};
};

inline void setMode(const std::string& path, mode_t mode) {
    ASSERT_EQ(::chmod(path.c_str(), mode), 0) << path;
}

inline mode_t modeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

// The names in a folder, for proving that no temporary file stayed behind.
inline std::vector<std::string> namesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A name longer than any file system takes.
inline std::string tooLongName() {
    return std::string(300, 'n') + ".key";
}

} // namespace zelmak::test
