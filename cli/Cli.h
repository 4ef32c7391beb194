#pragma once

#include <string>
#include <vector>

// The command-line program on the system's drives: args are the arguments after the program
// name; gives the exit code. Writes the log or the answer on standard output, the progress line
// and errors on standard error.
int runCli(const std::vector<std::string>& args);
