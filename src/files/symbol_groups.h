#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zelmak {

// Cipher text as it is sent: groups of `size` symbols, one blank between groups, and a line
// break (CR LF, as the machine's text files have) after every `perLine` groups. Nothing comes
// before the first group or after the last, so a text laid out piece by piece is laid out as if
// it came whole. Reading it back with its blanks as layout (Blanks::Layout) keys the symbols
// alone.
class SymbolGroups {
public:
    SymbolGroups(std::size_t size, std::size_t perLine); // both at least 1

    // Appends the layout of the next symbols to `out`.
    void append(std::string_view symbols, std::string& out);

private:
    std::size_t m_size;
    std::size_t m_perLine;
    std::size_t m_inGroup = 0; // symbols of the current group written so far
    std::size_t m_inLine = 0;  // groups of the current line begun so far
};

} // namespace zelmak
