// What no report, printed page or exported file may hold as it is: a
// control character (C0 but the tab and the line ends and page breaks a
// file is made of, DEL, C1), a bidirectional embedding, override or isolate
// (U+202A to U+202E, U+2066 to U+2069), or a byte that is no part of a
// UTF-8 character. Read byte by byte after the UTF-8 table of RFC 3629,
// apart from the program's own reading.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Each such character or byte of the text with its offset, one line each;
// empty when it holds none. `allowed` lists the C0 bytes the text may hold.
inline std::vector<std::string> raw_control_bytes(std::string_view text, std::string_view allowed = "\t\n")
{
    std::vector<std::string> found;
    const auto byte = [&text](std::size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
    const auto in = [](unsigned b, unsigned low, unsigned high) { return b >= low && b <= high; };
    for (std::size_t i = 0; i < text.size();) {
        const unsigned b = byte(i);
        std::size_t length = 0;   // of a well-formed character; 0 for a stray byte
        if (b < 0x80)
            length = 1;
        else if (in(b, 0xC2, 0xDF) && in(byte(i + 1), 0x80, 0xBF))
            length = 2;
        else if ((b == 0xE0 && in(byte(i + 1), 0xA0, 0xBF)) || (in(b, 0xE1, 0xEC) && in(byte(i + 1), 0x80, 0xBF)) ||
                 (b == 0xED && in(byte(i + 1), 0x80, 0x9F)) || (in(b, 0xEE, 0xEF) && in(byte(i + 1), 0x80, 0xBF)))
            length = in(byte(i + 2), 0x80, 0xBF) ? 3 : 0;
        else if ((b == 0xF0 && in(byte(i + 1), 0x90, 0xBF)) || (in(b, 0xF1, 0xF3) && in(byte(i + 1), 0x80, 0xBF)) ||
                 (b == 0xF4 && in(byte(i + 1), 0x80, 0x8F)))
            length = in(byte(i + 2), 0x80, 0xBF) && in(byte(i + 3), 0x80, 0xBF) ? 4 : 0;
        const bool c0 = length == 1 && (b < 0x20 || b == 0x7F) && allowed.find(static_cast<char>(b)) == std::string_view::npos;
        const bool c1 = length == 2 && b == 0xC2 && byte(i + 1) <= 0x9F;
        const bool bidi = length == 3 && b == 0xE2 &&
                          ((byte(i + 1) == 0x80 && in(byte(i + 2), 0xAA, 0xAE)) ||
                           (byte(i + 1) == 0x81 && in(byte(i + 2), 0xA6, 0xA9)));
        if (length == 0 || c0 || c1 || bidi)
            found.push_back("byte " + std::to_string(b) + " at " + std::to_string(i));
        i += length == 0 ? 1 : length;
    }
    return found;
}

// A text as a user or a damaged file may give it and what a report or a
// screen shows of it: every byte that is no character to show as "\x"
// and its two hex digits.
struct HostileText {
    std::string bytes;
    std::string shown;
};

// The runs of bytes a hostile text is made of, in turn: ESC with the CSI sequence
// that clears a terminal and the OSC sequence that retitles it, BEL, the
// 8-bit CSI (U+009B), C1 bytes, a byte that is no UTF-8, the right-to-left
// override (U+202E) and the left-to-right isolate (U+2066), DEL, between
// plain letters.
inline const std::vector<HostileText>& hostile_runs()
{
    static const std::vector<HostileText> runs = {
        {"K", "K"},
        {"\x1B", "\\x1B"},
        {"[2J", "[2J"},
        {"\x1B", "\\x1B"},
        {"]0;PW", "]0;PW"},
        {"\x07", "\\x07"},
        {"\xC2\x9B", "\\xC2\\x9B"},
        {"\xFF", "\\xFF"},
        {"\xE2\x80\xAE", "\\xE2\\x80\\xAE"},
        {"C", "C"},
        {"\xE2\x81\xA6", "\\xE2\\x81\\xA6"},
        {"\xC2\x85", "\\xC2\\x85"},
        {"\x7F", "\\x7F"},
        {"\xC3", "\\xC3"},
    };
    return runs;
}

// A text of `bytes` bytes (1 at least): the runs in turn, again from the
// first, as far as they fit, and ESC after them up to the size.
inline HostileText hostile_text(std::size_t bytes)
{
    HostileText text;
    for (std::size_t i = 0;; ++i) {
        const HostileText& run = hostile_runs()[i % hostile_runs().size()];
        if (i > 0 && text.bytes.size() + run.bytes.size() > bytes)
            break;
        text.bytes += run.bytes;
        text.shown += run.shown;
    }
    while (text.bytes.size() < bytes) {
        text.bytes += '\x1B';
        text.shown += "\\x1B";
    }
    return text;
}
