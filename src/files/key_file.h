#pragma once

#include "machine/machine_state.h"

#include <string>

namespace zelmak {

// Reads the first 36 bytes of a key file (a longer file is used from its first record).
// Throws FileError: 2 when it is missing, 5 when it may not be read, 100 when it is shorter.
KeyRecordBytes readKeyRecord(const std::string& path);

} // namespace zelmak
