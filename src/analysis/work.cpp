#include "work.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace zelmak::analysis {

unsigned threadsFor(const RunOptions& options) {
    if (options.threads != 0)
        return options.threads;
    return std::max(1u, std::thread::hardware_concurrency());
}

RunTally runItems(std::uint64_t items, std::uint64_t hypothesesPerItem, const RunOptions& options,
                  const std::function<std::uint64_t(std::uint64_t item, unsigned thread)>& work) {
    using Clock = std::chrono::steady_clock;
    const auto began = Clock::now();
    const auto rank = static_cast<std::uint64_t>(std::max(0, options.rank));
    const auto ranks = static_cast<std::uint64_t>(std::max(1, options.ranks));
    const std::uint64_t mine = items > rank ? (items - rank + ranks - 1) / ranks : 0;

    std::atomic<std::uint64_t> next{0};
    std::atomic<std::uint64_t> done{0};
    std::atomic<bool> quit{false};
    std::exception_ptr failure;
    std::mutex mutex;
    std::condition_variable finished;
    unsigned running = 0;

    const unsigned threads = static_cast<unsigned>(
        std::min<std::uint64_t>(threadsFor(options), std::max<std::uint64_t>(mine, 1)));
    const auto body = [&](unsigned thread) {
        try {
            for (;;) {
                if (quit.load(std::memory_order_relaxed) || options.stop.stop_requested())
                    break;
                const std::uint64_t k = next.fetch_add(1, std::memory_order_relaxed);
                if (k >= mine)
                    break;
                done.fetch_add(work(rank + k * ranks, thread), std::memory_order_relaxed);
            }
        } catch (...) {
            const std::lock_guard lock(mutex);
            if (!failure)
                failure = std::current_exception();
            quit = true;
        }
        const std::lock_guard lock(mutex);
        --running;
        finished.notify_all();
    };

    std::vector<std::jthread> pool;
    running = threads;
    for (unsigned t = 0; t < threads; ++t)
        pool.emplace_back(body, t);

    const auto report = [&] {
        if (!options.progress)
            return;
        Progress p;
        p.done = done.load(std::memory_order_relaxed);
        p.total = std::max(p.done, mine * hypothesesPerItem);
        p.seconds = std::chrono::duration<double>(Clock::now() - began).count();
        options.progress(p);
    };
    {
        std::unique_lock lock(mutex);
        while (running != 0) {
            finished.wait_for(lock, options.progressEvery, [&] { return running == 0; });
            if (running != 0) {
                lock.unlock();
                report();
                lock.lock();
            }
        }
    }
    pool.clear();
    report();
    if (failure)
        std::rethrow_exception(failure);

    RunTally tally;
    tally.hypotheses = done.load();
    tally.seconds = std::chrono::duration<double>(Clock::now() - began).count();
    tally.stopped = next.load() < mine || options.stop.stop_requested();
    return tally;
}

} // namespace zelmak::analysis
