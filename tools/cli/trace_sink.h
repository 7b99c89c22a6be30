#pragma once

#include "files/file_writing.h"

#include <cstdio>
#include <string>

namespace zelmak::cli {

// Where --trace sends its CSV lines. "-" is standard output, written as the run goes. A file is
// written by the writing rules every program of ours shares (replaced whole, through a link to
// its target, a device written straight): the lines go as they come to a new file beside it,
// which takes its place once the run has succeeded, so that a failed run leaves no cut-off trace
// behind and a long trace needs neither memory nor room elsewhere.
class TraceSink {
public:
    // Makes the file the lines go to, so that a trace that cannot be written is known before the
    // run, and starts with the header line. Reports a failure on `err` and returns the exit
    // status.
    int open(const std::string& name, std::FILE* out, std::FILE* err);

    // Adds lines (and empties the string). Reports a failure on `err`.
    bool write(std::string& lines, std::FILE* err);

    // Puts the file in place when `keep` (the run succeeded), or drops it. Reports a failure on
    // `err`.
    bool finish(bool keep, std::FILE* err);

private:
    std::string m_name;
    std::FILE* m_out = nullptr; // for "-"
    writing::StreamedFile m_file;
};

} // namespace zelmak::cli
