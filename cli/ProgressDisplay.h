#pragma once

#include <string_view>

// Where a run's live progress line goes: one line, redrawn in place.
class ProgressDisplay {
public:
    virtual ~ProgressDisplay() = default;
    // Replaces the line on show with line.
    virtual void show(std::string_view line) = 0;
    // Takes the line off, so that other output can be written where it stood.
    virtual void hide() = 0;
    // Leaves the line as it stands and moves on to a new line.
    virtual void finish() = 0;
};
