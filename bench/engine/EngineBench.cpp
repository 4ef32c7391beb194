// The test run against a plain loop of the same system calls per block (pwrite, pread, pwrite,
// pread), both on one tmpfs volume in the same invocation. Prints MB/s of each and their ratio.
#include "BenchResult.h"
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

BenchResult plainLoop(const BenchVolume& volume) {
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

BenchResult engineRun(const BenchVolume& volume, bool verify) {
    SilentWindow window;
    PosixFileService files(volume.table());
    TestRunner runner(window, files, [] { return std::string("bench"); });
    runner.settings().verifyFromMedium = verify;
    const auto start = std::chrono::steady_clock::now();
    runner.TestButtonClick();
    const double seconds = secondsSince(start);
    return {seconds, volume.fileBytes("bench.XXX")};
}

} // namespace

// An optional argument sets the volume's size in MiB (512 by default), e.g. for callgrind.
int main(int argc, char** argv) try {
    const std::int64_t mebibytes = argc > 1 ? std::stoll(argv[1]) : DefaultMebibytes;
    const BenchVolume volume(mebibytes * 1024 * 1024);
    std::printf("volume: %lld MiB tmpfs on %s, best of %d rounds\n",
                static_cast<long long>(mebibytes), volume.path().c_str(), Rounds);
    // Rounds interleave the three so that a change in the machine's load hits them alike.
    BenchResult plain;
    BenchResult run;
    BenchResult verified;
    for (int round = 0; round < Rounds; ++round) {
        volume.empty();
        keepFastest(plain, plainLoop(volume));
        volume.empty();
        keepFastest(run, engineRun(volume, false));
        volume.empty();
        keepFastest(verified, engineRun(volume, true));
    }
    volume.empty();
    printResult("plain pwrite/pread loop", plain);
    printResult("test run, no verification", run);
    printResult("test run, verified from medium", verified);
    std::printf("ratio run / plain loop: %.3f\n", run.mbPerSecond() / plain.mbPerSecond());
    std::printf("ratio verified run / plain loop: %.3f\n",
                verified.mbPerSecond() / plain.mbPerSecond());
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "engine_bench: %s\n", error.what());
    return 1;
}
