#include "FakeDevice.h"

#include "IoException.h"
#include "ResultCodes.h"

#include <algorithm>
#include <cstring>

class FakeTestFile : public TestFile {
public:
    FakeTestFile(FakeDevice& device, std::shared_ptr<FakeDevice::File> file)
        : device_(device), file_(std::move(file)) {}

    int write(std::int64_t offset, const std::uint8_t* data, std::size_t size) override {
        if (int code = device_.faultFor(FakeDevice::Op::Write, offset / 512)) {
            return code;
        }
        const auto end = static_cast<std::size_t>(offset) + size;
        const auto growth =
            static_cast<std::int64_t>(end > file_->cache.size() ? end - file_->cache.size() : 0);
        if (growth > 0 && device_.used() + growth > device_.capacity) {
            return ResultCode::DiskFull;
        }
        grow(file_->cache, end);
        grow(file_->medium, end);
        std::memcpy(file_->cache.data() + offset, data, size);
        for (std::size_t at = 0; at < size; at += 512) {
            const std::int64_t block = (offset + static_cast<std::int64_t>(at)) / 512;
            if (!device_.mediumLosesWrites.contains(block)) {
                std::memcpy(file_->medium.data() + offset + static_cast<std::int64_t>(at),
                            data + at, std::min<std::size_t>(512, size - at));
            }
        }
        file_->cached = true;
        return ResultCode::Success;
    }

    int read(std::int64_t offset, std::uint8_t* data, std::size_t size) override {
        if (int code = device_.faultFor(FakeDevice::Op::Read, offset / 512)) {
            return code;
        }
        const auto& source = file_->cached ? file_->cache : file_->medium;
        if (!file_->cached) {
            for (std::size_t at = 0; at < size; at += 512) {
                if (device_.mediumReadFails.contains((offset + static_cast<std::int64_t>(at)) /
                                                     512)) {
                    return ResultCode::DeviceIoError;
                }
            }
        }
        const auto start = static_cast<std::size_t>(offset);
        const std::size_t available = start < source.size() ? source.size() - start : 0;
        const std::size_t count = std::min(size, available);
        std::memcpy(data, source.data() + start, count);
        return count < size ? ResultCode::ShortRead : ResultCode::Success;
    }

    int dropCache() override {
        // A medium that refuses the flush leaves the pages in the cache, as ext4 does.
        file_->cached = device_.dropCacheCode != 0;
        return device_.dropCacheCode;
    }

    void close() override {
        if (device_.closeCode != 0) {
            throw IoException(device_.closeCode);
        }
    }

private:
    static void grow(std::vector<std::uint8_t>& bytes, std::size_t size) {
        if (bytes.size() < size) {
            bytes.resize(size, 0);
        }
    }

    FakeDevice& device_;
    std::shared_ptr<FakeDevice::File> file_;
};

std::int64_t FakeDevice::DiskFree(int) {
    return freeOverride != -2 ? freeOverride : capacity - used();
}

std::int64_t FakeDevice::DiskSize(int) {
    return capacity;
}

std::string FakeDevice::rootPath(char driveLetter) {
    return std::string("/media/") + driveLetter + "/";
}

CreateResult FakeDevice::create(char driveLetter, const std::string& path) {
    if (createCode != 0) {
        return {createCode, nullptr};
    }
    if (files.contains(path)) {
        return {ResultCode::FileExists, nullptr};
    }
    createdOnDrives.push_back(driveLetter);
    auto file = std::make_shared<File>();
    files[path] = file;
    return {ResultCode::Success, std::make_unique<FakeTestFile>(*this, file)};
}

std::int64_t FakeDevice::used() const {
    std::int64_t total = 0;
    for (const auto& [name, file] : files) {
        total += static_cast<std::int64_t>(file->cache.size());
    }
    return total;
}

std::vector<std::string> FakeDevice::names() const {
    std::vector<std::string> result;
    for (const auto& [name, file] : files) {
        result.push_back(name);
    }
    return result;
}

int FakeDevice::faultFor(Op op, std::int64_t block) {
    const int seen = opCounts_[{static_cast<int>(op), block}]++;
    for (const Fault& fault : faults) {
        if (fault.op == op && fault.block == block && fault.pass == seen) {
            return fault.code;
        }
    }
    return ResultCode::Success;
}
