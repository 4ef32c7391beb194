// The test run with its verification against f3write followed by f3read, each on a fresh ext4
// volume of a loop device throttled to a USB stick's speed, in one invocation. Prints the time
// and MB/s of each, their ratio, and the run's time without the verification.
#include "BenchResult.h"
#include "PosixFileService.h"
#include "Program.h"
#include "SilentWindow.h"
#include "TestRunner.h"
#include "ThrottledVolume.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

namespace {

using namespace std::chrono_literals;

constexpr std::int64_t MiB = 1024 * 1024;
constexpr std::int64_t VolumeBytes = 256 * MiB;
constexpr std::int64_t WriteBytesPerSecond = 20 * MiB;
constexpr std::int64_t ReadBytesPerSecond = 40 * MiB;
constexpr std::int64_t ProbeBytes = 32 * MiB;
// f3 on 256 MiB at these speeds takes about twenty seconds; this only bounds a hang.
constexpr auto PeerTimeout = 600s;

struct Timing {
    double seconds = 0;
    std::int64_t bytes = 0;
    // What reached the device during the run, and what was read from it.
    ThrottledVolume::Traffic traffic;
    // Of seconds, the time from the first "Verifying" status on; 0 without verification.
    double verifySeconds = 0;
    double mbPerSecond() const { return static_cast<double>(bytes) / 1e6 / seconds; }
};

// Notes when the run starts verifying, to split its time into the cycle and the verification.
class PhaseWindow : public SilentWindow {
public:
    void setStatus1(std::string_view text) override {
        if (!verifying_ && text.starts_with("Verifying")) {
            verifying_ = true;
            verifyStart = std::chrono::steady_clock::now();
        }
    }
    std::chrono::steady_clock::time_point verifyStart{};

private:
    bool verifying_ = false;
};

ThrottledVolume::Traffic operator-(const ThrottledVolume::Traffic& after,
                                   const ThrottledVolume::Traffic& before) {
    return {after.bytesRead - before.bytesRead, after.bytesWritten - before.bytesWritten};
}

std::int64_t bytesOfFilesEndingIn(const std::string& folder, const std::string& extension) {
    std::int64_t bytes = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.is_regular_file() && entry.path().extension() == extension) {
            bytes += static_cast<std::int64_t>(entry.file_size());
        }
    }
    return bytes;
}

Timing engineRun(ThrottledVolume& volume, bool verify) {
    volume.formatAndMount();
    PhaseWindow window;
    PosixFileService files(volume.table());
    TestRunner runner(window, files, [] { return std::string("1:08:05 PM"); });
    runner.settings().verifyFromMedium = verify;
    const ThrottledVolume::Traffic before = volume.traffic();
    const auto start = std::chrono::steady_clock::now();
    runner.TestButtonClick();
    Timing timing{secondsSince(start), bytesOfFilesEndingIn(volume.mountPath(), ".XXX"),
                  volume.traffic() - before};
    if (window.verifyStart != std::chrono::steady_clock::time_point{}) {
        timing.verifySeconds = secondsSince(window.verifyStart);
    }
    volume.unmount();
    return timing;
}

double timeProgram(const std::vector<std::string>& argv) {
    const auto start = std::chrono::steady_clock::now();
    runOrThrow(argv, PeerTimeout);
    return secondsSince(start);
}

struct PeerTiming {
    Timing total;
    double writeSeconds = 0;
    double readSeconds = 0;
};

PeerTiming f3Run(ThrottledVolume& volume) {
    volume.formatAndMount();
    PeerTiming timing;
    const ThrottledVolume::Traffic before = volume.traffic();
    timing.writeSeconds = timeProgram({"f3write", volume.mountPath()});
    timing.readSeconds = timeProgram({"f3read", volume.mountPath()});
    timing.total = {timing.writeSeconds + timing.readSeconds,
                    bytesOfFilesEndingIn(volume.mountPath(), ".h2w"), volume.traffic() - before};
    volume.unmount();
    return timing;
}

void printTiming(const char* name, const Timing& timing) {
    std::printf("%-34s %6.2f s  %10lld bytes  %6.2f MB/s  device: %.1f MB written, %.1f MB "
                "read\n",
                name, timing.seconds, static_cast<long long>(timing.bytes), timing.mbPerSecond(),
                static_cast<double>(timing.traffic.bytesWritten) / 1e6,
                static_cast<double>(timing.traffic.bytesRead) / 1e6);
}

int bench() {
    for (const char* tool : {"f3write", "f3read", "losetup", "mkfs.ext4"}) {
        if (!programExists(tool)) {
            std::fprintf(stderr, "%s is not installed (Debian packages f3, mount, e2fsprogs)\n",
                         tool);
            return 1;
        }
    }
    ThrottledVolume volume(VolumeBytes, WriteBytesPerSecond, ReadBytesPerSecond);
    std::printf("Volume: %lld MiB ext4 on %s (%s), loop direct I/O, cgroup v1 blkio throttle: "
                "write %lld MiB/s, read %lld MiB/s\n",
                static_cast<long long>(VolumeBytes / MiB), volume.loopDevice().c_str(),
                volume.majorMinor().c_str(), static_cast<long long>(WriteBytesPerSecond / MiB),
                static_cast<long long>(ReadBytesPerSecond / MiB));
    std::printf("Raw device, direct I/O of %lld MiB: write %.2f MB/s, read %.2f MB/s\n\n",
                static_cast<long long>(ProbeBytes / MiB), volume.measureRawWrite(ProbeBytes) / 1e6,
                volume.measureRawRead(ProbeBytes) / 1e6);

    const Timing verified = engineRun(volume, true);
    printTiming("Orvalin, verified from the medium", verified);
    std::printf("  (cycle and flush %.2f s + reading back %.2f s)\n",
                verified.seconds - verified.verifySeconds, verified.verifySeconds);
    const PeerTiming peer = f3Run(volume);
    printTiming("f3write + f3read", peer.total);
    std::printf("  (f3write %.2f s + f3read %.2f s)\n", peer.writeSeconds, peer.readSeconds);
    std::printf("Ratio of wall times, Orvalin / f3: %.3f (target: at most 1.10)\n\n",
                verified.seconds / peer.total.seconds);
    const Timing unverified = engineRun(volume, false);
    printTiming("Orvalin without verification", unverified);
    std::printf("  (it returns with its writes still in the cache; the unmount flushes them)\n");
    return 0;
}

} // namespace

int main() {
    try {
        return bench();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "peer bench: %s\n", error.what());
        return 1;
    }
}
