#pragma once

// What the benchmarks that print their own figures share: the process's processor time and peak
// memory, and letters to feed the converter and the panes.

#include <cstdio>
#include <ctime>
#include <iterator>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zelmak::bench {

inline double cpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

inline double peakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// German words and blanks with a line break about every lineLength bytes (0: one line), in UTF-8
// or in ISO 8859-1; cut back to a whole character at `size` bytes.
inline std::string germanLetter(std::size_t size, std::size_t lineLength, bool utf8) {
    static const char* const kLatin1[] = {"Der",
                                          "Schl\xfcssel",
                                          "wird",
                                          "t\xe4glich",
                                          "Stra\xdf"
                                          "e",
                                          "\xc4rger,",
                                          "\xfc"
                                          "ber",
                                          "1945",
                                          "Wien."};
    static const char* const kUtf8[] = {"Der",
                                        "Schl\xc3\xbcssel",
                                        "wird",
                                        "t\xc3\xa4glich",
                                        "Stra\xc3\x9f"
                                        "e",
                                        "\xc3\x84rger,",
                                        "\xe2\x80\x9e\xc3\xbc"
                                        "ber\xe2\x80\x9c",
                                        "1945",
                                        "Wien\xe2\x80\xa6"};
    std::mt19937 random(7);
    std::string out;
    out.reserve(size + 32);
    std::size_t lineStart = 0;
    while (out.size() < size) {
        if (lineLength > 0 && out.size() - lineStart >= lineLength) {
            out += "\n";
            lineStart = out.size();
        } else if (out.size() > lineStart) {
            out += ' ';
        }
        out += utf8 ? kUtf8[random() % std::size(kUtf8)] : kLatin1[random() % std::size(kLatin1)];
    }
    while (out.size() > size || (utf8 && (static_cast<unsigned char>(out.back()) & 0x80)))
        out.pop_back();
    return out;
}

// Runs each case in a process of its own, so that each starts with fresh memory and its peak is
// its own; 1 if any of them failed, else 0.
template <typename Cases, typename Run> int runEachInChild(const Cases& cases, Run run) {
    int status = 0;
    for (const auto& c : cases) {
        const pid_t child = fork();
        if (child == 0) {
            const int result = run(c);
            std::fflush(stdout);
            _exit(result);
        }
        int result = 0;
        if (child < 0 || waitpid(child, &result, 0) != child || !WIFEXITED(result) ||
            WEXITSTATUS(result) != 0)
            status = 1;
    }
    return status;
}

} // namespace zelmak::bench
