// A test run through the real window (offscreen) against the same run with a window that does
// nothing, on one tmpfs volume in the same invocation. Prints MB/s of each and their ratio.
#include "BenchVolume.h"
#include "DriveCombo.h"
#include "HandlerExceptions.h"
#include "OrvalinApplication.h"
#include "PosixFileService.h"
#include "SilentWindow.h"
#include "TForm1.h"
#include "TestRunner.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <functional>
#include <string>

namespace {

constexpr std::int64_t DefaultMebibytes = 512;
constexpr int Rounds = 4;

struct Result {
    double seconds = 0;
    std::int64_t bytes = 0;
    double mbPerSecond() const { return static_cast<double>(bytes) / 1e6 / seconds; }
};

std::string timeText() {
    return "bench";
}

std::int64_t testFileBytes(const BenchVolume& volume) {
    struct stat info {};
    stat((volume.path() + "/bench.XXX").c_str(), &info);
    return static_cast<std::int64_t>(info.st_size);
}

Result timed(const BenchVolume& volume, const std::function<void()>& run) {
    volume.empty();
    const auto start = std::chrono::steady_clock::now();
    run();
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    return {seconds.count(), testFileBytes(volume)};
}

void keepFastest(Result& fastest, const Result& result) {
    if (fastest.seconds == 0 || result.seconds < fastest.seconds) {
        fastest = result;
    }
}

void print(const char* name, const Result& result) {
    std::printf("%-30s %8.3f s %12lld bytes %8.1f MB/s\n", name, result.seconds,
                static_cast<long long>(result.bytes), result.mbPerSecond());
}

} // namespace

// An optional argument sets the volume's size in MiB (512 by default).
int main(int argc, char** argv) try {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    OrvalinApplication application(argc, argv);
    const std::int64_t mebibytes = argc > 1 ? std::stoll(argv[1]) : DefaultMebibytes;
    const BenchVolume volume(mebibytes * 1024 * 1024);
    std::printf("volume: %lld MiB tmpfs on %s, platform %s, best of %d rounds\n",
                static_cast<long long>(mebibytes), volume.path().c_str(),
                qPrintable(QGuiApplication::platformName()), Rounds);

    PosixFileService files(volume.table());
    TForm1 form(volume.table(), files, timeText);
    form.show();
    form.DriveCB->pick(0);

    SilentWindow silent;
    TestRunner engine(silent, files, timeText);

    Result engineBest;
    Result windowBest;
    // Rounds interleave the two, taking turns to go first, so that a change in the machine's
    // load or the volume's state hits them alike.
    for (int round = 0; round < Rounds; ++round) {
        const auto engineRun = [&] {
            keepFastest(engineBest, timed(volume, [&] { engine.TestButtonClick(); }));
        };
        const auto windowRun = [&] {
            keepFastest(windowBest, timed(volume, [&] { form.TestButton->click(); }));
        };
        if (round % 2 == 0) {
            engineRun();
            windowRun();
        } else {
            windowRun();
            engineRun();
        }
        if (std::exception_ptr failed = takeHandlerException()) {
            std::rethrow_exception(failed);
        }
    }
    volume.empty();
    print("engine, silent window", engineBest);
    print("engine through the window", windowBest);
    std::printf("window log ends: %s\n", qPrintable(form.Memo1->toPlainText().section('\n', -1)));
    std::printf("ratio window / engine: %.3f\n",
                windowBest.mbPerSecond() / engineBest.mbPerSecond());
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "window_bench: %s\n", error.what());
    return 1;
}
