#pragma once

#include "ChildProcess.h"
#include "DriveTable.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The medium under a test volume: an nbdkit server, and how the volume is made on it.
struct DeviceSetup {
    // nbdkit's filters, plugin and parameters, e.g. {"--filter=error", "memory", "size=16M"}.
    std::vector<std::string> server;
    // NAME=value entries for the plugin's scripts.
    std::vector<std::string> environment;
    // Extra options for mkfs.ext4.
    std::vector<std::string> formatOptions;
    // mount(2) flags, e.g. MS_SYNCHRONOUS for a drive mounted to write through.
    unsigned long mountFlags = 0;
};

// An ext4 volume on a device that nbdkit serves, made a file by nbdfuse and a block device by a
// loop device with direct I/O, so that what the volume reads comes from the server. Destruction
// cuts the device off first, so that it never waits on a slow or dead device, then unmounts,
// detaches and removes everything it made, also after a failed test. A volume whose test
// process was killed is removed by the next volume made.
class FaultyVolume {
public:
    using SetupFor = std::function<DeviceSetup(const std::string& scratchFolder)>;

    // Empty when this machine can build the volume; otherwise what it lacks.
    static std::string unavailableReason();

    // Builds the volume. setup is given the volume's scratch folder, where the device's files
    // (trigger files, images) go. Throws std::runtime_error naming the step that failed.
    explicit FaultyVolume(const SetupFor& setup);
    ~FaultyVolume();
    FaultyVolume(const FaultyVolume&) = delete;
    FaultyVolume& operator=(const FaultyVolume&) = delete;

    const std::string& scratchFolder() const { return scratch_; }
    const std::string& mountPath() const { return mountPath_; }
    // The volume as the drive table lists it, as drive E.
    DriveTable table() const;

    // Creates a file in the scratch folder, e.g. the trigger an error filter waits for.
    void createScratchFile(const std::string& name) const;
    // The device stops answering: its FUSE daemon is killed, so every later request fails at
    // once. Safe from any thread.
    void pullOut();
    // Detaches the volume from its path as a desktop does when a stick is pulled out; open files
    // stay on the volume and the path leads to the folder underneath again.
    bool detach();
    // What nbdkit and nbdfuse wrote, for failure messages.
    std::string deviceLog() const;

private:
    void setUp(const DeviceSetup& setup);
    void startServer(const DeviceSetup& setup);
    void startFuse();
    void attachLoop();
    void format(const DeviceSetup& setup);
    void mountVolume(const DeviceSetup& setup);
    void tearDown();
    static void removeAbandoned();

    std::string scratch_;
    std::string socket_;
    std::string fuseFolder_;
    std::string deviceFile_;
    std::string mountPath_;
    std::string loopDevice_;
    std::uint64_t deviceId_ = 0;
    bool mounted_ = false;
    std::unique_ptr<ChildProcess> server_;
    std::unique_ptr<ChildProcess> fuse_;
};
