#pragma once

#include "FakeDevice.h"

#include <cstdint>
#include <functional>

// A fake volume whose test files call onWrite before every write, so that a test can act at a
// chosen block of a run, as a user's click or a slow medium would.
class HookedDevice : public FakeDevice {
public:
    using FakeDevice::FakeDevice;
    CreateResult create(char driveLetter, const std::string& path) override;

    std::function<void(std::int64_t block)> onWrite;
};
