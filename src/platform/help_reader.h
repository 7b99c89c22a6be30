#pragma once

// The reading of a help document's text as the toolkit's reader does it, for help_structure.h.

#include "help_structure.h"

#include <QStringView>

#include <cstddef>
#include <cstdint>

namespace zelmak {

inline std::size_t saturatingAdd(std::size_t a, std::size_t b) {
    return a > SIZE_MAX - b ? SIZE_MAX : a + b;
}

inline std::size_t saturatingMul(std::size_t a, std::size_t b) {
    return b != 0 && a > SIZE_MAX / b ? SIZE_MAX : a * b;
}

// The counts of the text (all but the table nesting), up to the first limit passed.
HelpStructure readHelpText(QStringView html);

} // namespace zelmak
