#pragma once

#include "FileService.h"
#include "TestRunner.h"
#include "TextWindow.h"

#include <cstdio>

// Runs one test on the window's drive and gives the program's exit code (ExitCode.h). Why a run
// could not test goes to errors, one line each, after the progress line has been left.
int runTest(TestRunner& runner, TextWindow& window, FileService& files, std::FILE* errors);
