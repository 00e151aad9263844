// Small text and path helpers. Letters and case are ASCII only, whatever the
// user's locale.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// True when the text holds only letters, digits, '-' and '/'. An empty text
// holds nothing else and so is valid: callers test for an empty name first
// and report it as required.
bool is_valid_name(std::string_view text);

// What keeps a text from being a name of at most `limit` characters, the
// first in the order a refusal names it: its length, counted in characters
// (UTF-8 code points, utf8_length) and not in bytes, then a character that
// is_valid_name refuses. A name of letters outside ASCII within the limit is
// so refused for its letters, whatever bytes they take. A name that may
// hold any letters (`any_letters`) is still kept in a field of `limit`
// bytes: one that needs more is TOO_MANY_BYTES. The empty name is the
// caller's to refuse as required.
enum class NameFault { NONE, TOO_LONG, NOT_ALPHANUMERIC, TOO_MANY_BYTES };
NameFault name_fault(std::string_view name, std::size_t limit, bool any_letters = false);
// The message of a fault of a name of the kind `noun` ("Material"):
// "Material name should be <= 5 characters", "Material name should be
// alpha-numeric", or for TOO_MANY_BYTES that the file keeps `limit` bytes
// of it; empty for NONE.
std::string name_fault_text(std::string_view noun, NameFault fault, std::size_t limit);
// The same of the name itself: empty when it is a name.
std::string name_fault_text(std::string_view noun, std::string_view name, std::size_t limit, bool any_letters = false);

// Appends " (", the folder without its trailing '/' or '\\', and ")". A folder
// made only of separators (the root) is kept as it is.
void append_in_parentheses(std::string& text, std::string_view folder);

// Removes leading and trailing blanks (spaces and tabs) in place.
void trim_blanks(std::string& text);
// The same on a copy.
std::string trimmed(std::string text);
// The number of characters of a UTF-8 text, and the byte offset of its
// character `index` (from 0; the text's size when it has fewer).
int utf8_length(std::string_view text);
std::size_t utf8_offset(std::string_view text, int index);
// The longest start of a UTF-8 text that fits `max_bytes` without cutting a
// character in two.
std::string_view utf8_prefix(std::string_view text, std::size_t max_bytes);
// A text of the user's input as a message or a report quotes it: every
// control character but the tab (C0, DEL and the C1 characters U+0080 to
// U+009F), every bidirectional embedding, override and isolate (U+202A to
// U+202E, U+2066 to U+2069) and every byte that is no part of a UTF-8
// character written as "\x" and two upper-case hex digits a byte ("\x1B"
// for ESC, "\xE2\x80\xAE" for U+202E), so that a reader sees them, a
// terminal that shows the text takes none of them as a command and no text
// is shown in another order than it was written. Any other character stays
// as it is. With `keep_line_feeds` a line feed stays, for a whole message of
// several lines.
std::string shown_controls(std::string_view text, bool keep_line_feeds = false);
// True when shown_controls would write part of the text (a line feed
// among them) as codes.
bool holds_controls(std::string_view text);
// The text with each character that shown_controls would write as codes
// (a line feed among them) made one blank: for a file whose reader takes
// no codes.
std::string blanked_controls(std::string_view text);
// The text without blanks (any white space), except that a run of blanks between two parts of
// a number (a digit or a decimal point on each side) leaves one blank: a
// reader then refuses "5 6" instead of taking it for 56.
std::string squeeze_blanks(std::string_view text);
std::string upper_case(std::string text);
std::string lower_case(std::string text);
// A menu text as a list or a tool-tip shows it: without its mnemonic marks
// ("&Sorted stresses" reads "Sorted stresses", "&&" one "&"); the tip also
// without the key hint after a tab and the blanks around it.
std::string without_mnemonics(std::string_view text);
std::string menu_tip_text(std::string_view menu_text);

// The file name of a path without its extension (the part from the last '.'
// of the name on, when the name does not start with it); "Untitled" for an
// empty path.
std::string model_base_name(std::string_view path);
// The extension in lower case without its dot; empty when there is none.
std::string file_extension(std::string_view path);
// The path with its extension replaced by ext (given without a dot), or ext
// appended when the path has none; an empty ext removes the extension.
std::string replace_extension(std::string_view path, std::string_view ext);
// The folder of a path without a trailing '/' ("" for a bare file name, "/"
// for a file in the root).
std::string folder_of(std::string_view path);

// The folder that holds the running program; empty when it cannot be found.
std::string program_folder();
