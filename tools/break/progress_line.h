#pragma once

#include "analysis/work.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace zelmak::brk {

// The search's progress on one line of a terminal: percent done, hypotheses a second and the
// time left, drawn over itself at most ten times a second.
class ProgressLine {
public:
    // Draws nothing when `on` is false.
    ProgressLine(std::FILE* err, bool on) : err_(err), on_(on) {}
    ~ProgressLine() { clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void show(const analysis::Progress& p);
    // Takes the line away, so that what follows starts on a clean line.
    void clear();

    static std::string text(const analysis::Progress& p);

private:
    std::FILE* err_;
    bool on_;
    std::size_t drawn_ = 0; // the length of the line on the screen
    std::chrono::steady_clock::time_point last_{};
};

} // namespace zelmak::brk
