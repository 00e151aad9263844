// The user guide as the build puts it beside the program, for the tests that
// hold the program to what the guide says: its HTML, its text without tags,
// and the keys as it writes them ("F12", "Ctrl+Shift+C", "Tab").
#pragma once

#include "platform/resources.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>

// help/index.html beside the program ("" when it is not there).
inline std::string built_guide()
{
    const std::filesystem::path guide = std::filesystem::path(KV_PROGRAM_PATH).parent_path() / "help" / "index.html";
    std::ifstream in(guide, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The text of some HTML: no tags, white space one blank, the entities the
// guide uses read.
inline std::string guide_plain(const std::string& html)
{
    std::string text;
    bool in_tag = false;
    for (const char c : html) {
        if (c == '<')
            in_tag = true;
        else if (c == '>')
            in_tag = false;
        else if (!in_tag && std::isspace(static_cast<unsigned char>(c)))
            text += text.empty() || text.back() == ' ' ? "" : " ";
        else if (!in_tag)
            text += c;
    }
    for (const auto& [entity, c] : {std::pair{"&gt;", ">"}, std::pair{"&lt;", "<"}, std::pair{"&quot;", "\""},
                                    std::pair{"&amp;", "&"}})
        for (std::size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
            text.replace(at, std::string(entity).size(), c);
    return text;
}

// True when the guide's text holds the words.
inline bool guide_says(const std::string& words)
{
    return guide_plain(built_guide()).find(words) != std::string::npos;
}

// A key as the guide writes it: an F key or a letter or digit with Ctrl or
// Shift, and with `named` also Tab, Enter, Escape, the arrows, Home and End.
// False when the text is no key (a letter alone, "Eq. (8)").
inline bool read_guide_key(const std::string& text, int& key, unsigned& mods, bool named = false)
{
    static const std::map<std::string, int> names = {
        {"Tab", KEY_TAB},   {"Enter", KEY_RETURN}, {"Escape", KEY_ESCAPE}, {"Up", KEY_UP},
        {"Down", KEY_DOWN}, {"Left", KEY_LEFT},    {"Right", KEY_RIGHT},   {"Home", KEY_HOME},
        {"End", KEY_END}};
    mods = MOD_NONE;
    std::string rest = text;
    for (const auto& [prefix, mod] : {std::pair{"Ctrl+", MOD_CONTROL}, std::pair{"Shift+", MOD_SHIFT}})
        if (rest.rfind(prefix, 0) == 0) {
            mods |= mod;
            rest = rest.substr(std::string(prefix).size());
        }
    if (const auto k = names.find(rest); named && k != names.end()) {
        key = k->second;
        return true;
    }
    if (rest.size() >= 2 && rest.size() <= 3 && rest[0] == 'F' &&
        std::all_of(rest.begin() + 1, rest.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
        const int n = std::stoi(rest.substr(1));
        key = KEY_F1 + n - 1;
        return n >= 1 && n <= 12;
    }
    if (rest.size() == 1 && mods != MOD_NONE && std::isalnum(static_cast<unsigned char>(rest[0]))) {
        key = std::toupper(static_cast<unsigned char>(rest[0]));
        return true;
    }
    return false;
}
