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
    // The groups: each covers its columns over its rows (one that gives a
    // single row holds the row under its caption too).
    std::vector<const ControlSpec*> groups;
    for (const ControlSpec* c : controls)
        if (c->kind == ControlKind::Group)
            groups.push_back(c);
    const auto group_of = [&groups](const ControlSpec* c) {
        const ControlSpec* in = nullptr;
        for (const ControlSpec* g : groups)
            if (c->row >= g->row && c->row < g->row + std::max(g->rows, 2) && c->col >= g->col &&
                c->col < g->col + std::max(g->span, 1))
                in = g;   // the last, innermost
        return in ? dialog_shown_text(in->text) : std::string();
    };
    const auto at = [&controls](int row, int col) -> const ControlSpec* {
        for (const ControlSpec* o : controls)
            if (o->row == row && o->col == col && o->kind != ControlKind::Group && o->kind != ControlKind::Unit)
                return o;
        return nullptr;
    };
    std::vector<DialogField> fields;
    std::map<std::string, int> seen;     // labels by group
    for (const ControlSpec* c : controls) {
        switch (c->kind) {
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
        // The texts of its row before it: the nearest, and the first.
        const ControlSpec* first = nullptr;
        const ControlSpec* before = nullptr;
        const ControlSpec* unit = nullptr;
        std::string row_label;   // the row's first text, a static's or a field's own
        for (const ControlSpec* other : controls) {
            if (other->row != c->row || other == c)
                continue;
            if (other->kind == ControlKind::Unit && other->col > c->col && (!unit || other->col < unit->col))
                unit = other;
            if (other->col < c->col && other->kind != ControlKind::Static && other->kind != ControlKind::Unit &&
                other->kind != ControlKind::Group && !other->text.empty() && row_label.empty())
                row_label = dialog_shown_text(other->text);
            if (other->kind != ControlKind::Static || other->text.empty())
                continue;
            if (other->col < c->col && (!before || other->col > before->col))
                before = other;
            if (!first || other->col < first->col)
                first = other;
        }
        if (before && row_label.empty())
            row_label = dialog_shown_text(first->text);
        // The text over its column, past the fields over it.
        std::string header;
        for (int row = c->row - 1; row >= 0 && header.empty(); --row) {
            const ControlSpec* over = at(row, c->col);
            if (!over || is_field(over))
                continue;
            if (over->kind != ControlKind::Static)
                break;
            header = dialog_shown_text(over->text);
        }
        // Else the text right before it: a row's text with the text over
        // its column ("Bending, Cyclic SCF"), or a column's text after the
        // row's lead ("SIFs: Out Plane").
        if (label.empty() && before && before->col == c->col - 1) {
            label = dialog_shown_text(before->text);
            const std::string lead = dialog_shown_text(first->text);
            if (before == first && !header.empty())
                label += ", " + header;
            else if (before != first && lead.find(':') != std::string::npos)
                label = lead.substr(0, lead.find(':') + 1) + " " + label;
        }
        // Else the row's text and the text over its column ("Rotation
        // limit, Torsional"), or either.
        if (label.empty())
            label = !row_label.empty() && !header.empty() ? row_label + ", " + header
                    : !header.empty()                     ? header
                                                          : row_label;
        if (label.empty())
            continue;
        const std::string group = group_of(c);
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
