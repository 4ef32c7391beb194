#include "DeviceTest.h"
#include "Devices.h"
#include "VolumeRun.h"

#include <gmock/gmock.h>

#include <ostream>
#include <sys/mount.h>

namespace {

using namespace std::chrono_literals;

constexpr std::int64_t VolumeBytes = 16 * 1024 * 1024;

struct SlowCase {
    const char* name;
    // The delay filter's setting: each such request to the device takes that long.
    const char* delay;
    unsigned long mountFlags;
    // Abort is clicked when the status first shows this.
    const char* abortAtStatus;
};

void PrintTo(const SlowCase& c, std::ostream* out) {
    *out << c.name;
}

class SlowDeviceTest : public DeviceTest, public testing::WithParamInterface<SlowCase> {};

TEST_P(SlowDeviceTest, AbortTakesEffectWithinASecond) {
    const SlowCase& c = GetParam();
    const auto volume = makeVolume([&c](const std::string&) {
        DeviceSetup setup = ramDisk(VolumeBytes, {c.delay});
        setup.mountFlags = c.mountFlags;
        return setup;
    });
    ASSERT_TRUE(volume);
    VolumeRun run(*volume);
    std::chrono::steady_clock::time_point clicked{};
    run.window.onProcessEvents = [&] {
        if (!run.window.stop && run.window.status1 == c.abortAtStatus) {
            run.window.stop = true;
            clicked = std::chrono::steady_clock::now();
        }
    };

    run.run();

    ASSERT_NE(clicked, std::chrono::steady_clock::time_point{}) << "Abort was never clicked";
    EXPECT_LT(run.returned - clicked, 1s);
    ASSERT_GE(run.window.log.size(), 4U);
    EXPECT_EQ(run.window.log[run.window.log.size() - 3], "Finished Testing");
    EXPECT_EQ(run.window.log[run.window.log.size() - 2], "0 errors");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SlowDeviceTest,
    testing::Values(
        // Written through, every write waits for the device.
        SlowCase{"WhileWriting", "delay-write=100ms", MS_SYNCHRONOUS, "Testing block 3"},
        SlowCase{"WhileVerifying", "delay-read=100ms", 0, "Verifying block 128"}),
    [](const testing::TestParamInfo<SlowCase>& param) { return std::string(param.param.name); });

} // namespace
