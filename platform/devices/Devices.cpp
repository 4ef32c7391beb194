#include "Devices.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace {

std::string sparseImage(const std::string& scratchFolder, std::int64_t bytes) {
    const std::string path = scratchFolder + "/image";
    const int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0 || ::ftruncate(fd, static_cast<off_t>(bytes)) != 0) {
        const std::string reason = std::strerror(errno);
        if (fd >= 0) {
            ::close(fd);
        }
        throw std::runtime_error("cannot make the image " + path + ": " + reason);
    }
    ::close(fd);
    return path;
}

} // namespace

DeviceSetup ramDisk(std::int64_t bytes, const std::vector<std::string>& filterParameters) {
    DeviceSetup setup;
    setup.server = {"--filter=error", "--filter=delay", "memory", "size=" + std::to_string(bytes)};
    setup.server.insert(setup.server.end(), filterParameters.begin(), filterParameters.end());
    return setup;
}

DeviceSetup stuckSectorsDisk(const std::string& scratchFolder, std::int64_t bytes,
                             std::int64_t first, std::int64_t end) {
    DeviceSetup setup;
    setup.server = {"sh", ORVALIN_STUCK_SECTORS_SCRIPT};
    setup.environment = {"ORVALIN_STUCK_IMAGE=" + sparseImage(scratchFolder, bytes),
                         "ORVALIN_STUCK_FIRST=" + std::to_string(first),
                         "ORVALIN_STUCK_END=" + std::to_string(end)};
    return setup;
}

DeviceSetup wrappingDisk(const std::string& scratchFolder, std::int64_t realBytes, int copies) {
    DeviceSetup setup;
    const std::string image = sparseImage(scratchFolder, realBytes);
    setup.server = {"split"};
    setup.server.insert(setup.server.end(), static_cast<std::size_t>(copies), image);
    // mkfs puts the journal in the middle of the claimed size, where it wraps onto the start of
    // the volume, which then cannot be mounted. The FAT that fakes ship with has no journal.
    setup.formatOptions = {"-O", "^has_journal"};
    return setup;
}
