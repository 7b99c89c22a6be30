#pragma once

// How every program of ours writes a file: the one place for following symbolic links, refusing
// what is not a file, and choosing between a replacement through a new file and a careful write
// in place. The functions report rather than throw, so that each caller raises its own error
// type (the key file's codes, the text file's messages).

#include "posix_io.h"

#include <string>
#include <string_view>
#include <sys/stat.h>

namespace zelmak::writing {

struct Result {
    enum class Stage {
        Done,
        Exists, // createNew only: something stands at the name already
        Open,   // the file could not be created, opened or readied for writing
        Store,  // the bytes could not all be stored (written, synced, closed)
    };
    Stage stage = Stage::Done;
    int err = 0;      // the errno of the call that failed
    std::string path; // the name that call used: the chosen one, or the end of its links

    bool done() const { return stage == Stage::Done; }
};

// What a write through `name` writes. A symbolic link in the last part of the name (or a chain
// of them) is followed to the name it points at, whether or not a file stands there yet, so the
// write goes to that file (creating it where needed) and the link stays a link.
struct Target {
    std::string path;
    bool exists = false;
    struct stat st {}; // of the file at `path`, when it exists
};

// Returns 0, or the errno of the failed look-up (ELOOP for a chain of links that never ends).
int resolveTarget(const std::string& name, Target& target);

// Replaces the whole content of a file with `bytes` (text saves).
//  - A folder is refused (EISDIR); a device or a pipe is written straight, opened without
//    waiting (a pipe that nobody reads from gives ENXIO).
//  - An existing file that its permission bits make read-only is refused (EACCES), also for
//    root, as is one the user may not write.
//  - Otherwise the bytes go to a new file beside the target, which then takes the target's place
//    with its permission bits, group and extended attributes (its access control list among
//    them); a failed save leaves the earlier file as it was.
//  - The target is written in place instead (truncated, written, synced to the disk) where a
//    replacement would lose something or cannot be made: the file has more than one hard link,
//    belongs to another user, its group or an extended attribute cannot be kept, or no new file
//    may be made beside it.
//  - A new file is made through a new file too, so a failed save leaves none.
Result replaceWhole(const std::string& name, std::string_view bytes);

// Writes a file piece by piece by the rules of replaceWhole, for output too long to hold at once
// (the trace of a long run). The pieces go to the new file beside the target, which takes the
// target's place at commit(); where the target must keep its place, they wait there and commit()
// copies them in. Only where no file may be made beside the target do they wait in an unnamed
// file of the system's temporary folder. A device or a pipe gets them straight. A writer that is
// dropped before commit() leaves the target as it was and no new file behind.
class StreamedFile {
public:
    StreamedFile() = default;
    ~StreamedFile();
    StreamedFile(const StreamedFile&) = delete;
    StreamedFile& operator=(const StreamedFile&) = delete;

    // Looks at the target and makes the file the pieces go to, so that a target that is refused
    // or cannot be written is known before the first piece.
    Result open(const std::string& name);
    Result write(std::string_view piece);
    Result commit();
    // Drops what was written; the target stays as it was.
    void discard();

private:
    enum class Mode { Closed, Straight, Replace, CopyIn };

    Target m_target;
    posix::Fd m_fd;
    std::string m_temp; // the new file beside the target; empty for an unnamed one
    Mode m_mode = Mode::Closed;
};

// Writes `bytes` at the start of a regular file (key saves). An existing file keeps its length
// and every byte after them; a new file holds exactly `bytes`, and is removed again if writing
// it fails. Anything but a regular file is refused before writing: a folder (EISDIR), a device,
// pipe or socket (EACCES); so is a file that its permission bits make read-only, also for root.
Result writeAtStart(const std::string& name, std::string_view bytes);

// Creates a new file holding `bytes` and nothing else (a new key file). Anything standing at
// the name (a link to an existing file too) gives Exists and stays untouched; a link that points
// at nothing yet creates the file it points at. A failed write removes the new file again.
Result createNew(const std::string& name, std::string_view bytes);

} // namespace zelmak::writing
