#include "text_files.h"

#include "file_error.h"
#include "file_rules.h"
#include "posix_io.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace zelmak {

using posix::Fd;

namespace {

constexpr mode_t kNewFileMode = 0666; // less the umask
constexpr int kTempNameAttempts = 100;

[[noreturn]] void fail(TextFileError::Kind kind, const std::string& path, int err) {
    throw TextFileError(kind, path, err);
}

bool endsWithCif(std::string_view name) {
    constexpr std::string_view kSuffix = ".cif";
    if (name.size() < kSuffix.size())
        return false;
    const auto tail = name.substr(name.size() - kSuffix.size());
    for (std::size_t i = 0; i < kSuffix.size(); ++i) {
        char c = tail[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != kSuffix[i])
            return false;
    }
    return true;
}

// The path the save really replaces: a symbolic link stays a link, and its target is replaced.
std::string resolvedTarget(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : path;
}

// A temporary file next to the target, opened for writing. Its name is short, so that a target
// name near the system's limit still fails where it should: at the rename, with the right error.
Fd createTempFile(const std::string& target, const std::string& shownName, std::string& tempPath) {
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path folder = std::filesystem::path(target).parent_path();
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        const std::string name = ".zelmak-" + std::to_string(::getpid()) + "-" +
                                 std::to_string(counter.fetch_add(1)) + ".tmp";
        tempPath = (folder.empty() ? std::filesystem::path(name) : folder / name).string();
        Fd fd(::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode));
        if (fd.valid())
            return fd;
        if (errno != EEXIST)
            fail(TextFileError::Kind::Create, shownName, errno);
    }
    fail(TextFileError::Kind::Create, shownName, EEXIST);
}

void writeStraight(const std::string& path, std::string_view text) {
    Fd fd(posix::openWithoutWaiting(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    if (!fd.valid())
        fail(TextFileError::Kind::Create, path, errno);
    if (const int err = posix::writeAll(fd.get(), text.data(), text.size()))
        fail(TextFileError::Kind::Write, path, err);
    if (const int err = fd.close())
        fail(TextFileError::Kind::Write, path, err);
}

} // namespace

std::string cipherFileName(std::string_view chosen) {
    std::string name(chosen);
    if (!endsWithCif(chosen))
        name += ".cif";
    return name;
}

std::string withCrLf(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16);
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < n && bytes[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string readTextFile(const std::string& path) {
    FileRead file = readRegularFile(path, kLoadedTextCapacity);
    switch (file.outcome) {
    case FileRead::Outcome::Read:
        return std::move(file.bytes);
    case FileRead::Outcome::TooLarge:
        fail(TextFileError::Kind::Capacity, path, 0);
    case FileRead::Outcome::Failed:
    case FileRead::Outcome::NotRegular:
        break;
    }
    fail(TextFileError::Kind::Open, path, file.systemError);
}

void writeTextFile(const std::string& path, std::string_view text) {
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    if (!exists && errno != ENOENT)
        fail(TextFileError::Kind::Create, path, errno);
    if (exists) {
        if (S_ISDIR(st.st_mode))
            fail(TextFileError::Kind::Create, path, EISDIR);
        if (!S_ISREG(st.st_mode)) {
            writeStraight(path, text);
            return;
        }
        // Renaming needs only the folder's permission, so the file's own is checked here; the
        // bits are checked by hand because root may write anything.
        if (posix::isReadOnly(st.st_mode) || ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS))
            fail(TextFileError::Kind::Create, path, EACCES);
    }

    const std::string target = exists ? resolvedTarget(path) : path;
    std::string tempPath;
    Fd fd = createTempFile(target, path, tempPath);
    auto discard = [&](TextFileError::Kind kind, int err) {
        fd.close();
        ::unlink(tempPath.c_str());
        fail(kind, path, err);
    };
    if (exists) {
        // Owner first: changing it clears the set-user-ID bits that the mode then restores.
        if (::geteuid() == 0)
            (void)!::fchown(fd.get(), st.st_uid, st.st_gid);
        if (::fchmod(fd.get(), st.st_mode & 07777) != 0)
            discard(TextFileError::Kind::Create, errno);
    }
    if (const int err = posix::writeAll(fd.get(), text.data(), text.size()))
        discard(TextFileError::Kind::Write, err);
    if (::fsync(fd.get()) != 0 && errno != EINVAL && errno != EROFS)
        discard(TextFileError::Kind::Write, errno);
    if (const int err = fd.close())
        discard(TextFileError::Kind::Write, err);
    if (::rename(tempPath.c_str(), target.c_str()) != 0)
        discard(TextFileError::Kind::Create, errno);
}

void saveCipherCode(MachineState& m, Window& w) {
    // The file written may not be the one chosen ("letter.txt" is saved as "letter.txt.cif"), so
    // the question before replacing is asked here, about the file that would really be replaced.
    const auto chosen = w.runSaveDialog(kTextFileFilter, kProposedCipherName, false);
    if (!chosen)
        return;
    m.dialogFileName = *chosen;
    const std::string target = cipherFileName(*chosen);
    struct stat st {};
    if (::lstat(target.c_str(), &st) == 0 && !w.confirmReplace(target))
        return;
    writeTextFile(target, w.paneText(Pane::Ausgabe));
}

void loadCipherCode(MachineState& m, Window& w) {
    const auto chosen = w.runOpenDialog(kTextFileFilter);
    if (!chosen)
        return;
    m.dialogFileName = *chosen;
    w.showText(Pane::Lade, withCrLf(readTextFile(*chosen)));
}

} // namespace zelmak
