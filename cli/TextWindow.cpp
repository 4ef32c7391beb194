#include "TextWindow.h"

#include "ProgressLine.h"

#include <utility>

namespace {

// Redrawing once per block would cost more than the block's own I/O.
constexpr auto RedrawInterval = std::chrono::milliseconds(200);

bool isErrorLine(std::string_view line) {
    return line.starts_with("Error in block ") || line.starts_with("IO Error at Block ");
}

} // namespace

TextWindow::TextWindow(TextWindowSetup setup) : setup_(std::move(setup)) {}

void TextWindow::addLogLine(std::string_view line) {
    if (isErrorLine(line)) {
        ++errorLines_;
    }
    tracker_.logLine(line);
    // On a shared terminal the log line takes the progress line's place; the progress line comes
    // back below it at its next redraw, so a run of error lines does not redraw it per line.
    if (progressDrawn_ && setup_.logOnProgressTerminal) {
        setup_.progress->hide();
        progressDrawn_ = false;
    }
    writeLogLine(line);
}

void TextWindow::writeLogLine(std::string_view line) {
    logBuffer_.assign(line);
    logBuffer_ += '\n';
    const std::size_t written = std::fwrite(logBuffer_.data(), 1, logBuffer_.size(), setup_.log);
    if (written != logBuffer_.size() || std::fflush(setup_.log) != 0) {
        logLost_ = true;
    }
}

void TextWindow::processEvents() {
    // A run whose log cannot be written would fill the drive with nothing to show for it.
    if (setup_.pendingSignal() != 0 || logLost_) {
        stopFlag_ = true;
    }
    if (setup_.progress == nullptr) {
        return;
    }
    const auto now = setup_.clock();
    if (now - lastDraw_ < RedrawInterval) {
        return;
    }
    redrawProgress(now);
}

// The run's last figures stay on the terminal, below its log, once it has shown any.
void TextWindow::endProgress() {
    if (setup_.progress == nullptr || lastDraw_ == ProgressTracker::Clock::time_point{}) {
        return;
    }
    redrawProgress(setup_.clock());
    setup_.progress->finish();
    progressDrawn_ = false;
}

void TextWindow::redrawProgress(ProgressTracker::Clock::time_point now) {
    lastDraw_ = now;
    tracker_.sample(status1_, now);
    progressText_ = progressLine({status1_, status2_, tracker_.bytesPerSecond(),
                                  tracker_.bytesTested(), setup_.freeSpace()});
    setup_.progress->show(progressText_);
    progressDrawn_ = true;
}
