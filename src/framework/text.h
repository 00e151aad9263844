// Locale-independent number text. Files, reports and plot files must read the
// same on every machine, so numbers are always written and read with the "C"
// conventions (decimal point '.'), whatever locale the user runs under.
#pragma once

#include <cstdarg>
#include <string>

// printf-style formatting under the "C" numeric conventions, whatever the
// process or thread locale is. The result has any length (no fixed buffer).
// A floating conversion whose digits are all zero is written without a
// sign ("%.3f" of -0.0002 reads "0.000"), as the number writers write it.
std::string c_format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string c_vformat(const char* format, va_list args) __attribute__((format(printf, 1, 0)));

// Reads a whole text as a decimal number ("C" conventions: '.' as the point,
// an optional sign, an optional exponent). Leading and trailing ASCII blanks
// are ignored. False for an empty, partly numeric, infinite, NaN or
// out-of-range text; `out` is then left unchanged.
bool parse_c_double(const std::string& text, double& out);

// Called once at start-up, after the GUI toolkit has set the locale from the
// environment: the C numeric locale and the numeric facet of the global C++
// locale become "C", so that nothing else in the program formats numbers with
// a decimal comma either.
void set_numeric_c_locale();
