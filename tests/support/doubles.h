#pragma once

// Test doubles of the platform seams: a random source that returns a script, a fixed clock.

#include "files/clock.h"
#include "settings/random_setting.h"

#include <deque>
#include <utility>
#include <vector>

namespace zelmak {

// Returns scripted numbers in order. Throws std::logic_error when the script runs out or a
// number does not lie below the n asked for.
class ScriptedRandomSource : public RandomSource {
public:
    explicit ScriptedRandomSource(std::deque<std::int32_t> numbers)
        : m_numbers(std::move(numbers)) {}
    std::int32_t below(std::int32_t n) override;

    std::size_t remaining() const { return m_numbers.size(); }
    // The n of every draw so far, in order.
    const std::vector<std::int32_t>& bounds() const { return m_bounds; }

private:
    std::deque<std::int32_t> m_numbers;
    std::vector<std::int32_t> m_bounds;
};

// A clock that always shows the same day.
class FixedClock : public Clock {
public:
    explicit FixedClock(CalendarDate date) : m_date(date) {}
    CalendarDate localDate() const override { return m_date; }

private:
    CalendarDate m_date;
};

} // namespace zelmak
