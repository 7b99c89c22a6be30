#include "file_error.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace zelmak {

namespace {

std::string textFileMessage(TextFileError::Kind kind, const std::string& path) {
    switch (kind) {
    case TextFileError::Kind::Create:
        return "Kann Datei " + path + " nicht erstellen";
    case TextFileError::Kind::Open:
        return "Kann Datei " + path + " nicht öffnen";
    case TextFileError::Kind::Write:
        return "Stream-Write-Fehler ";
    case TextFileError::Kind::Capacity:
        return "Text überschreitet Memo-Kapazität";
    }
    return {};
}

} // namespace

std::string ioErrorMessage(int code) {
    switch (code) {
    case io::kFileNotFound:
        return "Datei nicht gefunden";
    case io::kPathNotFound:
        return "Ungültiger Dateiname";
    case io::kTooManyOpenFiles:
        return "Zu viele Dateien geöffnet";
    case io::kAccessDenied:
        return "Dateizugriff verweigert";
    case io::kReadPastEnd:
        return "Lesen nach Dateiende (EOF)";
    case io::kDiskFull:
        return "Kapazität der Diskette/Festplatte erschöpft";
    case io::kInvalidNumber:
        return "Ungültige numerische Eingabe";
    default:
        return "I/O-Fehler " + std::to_string(code);
    }
}

int ioErrorCode(int errnoValue, const std::string& path) {
    switch (errnoValue) {
    case ENOENT: {
        // A missing folder on the way is a bad path, not a missing file.
        std::error_code ec;
        const auto parent = std::filesystem::path(path).parent_path();
        if (path.empty() || (!parent.empty() && !std::filesystem::is_directory(parent, ec)))
            return io::kPathNotFound;
        return io::kFileNotFound;
    }
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP:
        return io::kPathNotFound;
    case EMFILE:
    case ENFILE:
        return io::kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return io::kAccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return io::kDiskFull;
    default:
        return 0;
    }
}

FileError FileError::fromErrno(int errnoValue, const std::string& path) {
    const int code = ioErrorCode(errnoValue, path);
    if (code != 0)
        return FileError(code, ioErrorMessage(code), errnoValue);
    return FileError(errnoValue, "I/O-Fehler " + std::to_string(errnoValue), errnoValue);
}

TextFileError::TextFileError(Kind kind, const std::string& path, int errnoValue)
    : Error(textFileMessage(kind, path)), m_kind(kind), m_path(path), m_errno(errnoValue) {}

} // namespace zelmak
