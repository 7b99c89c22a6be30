#include "progress_line.h"

#include <cmath>

namespace zelmak::brk {

namespace {

std::string perSecond(double rate) {
    char text[32];
    if (rate >= 1e6)
        std::snprintf(text, sizeof text, "%.1f M", rate / 1e6);
    else if (rate >= 1e3)
        std::snprintf(text, sizeof text, "%.1f k", rate / 1e3);
    else
        std::snprintf(text, sizeof text, "%.0f", rate);
    return text;
}

std::string duration(double seconds) {
    const long s = std::lround(seconds);
    char text[32];
    if (s >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
    return text;
}

} // namespace

std::string ProgressLine::text(const analysis::Progress& p) {
    char percent[16];
    std::snprintf(percent, sizeof percent, "%5.1f %%", 100.0 * p.fraction());
    const double left = p.secondsLeft();
    return std::string(percent) + ", " + perSecond(p.perSecond()) + " hypotheses a second, " +
           (left < 0 ? std::string("time left unknown") : duration(left) + " left");
}

void ProgressLine::show(const analysis::Progress& p) {
    if (!on_)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (drawn_ != 0 && now - last_ < std::chrono::milliseconds(100))
        return;
    last_ = now;
    const std::string line = text(p);
    // Blanks over what is left of a longer line before.
    const std::size_t pad = drawn_ > line.size() ? drawn_ - line.size() : 0;
    std::fprintf(err_, "\r%s%*s", line.c_str(), static_cast<int>(pad), "");
    std::fflush(err_);
    drawn_ = line.size();
}

void ProgressLine::clear() {
    if (drawn_ == 0)
        return;
    std::fprintf(err_, "\r%*s\r", static_cast<int>(drawn_), "");
    std::fflush(err_);
    drawn_ = 0;
}

} // namespace zelmak::brk
