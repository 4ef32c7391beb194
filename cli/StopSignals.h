#pragma once

// From this call on, SIGINT and SIGTERM no longer end the process: they are recorded, and the
// run stops at its next look at them. Repeating a signal changes nothing.
void installStopSignals();

// The first stop signal received, 0 while none has come.
int receivedStopSignal();
