#include "model/ui/merge_note.h"

#include "framework/ui/messages.h"
#include "model/nodes.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <vector>

namespace {

std::string capitalised(std::string text)
{
    if (!text.empty())
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

// "materials", "spectra".
std::string plural(const std::string& kind)
{
    if (kind.size() > 2 && kind.compare(kind.size() - 2, 2, "um") == 0)
        return kind.substr(0, kind.size() - 2) + "a";
    return kind + "s";
}

// The sentence of the renames of one kind.
std::string renames_sentence(const std::string& kind, const std::vector<const MergeRename*>& renames)
{
    if (renames.size() == 1)
        return capitalised(kind) + " " + renames[0]->from + " of the merged file is now " + renames[0]->to + ".";
    std::string text = capitalised(plural(kind)) + " of the merged file: ";
    for (std::size_t i = 0; i < renames.size(); ++i)
        text += (i == 0 ? "" : ", ") + renames[i]->from + " is now " + renames[i]->to;
    return text + ".";
}

std::string meeting_sentence(const std::vector<int32_t>& nodes)
{
    if (nodes.empty())
        return "The merged rows meet the model nowhere.";
    std::string text = "The merged rows meet the model at node";
    text += nodes.size() == 1 ? " " : "s ";
    for (std::size_t i = 0; i < nodes.size(); ++i)
        text += (i == 0 ? "" : ", ") + node_text(nodes[i]);
    return text + ".";
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
