#pragma once

// The result code for a POSIX errno value.
int resultCodeFromErrno(int error);
