#include "graphics/plot_text.h"

#include "framework/text.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// The characters of code page 1252 at 0x80..0x9F (0: no character there).
constexpr std::array<char32_t, 32> CP1252_HIGH = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t cp1252_char(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0)
        return CP1252_HIGH[byte - 0x80];
    return byte;
}

// The characters of a text: UTF-8 decoded, a stray byte taken as code page 1252.
std::vector<char32_t> characters(std::string_view text)
{
    std::vector<char32_t> out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t c = 0;
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        if (b >= 0xC2 && b <= 0xDF) {
            extra = 1;
            c = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2;
            c = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3;
            c = b & 0x07;
        }
        bool valid = extra > 0 && i + static_cast<std::size_t>(extra) < text.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const auto n = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((n & 0xC0) != 0x80)
                valid = false;
            else
                c = (c << 6) | (n & 0x3F);
        }
        // Overlong forms, surrogates and values beyond Unicode are no characters.
        if (valid && ((extra == 2 && c < 0x800) || (extra == 3 && (c < 0x10000 || c > 0x10FFFF)) ||
                      (c >= 0xD800 && c <= 0xDFFF)))
            valid = false;
        if (valid) {
            out.push_back(c);
            i += static_cast<std::size_t>(extra) + 1;
        } else {
            out.push_back(cp1252_char(b));
            ++i;
        }
    }
    return out;
}

bool is_control(char32_t c)
{
    return c < 32 || c == 127 || (c >= 0x80 && c < 0xA0);
}

// The byte of a character in code page 1252; 0 when the code page lacks it.
char cp1252_byte(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t k = 0; k < CP1252_HIGH.size(); ++k)
        if (CP1252_HIGH[k] == c)
            return static_cast<char>(0x80 + k);
    return 0;
}

// The plain letter of an accented Latin letter; 0 for another character.
char plain_letter(char32_t c)
{
    static constexpr const char* LATIN1 = "AAAAAA\0CEEEEIIIIDNOOOOO\0OUUUUY\0\0aaaaaa\0ceeeeiiiidnooooo\0ouuuuy\0y";
    if (c >= 0xC0 && c <= 0xFF)
        return LATIN1[c - 0xC0];
    switch (c) {
    case 0x0160: return 'S';
    case 0x0161: return 's';
    case 0x017D: return 'Z';
    case 0x017E: return 'z';
    case 0x0178: return 'Y';
    default: return 0;
    }
}

// A character of StandardEncoding above 127: its code and its Helvetica width.
struct StandardGlyph {
    char32_t character;
    unsigned char code;
    int width;
};

// The glyphs of StandardEncoding above 127 that stand for a character of
// their own, with their advance widths (the "C code ; WX width" lines of
// Helvetica.afm, Adobe's Core 14 font metrics, Version 002.000).
constexpr std::array<StandardGlyph, 53> STANDARD_HIGH = {{
    {0x00A1, 0241, 333},  {0x00A2, 0242, 556}, {0x00A3, 0243, 556},  {0x2044, 0244, 167}, {0x00A5, 0245, 556},
    {0x0192, 0246, 556},  {0x00A7, 0247, 556}, {0x00A4, 0250, 556},  {0x201C, 0252, 333}, {0x00AB, 0253, 556},
    {0x2039, 0254, 333},  {0x203A, 0255, 333}, {0xFB01, 0256, 500},  {0xFB02, 0257, 500}, {0x2013, 0261, 556},
    {0x2020, 0262, 556},  {0x2021, 0263, 556}, {0x00B7, 0264, 278},  {0x00B6, 0266, 537}, {0x2022, 0267, 350},
    {0x201A, 0270, 222},  {0x201E, 0271, 333}, {0x201D, 0272, 333},  {0x00BB, 0273, 556}, {0x2026, 0274, 1000},
    {0x2030, 0275, 1000}, {0x00BF, 0277, 611}, {0x00B4, 0302, 333},  {0x02C6, 0303, 333}, {0x02DC, 0304, 333},
    {0x00AF, 0305, 333},  {0x02D8, 0306, 333}, {0x02D9, 0307, 333},  {0x00A8, 0310, 333}, {0x02DA, 0312, 333},
    {0x00B8, 0313, 333},  {0x02DD, 0315, 333}, {0x02DB, 0316, 333},  {0x02C7, 0317, 333}, {0x2014, 0320, 1000},
    {0x00C6, 0341, 1000}, {0x00AA, 0343, 370}, {0x0141, 0350, 556},  {0x00D8, 0351, 778}, {0x0152, 0352, 1000},
    {0x00BA, 0353, 365},  {0x00E6, 0361, 889}, {0x0131, 0365, 278},  {0x0142, 0370, 222}, {0x00F8, 0371, 611},
    {0x0153, 0372, 944},  {0x00DF, 0373, 611}, {0x00A0, 040, 278},
}};

