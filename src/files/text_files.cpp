#include "text_files.h"

#include "file_error.h"
#include "file_rules.h"
#include "file_writing.h"
#include "posix_io.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>

namespace zelmak {

using posix::Fd;

namespace {

[[noreturn]] void fail(TextFileError::Kind kind, const std::string& path, int err) {
    throw TextFileError(kind, path, err);
}

bool endsWithCif(std::string_view name) {
    constexpr std::string_view kSuffix = ".cif";
    if (name.size() < kSuffix.size())
        return false;
    const auto tail = name.substr(name.size() - kSuffix.size());
    for (std::size_t i = 0; i < kSuffix.size(); ++i) {
        char c = tail[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != kSuffix[i])
            return false;
    }
    return true;
}

} // namespace

std::string cipherFileName(std::string_view chosen) {
    std::string name(chosen);
    if (!endsWithCif(chosen))
        name += ".cif";
    return name;
}

std::string withLineBreaks(std::string_view bytes, std::string_view lineBreak) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16);
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n')
            out += lineBreak;
        else
            out.push_back(c);
        if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n')
            ++i;
    }
    return out;
}

std::string readTextFile(const std::string& path) {
    FileRead file = readRegularFile(path, kLoadedTextCapacity);
    switch (file.outcome) {
    case FileRead::Outcome::Read:
        return std::move(file.bytes);
    case FileRead::Outcome::TooLarge:
        fail(TextFileError::Kind::Capacity, path, 0);
    case FileRead::Outcome::Failed:
    case FileRead::Outcome::NotRegular:
        break;
    }
    fail(TextFileError::Kind::Open, path, file.systemError);
}

void writeTextFile(const std::string& path, std::string_view text) {
    const writing::Result r = writing::replaceWhole(path, text);
    if (r.stage == writing::Result::Stage::Store)
        fail(TextFileError::Kind::Write, path, r.err);
    if (!r.done())
        fail(TextFileError::Kind::Create, path, r.err);
}

bool replacesAFile(const std::string& target) {
    writing::Target found;
    return writing::resolveTarget(target, found) == 0 && found.exists;
}

} // namespace zelmak
