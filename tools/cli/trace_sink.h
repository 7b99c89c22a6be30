#pragma once

#include <cstdio>
#include <string>

namespace zelmak::cli {

// Where --trace sends its CSV lines. "-" is standard output, written as the run goes. A file is
// written by the writing rules every program of ours shares (replaced whole, through a link to
// its target, a device written straight), once the run has succeeded: until then the lines wait
// in an unnamed temporary file, so that a failed run leaves no cut-off trace behind.
class TraceSink {
public:
    TraceSink() = default;
    ~TraceSink();
    TraceSink(const TraceSink&) = delete;
    TraceSink& operator=(const TraceSink&) = delete;

    // Looks before the run whether the file can be written where it is named, and starts with
    // the header line. Reports a failure on `err` and returns the exit status.
    int open(const std::string& name, std::FILE* out, std::FILE* err);

    // Adds lines (and empties the string). Reports a failure on `err`.
    bool write(std::string& lines, std::FILE* err);

    // Writes the file when `keep` (the run succeeded) and drops the lines. Reports a failure on
    // `err`.
    bool finish(bool keep, std::FILE* err);

private:
    std::string m_name;
    std::FILE* m_stream = nullptr;
    bool m_temporary = false;
};

} // namespace zelmak::cli
