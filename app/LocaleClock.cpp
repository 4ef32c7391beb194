#include "LocaleClock.h"

#include "LocaleTime.h"

void LocaleClock::reread() {
    format_ = composeTimeFormat(readUserLocaleTimeSettings());
}

std::string LocaleClock::timeText() const {
    return formatTimeOfDay(format_, currentTimeOfDay());
}
