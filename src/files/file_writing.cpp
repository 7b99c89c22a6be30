#include "file_writing.h"

#include "posix_io.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace zelmak::writing {

using posix::Fd;
using Stage = Result::Stage;

namespace {

constexpr mode_t kNewFileMode = 0666; // less the umask
constexpr int kTempNameAttempts = 100;
constexpr int kMaxLinks = 40; // as the system follows them
// A file found once may be gone or new by the time it is opened; look again this often.
constexpr int kAttempts = 3;

Result failed(Stage stage, int err, const std::string& path) {
    return {stage, err, path};
}

Result done() {
    return {};
}

// Reads where a symbolic link points. Returns 0 or errno.
int readLink(const std::string& path, std::string& to) {
    to.assign(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink(path.c_str(), to.data(), to.size());
        if (n < 0)
            return errno;
        if (static_cast<std::size_t>(n) < to.size()) {
            to.resize(static_cast<std::size_t>(n));
            return 0;
        }
        to.resize(to.size() * 2);
    }
}

// Syncs and closes a file just written. A file system that cannot sync (some devices, pipes)
// says so with EINVAL or EROFS; that is no failure of ours.
int syncAndClose(Fd& fd) {
    if (::fsync(fd.get()) != 0 && errno != EINVAL && errno != EROFS) {
        const int err = errno;
        fd.close();
        return err;
    }
    return fd.close();
}

// Writes and closes a file this module has just created, and removes it again if that fails,
// so that no cut-off file is left behind.
Result fillNew(Fd& fd, const std::string& path, std::string_view bytes) {
    int err = posix::writeAll(fd.get(), bytes.data(), bytes.size());
    if (err == 0)
        err = syncAndClose(fd);
    if (err == 0)
        return done();
    fd.close();
    ::unlink(path.c_str());
    return failed(Stage::Store, err, path);
}

// Opens the regular file a look-up found, for writing it in place: never through a link that
// has appeared since, and never anything but a regular file. On failure `r` says why.
Fd openFound(const Target& t, int flags, Result& r) {
    Fd fd(posix::openWithoutWaiting(t.path.c_str(), flags | O_NOFOLLOW | O_CLOEXEC));
    struct stat st {};
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0)
        r = failed(Stage::Open, errno, t.path);
    else if (!S_ISREG(st.st_mode))
        r = failed(Stage::Open, EACCES, t.path);
    return fd;
}

// The target opened for writing in place and emptied; `r` says why not.
Fd openEmptied(const Target& t, Result& r) {
    Fd fd = openFound(t, O_WRONLY, r);
    if (r.done() && ::ftruncate(fd.get(), 0) != 0)
        r = failed(Stage::Open, errno, t.path);
    return fd;
}

// Careful editors write a file in place when they cannot replace it: the old bytes go only once
// the file is open and known to be a regular file.
Result writeInPlace(const Target& t, std::string_view bytes) {
    Result r;
    Fd fd = openEmptied(t, r);
    if (!r.done())
        return r;
    int err = posix::writeAll(fd.get(), bytes.data(), bytes.size());
    if (err == 0)
        err = syncAndClose(fd);
    return err == 0 ? done() : failed(Stage::Store, err, t.path);
}

