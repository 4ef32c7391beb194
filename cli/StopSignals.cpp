#include "StopSignals.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t firstSignal = 0;

extern "C" void recordStopSignal(int signal) {
    if (firstSignal == 0) {
        firstSignal = signal;
    }
}

void handle(int signal) {
    struct sigaction action {};
    action.sa_handler = recordStopSignal;
    // Both signals are held off while one is recorded, so the first one is kept. SA_RESTART
    // keeps a signal from failing the file operation it arrives in.
    sigemptyset(&action.sa_mask);
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
}

} // namespace

void installStopSignals() {
    handle(SIGINT);
    handle(SIGTERM);
    // A reader that goes away (orvalin-cli E: | head) must not kill the run mid-block: the write
    // fails instead, and the run stops with its files closed.
    std::signal(SIGPIPE, SIG_IGN);
}

int receivedStopSignal() {
    return firstSignal;
}
