#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Where a stretch of a file lies on its device. Byte offsets and lengths.
struct Extent {
    std::uint64_t logical = 0;
    std::uint64_t physical = 0;
    std::uint64_t length = 0;
};

// The extents of a file as its file system reports them (FIEMAP), after syncing it; throws
// std::runtime_error when they cannot be read.
std::vector<Extent> fileExtents(const std::string& path);

// The 512-byte blocks of a file of fileBytes that lie, wholly or in part, on the device bytes
// [first, end), in ascending order.
std::vector<std::int64_t> blocksOnDevice(const std::vector<Extent>& extents,
                                         std::uint64_t fileBytes, std::uint64_t first,
                                         std::uint64_t end);
