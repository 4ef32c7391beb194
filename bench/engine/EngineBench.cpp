// The test run against a plain loop of the same system calls per block (pwrite, pread, pwrite,
// pread), both on one tmpfs volume in the same invocation. Prints MB/s of each and their ratio.
#include "BenchVolume.h"
#include "PosixFileService.h"
#include "SilentWindow.h"
#include "TestRunner.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>

namespace {

constexpr std::int64_t DefaultMebibytes = 512;
constexpr int Rounds = 3;

struct Result {
    double seconds = 0;
    std::int64_t bytes = 0;
    double mbPerSecond() const { return static_cast<double>(bytes) / 1e6 / seconds; }
};

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

Result plainLoop(const BenchVolume& volume) {
    const std::string path = volume.path() + "/plain.XXX";
    const int fd = open(path.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0644);
    std::array<std::uint8_t, 512> zeros{};
    std::array<std::uint8_t, 512> ones{};
    std::array<std::uint8_t, 512> buffer{};
    ones.fill(0xFF);
    const auto start = std::chrono::steady_clock::now();
    off_t offset = 0;
    while (pwrite(fd, zeros.data(), 512, offset) == 512) {
        (void)pread(fd, buffer.data(), 512, offset);
        (void)pwrite(fd, ones.data(), 512, offset);
        (void)pread(fd, buffer.data(), 512, offset);
        offset += 512;
    }
    const double seconds = secondsSince(start);
    close(fd);
    return {seconds, static_cast<std::int64_t>(offset)};
}

Result engineRun(const BenchVolume& volume, bool verify) {
    SilentWindow window;
    PosixFileService files(volume.table());
    TestRunner runner(window, files, [] { return std::string("bench"); });
    runner.settings().verifyFromMedium = verify;
    const auto start = std::chrono::steady_clock::now();
    runner.TestButtonClick();
    const double seconds = secondsSince(start);
    struct stat info {};
    stat((volume.path() + "/bench.XXX").c_str(), &info);
    return {seconds, static_cast<std::int64_t>(info.st_size)};
}

void keepFastest(Result& fastest, const Result& result) {
    if (fastest.seconds == 0 || result.seconds < fastest.seconds) {
        fastest = result;
    }
}

void print(const char* name, const Result& result) {
    std::printf("%-34s %8.3f s %12lld bytes %8.1f MB/s\n", name, result.seconds,
                static_cast<long long>(result.bytes), result.mbPerSecond());
}

} // namespace

// An optional argument sets the volume's size in MiB (512 by default), e.g. for callgrind.
int main(int argc, char** argv) try {
    const std::int64_t mebibytes = argc > 1 ? std::stoll(argv[1]) : DefaultMebibytes;
    const BenchVolume volume(mebibytes * 1024 * 1024);
    std::printf("volume: %lld MiB tmpfs on %s, best of %d rounds\n",
                static_cast<long long>(mebibytes), volume.path().c_str(), Rounds);
    // Rounds interleave the three so that a change in the machine's load hits them alike.
    Result plain;
    Result run;
    Result verified;
    for (int round = 0; round < Rounds; ++round) {
        volume.empty();
        keepFastest(plain, plainLoop(volume));
        volume.empty();
        keepFastest(run, engineRun(volume, false));
        volume.empty();
        keepFastest(verified, engineRun(volume, true));
    }
    volume.empty();
    print("plain pwrite/pread loop", plain);
    print("test run, no verification", run);
    print("test run, verified from medium", verified);
    std::printf("ratio run / plain loop: %.3f\n", run.mbPerSecond() / plain.mbPerSecond());
    std::printf("ratio verified run / plain loop: %.3f\n",
                verified.mbPerSecond() / plain.mbPerSecond());
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "engine_bench: %s\n", error.what());
    return 1;
}
