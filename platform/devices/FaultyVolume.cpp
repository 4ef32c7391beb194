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
#include <string_view>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// Each volume's folder: this and six characters of mkdtemp's.
constexpr std::string_view ScratchPrefix = "/tmp/orvalin-device.";
// Holds the process id of the test that made the volume.
constexpr const char* OwnerFile = "owner";

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

// Removes a scratch folder once nothing is mounted in it any more, so that removing cannot
// reach into a volume.
void removeScratch(const std::string& scratch) {
    const std::uint64_t scratchDevice = deviceOf(scratch);
    if (unmounted(scratch + "/volume", scratchDevice) &&
        unmounted(scratch + "/fuse", scratchDevice)) {
        std::error_code ignored;
        std::filesystem::remove_all(scratch, ignored);
    }
}

// Whether the process that made the volume in scratch has ended, as a zombie has; false when
// unknown.
bool ownerIsGone(const std::string& scratch) {
    std::ifstream owner(scratch + "/" + OwnerFile);
    pid_t pid = 0;
    if (!(owner >> pid) || pid <= 0) {
        return false;
    }
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) {
        return ::kill(pid, 0) != 0 && errno == ESRCH;
    }
    // The state follows the command name, which is in parentheses and may hold spaces.
    const std::size_t nameEnd = line.rfind(')');
    return nameEnd != std::string::npos && line.compare(nameEnd, 3, ") Z") == 0;
}

// The loop device whose backing file is path; empty when there is none.
std::string loopDeviceOf(const std::string& path) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/sys/block", error)) {
        const std::string name = entry.path().filename();
        std::ifstream backing(entry.path() / "loop" / "backing_file");
        std::string file;
        if (name.starts_with("loop") && std::getline(backing, file) && file == path) {
            return "/dev/" + name;
        }
    }
    return {};
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
    removeAbandoned();
    std::string pattern = std::string(ScratchPrefix) + "XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error(std::string("cannot make a folder in /tmp: ") +
                                 std::strerror(errno));
    }
    scratch_ = pattern;
    socket_ = scratch_ + "/nbd.sock";
    fuseFolder_ = scratch_ + "/fuse";
    deviceFile_ = fuseFolder_ + "/nbd";
    mountPath_ = scratch_ + "/volume";
    std::ofstream(scratch_ + "/" + OwnerFile) << ::getpid() << "\n";
    try {
        setUp(setup(scratch_));
    } catch (...) {
        tearDown();
        throw;
    }
}

FaultyVolume::~FaultyVolume() {
    tearDown();
}

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
    std::vector<std::string> argv = {"nbdkit", "--foreground", "--exit-with-parent", "--unix",
                                     socket_};
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
    removeScratch(scratch_);
}

// A killed test leaves its volume mounted and its loop device attached; its devices died with
// it, so unmounting and detaching cannot wait on them.
void FaultyVolume::removeAbandoned() {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/tmp", error)) {
        const std::string scratch = entry.path();
        if (scratch.starts_with(ScratchPrefix) && ownerIsGone(scratch)) {
            ::umount2((scratch + "/volume").c_str(), MNT_DETACH);
            const std::string loop = loopDeviceOf(scratch + "/fuse/nbd");
            if (!loop.empty()) {
                runTool({"losetup", "--detach", loop});
            }
            ::umount2((scratch + "/fuse").c_str(), MNT_DETACH);
            removeScratch(scratch);
        }
    }
}
