#pragma once

#include "ProgressDisplay.h"
#include "ProgressTracker.h"
#include "RunWindow.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

struct TextWindowSetup {
    char drive = '\0';
    // Receives each log line and nothing else.
    std::FILE* log = nullptr;
    // Where the progress line goes; nullptr for none.
    ProgressDisplay* progress = nullptr;
    // The log goes to the progress line's terminal too.
    bool logOnProgressTerminal = false;
    // The stop signal received so far, 0 while none.
    std::function<int()> pendingSignal = [] { return 0; };
    // The drive's free bytes, for the progress line.
    std::function<std::int64_t()> freeSpace = [] { return std::int64_t{-1}; };
    std::function<ProgressTracker::Clock::time_point()> clock = ProgressTracker::Clock::now;
};

// The run's window as text: the log goes line by line to a stream, so that two runs can be
// compared with diff, and the status texts feed a progress line redrawn a few times a second.
// A stop signal acts as an Abort click: it sets the stop flag when events are processed.
class TextWindow : public RunWindow {
public:
    explicit TextWindow(TextWindowSetup setup);

    // The log holds only what the run writes, so there is nothing to clear.
    void clearLog() override {}
    void addLogLine(std::string_view line) override;
    void scrollLogToEnd() override {}
    void setStatus1(std::string_view text) override { status1_.assign(text); }
    void setStatus2(std::string_view text) override { status2_.assign(text); }
    void setAbortEnabled(bool) override {}
    void processEvents() override;
    void refreshFileList() override {}
    char drive() const override { return setup_.drive; }
    bool stopFlag() const override { return stopFlag_; }
    void setStopFlag(bool value) override { stopFlag_ = value; }

    // Draws the progress line, if there is one, a last time and leaves it; once, after the run.
    void endProgress();
    // "Error in block" and "IO Error at Block" lines logged so far.
    std::int64_t errorLines() const { return errorLines_; }
    // True once a log line could not be written in full.
    bool logLost() const { return logLost_; }
    int pendingSignal() const { return setup_.pendingSignal(); }

private:
    void writeLogLine(std::string_view line);
    void redrawProgress(ProgressTracker::Clock::time_point now);

    TextWindowSetup setup_;
    bool stopFlag_ = false;
    std::string status1_;
    std::string status2_;
    std::string logBuffer_;
    std::int64_t errorLines_ = 0;
    bool logLost_ = false;
    ProgressTracker tracker_;
    std::string progressText_;
    bool progressDrawn_ = false;
    ProgressTracker::Clock::time_point lastDraw_{};
};
