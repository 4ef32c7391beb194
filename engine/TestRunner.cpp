#include "TestRunner.h"

#include <utility>

TestRunner::TestRunner(RunWindow& window, FileService& files, TimeTextSource timeText)
    : window_(window), files_(files), timeText_(std::move(timeText)) {}

void TestRunner::TestButtonClick() {
    if (running_) {
        return;
    }
    struct Running {
        bool& flag;
        explicit Running(bool& f) : flag(f) { flag = true; }
        ~Running() { flag = false; }
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;
    } running(running_);
    TestRun(window_, files_, timeText_, settings_).execute();
}
