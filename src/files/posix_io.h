#pragma once

// Small helpers around file descriptors, shared by the key-file and text-file code.

#include <cstddef>
#include <string>
#include <sys/types.h>

namespace zelmak::posix {

// Owns a file descriptor and closes it, unless close() was called and its result checked.
class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd();
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    Fd(Fd&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    // Takes over the other descriptor; its own is closed without a check.
    Fd& operator=(Fd&& other) noexcept;

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // Closes now; returns 0 or the errno of a failed close (on some file systems the last
    // write error is only reported here).
    int close();

private:
    int m_fd;
};

// Opens an existing file like open(2), but never waits for the other end of a named pipe: one that
// nobody writes to reads as empty, and one that nobody reads from cannot be opened for writing
// (ENXIO). Once open, the descriptor blocks as usual. Returns -1 with errno set on failure.
int openWithoutWaiting(const char* path, int flags);

// Gives each standard stream (0, 1, 2) that was closed a stand-in that fails every use: otherwise
// the next file the program opens would take its number, and a report meant for a closed standard
// error would land in that file, or pass for written. False when that could not be done.
bool standInForClosedStreams();

// Writes all bytes, retrying after signals and short writes. Returns 0, or the errno of the
// write that failed; a write that stores nothing without naming an error counts as ENOSPC.
int writeAll(int fd, const char* data, std::size_t size);

// Reads up to `size` bytes, stopping early only at the end of the file. Returns the number read,
// or -1 with errno set.
ssize_t readUpTo(int fd, char* data, std::size_t size);

// Whether the permission bits make an existing file read-only. Checked by the bits themselves,
// so that the program refuses to write such a file also when it runs as root.
bool isReadOnly(unsigned mode);

} // namespace zelmak::posix
