// Code points and UTF-16LE runs as UTF-8 (RFC 3629, RFC 2781), for the
// tests that read the texts of a file apart from the program's own code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

inline void append_utf8(std::string& out, uint32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// `count` UTF-16LE units from byte `at` of `bytes` (those within it), with
// their surrogate pairs joined; a lone surrogate stays as its code.
inline std::string utf16le_text(const std::string& bytes, std::size_t at, uint32_t count)
{
    const auto unit = [&](uint32_t k) {
        const std::size_t i = at + 2 * std::size_t{k};
        return uint32_t(static_cast<unsigned char>(bytes[i])) |
               (uint32_t(static_cast<unsigned char>(bytes[i + 1])) << 8);
    };
    const auto within = [&](uint32_t k) { return k < count && at + 2 * std::size_t{k} + 1 < bytes.size(); };
    std::string text;
    for (uint32_t k = 0; within(k); ++k) {
        uint32_t c = unit(k);
        if (c >= 0xD800 && c < 0xDC00 && within(k + 1) && unit(k + 1) >= 0xDC00 && unit(k + 1) < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(++k) - 0xDC00);
        append_utf8(text, c);
    }
    return text;
}
