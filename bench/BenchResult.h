#pragma once

#include <chrono>
#include <cstdint>

// One timed run: its seconds and the bytes it tested.
struct BenchResult {
    double seconds = 0;
    std::int64_t bytes = 0;
    double mbPerSecond() const { return static_cast<double>(bytes) / 1e6 / seconds; }
};

double secondsSince(std::chrono::steady_clock::time_point start);

// Keeps the faster of the two in fastest; an empty fastest takes result.
void keepFastest(BenchResult& fastest, const BenchResult& result);

// One line: name, seconds, bytes and MB/s.
void printResult(const char* name, const BenchResult& result);
