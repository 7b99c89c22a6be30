#include "cli.h"
#include "files/posix_io.h"

int main(int argc, char** argv) {
    if (!zelmak::posix::standInForClosedStreams())
        return 1;
    std::vector<std::string> args(argv + 1, argv + argc);
    return zelmak::cli::run(args, stdin, stdout, stderr);
}