// A device or a pipe: no replacing, no truncating beyond what the device does with it.
Result writeStraight(const Target& t, std::string_view bytes) {
    Fd fd(posix::openWithoutWaiting(t.path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    if (!fd.valid())
        return failed(Stage::Open, errno, t.path);
    int err = posix::writeAll(fd.get(), bytes.data(), bytes.size());
    if (err == 0)
        err = fd.close();
    return err == 0 ? done() : failed(Stage::Store, err, t.path);
}

// A new file in the target's folder. Its name is short, so that a target name near the system's
// limit still fails where it should: at the rename, with the right error. On failure `err` is
// the errno.
Fd createBeside(const std::string& target, std::string& tempPath, int& err) {
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path folder = std::filesystem::path(target).parent_path();
    err = EEXIST;
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        const std::string name = ".zelmak-" + std::to_string(::getpid()) + "-" +
                                 std::to_string(counter.fetch_add(1)) + ".tmp";
        tempPath = (folder.empty() ? std::filesystem::path(name) : folder / name).string();
        Fd fd(::open(tempPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode));
        if (fd.valid()) {
            err = 0;
            return fd;
        }
        if (errno != EEXIST) {
            err = errno;
            break;
        }
    }
    return Fd();
}

// Whether replacing the file would lose what the operator cannot see: the other names of a file
// with hard links, or the owner of someone else's file.
bool mustStayInPlace(const struct stat& st) {
    return st.st_nlink > 1 || st.st_uid != ::geteuid();
}

// Reads a list of extended attribute names or one value with `get`, the system call with a buffer
// and its size; asked for the size first, and again should the attributes change in between.
// Returns 0 or errno.
template <typename Get> int readAttributes(const Get& get, std::string& out) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const ssize_t size = get(nullptr, 0);
        if (size < 0)
            return errno;
        out.resize(static_cast<std::size_t>(size));
        const ssize_t n = get(out.data(), out.size());
        if (n >= 0) {
            out.resize(static_cast<std::size_t>(n));
            return 0;
        }
        if (errno != ERANGE)
            return errno;
    }
    return ERANGE;
}

std::vector<std::string> namesIn(const std::string& list) {
    std::vector<std::string> names;
    for (std::size_t from = 0; from < list.size();) {
        const std::size_t end = std::min(list.find('\0', from), list.size());
        if (end > from)
            names.push_back(list.substr(from, end - from));
        from = end + 1;
    }
    return names;
}

// Gives the new file exactly the extended attributes of the file it replaces: the access control
// list (system.posix_acl_access) and every other attribute the user may read. What the new file
// got by itself, such as a list inherited from the folder's default, goes. Returns 0 or errno.
int copyAttributes(const std::string& from, int to) {
    std::string list;
    int err = readAttributes(
        [&](char* b, std::size_t n) { return ::llistxattr(from.c_str(), b, n); }, list);
    if (err == ENOTSUP)
        return 0; // a file system without them
    if (err != 0)
        return err;
    const std::vector<std::string> wanted = namesIn(list);
    err = readAttributes([&](char* b, std::size_t n) { return ::flistxattr(to, b, n); }, list);
    if (err != 0)
        return err;
    for (const std::string& name : namesIn(list))
        if (std::find(wanted.begin(), wanted.end(), name) == wanted.end() &&
            ::fremovexattr(to, name.c_str()) != 0)
            return errno;
    std::string value;
    for (const std::string& name : wanted) {
        err = readAttributes(
            [&](char* b, std::size_t n) { return ::lgetxattr(from.c_str(), name.c_str(), b, n); },
            value);
        if (err == ENODATA)
            continue; // removed since it was listed
        if (err != 0)
            return err;
        if (::fsetxattr(to, name.c_str(), value.data(), value.size(), 0) != 0)
            return errno;
    }
    return 0;
}

// Gives the new file made to replace an existing target what the target has besides its bytes:
// group, permission bits and extended attributes. False where any of them cannot be kept.
bool takeOver(int fd, const Target& t) {
    struct stat made {};
    if (::fstat(fd, &made) != 0)
        return false;
    // Group first: changing it clears the set-user-ID bits that the mode then restores.
    if (made.st_gid != t.st.st_gid && ::fchown(fd, static_cast<uid_t>(-1), t.st.st_gid) != 0)
        return false;
    return ::fchmod(fd, t.st.st_mode & 07777) == 0 && copyAttributes(t.path, fd) == 0;
}

