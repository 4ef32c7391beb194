#include "FileExtents.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <vector>

using testing::ElementsAreArray;

namespace {

constexpr std::uint64_t MiB = 1024 * 1024;

struct MappingCase {
    const char* name;
    std::vector<Extent> extents;
    std::uint64_t fileBytes;
    std::uint64_t first;
    std::uint64_t end;
    std::vector<std::int64_t> blocks;
};

void PrintTo(const MappingCase& c, std::ostream* out) {
    *out << c.name;
}

class BlocksOnDeviceTest : public testing::TestWithParam<MappingCase> {};

TEST_P(BlocksOnDeviceTest, MapsDeviceBytesToFileBlocks) {
    const MappingCase& c = GetParam();
    EXPECT_THAT(blocksOnDevice(c.extents, c.fileBytes, c.first, c.end), ElementsAreArray(c.blocks));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BlocksOnDeviceTest,
    testing::Values(
        MappingCase{"InsideOneExtent", {{0, MiB, 65536}}, 65536, MiB + 1024, MiB + 2048, {2, 3}},
        MappingCase{
            "PartSectorsCountWhole", {{0, MiB, 65536}}, 65536, MiB + 1100, MiB + 1537, {2, 3}},
        MappingCase{"ExtentsOutOfDeviceOrder",
                    {{0, 2 * MiB, 4096}, {4096, MiB, 4096}},
                    8192,
                    MiB + 3584,
                    2 * MiB + 512,
                    {0, 15}},
        MappingCase{"NothingBeyondTheFileEnd", {{0, MiB, 4096}}, 1536, MiB, MiB + 4096, {0, 1, 2}},
        MappingCase{"RangeOutsideTheFile", {{0, MiB, 4096}}, 4096, 0, MiB, {}}),
    [](const testing::TestParamInfo<MappingCase>& param) { return std::string(param.param.name); });

} // namespace
