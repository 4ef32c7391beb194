#pragma once

#include <string>
#include <vector>

// Folder access for the drive panel. Results are codes (ResultCodes.h), 0 on success.

// Makes path the process's current folder.
int changeCurrentFolder(const std::string& path);

// The process's current folder; empty when it cannot be read.
std::string currentFolder();

// Visible sub-folders of path (no "." entries, no names starting with "."), unsorted. A link
// counts as what it leads to, as in a file manager; a broken link is neither folder nor file.
int listSubfolders(const std::string& path, std::vector<std::string>& names);

// Ordinary visible files of path (names starting with "." left out; no devices, pipes or
// sockets), unsorted.
int listFiles(const std::string& path, std::vector<std::string>& names);
