#include "file_error.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace zelmak {

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
        return errnoValue;
    }
}

} // namespace zelmak
