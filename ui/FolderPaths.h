#pragma once

#include "DriveTable.h"

#include <string>
#include <string_view>
#include <vector>

// Path rules of the folder and file lists. Paths are absolute, with '/' separators and no
// trailing separator except for "/" itself.

// The drive whose root folder holds path (the deepest one), or nullptr.
const Drive* driveHolding(const DriveTable& drives, std::string_view path);

// The folders from root down to path, both included; root must hold path.
std::vector<std::string> folderChain(std::string_view root, std::string_view path);

std::string childPath(std::string_view folder, std::string_view name);

// Sorts names as the lists show them: without regard to case, ties in byte order.
void sortIgnoringCase(std::vector<std::string>& names);
