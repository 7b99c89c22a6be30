#pragma once

#include "clock.h"
#include "machine/machine_state.h"

#include <string>
#include <string_view>

namespace zelmak {

// The save dialog's filter has a blank before the parenthesis, the open dialog's has none.
inline constexpr std::string_view kKeySaveFilter = "Datei from Cipher (*.key)|*.key";
inline constexpr std::string_view kKeyOpenFilter = "Datei from Cipher(*.key)|*.key";

// Reads the first 36 bytes of a key file, opened for reading only (a longer file is used from
// its first record). Throws FileError: 2 missing, 3 bad path, 5 no permission or a folder,
// 100 shorter than a record.
KeyRecordBytes readKeyRecord(const std::string& path);

// Writes the record at the start of a key file. An existing file is not truncated: it keeps its
// length and every byte after the record. A new file is exactly 36 bytes; if writing it fails it
// is removed again. A symbolic link is followed, also to a file that does not exist yet, and
// stays a link. Anything but a regular file (a folder, a pipe, a device) and a read-only file
// are refused with code 5 before anything is written, also for root. Throws FileError.
void writeKeyRecord(const std::string& path, const KeyRecordBytes& record);

// Creates a new key file holding the record. Returns false, and touches nothing, when anything
// stands at that name already (a link to an existing file too); a link that points at nothing
// yet creates the file it points at. Throws FileError for every other failure.
bool createKeyFile(const std::string& path, const KeyRecordBytes& record);

// The question asked before "Save Cipher" writes into the existing file `path`, which it names by
// its file name. It says what the write does: a file no longer than a record is replaced whole,
// a longer one gets the record over its first 36 bytes and keeps every byte after them.
std::string keyFileReplaceQuestion(const std::string& path);

// The proposed key-file name without extension: day, month and the last two digits of the
// year, two digits each (DDMMYY).
std::string keyFileStem(const CalendarDate& date);

} // namespace zelmak
