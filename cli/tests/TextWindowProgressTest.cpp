#include "FakeDevice.h"
#include "ProgressDisplay.h"
#include "TestRunner.h"
#include "TextWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = ProgressTracker::Clock;

// What reached the terminal, in order: progress lines and log lines side by side.
struct Terminal {
    struct Event {
        enum Kind { Show, Hide, Finish, Log } kind;
        std::string text;
        Clock::time_point time;
    };
    std::vector<Event> events;
    Clock::time_point now = Clock::time_point() + 1h;
};

class RecordingProgress : public ProgressDisplay {
public:
    explicit RecordingProgress(Terminal& terminal) : terminal_(terminal) {}
    void show(std::string_view line) override { add(Terminal::Event::Show, line); }
    void hide() override { add(Terminal::Event::Hide, ""); }
    void finish() override { add(Terminal::Event::Finish, ""); }

private:
    void add(Terminal::Event::Kind kind, std::string_view text) {
        terminal_.events.push_back({kind, std::string(text), terminal_.now});
    }
    Terminal& terminal_;
};

std::FILE* logOnto(Terminal& terminal) {
    cookie_io_functions_t functions{};
    functions.write = [](void* cookie, const char* data, std::size_t size) -> ssize_t {
        auto* target = static_cast<Terminal*>(cookie);
        target->events.push_back({Terminal::Event::Log, std::string(data, size), target->now});
        return static_cast<ssize_t>(size);
    };
    return fopencookie(&terminal, "w", functions);
}

class Progress : public testing::Test {
protected:
    // Each block takes 50 microseconds of the clock: 20,000 blocks are a second.
    void run(bool logOnTerminal = true) {
        std::FILE* log = logOnto(terminal);
        ASSERT_NE(log, nullptr);
        TextWindow window({.drive = 'E',
                           .log = log,
                           .progress = &display,
                           .logOnProgressTerminal = logOnTerminal,
                           .freeSpace = [this] { return device.DiskFree(5); },
                           .clock = [this] { return terminal.now += 50us; }});
        TestRunner runner(window, device, [] { return std::string("3:04:05 PM"); });
        runner.settings().verifyFromMedium = false;
        runner.TestButtonClick();
        window.endProgress();
        std::fclose(log);
    }

    std::vector<Terminal::Event> redraws() const {
        // A redraw is a show that does not just put the line back after a log line.
        std::vector<Terminal::Event> result;
        const auto& events = terminal.events;
        for (std::size_t i = 0; i < events.size(); ++i) {
            const bool putBack = i > 1 && events[i - 1].kind == Terminal::Event::Log &&
                                 events[i - 2].kind == Terminal::Event::Hide;
            if (events[i].kind == Terminal::Event::Show && !putBack) {
                result.push_back(events[i]);
            }
        }
        return result;
    }

    Terminal terminal;
    RecordingProgress display{terminal};
    FakeDevice device{40000 * 512};
};

TEST_F(Progress, IsRedrawnAFewTimesASecondNotPerBlock) {
    run();
    const std::vector<Terminal::Event> shown = redraws();
    ASSERT_GE(shown.size(), 2U);
    for (std::size_t i = 1; i + 1 < shown.size(); ++i) {
        EXPECT_GE(shown[i].time - shown[i - 1].time, 200ms) << "redraw " << i;
    }
    // Two seconds of testing: about ten redraws, not tens of thousands.
    EXPECT_GE(shown.size(), 9U);
    EXPECT_LE(shown.size(), 12U);
}

TEST_F(Progress, ShowsTheStatusAndTheFiguresAndEndsOnItsOwnLine) {
    run();
    const std::vector<Terminal::Event> shown = redraws();
    ASSERT_GE(shown.size(), 3U);
    EXPECT_EQ(shown.front().text.rfind("Testing block 0 | 0 B | -- MB/s | 0 bytes tested | ", 0),
              0U)
        << shown.front().text;
    // The speed of 512 bytes per 50 microseconds, and the free space left at that moment.
    const std::string& middle = shown[shown.size() / 2].text;
    EXPECT_NE(middle.find(" | 9.8 MB/s | "), std::string::npos) << middle;
    EXPECT_NE(middle.find(" bytes free"), std::string::npos) << middle;
    EXPECT_EQ(shown.back().text,
              "Testing block 40,000 | 19 MB | 9.8 MB/s | 20,480,000 bytes tested | 0 bytes free");
    EXPECT_EQ(terminal.events.back().kind, Terminal::Event::Finish);
}

TEST_F(Progress, LogLinesNeverShareTheTerminalLineWithIt) {
    device.faults.push_back({FakeDevice::Op::Read, 30000, 1117, 0});
    run();
    bool onScreen = false;
    int logLines = 0;
    for (const Terminal::Event& event : terminal.events) {
        switch (event.kind) {
        case Terminal::Event::Show:
            onScreen = true;
            break;
        case Terminal::Event::Hide:
        case Terminal::Event::Finish:
            onScreen = false;
            break;
        case Terminal::Event::Log:
            EXPECT_FALSE(onScreen) << "log line written over the progress line: " << event.text;
            ++logLines;
            break;
        }
    }
    EXPECT_EQ(logLines, 8); // Testing, two error lines, bytes tested, four closing lines
}

TEST_F(Progress, LogLinesElsewhereLeaveItAlone) {
    device.faults.push_back({FakeDevice::Op::Read, 30000, 1117, 0});
    run(false);
    EXPECT_EQ(std::count_if(
                  terminal.events.begin(), terminal.events.end(),
                  [](const Terminal::Event& event) { return event.kind == Terminal::Event::Hide; }),
              0);
    EXPECT_LE(redraws().size(), 12U);
}

} // namespace
