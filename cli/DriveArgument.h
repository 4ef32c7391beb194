#pragma once

#include "DriveTable.h"

#include <string>
#include <string_view>

// The drive a command-line argument names, or one line telling why it names none.
struct DriveChoice {
    const Drive* drive = nullptr;
    std::string error;
};

// A letter with or without its colon ("E", "e", "E:") names the drive with that letter; anything
// else is a path that must lead to the root folder of a drive, trailing slashes and symbolic
// links allowed. A folder named like a letter is reached as "./E".
DriveChoice chooseDrive(const DriveTable& table, std::string_view argument);
