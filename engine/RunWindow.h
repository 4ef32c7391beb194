#pragma once

#include <string_view>

// What a test run uses of its window. Texts are the window's to copy; the views end with the call.
class RunWindow {
public:
    virtual ~RunWindow() = default;
    virtual void clearLog() = 0;
    virtual void addLogLine(std::string_view line) = 0;
    virtual void scrollLogToEnd() = 0;
    virtual void setStatus1(std::string_view text) = 0;
    virtual void setStatus2(std::string_view text) = 0;
    virtual void setAbortEnabled(bool enabled) = 0;
    // Handles the pending window events; other handlers may run inside it.
    virtual void processEvents() = 0;
    // Repaints the file list without re-reading the folder.
    virtual void refreshFileList() = 0;
    // The chosen drive letter, or '\0' while none has been chosen.
    virtual char drive() const = 0;
    virtual bool stopFlag() const = 0;
    virtual void setStopFlag(bool value) = 0;
};
