#pragma once

#include "RunWindow.h"

#include <functional>
#include <string>
#include <vector>

// A window that records what a run does to it. onProcessEvents stands in for the handlers a
// user's clicks would run inside the run.
class RecordingWindow : public RunWindow {
public:
    void clearLog() override { log.clear(); }
    void addLogLine(std::string_view line) override { log.emplace_back(line); }
    void scrollLogToEnd() override { ++scrolls; }
    void setStatus1(std::string_view text) override { status1 = text; }
    void setStatus2(std::string_view text) override { status2 = text; }
    void setAbortEnabled(bool enabled) override { abortEnabled = enabled; }
    void processEvents() override;
    void refreshFileList() override { ++refreshes; }
    char drive() const override { return driveLetter; }
    bool stopFlag() const override { return stop; }
    void setStopFlag(bool value) override { stop = value; }

    std::vector<std::string> log;
    std::string status1;
    std::string status2;
    bool abortEnabled = false;
    bool stop = false;
    char driveLetter = 'E';
    int scrolls = 0;
    int refreshes = 0;
    int eventPasses = 0;
    std::function<void()> onProcessEvents;
};
