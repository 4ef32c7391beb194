#pragma once

#include <cstdint>
#include <string>

// Decimal text of value with a comma in front of every third digit counted from the right,
// whatever the locale says. Cannot fail.
std::string IntToStrWithCommas(std::int64_t value);

// The same text appended to out; allocates nothing once out has grown to fit.
void appendIntWithCommas(std::string& out, std::int64_t value);
