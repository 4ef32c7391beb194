#include "RecordingWindow.h"

void RecordingWindow::processEvents() {
    ++eventPasses;
    if (onProcessEvents) {
        onProcessEvents();
    }
}
