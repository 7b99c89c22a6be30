#pragma once

#include "machine/machine_state.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace zelmak {

inline constexpr std::string_view kTextFileFilter =
    "Chiffredatei (*.cif)|*.cif|Textdatei (*.txt)|*.txt";
inline constexpr std::string_view kProposedCipherName = "ABCDE.cif";

// The loaded-text pane takes files of up to this many bytes.
inline constexpr std::size_t kLoadedTextCapacity = std::size_t{16} << 20;

// The name a cipher text is saved under: the chosen name with ".cif" added, unless it already
// ends in ".cif" in either case ("letter.txt" becomes "letter.txt.cif").
std::string cipherFileName(std::string_view chosen);

// Turns every CR LF, lone CR and lone LF into the given line break.
std::string withLineBreaks(std::string_view bytes, std::string_view lineBreak);
// Turns every lone CR and every lone LF into CR LF; CR LF pairs stay as they are.
inline std::string withCrLf(std::string_view bytes) {
    return withLineBreaks(bytes, "\r\n");
}

// Reads a whole text file, one character per byte, by the rules of file_rules.h. Throws
// TextFileError: Open when it cannot be opened or read or is no regular file (a folder, a pipe,
// a device), Capacity when it holds more than kLoadedTextCapacity bytes.
std::string readTextFile(const std::string& path);

// Writes the text byte for byte, by the writing rules of file_writing.h: a regular file is
// replaced through a new file beside it (keeping its permission bits, group and extended
// attributes, the access control list among them), so a failed save leaves the earlier file as
// it was and no temporary file behind; it is written in place where it has other hard links,
// belongs to another user, or where something of it cannot be kept or no new file may be made
// beside it.
// A symbolic link is followed, also to a file that does not exist yet, and stays a link. A
// device or pipe is written straight. An existing read-only file is refused, also for root.
// Throws TextFileError: Create when the file cannot be created, opened or replaced, Write when
// the bytes cannot all be stored.
void writeTextFile(const std::string& path, std::string_view text);

// Whether saving under `target` replaces a file: a link that points at nothing yet replaces
// nothing, the save makes the file it points at.
bool replacesAFile(const std::string& target);

} // namespace zelmak
