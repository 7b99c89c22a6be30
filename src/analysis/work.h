#pragma once

// Long work on every core: a search is cut into items of a few milliseconds, which the threads
// take in turn. Between items a thread looks at the stop request, so a search ends within one
// item of being asked; the calling thread hears of the progress every so often.

#include <chrono>
#include <cstdint>
#include <functional>
#include <stop_token>

namespace zelmak::analysis {

struct Progress {
    std::uint64_t done = 0;  // hypotheses tried so far (by this process)
    std::uint64_t total = 0; // hypotheses of this process's share
    double seconds = 0;      // since the start
    double fraction() const {
        return total == 0 ? 1.0 : static_cast<double>(done) / static_cast<double>(total);
    }
    double perSecond() const { return seconds > 0 ? static_cast<double>(done) / seconds : 0.0; }
    // Nothing known yet: a negative number.
    double secondsLeft() const {
        return done == 0 ? -1.0
                         : seconds * static_cast<double>(total - done) / static_cast<double>(done);
    }
};

struct RunOptions {
    unsigned threads = 0; // 0: one per core
    // This process's share when several work on one search (ranks of an MPI run): the items
    // i with i % ranks == rank.
    int rank = 0;
    int ranks = 1;
    std::stop_token stop;
    // Called on the calling thread about every progressEvery while the work runs, and once at
    // its end.
    std::function<void(const Progress&)> progress;
    std::chrono::milliseconds progressEvery{100};
};

// The threads that RunOptions asks for, at least one.
unsigned threadsFor(const RunOptions& options);

struct RunTally {
    std::uint64_t hypotheses = 0;
    double seconds = 0;
    bool stopped = false; // asked to stop before every item had run
};

// Runs work(item, thread) for each item of this process's share of [0, items) on the threads;
// work returns the hypotheses it tried. hypothesesPerItem sizes the progress. An exception thrown
// by work stops the others and is rethrown here.
RunTally runItems(std::uint64_t items, std::uint64_t hypothesesPerItem, const RunOptions& options,
                  const std::function<std::uint64_t(std::uint64_t item, unsigned thread)>& work);

} // namespace zelmak::analysis
