#pragma once

// A named pipe made for a test, with a guard against the fault it is there to catch: an open that
// waits for the other end. While the guard is in scope and the patience has run out, it opens the
// pipe for reading and writing every few milliseconds, which releases a waiting open (the read then
// finds the pipe empty), and notes that it had to. So such a fault fails the test instead of
// hanging it.

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace zelmak::test {

inline bool makeFifo(const std::string& path) {
    return ::mkfifo(path.c_str(), 0644) == 0;
}

class FifoGuard {
public:
    explicit FifoGuard(std::string path,
                       std::chrono::milliseconds patience = std::chrono::milliseconds(3000))
        : m_path(std::move(path)), m_thread([this, patience] { watch(patience); }) {}
    ~FifoGuard() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }
    FifoGuard(const FifoGuard&) = delete;
    FifoGuard& operator=(const FifoGuard&) = delete;

    // Whether something was still busy with the pipe when the patience ran out.
    bool fired() const { return m_fired; }

private:
    void watch(std::chrono::milliseconds patience) {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_wake.wait_for(lock, patience, [this] { return m_done; }))
            return;
        m_fired = true;
        while (!m_wake.wait_for(lock, std::chrono::milliseconds(20), [this] { return m_done; })) {
            const int fd = ::open(m_path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0)
                ::close(fd);
        }
    }

    std::string m_path;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_done = false;
    std::atomic<bool> m_fired{false};
    std::thread m_thread;
};

} // namespace zelmak::test
