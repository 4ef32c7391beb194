#include "HookedDevice.h"

#include <utility>

namespace {

class HookedFile : public TestFile {
public:
    HookedFile(std::unique_ptr<TestFile> file, HookedDevice& device)
        : file_(std::move(file)), device_(device) {}

    int write(std::int64_t offset, const std::uint8_t* data, std::size_t size) override {
        if (device_.onWrite) {
            device_.onWrite(offset / 512);
        }
        return file_->write(offset, data, size);
    }
    int read(std::int64_t offset, std::uint8_t* data, std::size_t size) override {
        return file_->read(offset, data, size);
    }
    int dropCache() override { return file_->dropCache(); }
    void close() override { file_->close(); }

private:
    std::unique_ptr<TestFile> file_;
    HookedDevice& device_;
};

} // namespace

CreateResult HookedDevice::create(char driveLetter, const std::string& path) {
    CreateResult created = FakeDevice::create(driveLetter, path);
    if (created.file) {
        created.file = std::make_unique<HookedFile>(std::move(created.file), *this);
    }
    return created;
}
