#include "model/ui/merge_note.h"

#include "framework/ui/messages.h"
#include "model/nodes.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <vector>

namespace {

// Renames listed by kind, and meeting nodes: a longer list names its first
// ones and how many more there are, so that no line of the message grows
// past what a message dialog shows on the screen.
constexpr std::size_t LISTED_RENAMES = 10;
constexpr std::size_t LISTED_NODES = 100;

// The items of a list, "a, b, c", or "a, b, c and 12 more" past `listed`.
template <typename T, typename F>
std::string listed_items(const std::vector<T>& items, std::size_t listed, F&& text_of)
{
    std::string text;
    const std::size_t shown = std::min(items.size(), listed);
    for (std::size_t i = 0; i < shown; ++i)
        text += (i == 0 ? "" : ", ") + text_of(items[i]);
    if (items.size() > shown)
        text += " and " + std::to_string(items.size() - shown) + " more";
    return text;
}

// The sentence of the renames of one kind.
std::string renames_sentence(const std::string& kind, const std::vector<const MergeRename*>& renames)
{
    if (renames.size() == 1) {
        std::string text = kind + " " + renames[0]->from + " of the merged file is now " + renames[0]->to + ".";
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
        return text;
    }
    return merged_entries_of_kind(kind) + ": " +
           listed_items(renames, LISTED_RENAMES, [](const MergeRename* r) { return r->from + " is now " + r->to; }) +
           ".";
}

std::string meeting_sentence(const std::vector<int32_t>& nodes)
{
    if (nodes.empty())
        return "The merged rows meet the model nowhere.";
    std::string text = "The merged rows meet the model at node";
    text += nodes.size() == 1 ? " " : "s ";
    return text + listed_items(nodes, LISTED_NODES, [](int32_t node) { return node_text(node); }) + ".";
}

}  // namespace

std::string merge_note_text(const MergeOutcome& outcome)
{
    // The renames by kind, the kinds in the order they first come.
    std::vector<std::string> kinds;
    for (const MergeRename& r : outcome.renames)
        if (std::find(kinds.begin(), kinds.end(), r.kind) == kinds.end())
            kinds.push_back(r.kind);
    std::vector<std::string> sentences;
    for (const std::string& kind : kinds) {
        std::vector<const MergeRename*> of_kind;
        for (const MergeRename& r : outcome.renames)
            if (r.kind == kind)
                of_kind.push_back(&r);
        sentences.push_back(renames_sentence(kind, of_kind));
    }

    // The renames share the lines above the meeting nodes' line evenly.
    const std::size_t lines = std::min<std::size_t>(sentences.size(), MAX_LINES - 1);
    std::string text;
    std::size_t next = 0;
    for (std::size_t line = 0; line < lines; ++line) {
        const std::size_t end = next + (sentences.size() - next + (lines - line) - 1) / (lines - line);
        for (std::size_t s = next; s < end; ++s)
            text += (s == next ? "" : " ") + sentences[s];
        text += "\n";
        next = end;
    }
    return text + meeting_sentence(outcome.meeting_nodes);
}
