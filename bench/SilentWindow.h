#pragma once

#include "RunWindow.h"

// A window that shows nothing, for runs whose only output is their speed.
class SilentWindow : public RunWindow {
public:
    void clearLog() override {}
    void addLogLine(std::string_view) override {}
    void scrollLogToEnd() override {}
    void setStatus1(std::string_view) override {}
    void setStatus2(std::string_view) override {}
    void setAbortEnabled(bool) override {}
    void processEvents() override {}
    void refreshFileList() override {}
    char drive() const override { return 'E'; }
    bool stopFlag() const override { return stop_; }
    void setStopFlag(bool value) override { stop_ = value; }

private:
    bool stop_ = false;
};
