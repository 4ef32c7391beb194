#pragma once

#include <exception>
#include <utility>

// Qt Gui and Widgets are built without exception support, so an exception must never unwind
// through their frames: it would skip their cleanup. A handler run from a Qt signal or event
// therefore goes through runHandler, which keeps the exception; the application's notify()
// takes it once the event that ran the handler has been delivered, and shows the error box.

// Keeps error for the application; the first one kept wins until it is taken.
void keepHandlerException(std::exception_ptr error);

// The exception kept since the last call, or null.
std::exception_ptr takeHandlerException();

template <typename Handler> void runHandler(Handler&& handler) noexcept {
    try {
        std::forward<Handler>(handler)();
    } catch (...) {
        keepHandlerException(std::current_exception());
    }
}
