// The characters of a UTF-8 text, as the platform's texts hold them.
#pragma once

#include <cstddef>
#include <string_view>

// The length in bytes of the UTF-8 character at byte `at` of the text: 1
// for an ASCII byte, 2 to 4 for a character of several bytes; 0 when the
// bytes there are no character (a stray continuation byte, an overlong
// form, a surrogate, a code beyond U+10FFFF, a character cut short) or
// `at` lies past the text's end.
std::size_t utf8_character_length(std::string_view text, std::size_t at);
