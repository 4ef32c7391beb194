#include "StatusLine.h"

#include "AutoSizeLabel.h"

void StatusLine::flush() {
    if (dirty_) {
        dirty_ = false;
        setAutoSizedText(label_, QString::fromStdString(text_));
    }
}
