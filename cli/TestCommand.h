#pragma once

#include "FileService.h"
#include "TestRunner.h"
#include "TextWindow.h"

#include <cstdio>

// Runs one test on the window's drive and gives the program's exit code (ExitCode.h). Why a run
// could not test goes to errors, one line each, after the progress line has been left.
int runTest(TestRunner& runner, TextWindow& window, FileService& files, std::FILE* errors);

// The text an error box would show: the message, and a full stop after it when it ends in a
// letter, a digit or the like.
std::string errorMessageText(const std::string& message);
