#include "trace_sink.h"

#include "options.h"

#include "files/file_writing.h"
#include "files/posix_io.h"
#include "machine/trace_csv.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelmak::cli {

namespace {

// Why the trace cannot be written to the target, as far as can be told before writing: 0, or an
// errno. The write at the end has the last word.
int unwritable(const writing::Target& t) {
    if (t.exists) {
        if (S_ISDIR(t.st.st_mode))
            return EISDIR;
        if (S_ISREG(t.st.st_mode) && (posix::isReadOnly(t.st.st_mode) ||
                                      ::faccessat(AT_FDCWD, t.path.c_str(), W_OK, AT_EACCESS)))
            return EACCES;
        return 0;
    }
    const std::filesystem::path parent = std::filesystem::path(t.path).parent_path();
    const std::string folder = parent.empty() ? std::string(".") : parent.string();
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0)
        return errno;
    if (!S_ISDIR(st.st_mode))
        return ENOTDIR;
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
        return errno;
    return 0;
}

bool sameFile(const std::string& name, std::FILE* out) {
    const int fd = ::fileno(out);
    struct stat named {};
    struct stat standard {};
    return fd >= 0 && ::stat(name.c_str(), &named) == 0 && ::fstat(fd, &standard) == 0 &&
           named.st_dev == standard.st_dev && named.st_ino == standard.st_ino;
}

} // namespace

TraceSink::~TraceSink() {
    if (m_temporary && m_stream)
        std::fclose(m_stream);
}

int TraceSink::open(const std::string& name, std::FILE* out, std::FILE* err) {
    m_name = name;
    if (name == "-") {
        m_stream = out;
    } else {
        if (sameFile(name, out)) {
            std::fprintf(err,
                         "zelmak-cli: --trace %s names the file standard output goes to; see "
                         "zelmak-cli --help\n",
                         shown(name).c_str());
            return kUsageFailure;
        }
        writing::Target target;
        int why = writing::resolveTarget(name, target);
        if (why == 0)
            why = unwritable(target);
        if (why == 0) {
            m_stream = std::tmpfile();
            why = m_stream ? 0 : errno;
            m_temporary = m_stream != nullptr;
        }
        if (why != 0) {
            std::fprintf(err, "zelmak-cli: cannot write the trace %s: %s\n", shown(name).c_str(),
                         std::strerror(why));
            return kFileFailure;
        }
    }
    std::string header(kTraceCsvHeader);
    return write(header, err) ? kOk : kFileFailure;
}

bool TraceSink::write(std::string& lines, std::FILE* err) {
    const bool ok =
        lines.empty() || std::fwrite(lines.data(), 1, lines.size(), m_stream) == lines.size();
    lines.clear();
    if (!ok)
        std::fprintf(err, "zelmak-cli: writing the trace %s failed: %s\n",
                     m_name == "-" ? "to standard output" : shown(m_name).c_str(),
                     std::strerror(errno));
    return ok;
}

bool TraceSink::finish(bool keep, std::FILE* err) {
    if (!m_temporary)
        return true;
    std::FILE* stream = m_stream;
    m_stream = nullptr;
    m_temporary = false;
    int why = 0;
    if (keep) {
        struct stat st {};
        if (std::fflush(stream) != 0 || ::fstat(::fileno(stream), &st) != 0) {
            why = errno;
        } else {
            const auto size = static_cast<std::size_t>(st.st_size);
            void* lines = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, ::fileno(stream), 0);
            if (lines == MAP_FAILED) {
                why = errno;
            } else {
                const writing::Result r =
                    writing::replaceWhole(m_name, {static_cast<const char*>(lines), size});
                why = r.done() ? 0 : r.err;
                ::munmap(lines, size);
            }
        }
    }
    std::fclose(stream);
    if (why != 0)
        std::fprintf(err, "zelmak-cli: cannot write the trace %s: %s\n", shown(m_name).c_str(),
                     std::strerror(why));
    return why == 0;
}

} // namespace zelmak::cli
