#pragma once

#include "DriveTable.h"
#include "FileService.h"

#include <string>
#include <vector>

// The drives as a table for the terminal: a heading, then one line per drive with its letter,
// display name, mount path, and its size and free bytes grouped as the window shows them
// (-1 when the query fails). Columns are aligned by characters, not bytes.
std::vector<std::string> driveListLines(const std::vector<Drive>& drives, FileService& files);
