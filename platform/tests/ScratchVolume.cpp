#include "ScratchVolume.h"

#include "Command.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// How long a FUSE daemon may take to show its mount, or to end once unmounted.
constexpr auto FuseWait = 5s;
constexpr auto PollStep = 10ms;

std::uint64_t deviceOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<std::uint64_t>(info.st_dev) : 0;
}

std::string trimmedLine(const std::string& text) {
    const std::size_t end = text.find_last_not_of(" \n");
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

bool run(const std::vector<std::string>& argv, std::string& whyNot) {
    const CommandResult result = runCommand(argv);
    if (result.exitCode != 0) {
        whyNot = argv[0] + " failed: " + trimmedLine(result.output);
        return false;
    }
    return true;
}

bool exited(int pid) {
    int status = 0;
    return ::waitpid(pid, &status, WNOHANG) == pid;
}

} // namespace

std::unique_ptr<ScratchVolume> ScratchVolume::mount(const Options& options, std::string& whyNot) {
    if (::geteuid() != 0) {
        whyNot = "mounting a scratch volume needs root";
        return nullptr;
    }
    std::unique_ptr<ScratchVolume> volume(new ScratchVolume(options));
    if (!volume->setUp(whyNot)) {
        return nullptr;
    }
    return volume;
}

const char* ScratchVolume::kindName(Kind kind) {
    switch (kind) {
    case Kind::Tmpfs:
        return "tmpfs";
    case Kind::Ext4:
        return "ext4";
    case Kind::Exfat:
        return "exfat";
    }
    return "?";
}

bool ScratchVolume::setUp(std::string& whyNot) {
    char pattern[] = "/tmp/orvalin scratch.XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        whyNot = std::string("cannot make a folder under /tmp: ") + std::strerror(errno);
        return false;
    }
    folder_ = pattern;
    mountPath_ = folder_ + "/volume";
    if (::mkdir(mountPath_.c_str(), 0755) != 0) {
        whyNot = std::string("cannot make the mount folder: ") + std::strerror(errno);
        return false;
    }
    folderDevice_ = deviceOf(mountPath_);
    if (options_.kind == Kind::Tmpfs) {
        return mountFileSystem(whyNot);
    }
    return prepareImage(whyNot) && format(whyNot) && attachLoop(whyNot) && mountFileSystem(whyNot);
}

bool ScratchVolume::prepareImage(std::string& whyNot) {
    if (!options_.backingFile.empty()) {
        image_ = options_.backingFile;
        return true;
    }
    const std::string path = folder_ + "/image";
    const int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) {
        whyNot = std::string("cannot make the image file: ") + std::strerror(errno);
        return false;
    }
    image_ = path;
    const bool sized = ::ftruncate(fd, static_cast<off_t>(options_.sizeBytes)) == 0;
    ::close(fd);
    if (!sized) {
        whyNot = "cannot size the image file";
    }
    return sized;
}

// ext4 without a journal, reserve or spare inodes, so that nearly all of a few MiB is data.
bool ScratchVolume::format(std::string& whyNot) {
    if (options_.kind == Kind::Ext4) {
        if (!commandExists("mkfs.ext4")) {
            whyNot = "mkfs.ext4 is not installed (Debian package e2fsprogs)";
            return false;
        }
        return run({"mkfs.ext4", "-q", "-F", "-m", "0", "-O", "^has_journal", "-N", "64", image_},
                   whyNot);
    }
    if (!commandExists("mkfs.exfat") || !commandExists("mount.exfat-fuse")) {
        whyNot = "mkfs.exfat or mount.exfat-fuse is missing (Debian packages exfatprogs, "
                 "exfat-fuse)";
        return false;
    }
    if (::access("/dev/fuse", R_OK | W_OK) != 0) {
        whyNot = "/dev/fuse is not available";
        return false;
    }
    return run({"mkfs.exfat", image_}, whyNot);
}

bool ScratchVolume::attachLoop(std::string& whyNot) {
    const CommandResult result = runCommand({"losetup", "--find", "--show", image_});
    if (result.exitCode != 0) {
        whyNot = "no loop device: " + trimmedLine(result.output);
        return false;
    }
    device_ = trimmedLine(result.output);
    return true;
}

bool ScratchVolume::mountFileSystem(std::string& whyNot) {
    if (options_.kind == Kind::Exfat) {
        return startExfatDaemon(whyNot);
    }
    const unsigned long flags = options_.readOnly ? MS_RDONLY : 0;
    const bool tmpfs = options_.kind == Kind::Tmpfs;
    const std::string data = tmpfs ? "size=" + std::to_string(options_.sizeBytes) : "";
    const int result =
        tmpfs ? ::mount("orvalin-scratch", mountPath_.c_str(), "tmpfs", flags, data.c_str())
              : ::mount(device_.c_str(), mountPath_.c_str(), "ext4", flags, "");
    if (result != 0) {
        whyNot = std::string("mount failed: ") + std::strerror(errno);
        return false;
    }
    mounted_ = true;
    return true;
}

// The daemon runs in the foreground as our child, so that we know when it has ended.
bool ScratchVolume::startExfatDaemon(std::string& whyNot) {
    std::vector<std::string> argv = {"mount.exfat-fuse", "-d"};
    if (options_.readOnly) {
        argv.insert(argv.end(), {"-o", "ro"});
    }
    argv.insert(argv.end(), {device_, mountPath_});
    fusePid_ = startCommand(argv);
    if (fusePid_ < 0) {
        whyNot = "cannot start mount.exfat-fuse";
        return false;
    }
    for (auto waited = 0ms; waited < FuseWait; waited += PollStep) {
        if (deviceOf(mountPath_) != folderDevice_) {
            mounted_ = true;
            return true;
        }
        if (exited(fusePid_)) {
            fusePid_ = -1;
            whyNot = "mount.exfat-fuse ended without mounting";
            return false;
        }
        std::this_thread::sleep_for(PollStep);
    }
    whyNot = "mount.exfat-fuse did not mount in time";
    return false;
}

bool ScratchVolume::remountReadOnly() {
    return ::mount(nullptr, mountPath_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

bool ScratchVolume::detachLazily() {
    if (!mounted_ || ::umount2(mountPath_.c_str(), MNT_DETACH) != 0) {
        return false;
    }
    mounted_ = false;
    return true;
}

void ScratchVolume::stopExfatDaemon() {
    if (fusePid_ < 0) {
        return;
    }
    for (auto waited = 0ms; waited < FuseWait; waited += PollStep) {
        if (exited(fusePid_)) {
            fusePid_ = -1;
            return;
        }
        std::this_thread::sleep_for(PollStep);
    }
    ::kill(fusePid_, SIGKILL);
    ::waitpid(fusePid_, nullptr, 0);
    fusePid_ = -1;
}

ScratchVolume::~ScratchVolume() {
    if (mounted_ && ::umount2(mountPath_.c_str(), 0) != 0) {
        ::umount2(mountPath_.c_str(), MNT_DETACH);
    }
    stopExfatDaemon();
    if (!device_.empty()) {
        runCommand({"losetup", "--detach", device_});
    }
    if (!image_.empty() && image_ != options_.backingFile) {
        ::unlink(image_.c_str());
    }
    // Only once nothing is mounted there any more, so that removing cannot reach into a volume.
    if (deviceOf(mountPath_) == folderDevice_) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
}
