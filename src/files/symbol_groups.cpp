#include "symbol_groups.h"

#include <algorithm>

namespace zelmak {

SymbolGroups::SymbolGroups(std::size_t size, std::size_t perLine)
    : m_size(std::max<std::size_t>(size, 1)), m_perLine(std::max<std::size_t>(perLine, 1)) {}

void SymbolGroups::append(std::string_view symbols, std::string& out) {
    out.reserve(out.size() + symbols.size() + symbols.size() / m_size + 2);
    while (!symbols.empty()) {
        if (m_inGroup == m_size) {
            // A group is full and another symbol follows: it begins the next group.
            m_inGroup = 0;
            if (m_inLine == m_perLine) {
                out.append("\r\n");
                m_inLine = 0;
            } else {
                out.push_back(' ');
            }
        }
        if (m_inGroup == 0)
            ++m_inLine;
        const std::size_t n = std::min(m_size - m_inGroup, symbols.size());
        out.append(symbols.substr(0, n));
        symbols.remove_prefix(n);
        m_inGroup += n;
    }
}

} // namespace zelmak
