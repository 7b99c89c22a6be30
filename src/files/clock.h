#pragma once

namespace zelmak {

struct CalendarDate {
    int year = 0;  // e.g. 2026
    int month = 0; // 1..12
    int day = 0;   // 1..31
};

// Where "Save Cipher" learns today's date for the key-file name it proposes.
class Clock {
public:
    virtual ~Clock() = default;
    virtual CalendarDate localDate() const = 0;
};

// The system clock, in the local time zone.
class SystemClock : public Clock {
public:
    CalendarDate localDate() const override;
};

} // namespace zelmak
