#include "framework/text.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
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
    if (static_cast<size_t>(length) < sizeof small)
        return std::string(small, static_cast<size_t>(length));
    std::vector<char> large(static_cast<size_t>(length) + 1);
    va_copy(copy, args);
    std::vsnprintf(large.data(), large.size(), format, copy);
    va_end(copy);
    return std::string(large.data(), static_cast<size_t>(length));
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
