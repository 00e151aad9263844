// Typing in a drop-down list or a list box (one without an edit field)
// chooses an entry. The keys typed one soon after another make one text:
// - an entry that is the text whole is chosen, so that typing a value the
//   list holds gives exactly that entry ("1" over "1" keeps 1, not 10;
//   "T1" among T1 to T10 gives T1);
// - else the entry shown stays while it begins with the text, or the next
//   entry after it that begins with the text is chosen;
// - one key pressed again and again steps through the entries that begin
//   with it.
// Letters match in either case. Both backends choose through this, so that
// a list behaves alike on the screen and in a script.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The entry that the typed text chooses: its index, or `current` (-1 for
// none) when the text chooses none.
int typed_list_entry(const std::vector<std::string>& entries, int current, const std::string& typed);

// The text of the keys typed so far in one list: a key that comes within the
// interval of the one before goes on the text, a later one starts a new text
// (as does a new visit to the list: the backends clear it when the list
// gets the focus or opens).
class ListTyping {
public:
    // The text after the key's text (one or more characters) typed at
    // `now_ms` (any steady clock in milliseconds).
    const std::string& key(const std::string& text, int64_t now_ms, int interval_ms);
    // True while a key at `now_ms` would go on the text: a blank types into
    // the list only then (alone it opens the list or selects its entry).
    bool going_on(int64_t now_ms, int interval_ms) const {
        return !typed_.empty() && now_ms - last_ms_ <= interval_ms;
    }
    void clear() { typed_.clear(); }

private:
    std::string typed_;
    int64_t last_ms_ = 0;
};
