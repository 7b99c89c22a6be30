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
inline constexpr int kReadPastEnd = 100; // a read returned less than a record
inline constexpr int kDiskFull = 101;    // a write stored less than a record
inline constexpr int kInvalidNumber = 106;
} // namespace io

// The message for a key-file error code ("Datei nicht gefunden", "I/O-Fehler 42", ...).
std::string ioErrorMessage(int code);

// The code the operator is shown for an errno value of a failed call on `path`: a missing file
// 2; a missing folder or malformed name 3; too many open files 4; no permission, a read-only
// file or a folder 5; a full disk 101. Any other value is no code of ours: 0.
int ioErrorCode(int errnoValue, const std::string& path);

// A failed key-file operation with its code.
class FileError : public Error {
public:
    explicit FileError(int code) : Error(ioErrorMessage(code)), m_code(code) {}

    // The error of a failed system call. A value without a code of ours keeps the system's
    // number: "I/O-Fehler 5" for EIO, never the message of code 5.
    static FileError fromErrno(int errnoValue, const std::string& path);

    int code() const { return m_code; }
    int systemError() const { return m_errno; } // 0 when no system call failed

private:
    FileError(int code, const std::string& message, int errnoValue)
        : Error(message), m_code(code), m_errno(errnoValue) {}

    int m_code;
    int m_errno = 0;
};

// A failed text-file operation. %s in the messages is the full file name that was used.
class TextFileError : public Error {
public:
    enum class Kind {
        Create,   // "Kann Datei %s nicht erstellen"
        Open,     // "Kann Datei %s nicht öffnen"
        Write,    // "Stream-Write-Fehler " (with its trailing blank)
        Capacity, // "Text überschreitet Memo-Kapazität"
    };

    TextFileError(Kind kind, const std::string& path, int errnoValue = 0);

    Kind kind() const { return m_kind; }
    const std::string& path() const { return m_path; }
    int systemError() const { return m_errno; } // 0 when no system call failed

private:
    Kind m_kind;
    std::string m_path;
    int m_errno;
};

} // namespace zelmak
