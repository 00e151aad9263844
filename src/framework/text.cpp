#include "framework/text.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <locale>
#include <locale.h>
#include <system_error>
#include <vector>

namespace {

// The "C" locale object, made once and shared: locale objects are read-only
// after creation, and uselocale() installs it for the calling thread only.
locale_t c_locale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return locale;
}

// Installs the "C" locale on the calling thread for the lifetime of the object.
class CLocaleScope {
public:
    CLocaleScope()
    {
        locale_t c = c_locale();
        if (c != static_cast<locale_t>(0))
            previous_ = uselocale(c);
    }
    ~CLocaleScope()
    {
        if (previous_ != static_cast<locale_t>(0))
            uselocale(previous_);
    }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    locale_t previous_ = static_cast<locale_t>(0);
};

bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// One directive of a format (a conversion with its flags) with its star arguments and value, as
// snprintf writes it.
template <typename T>
std::string format_one(const std::string& directive, int stars, const int* star, T value)
{
    char small[128];
    const auto write = [&](char* out, std::size_t size) {
        switch (stars) {
        case 0: return std::snprintf(out, size, directive.c_str(), value);
        case 1: return std::snprintf(out, size, directive.c_str(), star[0], value);
        default: return std::snprintf(out, size, directive.c_str(), star[0], star[1], value);
        }
    };
    const int length = write(small, sizeof small);
    if (length < 0)
        return std::string();
    if (static_cast<std::size_t>(length) < sizeof small)
        return std::string(small, static_cast<std::size_t>(length));
    std::vector<char> large(static_cast<std::size_t>(length) + 1);
    write(large.data(), large.size());
    return std::string(large.data(), static_cast<std::size_t>(length));
}

// A number text of a floating conversion whose digits (before its
// exponent) are all zero and that has a '-' in front: a negative zero.
bool signed_zero(const std::string& text)
{
    std::size_t i = text.find('-');
    if (i == std::string::npos)
        return false;
    bool hex = false, digit = false;
    for (++i; i < text.size(); ++i) {
        const char c = text[i];
        if (c == 'x' || c == 'X')
            hex = true;
        else if (hex ? (c == 'p' || c == 'P') : (c == 'e' || c == 'E'))
            break;
        else if (c == '0')
            digit = true;
        else if (c != '.' && c != ' ')
            return false;
    }
    return digit;
}

// The format written conversion by conversion, as vsnprintf writes it but
// for a floating conversion that would write a negative zero, which is
// written as the zero it is.
std::string format_without_signed_zero(const char* format, va_list args)
{
    std::string out;
    const char* p = format;
    while (*p) {
        const char* percent = std::strchr(p, '%');
        if (!percent) {
            out += p;
            break;
        }
        out.append(p, percent);
        const char* q = percent + 1;
        if (*q == '%') {
            out += '%';
            p = q + 1;
            continue;
        }
        int star[2] = {0, 0};
        int stars = 0;
        // A width or a precision: digits, or '*' and an argument.
        const auto amount = [&] {
            if (*q == '*') {
                star[stars++] = va_arg(args, int);
                ++q;
            }
            while (*q >= '0' && *q <= '9')
                ++q;
        };
        while (*q && std::strchr("-+ #0'", *q))
            ++q;
        amount();
        if (*q == '.') {
            ++q;
            amount();
        }
        std::string length;
        while (*q && std::strchr("hlLqjzt", *q))
            length += *q++;
        if (!*q) {
            out += percent;
            break;
        }
        const char conversion = *q;
        const std::string directive(percent, q + 1);
        p = q + 1;
        switch (conversion) {
        case 'd':
        case 'i':
            if (length == "l")
                out += format_one(directive, stars, star, va_arg(args, long));
            else if (length == "ll" || length == "q" || length == "j")
                out += format_one(directive, stars, star, va_arg(args, long long));
            else if (length == "z" || length == "t")
                out += format_one(directive, stars, star, va_arg(args, std::ptrdiff_t));
            else
                out += format_one(directive, stars, star, va_arg(args, int));
            break;
        case 'u':
        case 'o':
        case 'x':
        case 'X':
            if (length == "l")
                out += format_one(directive, stars, star, va_arg(args, unsigned long));
            else if (length == "ll" || length == "q" || length == "j")
                out += format_one(directive, stars, star, va_arg(args, unsigned long long));
            else if (length == "z" || length == "t")
                out += format_one(directive, stars, star, va_arg(args, std::size_t));
            else
                out += format_one(directive, stars, star, va_arg(args, unsigned));
            break;
        case 'c': out += format_one(directive, stars, star, va_arg(args, int)); break;
        case 's':
            if (length == "l")
                out += format_one(directive, stars, star, va_arg(args, const wchar_t*));
            else
                out += format_one(directive, stars, star, va_arg(args, const char*));
            break;
        case 'p': out += format_one(directive, stars, star, va_arg(args, void*)); break;
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
            if (length == "L") {
                const long double v = va_arg(args, long double);
                std::string text = format_one(directive, stars, star, v);
                out += signed_zero(text) ? format_one(directive, stars, star, 0.0L) : text;
            } else {
                const double v = va_arg(args, double);
                std::string text = format_one(directive, stars, star, v);
                out += signed_zero(text) ? format_one(directive, stars, star, 0.0) : text;
            }
            break;
        case 'n': (void)va_arg(args, void*); break;
        default: out += directive; break;
        }
    }
    return out;
}

}  // namespace

std::string c_vformat(const char* format, va_list args)
{
    if (format == nullptr)
        return std::string();
    CLocaleScope scope;
    char small[128];
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (length < 0)
        return std::string();
    std::string text;
    if (static_cast<size_t>(length) < sizeof small) {
        text.assign(small, static_cast<size_t>(length));
    } else {
        std::vector<char> large(static_cast<size_t>(length) + 1);
        va_copy(copy, args);
        std::vsnprintf(large.data(), large.size(), format, copy);
        va_end(copy);
        text.assign(large.data(), static_cast<size_t>(length));
    }
    // A value that rounds to zero is written without a sign: the format is
    // written again conversion by conversion when the text may hold one.
    if (text.find("-0") == std::string::npos)
        return text;
    va_copy(copy, args);
    text = format_without_signed_zero(format, copy);
    va_end(copy);
    return text;
}

std::string c_format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = c_vformat(format, args);
    va_end(args);
    return text;
}

bool parse_c_double(const std::string& text, double& out)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && is_blank(text[first]))
        ++first;
    while (last > first && is_blank(text[last - 1]))
        --last;
    if (first == last)
        return false;
    const char* begin = text.data() + first;
    const char* end = text.data() + last;
    // from_chars takes no '+' sign; a second sign after it is still refused.
    if (*begin == '+') {
        ++begin;
        if (begin == end || *begin == '-' || *begin == '+')
            return false;
    }
    double value = 0.0;
    auto [stop, error] = std::from_chars(begin, end, value, std::chars_format::general);
    if (error != std::errc() || stop != end || !std::isfinite(value))
        return false;
    out = value;
    return true;
}

void set_numeric_c_locale()
{
    std::locale::global(std::locale(std::locale(), std::locale::classic(), std::locale::numeric));
    // Unnamed C++ locales do not touch the C locale, so set it explicitly.
    std::setlocale(LC_NUMERIC, "C");
}
