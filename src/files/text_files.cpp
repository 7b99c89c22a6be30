#include "text_files.h"

#include "file_error.h"
#include "file_writing.h"
#include "posix_io.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>

namespace zelmak {

using posix::Fd;

namespace {

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
    Fd fd(posix::openWithoutWaiting(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid())
        fail(TextFileError::Kind::Open, path, errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        fail(TextFileError::Kind::Open, path, errno);
    if (S_ISDIR(st.st_mode))
        fail(TextFileError::Kind::Open, path, EISDIR);
    if (S_ISREG(st.st_mode) && static_cast<std::uintmax_t>(st.st_size) > kLoadedTextCapacity)
        fail(TextFileError::Kind::Capacity, path, 0);

    // Read one byte beyond the capacity, so that a file that grew (or a pipe) is caught too.
    std::string text;
    std::size_t size = S_ISREG(st.st_mode) ? static_cast<std::size_t>(st.st_size) + 1 : 65536;
    for (;;) {
        size = std::min(size, kLoadedTextCapacity + 1);
        const std::size_t had = text.size();
        text.resize(size);
        const ssize_t got = posix::readUpTo(fd.get(), text.data() + had, size - had);
        if (got < 0)
            fail(TextFileError::Kind::Open, path, errno);
        text.resize(had + static_cast<std::size_t>(got));
        if (text.size() > kLoadedTextCapacity)
            fail(TextFileError::Kind::Capacity, path, 0);
        if (text.size() < size)
            return text;
        size *= 2;
    }
}

void writeTextFile(const std::string& path, std::string_view text) {
    const writing::Result r = writing::replaceWhole(path, text);
    if (r.stage == writing::Result::Stage::Store)
        fail(TextFileError::Kind::Write, path, r.err);
    if (!r.done())
        fail(TextFileError::Kind::Create, path, r.err);
}

void saveCipherCode(MachineState& m, Display& d, FileDialogs& dialogs) {
    // The file written may not be the one chosen ("letter.txt" is saved as "letter.txt.cif"), so
    // the question before replacing is asked here, about the file that would really be replaced.
    const auto chosen = dialogs.runSaveDialog(kTextFileFilter, kProposedCipherName, false);
    if (!chosen)
        return;
    m.dialogFileName = *chosen;
    const std::string target = cipherFileName(*chosen);
    struct stat st {};
    if (::lstat(target.c_str(), &st) == 0 && !dialogs.confirmReplace(target))
        return;
    writeTextFile(target, d.paneText(Pane::Output));
}

void loadCipherCode(MachineState& m, Display& d, FileDialogs& dialogs) {
    const auto chosen = dialogs.runOpenDialog(kTextFileFilter);
    if (!chosen)
        return;
    m.dialogFileName = *chosen;
    d.showText(Pane::Loaded, withCrLf(readTextFile(*chosen)));
}

} // namespace zelmak