// Writes the bytes to a new file beside the target and renames it over the target. An existing
// target that the new file cannot stand in for (see takeOver), or beside which the folder lets us
// make no file, is written in place.
Result replaceThroughNewFile(const Target& t, std::string_view bytes) {
    std::string tempPath;
    int err = 0;
    Fd fd = createBeside(t.path, tempPath, err);
    if (err != 0) {
        if (t.exists && (err == EACCES || err == EPERM))
            return writeInPlace(t, bytes);
        return failed(Stage::Open, err, t.path);
    }
    if (t.exists && !takeOver(fd.get(), t)) {
        fd.close();
        ::unlink(tempPath.c_str());
        return writeInPlace(t, bytes);
    }
    err = posix::writeAll(fd.get(), bytes.data(), bytes.size());
    if (err == 0)
        err = syncAndClose(fd);
    const Stage stage = err != 0 ? Stage::Store : Stage::Open;
    if (err == 0 && ::rename(tempPath.c_str(), t.path.c_str()) != 0)
        err = errno;
    if (err == 0)
        return done();
    fd.close();
    ::unlink(tempPath.c_str());
    return failed(stage, err, t.path);
}

// Writes what a file holds, from its start, over the target in place.
Result copyInPlace(const Target& t, int from) {
    Result r;
    Fd fd = openEmptied(t, r);
    if (!r.done())
        return r;
    std::vector<char> buffer(std::size_t{1} << 20);
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(from, buffer.data(), buffer.size(), at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return failed(Stage::Store, errno, t.path);
        if (n == 0)
            break;
        if (const int err = posix::writeAll(fd.get(), buffer.data(), static_cast<std::size_t>(n)))
            return failed(Stage::Store, err, t.path);
        at += n;
    }
    const int err = syncAndClose(fd);
    return err == 0 ? done() : failed(Stage::Store, err, t.path);
}

enum class Way { Straight, InPlace, Replace };

// How a whole-file write goes to what stands at the name, or why it is refused.
Result lookAt(const std::string& name, Target& t, Way& way) {
    if (const int err = resolveTarget(name, t))
        return failed(Stage::Open, err, name);
    way = Way::Replace;
    if (!t.exists)
        return done();
    if (S_ISDIR(t.st.st_mode))
        return failed(Stage::Open, EISDIR, t.path);
    if (!S_ISREG(t.st.st_mode)) {
        way = Way::Straight;
        return done();
    }
    // A replacement needs only the folder's permission, so the file's own is checked here; the
    // bits are checked by hand because root may write anything.
    if (posix::isReadOnly(t.st.st_mode) || ::faccessat(AT_FDCWD, t.path.c_str(), W_OK, AT_EACCESS))
        return failed(Stage::Open, EACCES, t.path);
    if (mustStayInPlace(t.st))
        way = Way::InPlace;
    return done();
}

} // namespace

int resolveTarget(const std::string& name, Target& target) {
    std::string path = name;
    for (int links = 0;; ++links) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            if (errno != ENOENT)
                return errno;
            target = {path, false, {}};
            return 0;
        }
        if (!S_ISLNK(st.st_mode)) {
            target = {path, true, st};
            return 0;
        }
        if (links == kMaxLinks)
            return ELOOP;
        std::string to;
        if (const int err = readLink(path, to))
            return err;
        const std::filesystem::path link(to);
        path =
            link.is_absolute() ? to : (std::filesystem::path(path).parent_path() / link).string();
    }
}

Result replaceWhole(const std::string& name, std::string_view bytes) {
    Target t;
    Way way = Way::Replace;
    if (Result r = lookAt(name, t, way); !r.done())
        return r;
    switch (way) {
    case Way::Straight:
        return writeStraight(t, bytes);
    case Way::InPlace:
        return writeInPlace(t, bytes);
    case Way::Replace:
        break;
    }
    return replaceThroughNewFile(t, bytes);
}

StreamedFile::~StreamedFile() {
    discard();
}

void StreamedFile::discard() {
    m_fd.close();
    if (!m_temp.empty())
        ::unlink(m_temp.c_str());
    m_temp.clear();
    m_mode = Mode::Closed;
}

