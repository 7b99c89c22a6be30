#include "cli.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char** argv) {
    // A standard stream that was closed gets a stand-in that fails every use: otherwise the next
    // file the program opens would take its number, and a report meant for a closed standard
    // error would land in that file, or pass for written.
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            const int standIn = ::open("/dev/null", fd == 0 ? O_WRONLY : O_RDONLY);
            if (standIn != fd)
                return 1;
        }
    }
    std::vector<std::string> args(argv + 1, argv + argc);
    return zelmak::cli::run(args, stdin, stdout, stderr);
}
