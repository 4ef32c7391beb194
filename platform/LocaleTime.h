#pragma once

#include "TestFileName.h"

#include <string_view>

// What the C library's LC_TIME locale says about the long time format. The caller sets the
// locale (setlocale) first; fields that cannot be read are nullopt.
LocaleTimeSettings readLocaleTimeSettings();

// The same, after taking LC_TIME from the user's environment afresh, as when the system
// announces new locale settings.
LocaleTimeSettings readUserLocaleTimeSettings();

// The settings a strftime time format gives. ampmFormat stands for "%r", am and pm are the
// designators; fields the format does not determine are nullopt.
LocaleTimeSettings parseLocaleTimeFormat(std::string_view timeFormat, std::string_view ampmFormat,
                                         std::string_view am, std::string_view pm);

// The current local time of day.
TimeOfDay currentTimeOfDay();
