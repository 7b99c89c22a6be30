#include "clock.h"

#include <ctime>

namespace zelmak {

CalendarDate SystemClock::localDate() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!::localtime_r(&now, &local))
        return {1970, 1, 1};
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

} // namespace zelmak
