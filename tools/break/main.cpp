#include "break.h"
#include "files/posix_io.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (!zelmak::posix::standInForClosedStreams())
        return 1;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!zelmak::brk::startedByMpirun()) {
        zelmak::brk::Alone alone;
        return zelmak::brk::run(args, stdin, stdout, stderr, alone);
    }
    try {
        const auto cluster = zelmak::brk::joinMpiRun();
        return zelmak::brk::run(args, stdin, stdout, stderr, *cluster);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zelmak-break: %s\n", e.what());
        return 1;
    }
}
