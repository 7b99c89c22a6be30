#pragma once

#include "machine/machine_state.h"
#include "settings/random_setting.h"

#include <cstdio>
#include <string>
#include <vector>

namespace zelmak::cli {

// A month of key settings, one per day, each with its check value.
struct KeySheet {
    struct Day {
        int day = 0;         // 1..31
        const char* weekday; // "Mon" ... "Sun"
        KeyRecordBytes record;
        std::string checkValue;
    };
    int year = 0;
    int month = 0;
    std::vector<Day> days;

    std::string date(const Day& d) const; // YYYY-MM-DD
    std::string monthName() const;        // YYYY-MM
};

// Draws a setting for every day of the month, each as "Random Cipher" draws one.
KeySheet drawKeySheet(int year, int month, RandomSource& source);

// The printable sheet: one A4 page in landscape, one row per day with the date, the card as 31
// pairs key→symbol, the disc numbers of slots 1..5 and the check value.
std::string keySheetHtml(const KeySheet& sheet);

// The same as plain text with CR LF line breaks.
std::string keySheetText(const KeySheet& sheet);

// Writes DIR/YYYY-MM-DD.key for every day, DIR/YYYY-MM.html and DIR/YYYY-MM.txt: all of them or
// none. The folder DIR is made when it is missing (not its parents). Nothing is written when any
// of the files exists already; a file that cannot be made removes those made before it, and the
// folder when it was made for them. Failures are reported on `err`; returns the exit status.
int writeKeySheet(const KeySheet& sheet, const std::string& dir, std::FILE* err);

} // namespace zelmak::cli
