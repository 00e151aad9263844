#include "platform/settings.h"

#include "platform/file_replace.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <unistd.h>

// ---------------------------------------------------------------------------
// MemorySettings: a value of the wrong kind reads as missing, as it would from
// a registry-like store asked for a type the value does not have.

std::optional<std::string> MemorySettings::get_string(const std::string& key, const std::string& name) const {
    auto k = values.find(key);
    if (k == values.end()) return std::nullopt;
    auto v = k->second.find(name);
    if (v == k->second.end() || v->second.kind != Value::String) return std::nullopt;
    return v->second.text;
}

std::optional<int32_t> MemorySettings::get_int(const std::string& key, const std::string& name) const {
    auto k = values.find(key);
    if (k == values.end()) return std::nullopt;
    auto v = k->second.find(name);
    if (v == k->second.end() || v->second.kind != Value::Int) return std::nullopt;
    return v->second.number;
}

std::optional<std::vector<uint8_t>> MemorySettings::get_binary(const std::string& key,
                                                               const std::string& name) const {
    auto k = values.find(key);
    if (k == values.end()) return std::nullopt;
    auto v = k->second.find(name);
    if (v == k->second.end() || v->second.kind != Value::Binary) return std::nullopt;
    return v->second.bytes;
}

void MemorySettings::set_string(const std::string& key, const std::string& name, const std::string& value) {
    Value v;
    v.kind = Value::String;
    v.text = value;
    values[key][name] = std::move(v);
}

void MemorySettings::set_int(const std::string& key, const std::string& name, int32_t value) {
    Value v;
    v.kind = Value::Int;
    v.number = value;
    values[key][name] = std::move(v);
}

void MemorySettings::set_binary(const std::string& key, const std::string& name,
                                const std::vector<uint8_t>& value) {
    Value v;
    v.kind = Value::Binary;
    v.bytes = value;
    values[key][name] = std::move(v);
}

void MemorySettings::remove(const std::string& key, const std::string& name) {
    auto k = values.find(key);
    if (k == values.end()) return;
    k->second.erase(name);
    if (k->second.empty()) values.erase(k);
}

// ---------------------------------------------------------------------------
// The INI text form:
//
//   [Software\QVN Systems\Korvane\10.20\Window positions]
//   Main=hex:2c000000...
//   Font size=int:10
//   Last file=str:/home/me/models/a.kvm
//
// Section and value names and string values are written with percent escapes
// (%25 for '%', %0A for a new line ...) for every byte that would be read
// back differently: control bytes, '%', the characters that structure a line
// ('=', '[', ']', ';', '#' in names) and blanks at either end, which the
// reader trims. Backslashes stay as they are, so keys read like the tree.
// Binary values are lower-case hexadecimal, two digits a byte.

