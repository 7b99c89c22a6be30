#include "break.h"

#include <cerrno>
#include <cstdio>
#include <exception>
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char** argv) {
    // A standard stream that was closed gets a stand-in that fails every use, so that no file
    // the program opens takes its number.
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            const int standIn = ::open("/dev/null", fd == 0 ? O_WRONLY : O_RDONLY);
            if (standIn != fd)
                return 1;
        }
    }
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
