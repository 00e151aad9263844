// Eight bytes a step through eight tables ("slicing by 8"): table k holds the
// remainder of a byte followed by k zero bytes, so that the eight lookups of
// a step stand for the eight byte-wise steps of the plain method.
#include "framework/crc32.h"

#include <array>

namespace {

using Tables = std::array<std::array<uint32_t, 256>, 8>;

constexpr Tables make_tables()
{
    Tables t{};
    for (uint32_t b = 0; b < 256; ++b) {
        uint32_t c = b;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][b] = c;
    }
    for (std::size_t k = 1; k < 8; ++k)
        for (std::size_t b = 0; b < 256; ++b)
            t[k][b] = (t[k - 1][b] >> 8) ^ t[0][t[k - 1][b] & 0xFFu];
    return t;
}

constexpr Tables TABLES = make_tables();

uint32_t load_le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

void Crc32::update(std::span<const uint8_t> bytes)
{
    const uint8_t* p = bytes.data();
    std::size_t n = bytes.size();
    uint32_t c = state_;
    for (; n >= 8; p += 8, n -= 8) {
        const uint32_t lo = load_le32(p) ^ c;
        const uint32_t hi = load_le32(p + 4);
        c = TABLES[7][lo & 0xFFu] ^ TABLES[6][(lo >> 8) & 0xFFu] ^ TABLES[5][(lo >> 16) & 0xFFu] ^
            TABLES[4][lo >> 24] ^ TABLES[3][hi & 0xFFu] ^ TABLES[2][(hi >> 8) & 0xFFu] ^
            TABLES[1][(hi >> 16) & 0xFFu] ^ TABLES[0][hi >> 24];
    }
    for (; n > 0; ++p, --n)
        c = (c >> 8) ^ TABLES[0][(c ^ *p) & 0xFFu];
    state_ = c;
}

void Crc32::update(const void* bytes, std::size_t n)
{
    update(std::span<const uint8_t>(static_cast<const uint8_t*>(bytes), n));
}

uint32_t crc32_of(std::span<const uint8_t> bytes)
{
    Crc32 crc;
    crc.update(bytes);
    return crc.value();
}
