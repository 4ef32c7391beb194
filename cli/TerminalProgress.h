#pragma once

#include "ProgressDisplay.h"

#include <memory>

// The progress line on a terminal: carriage return, the text cut to the terminal's width, and
// clear to the end of the line.
class TerminalProgress : public ProgressDisplay {
public:
    explicit TerminalProgress(int fd) : fd_(fd) {}

    // A display on standard error when that is a terminal; nullptr otherwise, since a file or a
    // pipe should receive nothing but errors.
    static std::unique_ptr<ProgressDisplay> onStandardErrorIfTerminal();
    static bool standardOutputIsTerminal();

    void show(std::string_view line) override;
    void hide() override;
    void finish() override;

private:
    void writeAll(std::string_view text);

    int fd_;
    bool shown_ = false;
};
