#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace zelmak::test {

struct ProcessResult {
    int status = -1; // exit status, or 128 + signal
    std::string out;
    std::string err;
};

// A signal sent to the program once its standard error holds a text (Ctrl+C once it has started
// its work).
struct SignalWhen {
    std::string errHolds;
    int signal = 0;
};

// Runs a program with arguments (no shell), feeds it `input` on standard input and collects
// standard output and standard error. A program that has not ended within `limit` is killed with
// everything it started, and the test fails saying so.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = {},
                         std::chrono::milliseconds limit = std::chrono::seconds(60),
                         const SignalWhen& signalWhen = {});

// The path of one of our own programs in the build's bin folder.
std::string binPath(const std::string& name);

} // namespace zelmak::test
