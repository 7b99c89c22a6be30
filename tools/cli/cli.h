#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace zelmak::cli {

// zelmak-cli [--decipher] [--key FILE] [--start POSITIONS] [--report] [INPUT]
// zelmak-cli --new-key FILE
// Runs a text through the machine and writes the output symbols. Returns the exit status:
// 0 done, 1 a file error, 2 a wrong command line or a key setting the check would reject.
int run(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err);

} // namespace zelmak::cli
