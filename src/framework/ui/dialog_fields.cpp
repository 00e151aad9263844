#include "framework/ui/dialog_fields.h"

#include "framework/strings.h"

#include <algorithm>
#include <map>

std::string dialog_shown_text(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size() && text[i + 1] != '&')
            continue;
        if (text[i] == '%' && i + 1 < text.size()) {
            ++i;
            out += "...";
            continue;
        }
        if (text[i] == ' ' && !out.empty() && out.back() == ' ')
            continue;
        out += text[i];
    }
    while (!out.empty() && (out.back() == ' ' || out.back() == ':'))
        out.pop_back();
    return out;
}

std::vector<DialogField> dialog_fields(const DialogTemplate& t)
{
    std::vector<const ControlSpec*> controls;
    for (const ControlSpec& c : t.controls)
        controls.push_back(&c);
    std::stable_sort(controls.begin(), controls.end(), [](const ControlSpec* a, const ControlSpec* b) {
        return a->row != b->row ? a->row < b->row : a->col < b->col;
    });
    const auto is_field = [](const ControlSpec* o) {
        return o->kind == ControlKind::Edit || o->kind == ControlKind::Combo;
    };
    std::vector<DialogField> fields;
    std::string group;
    int group_end = 0;                   // the grid row below the group
    std::map<std::string, int> seen;     // labels by group
    for (const ControlSpec* c : controls) {
        if (c->row >= group_end)
            group.clear();
        switch (c->kind) {
        case ControlKind::Group:
            group = dialog_shown_text(c->text);
            group_end = c->row + std::max(c->rows, 2);
            continue;
        case ControlKind::Button:
            if (c->id == IDOK || c->id == IDCANCEL || c->id == IDHELP)
                continue;
            break;
        case ControlKind::Edit:
        case ControlKind::Combo:
        case ControlKind::List:
        case ControlKind::Check:
        case ControlKind::Radio:
        case ControlKind::Table: break;
        default: continue;
        }
        std::string label =
            c->kind == ControlKind::List || c->kind == ControlKind::Table ? std::string() : dialog_shown_text(c->text);
        // Else the nearest text before it in its row, with the lead of the
        // row's first text ("SIFs:") where that is another.
        const ControlSpec* first = nullptr;
        const ControlSpec* before = nullptr;
        const ControlSpec* unit = nullptr;
        for (const ControlSpec* other : controls) {
            if (other->row != c->row || other == c)
                continue;
            if (other->kind == ControlKind::Unit && other->col > c->col && (!unit || other->col < unit->col))
                unit = other;
            if (other->kind != ControlKind::Static || other->text.empty())
                continue;
            if (other->col < c->col && (!before || other->col > before->col))
                before = other;
            if (!first || other->col < first->col)
                first = other;
        }
        if (label.empty() && before) {
            label = dialog_shown_text(before->text);
            const std::string lead = dialog_shown_text(first->text);
            if (before != first && lead.find(':') != std::string::npos)
                label = lead.substr(0, lead.find(':') + 1) + " " + label;
        }
        // Else the text over it, in its column of the row above.
        for (const ControlSpec* other : controls)
            if (label.empty() && other->row == c->row - 1 && other->col == c->col &&
                other->kind == ControlKind::Static)
                label = dialog_shown_text(other->text);
        if (label.empty())
            continue;
        if (const int n = ++seen[group + "\n" + label]; n > 1)
            label += " " + std::to_string(n);
        // The unit label after a field in its row, which a row such as "OD1
        // Thk1 inch" shares among its fields; a node number has none.
        const bool node_number = lower_case(label).find("node") != std::string::npos;
        const int quantity = is_field(c) && !node_number && unit ? unit->quantity : 0;
        fields.push_back(DialogField{c, label, group, quantity});
    }
    return fields;
}
