// The number that a message or a report shows before a unit, read back for
// a test that checks it against a value worked out by hand.
#pragma once

#include <cmath>
#include <cstdlib>
#include <string>

// The number a text shows just before `unit` ("(-4168.5 N)" read at " N)");
// NaN when the text has no such unit.
inline double number_before(const std::string& text, const std::string& unit)
{
    const std::size_t end = text.find(unit);
    if (end == std::string::npos || end == 0)
        return std::nan("");
    const std::size_t start = text.find_last_of(" (", end - 1) + 1;
    return std::strtod(text.substr(start, end - start).c_str(), nullptr);
}
