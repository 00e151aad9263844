// CRC-32 (the ISO-HDLC polynomial 0x04C11DB7, reflected, initial and final
// value 0xFFFFFFFF, as in zlib, PNG and Ethernet): the check a results file
// ends with, by which a reader knows that its bytes are those written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// Checks bytes given in any number of parts, in order.
class Crc32 {
public:
    void update(std::span<const uint8_t> bytes);
    void update(const void* bytes, std::size_t n);
    // The check of everything given so far; more may still be given.
    uint32_t value() const { return ~state_; }

private:
    uint32_t state_ = 0xFFFFFFFFu;
};

uint32_t crc32_of(std::span<const uint8_t> bytes);
