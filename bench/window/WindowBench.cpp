// A test run through the real window (offscreen) against the same run with a window that does
// nothing, on one tmpfs volume in the same invocation. Prints MB/s of each and their ratio.
#include "BenchResult.h"
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

std::string timeText() {
    return "bench";
}

BenchResult timed(const BenchVolume& volume, const std::function<void()>& run) {
    volume.empty();
    const auto start = std::chrono::steady_clock::now();
    run();
    return {secondsSince(start), volume.fileBytes("bench.XXX")};
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

    BenchResult engineBest;
    BenchResult windowBest;
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
    printResult("engine, silent window", engineBest);
    printResult("engine through the window", windowBest);
    std::printf("window log ends: %s\n", qPrintable(form.Memo1->toPlainText().section('\n', -1)));
    std::printf("ratio window / engine: %.3f\n",
                windowBest.mbPerSecond() / engineBest.mbPerSecond());
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "window_bench: %s\n", error.what());
    return 1;
}
