#include "framework/sha256.h"

#include "framework/binfile.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::array<uint32_t, 64> K = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr uint32_t rotr(uint32_t x, int n)
{
    return (x >> n) | (x << (32 - n));
}

}  // namespace

Sha256::Sha256()
    : h_{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19}
{
}

void Sha256::block(const uint8_t* p)
{
    std::array<uint32_t, 64> w{};
    for (int t = 0; t < 16; ++t)
        w[t] = uint32_t{p[4 * t]} << 24 | uint32_t{p[4 * t + 1]} << 16 | uint32_t{p[4 * t + 2]} << 8 | p[4 * t + 3];
    for (int t = 16; t < 64; ++t) {
        const uint32_t s0 = rotr(w[t - 15], 7) ^ rotr(w[t - 15], 18) ^ (w[t - 15] >> 3);
        const uint32_t s1 = rotr(w[t - 2], 17) ^ rotr(w[t - 2], 19) ^ (w[t - 2] >> 10);
        w[t] = w[t - 16] + s0 + w[t - 7] + s1;
    }
    uint32_t a = h_[0], b = h_[1], c = h_[2], d = h_[3], e = h_[4], f = h_[5], g = h_[6], h = h_[7];
    for (int t = 0; t < 64; ++t) {
        const uint32_t t1 = h + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + K[t] + w[t];
        const uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    const uint32_t out[8] = {a, b, c, d, e, f, g, h};
    for (int i = 0; i < 8; ++i)
        h_[i] += out[i];
}

void Sha256::update(std::span<const uint8_t> bytes)
{
    length_ += bytes.size();
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (buffered_ == 0 && bytes.size() - i >= 64) {
            block(bytes.data() + i);
            i += 64;
            continue;
        }
        buffer_[buffered_++] = bytes[i++];
        if (buffered_ == 64) {
            block(buffer_.data());
            buffered_ = 0;
        }
    }
}

void Sha256::update(const std::string& text)
{
    update(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

Sha256Digest Sha256::finish()
{
    // The padding: a 1 bit, zeros to 56 bytes of the block, then the
    // message's length in bits, big-endian.
    const uint64_t bits = length_ * 8;
    uint8_t pad[72] = {0x80};
    const std::size_t zeros = (buffered_ < 56 ? 56 : 120) - buffered_;
    for (int i = 0; i < 8; ++i)
        pad[zeros + i] = static_cast<uint8_t>(bits >> (56 - 8 * i));
    const uint64_t given = length_;
    update(std::span<const uint8_t>(pad, zeros + 8));
    length_ = given;
    Sha256Digest digest{};
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 4; ++j)
            digest[static_cast<std::size_t>(4 * i + j)] = static_cast<uint8_t>(h_[i] >> (24 - 8 * j));
    return digest;
}

Sha256Digest sha256(const std::string& text)
{
    Sha256 hash;
    hash.update(text);
    return hash.finish();
}

bool sha256_of_file(const std::string& path, Sha256Digest& digest)
{
    BinFile file;
    if (!file.open_read(path))
        return false;
    Sha256 hash;
    std::vector<uint8_t> chunk(1 << 16);
    while (file.remaining() > 0 && !file.error()) {
        const auto n = static_cast<std::size_t>(std::min<int64_t>(file.remaining(), static_cast<int64_t>(chunk.size())));
        file.read(chunk.data(), n);
        hash.update(std::span<const uint8_t>(chunk.data(), n));
    }
    if (file.error())
        return false;
    digest = hash.finish();
    return true;
}

std::string sha256_hex(const Sha256Digest& digest)
{
    static constexpr char DIGITS[] = "0123456789abcdef";
    std::string text;
    for (uint8_t b : digest) {
        text += DIGITS[b >> 4];
        text += DIGITS[b & 15];
    }
    return text;
}
