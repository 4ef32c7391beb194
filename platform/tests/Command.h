#pragma once

#include <string>
#include <vector>

struct CommandResult {
    int exitCode = -1;  // -1 when the program could not be started or did not exit normally
    std::string output; // standard output and standard error together
};

// Runs a program (searched in PATH, then in the system folders) with arguments, no shell, and
// waits for it.
CommandResult runCommand(const std::vector<std::string>& argv);

// Starts a program in the background with its output discarded; the process id, or -1.
int startCommand(const std::vector<std::string>& argv);

// Whether a program of that name can be found.
bool commandExists(const std::string& name);