namespace {

const char HEX_DIGITS[] = "0123456789ABCDEF";

void put_escape(std::string& out, unsigned char c) {
    out += '%';
    out += HEX_DIGITS[c >> 4];
    out += HEX_DIGITS[c & 15];
}

std::string escape(const std::string& text, bool is_name) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        bool edge_blank = (c == ' ' || c == '\t') && (i == 0 || i + 1 == text.size());
        bool special = c < 0x20 || c == 0x7F || c == '%' || edge_blank;
        if (is_name && (c == '=' || c == '[' || c == ']' || c == ';' || c == '#')) special = true;
        if (special)
            put_escape(out, c);
        else
            out += static_cast<char>(c);
    }
    return out;
}

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A '%' not followed by two hex digits is kept literally (a hand-edited file).
std::string unescape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            int hi = hex_value(text[i + 1]);
            int lo = hex_value(text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

bool starts_with(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

std::optional<int32_t> parse_int(const std::string& s) {
    if (s.empty()) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(s.c_str(), &end, 10);
    if (errno != 0 || end != s.c_str() + s.size()) return std::nullopt;
    if (v < INT32_MIN || v > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(v);
}

std::optional<std::vector<uint8_t>> parse_hex(const std::string& s) {
    if (s.size() % 2 != 0) return std::nullopt;
    std::vector<uint8_t> bytes;
    bytes.reserve(s.size() / 2);
    for (size_t i = 0; i < s.size(); i += 2) {
        int hi = hex_value(s[i]);
        int lo = hex_value(s[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        bytes.push_back(static_cast<uint8_t>(hi * 16 + lo));
    }
    return bytes;
}

}  // namespace

IniFileSettings::IniFileSettings(std::string path) : path_(std::move(path)) {}

std::string IniFileSettings::serialize() const {
    std::string out = "; Korvane settings\n";
    for (const auto& [key, names] : values) {
        out += "\n[" + escape(key, true) + "]\n";
        for (const auto& [name, v] : names) {
            out += escape(name, true);
            out += '=';
            switch (v.kind) {
            case Value::String:
                out += "str:" + escape(v.text, false);
                break;
            case Value::Int:
                out += "int:" + std::to_string(v.number);
                break;
            case Value::Binary:
                out += "hex:";
                for (uint8_t b : v.bytes) {
                    out += "0123456789abcdef"[b >> 4];
                    out += "0123456789abcdef"[b & 15];
                }
                break;
            }
            out += '\n';
        }
    }
    return out;
}

// Replaces the values with those of the text. Lines that cannot be read
// (no section yet, no '=', an unknown kind, a bad number or hex string) are
// skipped, so a damaged file loses only its damaged lines.
void IniFileSettings::parse(const std::string& text) {
    values.clear();
    std::istringstream in(text);
    std::string line;
    std::optional<std::string> key;
    while (std::getline(in, line)) {
        std::string t = trim(line);
        if (t.empty() || t[0] == ';' || t[0] == '#') continue;
        if (t[0] == '[') {
            if (t.back() == ']')
                key = unescape(trim(t.substr(1, t.size() - 2)));
            else
                key.reset();  // a broken header: skip its values rather than file them elsewhere
            continue;
        }
        if (!key) continue;
        size_t eq = t.find('=');
        if (eq == std::string::npos) continue;  // an empty name is the key's default value
        std::string name = unescape(trim(t.substr(0, eq)));
        std::string raw = trim(t.substr(eq + 1));
        Value v;
        if (starts_with(raw, "str:")) {
            v.kind = Value::String;
            v.text = unescape(raw.substr(4));
        } else if (starts_with(raw, "int:")) {
            std::optional<int32_t> n = parse_int(raw.substr(4));
            if (!n) continue;
            v.kind = Value::Int;
            v.number = *n;
        } else if (starts_with(raw, "hex:")) {
            std::optional<std::vector<uint8_t>> b = parse_hex(raw.substr(4));
            if (!b) continue;
            v.kind = Value::Binary;
            v.bytes = std::move(*b);
        } else {
            continue;
        }
        values[*key][name] = std::move(v);
    }
}

bool IniFileSettings::load() {
    std::error_code ec;
    if (!std::filesystem::exists(path_, ec)) {
        values.clear();
        unreadable_ = static_cast<bool>(ec);
        return !ec;
    }
    // A file that is there but cannot be read is never written over: it
    // holds the settings of other versions and of the printer too.
    unreadable_ = true;
    std::ifstream in(path_, std::ios::binary);
    if (!in) return false;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return false;
    parse(text.str());
    unreadable_ = false;
    return true;
}

bool IniFileSettings::flush() {
    namespace fs = std::filesystem;
    failure_.clear();
    if (unreadable_) return false;
    std::error_code ec;
    fs::path target(path_);
    if (target.has_parent_path()) {
        fs::create_directories(target.parent_path(), ec);
        if (ec) {
            failure_ = system_reason(ec.value());
            return false;
        }
    }
    ReplacementFile file;
    const int fd = file.create(path_);
    if (fd < 0) {
        failure_ = file.failure();
        return false;
    }
    const std::string text = serialize();
    std::size_t done = 0;
    int error = 0;
    while (done < text.size() && error == 0) {
        const ssize_t put = ::write(fd, text.data() + done, text.size() - done);
        if (put > 0)
            done += static_cast<std::size_t>(put);
        else if (put < 0 && errno != EINTR)
            error = errno;
    }
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error != 0) {
        failure_ = system_reason(error);
        return false;   // the temporary file goes with `file`
    }
    if (!file.put_in_place()) {
        failure_ = file.failure();
        return false;
    }
    return true;
}
