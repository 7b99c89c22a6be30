#include "key_file.h"

#include "file_error.h"
#include "posix_io.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelmak {

using posix::Fd;

namespace {

constexpr mode_t kNewFileMode = 0666; // less the umask

[[noreturn]] void fail(int errnoValue, const std::string& path) {
    throw FileError::fromErrno(errnoValue, path);
}

// Writes the record into a file just opened (at offset 0) and closes it.
void writeRecord(Fd& fd, const KeyRecordBytes& record, const std::string& path) {
    const auto* data = reinterpret_cast<const char*>(record.data());
    if (const int err = posix::writeAll(fd.get(), data, record.size()))
        fail(err, path);
    if (const int err = fd.close())
        fail(err, path);
}

// Writes a file this call has just created; a failed write takes it away again, so no
// truncated key file is left behind.
void fillNewFile(Fd& fd, const KeyRecordBytes& record, const std::string& path) {
    try {
        writeRecord(fd, record, path);
    } catch (...) {
        fd.close();
        ::unlink(path.c_str());
        throw;
    }
}

std::string twoDigits(int value) {
    std::string text = std::to_string(value);
    return value < 10 ? "0" + text : text;
}

} // namespace

KeyRecordBytes readKeyRecord(const std::string& path) {
    Fd fd(posix::openWithoutWaiting(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid())
        fail(errno, path);
    KeyRecordBytes record{};
    const ssize_t got =
        posix::readUpTo(fd.get(), reinterpret_cast<char*>(record.data()), record.size());
    if (got < 0)
        fail(errno, path);
    if (static_cast<std::size_t>(got) < record.size())
        throw FileError(io::kReadPastEnd);
    return record;
}

void writeKeyRecord(const std::string& path, const KeyRecordBytes& record) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno != ENOENT)
            fail(errno, path);
        Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode));
        if (fd.valid()) {
            fillNewFile(fd, record, path);
            return;
        }
        // EEXIST: a dangling link, or the file appeared meanwhile; write it as an existing one.
        if (errno != EEXIST)
            fail(errno, path);
    } else if (S_ISREG(st.st_mode) && posix::isReadOnly(st.st_mode)) {
        throw FileError(io::kAccessDenied);
    }

    // The record replaces the first 36 bytes; whatever follows them stays.
    Fd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kNewFileMode));
    if (!fd.valid())
        fail(errno, path);
    writeRecord(fd, record, path);
}

bool createKeyFile(const std::string& path, const KeyRecordBytes& record) {
    Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode));
    if (!fd.valid()) {
        if (errno == EEXIST)
            return false;
        fail(errno, path);
    }
    fillNewFile(fd, record, path);
    return true;
}

std::string keyFileReplaceQuestion(const std::string& path, const std::string& name) {
    struct stat st {};
    const bool longer = ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
                        static_cast<std::uintmax_t>(st.st_size) > kKeyRecordSize;
    if (!longer)
        return name + " already exists.\nDo you want to replace it?";
    const auto size = static_cast<std::uintmax_t>(st.st_size);
    return name + " already exists and is longer than a key file (" + std::to_string(size) +
           " bytes).\nThe key setting is written over its first " + std::to_string(kKeyRecordSize) +
           " bytes; the other " + std::to_string(size - kKeyRecordSize) +
           " bytes stay as they are.\nDo you want to write into it?";
}

std::string keyFileStem(const CalendarDate& date) {
    return twoDigits(date.day) + twoDigits(date.month) + twoDigits(date.year % 100);
}

void saveCipher(MachineState& m, Window& w, const Clock& clock) {
    const CalendarDate date = clock.localDate();
    m.yearText = std::to_string(date.year);
    m.keyFileStem = keyFileStem(date);
    const auto chosen = w.runSaveDialog(kKeySaveFilter, m.keyFileStem + ".key", true);
    if (!chosen)
        return;
    m.dialogFileName = *chosen;
    writeKeyRecord(*chosen, m.key.bytes());
}

void loadCipher(MachineState& m, Window& w) {
    const auto chosen = w.runOpenDialog(kKeyOpenFilter);
    if (!chosen)
        return;
    const KeyRecordBytes record = readKeyRecord(*chosen);

    m.cardErrorCount = 0;
    m.cardReady = 0;
    m.discReady = 0;
    w.setEnabled(Control::Button38, false);
    w.setEnabled(Control::Button37, false);
    // Automatic would otherwise run the last accepted tables with the loaded disc numbers.
    w.setEnabled(Control::Button41, false);

    m.dialogFileName = *chosen;
    m.key.setBytes(record);
    for (int k = 1; k <= 31; ++k)
        w.setCardItem(k, record[static_cast<std::size_t>(k - 1)]);
    for (int s = 1; s <= 5; ++s)
        w.setDiscItem(s, record[static_cast<std::size_t>(30 + s)]);
    w.setEnabled(Control::Button38, true);
}

} // namespace zelmak
