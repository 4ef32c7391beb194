#pragma once

#include <cstdint>
#include <memory>
#include <string>

// A small file system mounted for a test in a fresh folder under /tmp whose path holds a space.
// Whatever the test did to it, destruction unmounts it, ends its FUSE daemon, detaches its loop
// device and removes the folder and image. Mounting needs root.
class ScratchVolume {
public:
    enum class Kind { Tmpfs, Ext4, Exfat };

    struct Options {
        Kind kind = Kind::Tmpfs;
        std::int64_t sizeBytes = 8 * 1024 * 1024;
        bool readOnly = false;
        // A file or device to format and mount instead of a fresh image of sizeBytes, e.g. a
        // faulty device exposed as a file. It is formatted, attached and detached, not removed.
        std::string backingFile;
    };

    // The mounted volume, or nullptr with whyNot saying what this machine lacks.
    static std::unique_ptr<ScratchVolume> mount(const Options& options, std::string& whyNot);
    ~ScratchVolume();
    ScratchVolume(const ScratchVolume&) = delete;
    ScratchVolume& operator=(const ScratchVolume&) = delete;

    static const char* kindName(Kind kind);

    Kind kind() const { return options_.kind; }
    const std::string& mountPath() const { return mountPath_; }
    // The loop device under the file system; empty for tmpfs.
    const std::string& device() const { return device_; }
    // The exFAT daemon's process id; -1 for the kernel's file systems.
    int fuseDaemonPid() const { return fusePid_; }

    // Makes the mounted volume read-only; false when the system refuses.
    bool remountReadOnly();
    // Detaches the volume from its mount path as "umount -l" does: open files go on working on
    // it, and the path leads to the folder underneath again.
    bool detachLazily();

private:
    explicit ScratchVolume(const Options& options) : options_(options) {}
    bool setUp(std::string& whyNot);
    bool prepareImage(std::string& whyNot);
    bool format(std::string& whyNot);
    bool attachLoop(std::string& whyNot);
    bool mountFileSystem(std::string& whyNot);
    bool startExfatDaemon(std::string& whyNot);
    void stopExfatDaemon();

    Options options_;
    std::string folder_;
    std::string mountPath_;
    std::string image_;
    std::string device_;
    std::uint64_t folderDevice_ = 0;
    int fusePid_ = -1;
    bool mounted_ = false;
};
