#include "BenchResult.h"

#include <cstdio>

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void keepFastest(BenchResult& fastest, const BenchResult& result) {
    if (fastest.seconds == 0 || result.seconds < fastest.seconds) {
        fastest = result;
    }
}

void printResult(const char* name, const BenchResult& result) {
    std::printf("%-34s %8.3f s %12lld bytes %8.1f MB/s\n", name, result.seconds,
                static_cast<long long>(result.bytes), result.mbPerSecond());
}
