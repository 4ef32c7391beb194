#pragma once

#include "FaultyVolume.h"
#include "IntToStrWithCommas.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <exception>
#include <memory>
#include <string>

// A test on faulty volumes: skipped, saying why, where this machine cannot build them.
class DeviceTest : public testing::Test {
protected:
    void SetUp() override {
        const std::string reason = FaultyVolume::unavailableReason();
        if (!reason.empty()) {
            GTEST_SKIP() << reason;
        }
    }
};

// The volume, or nullptr with the failure recorded.
inline std::unique_ptr<FaultyVolume> makeVolume(const FaultyVolume::SetupFor& setup) {
    try {
        return std::make_unique<FaultyVolume>(setup);
    } catch (const std::exception& error) {
        ADD_FAILURE() << "cannot build the volume: " << error.what();
        return nullptr;
    }
}

// What the status shows while the cycle is at block, e.g. "Testing block 2,000".
inline std::string testingStatus(std::int64_t block) {
    return "Testing block " + IntToStrWithCommas(block);
}
