#pragma once

#include <chrono>

// Paces a run's once-per-block calls. Labels are repainted at screen rate; events are handled
// at most once a millisecond, which no user can tell from once per block, and a block slower
// than that handles them every time, so Abort and Quit still act within one block.
class EventPacer {
public:
    using Clock = std::chrono::steady_clock;

    bool labelsDue(Clock::time_point now) { return due(now, lastLabels_, LabelInterval); }
    bool eventsDue(Clock::time_point now) { return due(now, lastEvents_, EventInterval); }

private:
    static constexpr Clock::duration LabelInterval = std::chrono::milliseconds(16);
    static constexpr Clock::duration EventInterval = std::chrono::milliseconds(1);

    static bool due(Clock::time_point now, Clock::time_point& last, Clock::duration interval) {
        if (now - last < interval) {
            return false;
        }
        last = now;
        return true;
    }

    Clock::time_point lastLabels_{};
    Clock::time_point lastEvents_{};
};
