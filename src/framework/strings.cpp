// Text and path helpers.
#include "framework/strings.h"

#include "platform/utf8.h"

#include <algorithm>
#include <vector>

#include <unistd.h>

namespace {

bool is_blank(char c)
{
    return c == ' ' || c == '\t';
}

bool is_white_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool is_separator(char c)
{
    return c == '/' || c == '\\';
}

// Offset of the extension's dot within path, or npos: the last '.' of the
// file name, provided the name does not start with it (".profile" has none).
std::size_t extension_dot(std::string_view path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t name_start = slash == std::string_view::npos ? 0 : slash + 1;
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string_view::npos || dot <= name_start)
        return std::string_view::npos;
    return dot;
}

}  // namespace

bool is_valid_name(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               c == '-' || c == '/';
    });
}

NameFault name_fault(std::string_view name, std::size_t limit, bool any_letters)
{
    if (static_cast<std::size_t>(utf8_length(name)) > limit)
        return NameFault::TOO_LONG;
    if (!any_letters && !is_valid_name(name))
        return NameFault::NOT_ALPHANUMERIC;
    if (name.size() > limit)
        return NameFault::TOO_MANY_BYTES;
    return NameFault::NONE;
}

std::string name_fault_text(std::string_view noun, NameFault fault, std::size_t limit)
{
    const std::string name = std::string(noun) + " name ";
    switch (fault) {
    case NameFault::NONE: break;
    case NameFault::TOO_LONG: return name + "should be <= " + std::to_string(limit) + " characters";
    case NameFault::NOT_ALPHANUMERIC: return name + "should be alpha-numeric";
    case NameFault::TOO_MANY_BYTES:
        return name + "is too long: the file keeps " + std::to_string(limit) +
               " bytes of it, and a letter outside ASCII takes 2 to 4 of them";
    }
    return {};
}

std::string name_fault_text(std::string_view noun, std::string_view name, std::size_t limit, bool any_letters)
{
    return name_fault_text(noun, name_fault(name, limit, any_letters), limit);
}

void append_in_parentheses(std::string& text, std::string_view folder)
{
    std::size_t end = folder.size();
    while (end > 0 && is_separator(folder[end - 1]))
        --end;
    if (end == 0)
        end = folder.size();
    text += " (";
    text += folder.substr(0, end);
    text += ")";
}

void trim_blanks(std::string& text)
{
    std::size_t end = text.size();
    while (end > 0 && is_blank(text[end - 1]))
        --end;
    std::size_t start = 0;
    while (start < end && is_blank(text[start]))
        ++start;
    text = text.substr(start, end - start);
}

std::string trimmed(std::string text)
{
    trim_blanks(text);
    return text;
}

std::string without_mnemonics(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&')
                out += '&', ++i;
            continue;
        }
        out += text[i];
    }
    return out;
}

std::string menu_tip_text(std::string_view menu_text)
{
    return trimmed(without_mnemonics(menu_text.substr(0, menu_text.find('\t'))));
}

std::string squeeze_blanks(std::string_view text)
{
    auto number_part = [](char c) { return (c >= '0' && c <= '9') || c == '.'; };
    std::string result;
    result.reserve(text.size());
    bool blank_before = false;
    for (char c : text) {
        if (is_white_space(c)) {
            blank_before = !result.empty();
            continue;
        }
        if (blank_before && number_part(result.back()) && number_part(c))
            result += ' ';
        blank_before = false;
        result += c;
    }
    return result;
}

