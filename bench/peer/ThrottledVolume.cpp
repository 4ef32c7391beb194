#include "ThrottledVolume.h"

#include "Program.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

const std::string BlkioFolder = "/sys/fs/cgroup/blkio/";
constexpr std::size_t ChunkBytes = 1024 * 1024;

std::string trimmed(const std::string& text) {
    const std::size_t end = text.find_last_not_of(" \n");
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

std::string errorText() {
    return std::strerror(errno);
}

struct AlignedFree {
    void operator()(void* memory) const { std::free(memory); }
};

// Moves bytes to or from the raw device with direct I/O, so that only the throttle and the
// device set the pace; bytes per second.
double timeDirect(const std::string& device, std::int64_t bytes, bool write) {
    const int fd = ::open(device.c_str(), (write ? O_WRONLY : O_RDONLY) | O_DIRECT | O_CLOEXEC);
    if (fd < 0) {
        throw std::runtime_error("cannot open " + device + ": " + errorText());
    }
    void* memory = nullptr;
    if (::posix_memalign(&memory, 4096, ChunkBytes) != 0) {
        ::close(fd);
        throw std::runtime_error("out of memory");
    }
    const std::unique_ptr<void, AlignedFree> buffer(memory);
    std::memset(memory, 0x5A, ChunkBytes);
    const auto start = std::chrono::steady_clock::now();
    std::int64_t done = 0;
    while (done < bytes) {
        const ssize_t moved =
            write ? ::pwrite(fd, memory, ChunkBytes, done) : ::pread(fd, memory, ChunkBytes, done);
        if (moved <= 0) {
            break;
        }
        done += moved;
    }
    ::fdatasync(fd);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ::close(fd);
    if (done < bytes) {
        throw std::runtime_error("direct I/O on " + device + " stopped early");
    }
    return static_cast<double>(done) / seconds;
}

} // namespace

ThrottledVolume::ThrottledVolume(std::int64_t bytes, std::int64_t writeBytesPerSecond,
                                 std::int64_t readBytesPerSecond) {
    if (::geteuid() != 0) {
        throw std::runtime_error("the bench needs root (loop devices, mounts, blkio throttle)");
    }
    if (::access((BlkioFolder + "blkio.throttle.write_bps_device").c_str(), W_OK) != 0) {
        throw std::runtime_error("cgroup v1 blkio throttling is not available at " + BlkioFolder);
    }
    char pattern[] = "/tmp/orvalin-peer.XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        throw std::runtime_error("cannot make a folder in /tmp: " + errorText());
    }
    folder_ = pattern;
    image_ = folder_ + "/image";
    mountPath_ = folder_ + "/volume";
    try {
        std::filesystem::create_directory(mountPath_);
        std::ofstream(image_).close();
        std::filesystem::resize_file(image_, static_cast<std::uintmax_t>(bytes));
        loopDevice_ =
            trimmed(runOrThrow({"losetup", "--direct-io=on", "--find", "--show", image_}));
        struct stat device {};
        if (::stat(loopDevice_.c_str(), &device) != 0) {
            throw std::runtime_error("cannot stat " + loopDevice_ + ": " + errorText());
        }
        majorMinor_ =
            std::to_string(major(device.st_rdev)) + ":" + std::to_string(minor(device.st_rdev));
        throttled_ = true;
        throttle("blkio.throttle.write_bps_device", writeBytesPerSecond);
        throttle("blkio.throttle.read_bps_device", readBytesPerSecond);
    } catch (...) {
        tearDown();
        throw;
    }
}

ThrottledVolume::~ThrottledVolume() {
    tearDown();
}

// The rules sit in the root group: writeback is done by the kernel's threads, which a child
// group of ours would not hold. They name our loop device only.
void ThrottledVolume::throttle(const char* rule, std::int64_t bytesPerSecond) const {
    std::ofstream file(BlkioFolder + rule);
    file << majorMinor_ << " " << bytesPerSecond << std::endl;
    if (!file) {
        throw std::runtime_error(std::string("cannot set ") + rule);
    }
}

void ThrottledVolume::formatAndMount() {
    unmount();
    runOrThrow({"mkfs.ext4", "-q", "-F", "-E", "nodiscard", loopDevice_});
    if (::mount(loopDevice_.c_str(), mountPath_.c_str(), "ext4", 0, "") != 0) {
        throw std::runtime_error("cannot mount " + loopDevice_ + ": " + errorText());
    }
    mounted_ = true;
}

void ThrottledVolume::unmount() {
    if (mounted_ && ::umount2(mountPath_.c_str(), 0) != 0) {
        ::umount2(mountPath_.c_str(), MNT_DETACH);
    }
    mounted_ = false;
}

DriveTable ThrottledVolume::table() const {
    struct stat root {};
    ::stat(mountPath_.c_str(), &root);
    Drive drive;
    drive.letter = 'E';
    drive.mountPath = mountPath_;
    drive.displayName = "peer bench (E:)";
    drive.fileSystem = "ext4";
    drive.source = loopDevice_;
    drive.deviceId = static_cast<std::uint64_t>(root.st_dev);
    return DriveTable({drive});
}

double ThrottledVolume::measureRawWrite(std::int64_t bytes) const {
    return timeDirect(loopDevice_, bytes, true);
}

double ThrottledVolume::measureRawRead(std::int64_t bytes) const {
    return timeDirect(loopDevice_, bytes, false);
}

ThrottledVolume::Traffic ThrottledVolume::traffic() const {
    const std::string name = std::filesystem::path(loopDevice_).filename();
    std::ifstream stat("/sys/block/" + name + "/stat");
    // Fields: reads, merged, sectors read, ticks, writes, merged, sectors written, ...
    std::int64_t field[7] = {};
    for (std::int64_t& value : field) {
        stat >> value;
    }
    constexpr std::int64_t SectorBytes = 512;
    return {field[2] * SectorBytes, field[6] * SectorBytes};
}

void ThrottledVolume::tearDown() {
    unmount();
    // A rule left behind would slow whoever gets this loop device next.
    if (throttled_) {
        std::ofstream(BlkioFolder + "blkio.throttle.write_bps_device") << majorMinor_ << " 0\n";
        std::ofstream(BlkioFolder + "blkio.throttle.read_bps_device") << majorMinor_ << " 0\n";
        throttled_ = false;
    }
    if (!loopDevice_.empty()) {
        runProgram({"losetup", "--detach", loopDevice_}, std::chrono::seconds(30));
    }
    std::error_code ignored;
    std::filesystem::remove(image_, ignored);
    std::filesystem::remove(mountPath_, ignored);
    std::filesystem::remove(folder_, ignored);
}
