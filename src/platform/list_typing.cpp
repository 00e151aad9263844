#include "platform/list_typing.h"

#include <cstddef>

namespace {

char folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool begins_with(const std::string& entry, const std::string& text) {
    if (entry.size() < text.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (folded(entry[i]) != folded(text[i])) return false;
    return true;
}

bool same_text(const std::string& entry, const std::string& text) {
    return entry.size() == text.size() && begins_with(entry, text);
}

// The text's first character (a whole UTF-8 sequence) when the text is that
// character two or more times, else empty.
std::string repeated_key(const std::string& text) {
    std::size_t length = 1;
    while (length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) ++length;
    if (text.size() < 2 * length || text.size() % length != 0) return {};
    for (std::size_t at = length; at < text.size(); at += length)
        if (text.compare(at, length, text, 0, length) != 0) return {};
    return text.substr(0, length);
}

// The first entry after `current` (wrapping round, `current` last) that begins with the text; -1 for none.
int next_beginning_with(const std::vector<std::string>& entries, int current, const std::string& text) {
    const int count = static_cast<int>(entries.size());
    for (int step = 1; step <= count; ++step) {
        const int i = (current + step) % count;
        if (begins_with(entries[static_cast<std::size_t>(i)], text)) return i;
    }
    return -1;
}

}  // namespace

int typed_list_entry(const std::vector<std::string>& entries, int current, const std::string& typed) {
    const int count = static_cast<int>(entries.size());
    if (count == 0 || typed.empty()) return current;
    const int shown = current >= 0 && current < count ? current : -1;
    if (shown >= 0 && same_text(entries[static_cast<std::size_t>(shown)], typed)) return shown;
    // An entry that is the text whole: in its own case first.
    for (int i = 0; i < count; ++i)
        if (entries[static_cast<std::size_t>(i)] == typed) return i;
    for (int i = 0; i < count; ++i)
        if (same_text(entries[static_cast<std::size_t>(i)], typed)) return i;
    if (shown >= 0 && begins_with(entries[static_cast<std::size_t>(shown)], typed)) return shown;
    // From the top when none is shown.
    const int from = shown >= 0 ? shown : count - 1;
    if (const int i = next_beginning_with(entries, from, typed); i >= 0) return i;
    if (const std::string key = repeated_key(typed); !key.empty())
        if (const int i = next_beginning_with(entries, from, key); i >= 0) return i;
    return current;
}

const std::string& ListTyping::key(const std::string& text, int64_t now_ms, int interval_ms) {
    if (!going_on(now_ms, interval_ms)) typed_.clear();
    typed_ += text;
    last_ms_ = now_ms;
    return typed_;
}
