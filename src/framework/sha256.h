// SHA-256 (FIPS 180-4): the fingerprint of a file's contents, by which a
// results file names the model file it was computed from.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

using Sha256Digest = std::array<uint8_t, 32>;

// Hashes bytes given in any number of parts, in order.
class Sha256 {
public:
    Sha256();
    void update(std::span<const uint8_t> bytes);
    void update(const std::string& text);
    // The digest of everything given; the object is spent after it.
    Sha256Digest finish();

private:
    void block(const uint8_t* p);
    std::array<uint32_t, 8> h_;
    std::array<uint8_t, 64> buffer_{};
    std::size_t buffered_ = 0;
    uint64_t length_ = 0;    // bytes given
};

// The digest of a text's bytes.
Sha256Digest sha256(const std::string& text);
// The digest of a file's contents; false when it cannot be read to its end.
bool sha256_of_file(const std::string& path, Sha256Digest& digest);
// 64 lower-case hexadecimal digits.
std::string sha256_hex(const Sha256Digest& digest);
