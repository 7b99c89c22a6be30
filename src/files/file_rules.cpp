#include "file_rules.h"

#include "posix_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/stat.h>

namespace zelmak {

namespace {

FileRead refused(FileRead::Outcome outcome, int err = 0) {
    FileRead result;
    result.outcome = outcome;
    result.systemError = err;
    return result;
}

// What the status of a file says against reading it, if anything.
std::optional<FileRead> refusal(const struct stat& st, std::size_t limit) {
    if (!S_ISREG(st.st_mode))
        return refused(FileRead::Outcome::NotRegular, S_ISDIR(st.st_mode) ? EISDIR : 0);
    if (static_cast<std::uintmax_t>(st.st_size) > limit)
        return refused(FileRead::Outcome::TooLarge);
    return std::nullopt;
}

std::string canonical(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : std::string();
}

} // namespace

FileRead readRegularFile(const std::string& path, std::size_t limit) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return refused(FileRead::Outcome::Failed, errno);
    if (auto no = refusal(st, limit))
        return *no;
    // Between the look and the open the name may have been given to something else.
    posix::Fd fd(posix::openWithoutWaiting(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid())
        return refused(FileRead::Outcome::Failed, errno);
    if (::fstat(fd.get(), &st) != 0)
        return refused(FileRead::Outcome::Failed, errno);
    if (auto no = refusal(st, limit))
        return *no;

    // Read one byte beyond the limit, so that a file that grew is caught too. Some files (those
    // of /proc) say they are empty and are not: the buffer grows as long as bytes come.
    FileRead result;
    std::string& bytes = result.bytes;
    std::size_t size = static_cast<std::size_t>(st.st_size) + 1;
    for (;;) {
        size = std::min(size, limit + 1);
        const std::size_t had = bytes.size();
        bytes.resize(size);
        const ssize_t got = posix::readUpTo(fd.get(), bytes.data() + had, size - had);
        if (got < 0)
            return refused(FileRead::Outcome::Failed, errno);
        bytes.resize(had + static_cast<std::size_t>(got));
        if (bytes.size() > limit)
            return refused(FileRead::Outcome::TooLarge);
        if (bytes.size() < size)
            return result;
        size = std::max<std::size_t>(size * 2, 4096);
    }
}

bool liesInside(const std::string& path, const std::string& folder) {
    const std::string file = canonical(path);
    std::string root = canonical(folder);
    if (file.empty() || root.empty())
        return false;
    if (root.back() != '/')
        root += '/';
    return file.size() > root.size() && file.compare(0, root.size(), root) == 0;
}

} // namespace zelmak
