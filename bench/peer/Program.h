#pragma once

#include <chrono>
#include <string>
#include <vector>

struct ProgramResult {
    int exitCode = -1;  // -1 when it could not be started, was killed or outran its time
    std::string output; // standard output and standard error together
};

// Runs a program (searched in PATH and the system folders) to its end, no shell; kills it when
// it outruns timeout.
ProgramResult runProgram(const std::vector<std::string>& argv, std::chrono::seconds timeout);

// Like runProgram, but throws std::runtime_error with the program's output when it fails.
std::string runOrThrow(const std::vector<std::string>& argv,
                       std::chrono::seconds timeout = std::chrono::seconds(60));

bool programExists(const std::string& name);
