#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace zelmak::cli {

// zelmak-cli: runs a text through the machine and writes the output symbols (as text, in groups
// or as JSON, with a trace of every key beside), or writes a setting's check value, runs the
// self-test, draws a new key file or a month's key sheet; options.cpp has the usage. Returns the
// exit status: 0 done, 1 a file could not be read or written, 2 a wrong command line or a key
// setting the check would reject, 3 a known answer of the self-test did not come out.
int run(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err);

} // namespace zelmak::cli
