#pragma once

#include "TestFileName.h"

#include <string>

// The time of day in the long time format of the user's locale. The format is read when the
// clock is made and again on reread(), when the system announces new locale settings.
class LocaleClock {
public:
    LocaleClock() { reread(); }
    void reread();
    std::string timeText() const;

private:
    TimeFormat format_;
};
