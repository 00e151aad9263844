// Numbers and texts as the plot files write them: fixed-point numbers under
// the "C" conventions, the program's texts (UTF-8) turned into the bytes each
// format can hold, and the widths of the Helvetica font that the EPS pages
// are set in.
#pragma once

#include <string>
#include <string_view>

// A value with `decimals` digits after the point ("%.*f" under the "C"
// conventions); a value that rounds to zero is written without a sign, and
// one that is not a number is written as 0.
std::string plot_number(double value, int decimals);

// The value of a DXF TEXT entity (group 1) that a DXF reader reads back as
// the text. It is Windows code page 1252: valid UTF-8 sequences are
// decoded, a byte that is not part of one is taken as already being a
// CP1252 byte, control characters (below 32, 127 and the C1 codes) become
// blanks, and a character the code page lacks is written "\U+" and its
// four hex digits (one beyond the 16-bit range as '?'). What the reader
// would take for one of its codes is written so that it reads back as
// itself: a caret (which with the character after it would make a control
// character) as "^ ", each '%' of a run of two or more (the reader's %%u,
// %%c, %%nnn, ...) or before such an escaped backslash as "%%%", and a
// backslash that begins "\U+" or "\M+" as "%%092".
std::string dxf_text_value(std::string_view utf8);

// An HP-GL label: printable ASCII only. Control characters (the label
// terminator 03 among them) become blanks, accented Latin letters their
// plain letter, anything else '?'.
std::string hpgl_label_text(std::string_view utf8);

// The text between the parentheses of a PostScript string shown in the
// Helvetica of StandardEncoding: '\', '(' and ')' escaped with a backslash,
// control characters as blanks, a character that StandardEncoding holds
// above 127 as its octal escape, an accented Latin letter (which
// StandardEncoding does not hold whole) as its plain letter, anything else
// '?'.
std::string postscript_string_text(std::string_view utf8);

// The advance width of the text in Helvetica at 1000 units to the em (the
// widths of the Adobe Helvetica font metrics), as the text is shown by
// postscript_string_text.
int helvetica_width(std::string_view utf8);
// The Helvetica metrics the EPS pages measure with, at 1000 units to the
// em: the font's box above and below the base line, and the mean width of
// the lower-case letters.
inline constexpr int HELVETICA_ASCENT = 931;
inline constexpr int HELVETICA_DESCENT = 225;
int helvetica_average_width();
