#pragma once

// The result code for a POSIX errno value. Numbers without a code of their own pass through,
// but never as a code the run gives a meaning to (short read, short write, full disk).
int resultCodeFromErrno(int error);
