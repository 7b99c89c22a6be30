#include "process.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace zelmak::test {

namespace {

void closeFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

std::string binPath(const std::string& name) {
    return std::string(ZELMAK_BIN_DIR) + "/" + name;
}

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input, std::chrono::milliseconds limit,
                         const SignalWhen& signalWhen) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + limit;
    const auto msLeft = [&] {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        return static_cast<int>(std::max<long long>(0, left.count()));
    };
    int in[2], out[2], err[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0 || ::pipe(err) != 0)
        throw std::runtime_error("pipe failed");

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]})
        posix_spawn_file_actions_addclose(&actions, fd);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    // A group of its own, so that a program that hangs is killed with what it started.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);

    pid_t pid = 0;
    const int rc =
        ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    if (rc != 0) {
        ::close(in[1]);
        ::close(out[0]);
        ::close(err[0]);
        throw std::runtime_error("cannot start " + program + ": " + std::strerror(rc));
    }

    ProcessResult result;
    bool hung = false;
    int inFd = in[1], outFd = out[0], errFd = err[0];
    std::size_t written = 0;
    bool signalled = false;
    if (input.empty())
        closeFd(inFd);
    char buffer[65536];
    while (outFd >= 0 || errFd >= 0) {
        pollfd fds[3];
        int n = 0;
        if (inFd >= 0)
            fds[n++] = {inFd, POLLOUT, 0};
        if (outFd >= 0)
            fds[n++] = {outFd, POLLIN, 0};
        if (errFd >= 0)
            fds[n++] = {errFd, POLLIN, 0};
        const int polled = ::poll(fds, static_cast<nfds_t>(n), msLeft());
        if (polled < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (polled == 0) {
            hung = true;
            break;
        }
        for (int i = 0; i < n; ++i) {
            if (fds[i].revents == 0)
                continue;
            if (fds[i].fd == inFd) {
                const ssize_t w = ::write(inFd, input.data() + written,
                                          std::min<std::size_t>(input.size() - written, 65536));
                if (w <= 0) {
                    closeFd(inFd);
                    continue;
                }
                written += static_cast<std::size_t>(w);
                if (written == input.size())
                    closeFd(inFd);
            } else {
                const ssize_t r = ::read(fds[i].fd, buffer, sizeof buffer);
                int& fd = fds[i].fd == outFd ? outFd : errFd;
                std::string& sink = fds[i].fd == outFd ? result.out : result.err;
                if (r <= 0)
                    closeFd(fd);
                else
                    sink.append(buffer, static_cast<std::size_t>(r));
                if (signalWhen.signal != 0 && !signalled &&
                    result.err.find(signalWhen.errHolds) != std::string::npos) {
                    ::kill(pid, signalWhen.signal);
                    signalled = true;
                }
            }
        }
    }
    closeFd(inFd);
    closeFd(outFd);
    closeFd(errFd);
    if (hung)
        ::kill(-pid, SIGKILL);
    int status = 0;
    for (;;) {
        const pid_t ended = ::waitpid(pid, &status, WNOHANG);
        if (ended == pid || (ended < 0 && errno != EINTR))
            break;
        if (ended == 0 && !hung && msLeft() == 0) {
            hung = true;
            ::kill(-pid, SIGKILL);
        }
        ::poll(nullptr, 0, 1);
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (hung) {
        const std::string why =
            program + " did not end within " + std::to_string(limit.count()) + " ms and was killed";
        result.err += "\n[" + why + "]\n";
        ADD_FAILURE() << why;
    }
    return result;
}

} // namespace zelmak::test
