// Our CRC-32 against zlib's crc32 as the oracle: every length up to 64 from
// every alignment, the long runs the folding and the wide table loop take,
// and continuation; both through the processor's fastest path and through the
// tables alone.

#include <gtest/gtest.h>

#include <zlib.h>

#include <random>

#include "skins/Crc32.h"

namespace {

std::vector<uint8_t> NoiseBytes(size_t size, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(size);
    for (uint8_t& b : bytes) b = uint8_t(random());
    return bytes;
}

uint32_t ZlibCrc(const uint8_t* data, size_t size) { return uint32_t(crc32(0, data, uInt(size))); }

struct TCrcPath {
    const char* name;
    uint32_t (*update)(uint32_t, const void*, size_t) noexcept;
};
constexpr TCrcPath kCrcPaths[] = {{"fastest", UpdateCrc32}, {"tables", UpdateCrc32ByTables}};

TEST(Crc32, EqualsZlibForEveryShortLengthAndAlignment) {
    const std::vector<uint8_t> bytes = NoiseBytes(64 + 16, 1);
    for (const TCrcPath& path : kCrcPaths)
        for (size_t start = 0; start < 16; ++start)
            for (size_t size = 0; size <= 64; ++size)
                EXPECT_EQ(path.update(0, bytes.data() + start, size), ZlibCrc(bytes.data() + start, size))
                    << path.name << " start " << start << " size " << size;
}

TEST(Crc32, EqualsZlibForLongRunsAndUniformBytes) {
    const std::vector<uint8_t> bytes = NoiseBytes((1 << 20) + 64, 2);
    const size_t sizes[] = {65, 79, 80, 81, 127, 128, 129, 143, 144, 191, 192, 255, 256, 1000, 4096 + 13, 65536 + 7, 1 << 20};
    for (const TCrcPath& path : kCrcPaths) {
        for (const size_t size : sizes)
            for (const size_t start : {0u, 1u, 7u, 13u})
                EXPECT_EQ(path.update(0, bytes.data() + start, size), ZlibCrc(bytes.data() + start, size))
                    << path.name << " start " << start << " size " << size;
        for (const uint8_t fill : {0x00, 0xFF}) {
            const std::vector<uint8_t> uniform(10007, fill);
            EXPECT_EQ(path.update(0, uniform.data(), uniform.size()), ZlibCrc(uniform.data(), uniform.size()))
                << path.name << " " << int(fill);
        }
        EXPECT_EQ(path.update(0, "123456789", 9), 0xCBF43926u) << path.name;
    }
}

TEST(Crc32, ContinuesAcrossPiecesAndGivesZeroForNoData) {
    const std::vector<uint8_t> bytes = NoiseBytes(5000, 3);
    const uint32_t whole = ZlibCrc(bytes.data(), bytes.size());
    for (const TCrcPath& path : kCrcPaths) {
        for (const size_t cut : {0u, 1u, 3u, 17u, 64u, 100u, 2049u, 4936u, 4999u, 5000u})
            EXPECT_EQ(path.update(path.update(0, bytes.data(), cut), bytes.data() + cut, bytes.size() - cut), whole)
                << path.name << " " << cut;
        EXPECT_EQ(path.update(0x12345678, nullptr, 10), 0u) << path.name;
    }
}

} // namespace
