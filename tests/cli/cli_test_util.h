#pragma once

// Running the built zelmak-cli in the companion's tests, and the key records they use.

#include "process.h"

#include <string>
#include <unistd.h>
#include <vector>

namespace zelmak::test {

inline ProcessResult cli(const std::vector<std::string>& args, const std::string& input = {}) {
    return runProcess(binPath("zelmak-cli"), args, input);
}

// The program under /bin/sh after the shell's `redirections` ("exec 2>/dev/full"), for standard
// streams that runProcess does not make.
inline ProcessResult cliInShell(const std::string& redirections,
                                const std::vector<std::string>& args,
                                const std::string& input = {}) {
    std::vector<std::string> shellArgs{"-c", redirections + "; exec \"$0\" \"$@\"",
                                       binPath("zelmak-cli")};
    shellArgs.insert(shellArgs.end(), args.begin(), args.end());
    return runProcess("/bin/sh", shellArgs, input);
}

// The program as an unprivileged user when the tests run as root (as they do in CI), so that a
// folder it may not write refuses it; otherwise as the user running the tests.
inline ProcessResult cliUnprivileged(const std::vector<std::string>& args) {
    if (::geteuid() != 0)
        return cli(args);
    std::vector<std::string> all{"--reuid=65534", "--regid=65534", "--clear-groups",
                                 binPath("zelmak-cli")};
    all.insert(all.end(), args.begin(), args.end());
    return runProcess("/usr/bin/setpriv", all);
}

inline std::string keyRecord(const std::vector<int>& card, const std::vector<int>& discs) {
    std::string bytes;
    for (const int b : card)
        bytes += static_cast<char>(b);
    for (const int b : discs)
        bytes += static_cast<char>(b);
    return bytes;
}

inline std::vector<int> identityCard() {
    std::vector<int> c;
    for (int k = 1; k <= 31; ++k)
        c.push_back(k);
    return c;
}

inline std::vector<int> reversedCard() {
    std::vector<int> c;
    for (int k = 1; k <= 31; ++k)
        c.push_back(32 - k);
    return c;
}

inline std::vector<int> mixedCard() {
    return {11, 15, 30, 10, 6,  31, 21, 14, 7,  27, 20, 12, 9, 28, 3, 17,
            24, 19, 23, 8,  18, 29, 26, 2,  22, 5,  13, 25, 4, 16, 1};
}

} // namespace zelmak::test
