#pragma once

#include "DriveTable.h"

#include <cstdint>
#include <string>

// An ext4 volume on a loop device with direct I/O whose reads and writes the kernel throttles
// to a USB stick's speed (cgroup v1 blkio rules on the loop device, which also hold for the
// kernel's own writeback). Needs root; the constructor throws std::runtime_error saying what is
// missing. The destructor lifts the throttle and removes everything.
class ThrottledVolume {
public:
    ThrottledVolume(std::int64_t bytes, std::int64_t writeBytesPerSecond,
                    std::int64_t readBytesPerSecond);
    ~ThrottledVolume();
    ThrottledVolume(const ThrottledVolume&) = delete;
    ThrottledVolume& operator=(const ThrottledVolume&) = delete;

    // Makes a fresh file system and mounts it; unmounts the previous one first.
    void formatAndMount();
    void unmount();

    const std::string& mountPath() const { return mountPath_; }
    const std::string& loopDevice() const { return loopDevice_; }
    const std::string& majorMinor() const { return majorMinor_; }
    // The mounted volume as the drive table lists it, as drive E.
    DriveTable table() const;
    // Bytes per second of direct writes and reads of the raw device, as the throttle lets them
    // through; overwrites the device's start, so it comes before formatAndMount.
    double measureRawWrite(std::int64_t bytes) const;
    double measureRawRead(std::int64_t bytes) const;

    struct Traffic {
        std::int64_t bytesRead = 0;
        std::int64_t bytesWritten = 0;
    };
    // What the loop device has moved since it was attached (its /sys/block statistics).
    Traffic traffic() const;

private:
    void throttle(const char* rule, std::int64_t bytesPerSecond) const;
    void tearDown();

    std::string folder_;
    std::string image_;
    std::string loopDevice_;
    std::string majorMinor_;
    std::string mountPath_;
    bool mounted_ = false;
    bool throttled_ = false;
};
