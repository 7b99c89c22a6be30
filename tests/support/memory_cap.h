#pragma once

// Lets the process map at most `extra` bytes more than it has mapped now, while in scope: a fault
// that reads an endless file into memory then fails the test with an allocation failure instead
// of taking the memory of the whole machine. Measured from what is mapped already, so it also
// holds under AddressSanitizer, which maps its shadow memory at the start.

#include <cstddef>
#include <fstream>
#include <string>
#include <sys/resource.h>

namespace zelmak::test {

class MemoryCap {
public:
    explicit MemoryCap(std::size_t extra) {
        const std::size_t now = mappedNow();
        if (now == 0 || ::getrlimit(RLIMIT_AS, &m_old) != 0)
            return;
        rlimit cap = m_old;
        cap.rlim_cur = static_cast<rlim_t>(now + extra);
        if (m_old.rlim_max != RLIM_INFINITY && cap.rlim_cur > m_old.rlim_max)
            cap.rlim_cur = m_old.rlim_max;
        m_set = ::setrlimit(RLIMIT_AS, &cap) == 0;
    }
    ~MemoryCap() {
        if (m_set)
            ::setrlimit(RLIMIT_AS, &m_old);
    }
    MemoryCap(const MemoryCap&) = delete;
    MemoryCap& operator=(const MemoryCap&) = delete;

private:
    static std::size_t mappedNow() {
        std::ifstream status("/proc/self/status");
        std::string key;
        std::size_t kib = 0;
        while (status >> key) {
            if (key == "VmSize:" && status >> kib)
                return kib * 1024;
            status.ignore(4096, '\n');
        }
        return 0;
    }

    rlimit m_old{};
    bool m_set = false;
};

} // namespace zelmak::test
