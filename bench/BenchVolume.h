#pragma once

#include "DriveTable.h"

#include <cstdint>
#include <string>

// A tmpfs volume of the given size for a benchmark, mounted on a fresh folder; throws
// std::runtime_error when it cannot be mounted (not root).
class BenchVolume {
public:
    explicit BenchVolume(std::int64_t bytes);
    ~BenchVolume();
    BenchVolume(const BenchVolume&) = delete;
    BenchVolume& operator=(const BenchVolume&) = delete;

    const std::string& path() const { return path_; }
    // The volume as the drive table would list it, letter E.
    DriveTable table() const;
    // The size of a file on the volume, 0 when there is none.
    std::int64_t fileBytes(const std::string& name) const;
    // Removes every file the benchmark left, so the next run starts on an empty volume.
    void empty() const;

private:
    std::string path_;
};