std::string upper_case(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string lower_case(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string model_base_name(std::string_view path)
{
    if (path.empty())
        return "Untitled";
    const std::size_t slash = path.find_last_of('/');
    const std::size_t name_start = slash == std::string_view::npos ? 0 : slash + 1;
    const std::size_t dot = extension_dot(path);
    const std::size_t name_end = dot == std::string_view::npos ? path.size() : dot;
    return std::string(path.substr(name_start, name_end - name_start));
}

std::string file_extension(std::string_view path)
{
    const std::size_t dot = extension_dot(path);
    if (dot == std::string_view::npos)
        return {};
    return lower_case(std::string(path.substr(dot + 1)));
}

std::string replace_extension(std::string_view path, std::string_view ext)
{
    const std::size_t dot = extension_dot(path);
    std::string result(path.substr(0, dot == std::string_view::npos ? path.size() : dot));
    if (!ext.empty()) {
        result += '.';
        result += ext;
    }
    return result;
}

std::string folder_of(std::string_view path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string_view::npos)
        return {};
    if (slash == 0)
        return "/";
    return std::string(path.substr(0, slash));
}

std::string program_folder()
{
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0)
            return {};
        if (static_cast<std::size_t>(n) < buffer.size())
            return folder_of(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
        if (buffer.size() >= (1u << 20))
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

int utf8_length(std::string_view text) {
    int n = 0;
    for (unsigned char ch : text)
        if ((ch & 0xC0) != 0x80) ++n;
    return n;
}

std::size_t utf8_offset(std::string_view text, int index) {
    int n = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (n++ == index) return i;
    }
    return text.size();
}

std::string_view utf8_prefix(std::string_view text, std::size_t max_bytes) {
    if (text.size() <= max_bytes) return text;
    std::size_t end = max_bytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

namespace {

void append_escaped(std::string& out, unsigned char byte)
{
    static constexpr char HEX[] = "0123456789ABCDEF";
    out += "\\x";
    out += HEX[byte >> 4];
    out += HEX[byte & 0x0F];
}

// True for the bidirectional embeddings, overrides and isolates, U+202A to
// U+202E (E2 80 AA to AE) and U+2066 to U+2069 (E2 81 A6 to A9): they
// reorder the text around them.
bool bidi_control(std::string_view character)
{
    if (character.size() != 3 || static_cast<unsigned char>(character[0]) != 0xE2)
        return false;
    const auto second = static_cast<unsigned char>(character[1]), third = static_cast<unsigned char>(character[2]);
    return (second == 0x80 && third >= 0xAA && third <= 0xAE) || (second == 0x81 && third >= 0xA6 && third <= 0xA9);
}

// The text in parts, in order, each a character that is shown as it is or a
// run of bytes that shown_controls writes as codes (`hidden`): a control
// character (C0 but the tab and, when kept, the line feed; DEL; C1), a
// bidirectional control, or bytes that are no part of a UTF-8 character.
template <typename Part>
void for_each_part(std::string_view text, bool keep_line_feeds, Part part)
{
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte < 0x80) {
            part(text.substr(at, 1),
                 (byte < 0x20 && byte != '\t' && !(keep_line_feeds && byte == '\n')) || byte == 0x7F);
            ++at;
            continue;
        }
        const std::size_t length = utf8_character_length(text, at);
        const std::size_t taken = std::max<std::size_t>(length, 1);
        const std::string_view character = text.substr(at, taken);
        // U+0080 to U+009F are C2 80 to C2 9F.
        const bool c1_control = length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[at + 1]) <= 0x9F;
        part(character, length == 0 || c1_control || bidi_control(character));
        at += taken;
    }
}

}  // namespace

std::string shown_controls(std::string_view text, bool keep_line_feeds)
{
    std::string out;
    out.reserve(text.size());
    for_each_part(text, keep_line_feeds, [&out](std::string_view part, bool hidden) {
        if (!hidden) {
            out.append(part);
            return;
        }
        for (char byte : part)
            append_escaped(out, static_cast<unsigned char>(byte));
    });
    return out;
}

bool holds_controls(std::string_view text)
{
    // Plain printable ASCII, what nearly every text is, at a glance.
    if (std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; }))
        return false;
    bool held = false;
    for_each_part(text, false, [&held](std::string_view, bool hidden) { held = held || hidden; });
    return held;
}

std::string blanked_controls(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for_each_part(text, false, [&out](std::string_view part, bool hidden) {
        if (hidden)
            out += ' ';
        else
            out.append(part);
    });
    return out;
}
