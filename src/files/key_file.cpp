#include "key_file.h"

#include "file_error.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace zelmak {

namespace {

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

KeyRecordBytes readKeyRecord(const std::string& path) {
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        throw FileError(ioErrorCode(errno, path));
    KeyRecordBytes record{};
    std::size_t got = 0;
    while (got < record.size()) {
        const ssize_t n = ::read(fd.get(), record.data() + got, record.size() - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw FileError(ioErrorCode(errno, path));
        }
        if (n == 0)
            throw FileError(io::kReadPastEnd);
        got += static_cast<std::size_t>(n);
    }
    return record;
}

} // namespace zelmak