Result StreamedFile::open(const std::string& name) {
    discard();
    Way way = Way::Replace;
    if (Result r = lookAt(name, m_target, way); !r.done())
        return r;
    const std::string& path = m_target.path;
    if (way == Way::Straight) {
        m_fd = Fd(posix::openWithoutWaiting(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
        if (!m_fd.valid())
            return failed(Stage::Open, errno, path);
        m_mode = Mode::Straight;
        return done();
    }
    int err = 0;
    m_fd = createBeside(path, m_temp, err);
    if (err == 0) {
        const bool replaces =
            way == Way::Replace && (!m_target.exists || takeOver(m_fd.get(), m_target));
        m_mode = replaces ? Mode::Replace : Mode::CopyIn;
        return done();
    }
    m_temp.clear();
    if (!m_target.exists || (err != EACCES && err != EPERM))
        return failed(Stage::Open, err, path);
    std::FILE* spool = std::tmpfile();
    if (!spool)
        return failed(Stage::Open, errno, path);
    m_fd = Fd(::fcntl(::fileno(spool), F_DUPFD_CLOEXEC, 0));
    err = errno;
    std::fclose(spool);
    if (!m_fd.valid())
        return failed(Stage::Open, err, path);
    m_mode = Mode::CopyIn;
    return done();
}

Result StreamedFile::write(std::string_view piece) {
    if (m_mode == Mode::Closed)
        return failed(Stage::Store, EBADF, m_target.path);
    const int err = posix::writeAll(m_fd.get(), piece.data(), piece.size());
    return err == 0 ? done() : failed(Stage::Store, err, m_target.path);
}

Result StreamedFile::commit() {
    Result r;
    int err = 0;
    switch (m_mode) {
    case Mode::Closed:
        return failed(Stage::Store, EBADF, m_target.path);
    case Mode::Straight:
        err = m_fd.close();
        break;
    case Mode::Replace:
        err = syncAndClose(m_fd);
        if (err == 0 && ::rename(m_temp.c_str(), m_target.path.c_str()) != 0)
            r = failed(Stage::Open, errno, m_target.path);
        else if (err == 0)
            m_temp.clear(); // it has the target's name now
        break;
    case Mode::CopyIn:
        r = copyInPlace(m_target, m_fd.get());
        break;
    }
    if (err != 0)
        r = failed(Stage::Store, err, m_target.path);
    discard();
    return r;
}

Result writeAtStart(const std::string& name, std::string_view bytes) {
    for (int attempt = 1;; ++attempt) {
        Target t;
        if (const int err = resolveTarget(name, t))
            return failed(Stage::Open, err, name);
        if (!t.exists) {
            Fd fd(::open(t.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode));
            if (fd.valid())
                return fillNew(fd, t.path, bytes);
            if (errno != EEXIST || attempt == kAttempts)
                return failed(Stage::Open, errno, t.path);
            continue; // made by someone else meanwhile: write it as an existing file
        }
        if (S_ISDIR(t.st.st_mode))
            return failed(Stage::Open, EISDIR, t.path);
        if (!S_ISREG(t.st.st_mode) || posix::isReadOnly(t.st.st_mode))
            return failed(Stage::Open, EACCES, t.path);
        Result r;
        Fd fd = openFound(t, O_RDWR, r);
        if (r.stage == Stage::Open && (r.err == ENOENT || r.err == ELOOP) && attempt < kAttempts)
            continue; // gone, or a link now, since the look-up
        if (!r.done())
            return r;
        int err = posix::writeAll(fd.get(), bytes.data(), bytes.size());
        if (err == 0)
            err = syncAndClose(fd);
        return err == 0 ? done() : failed(Stage::Store, err, t.path);
    }
}

Result createNew(const std::string& name, std::string_view bytes) {
    Target t;
    if (const int err = resolveTarget(name, t))
        return failed(Stage::Open, err, name);
    if (t.exists)
        return failed(Stage::Exists, EEXIST, t.path);
    Fd fd(::open(t.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode));
    if (!fd.valid())
        return failed(errno == EEXIST ? Stage::Exists : Stage::Open, errno, t.path);
    return fillNew(fd, t.path, bytes);
}

} // namespace zelmak::writing
