#include "FileExtents.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fiemap.h>
#include <linux/fs.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

constexpr std::uint64_t BlockBytes = 512;
constexpr std::uint32_t ExtentsPerCall = 256;

// Reads the extents from start on; false when there are no more.
bool readExtents(int fd, std::uint64_t start, std::vector<Extent>& out) {
    // The request is a header followed by room for the extents the kernel fills in.
    std::vector<std::uint64_t> storage(
        (sizeof(fiemap) + ExtentsPerCall * sizeof(fiemap_extent)) / sizeof(std::uint64_t) + 1);
    auto* request = reinterpret_cast<fiemap*>(storage.data());
    request->fm_start = start;
    request->fm_length = FIEMAP_MAX_OFFSET - start;
    request->fm_flags = FIEMAP_FLAG_SYNC;
    request->fm_extent_count = ExtentsPerCall;
    if (::ioctl(fd, FS_IOC_FIEMAP, request) != 0) {
        throw std::runtime_error(std::string("FIEMAP failed: ") + std::strerror(errno));
    }
    bool last = request->fm_mapped_extents == 0;
    for (std::uint32_t i = 0; i < request->fm_mapped_extents; ++i) {
        const fiemap_extent& extent = request->fm_extents[i];
        out.push_back({extent.fe_logical, extent.fe_physical, extent.fe_length});
        last = last || (extent.fe_flags & FIEMAP_EXTENT_LAST) != 0;
    }
    return !last;
}

} // namespace

std::vector<Extent> fileExtents(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw std::runtime_error("cannot open " + path + ": " + std::strerror(errno));
    }
    std::vector<Extent> extents;
    try {
        while (readExtents(fd, extents.empty() ? 0 : extents.back().logical + extents.back().length,
                           extents)) {
        }
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
    return extents;
}

std::vector<std::int64_t> blocksOnDevice(const std::vector<Extent>& extents,
                                         std::uint64_t fileBytes, std::uint64_t first,
                                         std::uint64_t end) {
    std::vector<std::int64_t> blocks;
    for (const Extent& extent : extents) {
        const std::uint64_t low = std::max(first, extent.physical);
        const std::uint64_t high = std::min(end, extent.physical + extent.length);
        if (low >= high) {
            continue;
        }
        const std::uint64_t fileLow = extent.logical + (low - extent.physical);
        const std::uint64_t fileHigh =
            std::min(fileBytes, extent.logical + (high - extent.physical));
        for (std::uint64_t block = fileLow / BlockBytes; block * BlockBytes < fileHigh; ++block) {
            blocks.push_back(static_cast<std::int64_t>(block));
        }
    }
    std::sort(blocks.begin(), blocks.end());
    blocks.erase(std::unique(blocks.begin(), blocks.end()), blocks.end());
    return blocks;
}
