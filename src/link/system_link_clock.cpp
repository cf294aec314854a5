#include "link/link_io.h"

#include <ctime>

namespace Lift::Link {

LocalDateTime SystemLinkClock::localNow() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    LocalDateTime t;
    t.year = local.tm_year + 1900;
    t.month = local.tm_mon + 1;
    t.day = local.tm_mday;
    t.weekday = local.tm_wday == 0 ? 7 : local.tm_wday; // 1 Monday .. 7 Sunday
    t.hour = local.tm_hour;
    t.minute = local.tm_min;
    t.second = local.tm_sec;
    return t;
}

} // namespace Lift::Link
