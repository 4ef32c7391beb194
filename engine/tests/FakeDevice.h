#pragma once

#include "FileService.h"

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

// A small device for tests: a capacity in bytes, test files in memory, and faults injected by
// block. Reads right after writes come from a cache, as on a real system; after dropCache they
// come from the medium, which can lose writes or fail reads of its own.
class FakeDevice : public FileService {
public:
    enum class Op { Write, Read };
    struct Fault {
        Op op;
        std::int64_t block;
        int code;
        int pass = 0; // 0: the first such operation on the block (in any file), 1: the second
    };

    struct File {
        std::vector<std::uint8_t> cache;
        std::vector<std::uint8_t> medium;
        bool cached = true;
    };

    explicit FakeDevice(std::int64_t capacityBytes) : capacity(capacityBytes) {}

    std::int64_t DiskFree(int driveNum) override;
    std::int64_t DiskSize(int driveNum) override;
    std::string rootPath(char driveLetter) override;
    CreateResult create(char driveLetter, const std::string& path) override;

    std::int64_t used() const;
    const File& file(const std::string& path) const { return *files.at(path); }
    std::vector<std::string> names() const;

    std::int64_t capacity;
    std::int64_t freeOverride = -2; // -2: computed from the capacity
    int createCode = 0;
    int closeCode = 0;
    std::vector<Fault> faults;
    std::set<std::int64_t> mediumLosesWrites; // blocks whose writes never reach the medium
    std::set<std::int64_t> mediumReadFails;   // blocks the medium cannot give back (code 1117)
    int dropCacheCode = 0;
    std::map<std::string, std::shared_ptr<File>> files;
    std::vector<char> createdOnDrives;

private:
    friend class FakeTestFile;
    int faultFor(Op op, std::int64_t block);
    std::map<std::pair<int, std::int64_t>, int> opCounts_;
};
