// The CRC-32 a results file ends with: the catalogue's check value, the
// division worked bit by bit here from the polynomial, and the check a
// writer keeps of the bytes it puts, records and fields alike.
#include "framework/binfile.h"
#include "framework/crc32.h"
#include "scratch_files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

namespace {

std::span<const uint8_t> bytes_of(const std::string& text)
{
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// The reflected division by 0x04C11DB7 (reversed 0xEDB88320) one bit at a
// time, with the initial and final inversion (Williams, "A Painless Guide
// to CRC Error Detection Algorithms", section 11; the CRC-32 of ISO 3309).
uint32_t crc32_bit_by_bit(std::span<const uint8_t> bytes)
{
    uint32_t c = 0xFFFFFFFFu;
    for (uint8_t b : bytes) {
        c ^= b;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1u) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
    }
    return ~c;
}

}  // namespace

TEST(ResultsFileCheckCrc32, CheckValueAndTheDivisionWholeAndInParts)
{
    // The check value of "123456789" for CRC-32/ISO-HDLC (Cook, "Catalogue
    // of parametrised CRC algorithms"), and of nothing.
    EXPECT_EQ(crc32_of(bytes_of("123456789")), 0xCBF43926u);
    EXPECT_EQ(crc32_of({}), 0u);
    // Bytes of every value at every alignment, whole and cut at every place
    // of the first 20 (the 8-byte steps and the byte-wise rest).
    std::vector<uint8_t> data(1037);
    uint32_t x = 12345;
    for (uint8_t& b : data) {
        x = x * 1103515245u + 12345u;
        b = static_cast<uint8_t>(x >> 16);
    }
    const std::span<const uint8_t> all(data);
    EXPECT_EQ(crc32_of(all), crc32_bit_by_bit(all));
    for (std::size_t cut = 0; cut < 20; ++cut) {
        Crc32 parts;
        parts.update(all.first(cut));
        parts.update(all.subspan(cut));
        EXPECT_EQ(parts.value(), crc32_bit_by_bit(all)) << cut;
        EXPECT_EQ(crc32_of(all.subspan(cut, 17)), crc32_bit_by_bit(all.subspan(cut, 17))) << cut;
    }

    // A writer's check is that of the file's bytes, put in records or
    // field by field; a seek of such a writer fails it.
    ScratchFolder scratch("crc32");
    const std::string path = scratch.path("checked.bin");
    BinFile file;
    ASSERT_TRUE(file.open_write(path));
    file.count_checksum();
    file.write_int(7);
    file.begin_record();
    file.write_float(2.5f);
    file.begin_record();
    file.write_name("nested", 9);
    file.end_record();
    file.end_record();
    file.write(data.data(), data.size());
    const uint32_t written = file.written_checksum();
    ASSERT_TRUE(file.close());
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> on_disk{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(written, crc32_bit_by_bit(on_disk));
    ASSERT_TRUE(file.open_write(path));
    file.count_checksum();
    file.write_int(1);
    EXPECT_FALSE(file.seek(0));
    EXPECT_FALSE(file.close());
}
