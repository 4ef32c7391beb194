#pragma once

#include "TestFileName.h"

// What the C library's LC_TIME locale says about the long time format. The caller sets the
// locale (setlocale) first; fields that cannot be read are nullopt.
LocaleTimeSettings readLocaleTimeSettings();

// The current local time of day.
TimeOfDay currentTimeOfDay();
