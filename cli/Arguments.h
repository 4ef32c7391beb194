#pragma once

#include <string>
#include <vector>

enum class CliAction { Test, List, Help, Version };

// What the command line asks for. drive is the drive as given (a letter or a mount path) and is
// set for Test only. error is one line for the user when the command line cannot be used.
struct CliArguments {
    CliAction action = CliAction::Test;
    std::string drive;
    std::string error;
};

// Reads the arguments that follow the program name. Exactly one of a drive, --list, --help (-h)
// or --version is accepted; "--" makes every later argument a drive, even one starting with '-'.
CliArguments parseArguments(const std::vector<std::string>& args);
