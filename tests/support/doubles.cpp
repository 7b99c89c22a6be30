#include "doubles.h"

#include <stdexcept>
#include <string>

namespace zelmak {

std::int32_t ScriptedRandomSource::below(std::int32_t n) {
    if (m_numbers.empty())
        throw std::logic_error("scripted random source ran out after " +
                               std::to_string(m_bounds.size()) + " draws");
    const std::int32_t value = m_numbers.front();
    if (value < 0 || value >= n)
        throw std::logic_error("scripted number " + std::to_string(value) + " is not below " +
                               std::to_string(n));
    m_numbers.pop_front();
    m_bounds.push_back(n);
    return value;
}

} // namespace zelmak
