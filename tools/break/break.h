#pragma once

#include "cluster.h"

#include <cstdio>
#include <string>
#include <vector>

namespace zelmak::brk {

// zelmak-break: a crib search, a start search or the statistics of a message; command_line.cpp
// has the usage. Every rank of a cluster runs it; rank 0 reads the files and writes. Returns the
// exit status: 0 done, 1 a file, 2 the command line or a key setting the check rejects, 4
// nothing found, 130 stopped by Ctrl+C.
int run(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err,
        Cluster& cluster);

} // namespace zelmak::brk
