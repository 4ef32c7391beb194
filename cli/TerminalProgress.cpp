#include "TerminalProgress.h"

#include <cerrno>
#include <string>

#include <sys/ioctl.h>
#include <unistd.h>

namespace {

constexpr std::string_view ToLineStart = "\r";
constexpr std::string_view ClearToEnd = "\x1b[K";

// Columns of the terminal, 0 when it does not say. Asked at every redraw, since the user may
// resize the terminal during a run.
std::size_t terminalColumns(int fd) {
    winsize size{};
    if (ioctl(fd, TIOCGWINSZ, &size) != 0) {
        return 0;
    }
    return size.ws_col;
}

} // namespace

std::unique_ptr<ProgressDisplay> TerminalProgress::onStandardErrorIfTerminal() {
    if (isatty(STDERR_FILENO) != 1) {
        return nullptr;
    }
    return std::make_unique<TerminalProgress>(STDERR_FILENO);
}

bool TerminalProgress::standardOutputIsTerminal() {
    return isatty(STDOUT_FILENO) == 1;
}

void TerminalProgress::show(std::string_view line) {
    // One column stays free so that the cursor never wraps to the next line.
    const std::size_t columns = terminalColumns(fd_);
    if (columns > 1 && line.size() > columns - 1) {
        line = line.substr(0, columns - 1);
    }
    std::string text(ToLineStart);
    text += line;
    text += ClearToEnd;
    writeAll(text);
    shown_ = true;
}

void TerminalProgress::hide() {
    if (shown_) {
        writeAll(std::string(ToLineStart) + std::string(ClearToEnd));
        shown_ = false;
    }
}

void TerminalProgress::finish() {
    if (shown_) {
        writeAll("\n");
        shown_ = false;
    }
}

void TerminalProgress::writeAll(std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = write(fd_, text.data(), text.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return; // the progress line is a courtesy; a terminal that fails loses nothing
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}
