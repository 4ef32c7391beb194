#include "FaultyVolume.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// How long nbdkit and nbdfuse may take to show their socket and file.
constexpr auto StartWait = 10s;
constexpr auto PollStep = 10ms;

struct Requirement {
    const char* tool;
    const char* package;
};

const Requirement Tools[] = {{"nbdkit", "nbdkit"},
                             {"nbdfuse", "libnbd-bin"},
                             {"losetup", "mount"},
                             {"mkfs.ext4", "e2fsprogs"}};

std::string trimmed(const std::string& text) {
    const std::size_t end = text.find_last_not_of(" \n");
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

bool exists(const std::string& path, mode_t type) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == type;
}

std::uint64_t deviceOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<std::uint64_t>(info.st_dev) : 0;
}

// True for a folder that is no mount point, or none at all; false for a mount, dead ones too.
bool unmounted(const std::string& path, std::uint64_t parentDevice) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return errno == ENOENT;
    }
    return static_cast<std::uint64_t>(info.st_dev) == parentDevice;
}

std::string readText(const std::string& path) {
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void makeFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0755) != 0) {
        throw std::runtime_error("cannot make " + path + ": " + std::strerror(errno));
    }
}

std::string run(const std::vector<std::string>& argv) {
    const ToolResult result = runTool(argv);
    if (result.exitCode != 0) {
        throw std::runtime_error(argv[0] + " failed: " + trimmed(result.output));
    }
    return trimmed(result.output);
}

} // namespace

std::string FaultyVolume::unavailableReason() {
    if (::geteuid() != 0) {
        return "faulty-device volumes need root (loop devices, mounts, FUSE)";
    }
    for (const Requirement& requirement : Tools) {
        if (!toolExists(requirement.tool)) {
            return std::string(requirement.tool) + " is not installed (Debian package " +
                   requirement.package + ")";
        }
    }
    if (::access("/dev/fuse", R_OK | W_OK) != 0) {
        return "/dev/fuse is not available";
    }
    if (::access("/dev/loop-control", R_OK | W_OK) != 0) {
        return "/dev/loop-control is not available";
    }
    return {};
}

FaultyVolume::FaultyVolume(const SetupFor& setup) {
    char pattern[] = "/tmp/orvalin-device.XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        throw std::runtime_error(std::string("cannot make a folder in /tmp: ") +
                                 std::strerror(errno));
    }
    scratch_ = pattern;
    socket_ = scratch_ + "/nbd.sock";
    fuseFolder_ = scratch_ + "/fuse";
    deviceFile_ = fuseFolder_ + "/nbd";
    mountPath_ = scratch_ + "/volume";
    try {
        setUp(setup(scratch_));
    } catch (...) {
        tearDown();
        throw;
    }
}

FaultyVolume::~FaultyVolume() { tearDown(); }

void FaultyVolume::setUp(const DeviceSetup& setup) {
    makeFolder(fuseFolder_);
    makeFolder(mountPath_);
    startServer(setup);
    startFuse();
    attachLoop();
    format(setup);
    mountVolume(setup);
}

void FaultyVolume::startServer(const DeviceSetup& setup) {
    std::vector<std::string> argv = {"nbdkit", "--foreground", "--unix", socket_};
    argv.insert(argv.end(), setup.server.begin(), setup.server.end());
    server_ = std::make_unique<ChildProcess>(argv, scratch_ + "/nbdkit.log", setup.environment);
    for (auto waited = 0ms; !exists(socket_, S_IFSOCK); waited += PollStep) {
        if (waited >= StartWait || !server_->running()) {
            throw std::runtime_error("nbdkit did not start: " + deviceLog());
        }
        std::this_thread::sleep_for(PollStep);
    }
}

void FaultyVolume::startFuse() {
    fuse_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"nbdfuse", deviceFile_, "--unix", socket_},
        scratch_ + "/nbdfuse.log");
    for (auto waited = 0ms; !exists(deviceFile_, S_IFREG); waited += PollStep) {
        if (waited >= StartWait || !fuse_->running()) {
            throw std::runtime_error("nbdfuse did not show the device: " + deviceLog());
        }
        std::this_thread::sleep_for(PollStep);
    }
}

// Direct I/O keeps the device file's own page cache out of the way: a read that misses the
// volume's cache goes to the server.
void FaultyVolume::attachLoop() {
    loopDevice_ = run({"losetup", "--direct-io=on", "--find", "--show", deviceFile_});
}

void FaultyVolume::format(const DeviceSetup& setup) {
    std::vector<std::string> argv = {"mkfs.ext4", "-q", "-E", "nodiscard"};
    argv.insert(argv.end(), setup.formatOptions.begin(), setup.formatOptions.end());
    argv.push_back(loopDevice_);
    run(argv);
}

void FaultyVolume::mountVolume(const DeviceSetup& setup) {
    if (::mount(loopDevice_.c_str(), mountPath_.c_str(), "ext4", setup.mountFlags, "") != 0) {
        throw std::runtime_error("cannot mount " + loopDevice_ + ": " + std::strerror(errno));
    }
    mounted_ = true;
    deviceId_ = deviceOf(mountPath_);
}

DriveTable FaultyVolume::table() const {
    Drive drive;
    drive.letter = 'E';
    drive.mountPath = mountPath_;
    drive.displayName = "volume (E:)";
    drive.fileSystem = "ext4";
    drive.source = loopDevice_;
    drive.deviceId = deviceId_;
    return DriveTable({drive});
}

void FaultyVolume::createScratchFile(const std::string& name) const {
    const std::string path = scratch_ + "/" + name;
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    if (fd < 0) {
        throw std::runtime_error("cannot create " + path + ": " + std::strerror(errno));
    }
    ::close(fd);
}

void FaultyVolume::pullOut() {
    if (fuse_) {
        fuse_->signal(SIGKILL);
    }
}

bool FaultyVolume::detach() {
    if (!mounted_ || ::umount2(mountPath_.c_str(), MNT_DETACH) != 0) {
        return false;
    }
    mounted_ = false;
    return true;
}

std::string FaultyVolume::deviceLog() const {
    return trimmed(readText(scratch_ + "/nbdkit.log") + readText(scratch_ + "/nbdfuse.log"));
}

void FaultyVolume::tearDown() {
    pullOut();
    fuse_.reset();
    if (mounted_ && ::umount2(mountPath_.c_str(), 0) != 0) {
        ::umount2(mountPath_.c_str(), MNT_DETACH);
    }
    mounted_ = false;
    if (!loopDevice_.empty()) {
        runTool({"losetup", "--detach", loopDevice_});
    }
    ::umount2(fuseFolder_.c_str(), MNT_DETACH);
    server_.reset();
    // Only once nothing is mounted there any more, so that removing cannot reach into a volume.
    const std::uint64_t scratchDevice = deviceOf(scratch_);
    if (unmounted(mountPath_, scratchDevice) && unmounted(fuseFolder_, scratchDevice)) {
        std::error_code ignored;
        std::filesystem::remove_all(scratch_, ignored);
    }
}
