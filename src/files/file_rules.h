#pragma once

// The rules by which every program here reads a file that someone else named: the operator in a
// dialog, or a document that points at it. Only a regular file is read. It is looked at before
// it is opened (a device is never opened, so opening has no side effect), opened without waiting
// (a pipe never blocks), looked at again once open, and read only up to a limit (a file whose
// size is above it, a sparse file too, is refused before a byte is read; one that grows past it
// while it is read is refused as well).

#include <cstddef>
#include <string>

namespace zelmak {

inline constexpr std::size_t kMiB = std::size_t{1} << 20;

struct FileRead {
    enum class Outcome {
        Read,       // bytes holds the whole file
        Failed,     // a system call failed: systemError holds its errno
        NotRegular, // a folder, pipe, device or socket: systemError is EISDIR for a folder
        TooLarge,   // more than the limit
    };

    Outcome outcome = Outcome::Read;
    int systemError = 0;
    std::string bytes;

    bool ok() const { return outcome == Outcome::Read; }
};

// Reads the whole regular file at `path` (symbolic links followed) of at most `limit` bytes.
FileRead readRegularFile(const std::string& path, std::size_t limit);

// Whether `path` names an existing file that lies inside `folder` once every symbolic link, "."
// and ".." on the way to both is followed: a link in the folder that points outside it does not.
bool liesInside(const std::string& path, const std::string& folder);

} // namespace zelmak
