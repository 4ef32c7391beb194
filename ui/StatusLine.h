#pragma once

#include <QLabel>

#include <string>
#include <string_view>

// A status label that a run rewrites once per block. Repainting a label costs far more than a
// block's I/O, so set() only keeps the text; flush() shows the latest one, at screen rate.
class StatusLine {
public:
    void attach(QLabel* label) { label_ = label; }
    // Keeps text to show at the next flush; allocates nothing once the text has grown to fit.
    void set(std::string_view text) {
        text_.assign(text);
        dirty_ = true;
    }
    // Shows text at once.
    void show(std::string_view text) {
        set(text);
        flush();
    }
    void flush();

private:
    QLabel* label_ = nullptr;
    std::string text_;
    bool dirty_ = false;
};
