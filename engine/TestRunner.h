#pragma once

#include "FileService.h"
#include "RunWindow.h"
#include "TestRun.h"

// The Test button's handler. A click while a run is in progress does nothing, so that a second
// run never starts nested inside the first.
class TestRunner {
public:
    TestRunner(RunWindow& window, FileService& files, TimeTextSource timeText);
    // Runs a test on the window's drive; throws IoException when a test file cannot be created
    // or closed.
    void TestButtonClick();
    bool running() const { return running_; }
    RunSettings& settings() { return settings_; }

private:
    RunWindow& window_;
    FileService& files_;
    TimeTextSource timeText_;
    RunSettings settings_;
    bool running_ = false;
};
