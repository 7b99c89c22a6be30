#include "key_file.h"

#include "file_error.h"
#include "file_writing.h"
#include "posix_io.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>

namespace zelmak {

using posix::Fd;

namespace {

[[noreturn]] void fail(int errnoValue, const std::string& path) {
    throw FileError::fromErrno(errnoValue, path);
}

std::string_view asBytes(const KeyRecordBytes& record) {
    return {reinterpret_cast<const char*>(record.data()), record.size()};
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
    const writing::Result r = writing::writeAtStart(path, asBytes(record));
    if (!r.done())
        fail(r.err, r.path);
}

bool createKeyFile(const std::string& path, const KeyRecordBytes& record) {
    const writing::Result r = writing::createNew(path, asBytes(record));
    if (r.stage == writing::Result::Stage::Exists)
        return false;
    if (!r.done())
        fail(r.err, r.path);
    return true;
}

std::string keyFileReplaceQuestion(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
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

} // namespace zelmak
