#pragma once

#include "machine/errors.h"

#include <string>

namespace zelmak {

// Error codes of the key-file operations, as the operator knows them from the error box.
namespace io {
inline constexpr int kFileNotFound = 2;
inline constexpr int kPathNotFound = 3; // shown as "Ungültiger Dateiname"
inline constexpr int kTooManyOpenFiles = 4;
inline constexpr int kAccessDenied = 5;
inline constexpr int kReadPastEnd = 100;
inline constexpr int kDiskFull = 101;
inline constexpr int kInvalidNumber = 106;
} // namespace io

// The message for a key-file error code ("Datei nicht gefunden", "I/O-Fehler 42", ...).
std::string ioErrorMessage(int code);

// A failed key-file operation with its code.
class FileError : public Error {
public:
    explicit FileError(int code) : Error(ioErrorMessage(code)), m_code(code) {}
    int code() const { return m_code; }

private:
    int m_code;
};

// Maps an errno value of a failed call on `path` to the code the operator is shown: a missing
// file 2; a missing folder or malformed name 3; too many open files 4; no permission, a
// read-only file or a folder 5; a full disk 101; anything else the system's own number.
int ioErrorCode(int errnoValue, const std::string& path);

} // namespace zelmak