// The Helvetica advance widths of the printable ASCII characters 32..126 as
// StandardEncoding shows them (39 is quoteright and 96 quoteleft there), from
// the same Helvetica.afm; the metric-compatible NimbusSans-Regular.afm of
// Debian's fonts-urw-base35 gives the same 95 widths.
constexpr std::array<int, 95> HELVETICA_ASCII = {
    278, 278, 355, 556, 556, 889, 667, 222, 333, 333, 389, 584, 278, 333, 278, 278,   // 32..47
    556, 556, 556, 556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556,   // 48..63
    1015, 667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778,  // 64..79
    667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278, 469, 556,   // 80..95
    222, 556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556,   // 96..111
    556, 556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584};       // 112..126

const StandardGlyph* standard_glyph(char32_t c)
{
    for (const StandardGlyph& g : STANDARD_HIGH)
        if (g.character == c)
            return &g;
    return nullptr;
}

// The byte a character takes in StandardEncoding (0: none), after the
// quotes that StandardEncoding keeps at the places of ASCII's.
unsigned char standard_code(char32_t c, int& width)
{
    if (c == 0x2019)
        c = '\'';
    else if (c == 0x2018)
        c = '`';
    if (c >= 32 && c <= 126) {
        width = HELVETICA_ASCII[c - 32];
        return static_cast<unsigned char>(c);
    }
    if (const StandardGlyph* g = standard_glyph(c)) {
        width = g->width;
        return g->code;
    }
    if (const char p = plain_letter(c)) {
        width = HELVETICA_ASCII[static_cast<unsigned char>(p) - 32];
        return static_cast<unsigned char>(p);
    }
    width = HELVETICA_ASCII['?' - 32];
    return '?';
}

}  // namespace

std::string plot_number(double value, int decimals)
{
    if (!std::isfinite(value))
        value = 0.0;
    std::string text = c_format("%.*f", decimals, value);
    if (!text.empty() && text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1);
    return text;
}

std::string dxf_text_value(std::string_view utf8)
{
    const std::vector<char32_t> text = characters(utf8);
    const auto at = [&text](std::size_t i) { return i < text.size() ? text[i] : char32_t{0}; };
    // A backslash that the reader would take for the start of a character
    // given by its code.
    const auto coded_start = [&at](std::size_t i) {
        const char32_t next = at(i + 1);
        return at(i) == '\\' && (next == 'U' || next == 'u' || next == 'M' || next == 'm') && at(i + 2) == '+';
    };
    std::string out;
    out.reserve(utf8.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (c == '^') {
            out += "^ ";
        } else if (c == '%') {
            // A '%' next to another, or before the escape of a backslash,
            // would begin a code of the reader.
            const bool in_pair = at(i + 1) == '%' || (i > 0 && text[i - 1] == '%') || coded_start(i + 1);
            out += in_pair ? "%%%" : "%";
        } else if (coded_start(i)) {
            out += "%%092";
        } else if (is_control(c)) {
            out.push_back(' ');
        } else if (const char byte = cp1252_byte(c)) {
            out.push_back(byte);
        } else {
            out += c <= 0xFFFF ? c_format("\\U+%04X", static_cast<unsigned>(c)) : std::string("?");
        }
    }
    return out;
}

std::string hpgl_label_text(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (char32_t c : characters(utf8)) {
        if (is_control(c))
            out.push_back(' ');
        else if (c < 0x80)
            out.push_back(static_cast<char>(c));
        else if (const char p = plain_letter(c))
            out.push_back(p);
        else
            out.push_back('?');
    }
    return out;
}

std::string postscript_string_text(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size() + 8);
    for (char32_t c : characters(utf8)) {
        if (is_control(c))
            c = ' ';
        int width = 0;
        const unsigned char code = standard_code(c, width);
        if (code == '\\' || code == '(' || code == ')') {
            out.push_back('\\');
            out.push_back(static_cast<char>(code));
        } else if (code >= 128) {
            out += c_format("\\%03o", static_cast<unsigned>(code));
        } else {
            out.push_back(static_cast<char>(code));
        }
    }
    return out;
}

int helvetica_width(std::string_view utf8)
{
    int total = 0;
    for (char32_t c : characters(utf8)) {
        if (is_control(c))
            c = ' ';
        int width = 0;
        standard_code(c, width);
        total += width;
    }
    return total;
}

int helvetica_average_width()
{
    int total = 0;
    for (char c = 'a'; c <= 'z'; ++c)
        total += HELVETICA_ASCII[static_cast<unsigned char>(c) - 32];
    return (total + 13) / 26;
}
