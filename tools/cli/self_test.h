#pragma once

#include "machine/machine_state.h"

#include <string>
#include <vector>

namespace zelmak::cli {

// A known answer: a key record, start positions, a mode and a text, with the output and end
// positions that must come out, and where that answer comes from. A case without a text asks
// for the setting's check value instead.
struct KnownAnswer {
    std::string name;
    std::string source; // "design worked example", "independent computation"
    KeyRecordBytes record;
    std::string start; // five symbols
    Mode mode = Mode::Cipher;
    std::string text;   // empty: the check value
    std::string output; // empty: only the end positions are known
    std::string end;
};

// The built-in cases: the worked example of the service setting and settings with other cards,
// discs, start positions and modes whose answers a second model of the machine computed.
const std::vector<KnownAnswer>& knownAnswers();

// Runs every case through the machine as a run of the program would, and writes one line per
// case ("pass" or "FAIL" with what came out) and a summary to `report`. Returns whether all
// passed.
bool selfTest(const std::vector<KnownAnswer>& cases, std::string& report);

} // namespace zelmak::cli
