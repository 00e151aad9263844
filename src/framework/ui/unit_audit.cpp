#include "framework/ui/unit_audit.h"

#include "framework/state.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/table.h"
#include "framework/units.h"

#include <algorithm>
#include <cstdlib>

namespace {

struct UnitAudit {
    bool on = false;
    int checked = 0;
    std::vector<std::string> findings;
    TableWindow* table = nullptr;
    int column = 0;
};

UnitAudit& audit()
{
    return session_part<UnitAudit>();
}

// Every "(...)" of a text, in order.
std::vector<std::string> units_in(const std::string& text)
{
    std::vector<std::string> units;
    for (std::size_t open = text.find('('); open != std::string::npos; open = text.find('(', open + 1)) {
        const std::size_t close = text.find(')', open);
        if (close == std::string::npos)
            break;
        units.push_back(text.substr(open, close - open + 1));
    }
    return units;
}

// The last "(...)" of a text, "" when it has none.
std::string unit_in(const std::string& text)
{
    const std::vector<std::string> units = units_in(text);
    return units.empty() ? std::string() : units.back();
}

// The unit label of a dialog item: the label in its row of the grid nearest
// to it (a Unit control, or a static text that ends in a unit).
std::string dialog_label(const Dialog& d, int item)
{
    const std::vector<ControlSpec>& controls = d.templ().controls;
    const ControlSpec* field = nullptr;
    for (const ControlSpec& c : controls)
        if (c.id == item)
            field = &c;
    if (!field)
        return {};
    std::string best;
    int distance = 1 << 30;
    for (const ControlSpec& c : controls) {
        if (c.row != field->row || c.id == item ||
            (c.kind != ControlKind::Static && c.kind != ControlKind::Unit) || !d.has_item(c.id) || !d.is_shown(c.id))
            continue;
        const std::string unit = unit_in(d.text(c.id));
        const int away = std::abs(c.col - field->col);
        if (!unit.empty() && away < distance) {
            best = unit;
            distance = away;
        }
    }
    if (!best.empty())
        return best;
    // A label over the field, in its column of the row above.
    for (const ControlSpec& c : controls)
        if (c.row == field->row - 1 && c.col == field->col && c.kind == ControlKind::Static && d.has_item(c.id))
            return unit_in(d.text(c.id));
    return {};
}

// The units over a table column: in its headings (a column of values of
// two quantities, such as a stiffness that is rotational on some rows, names
// both), else in a group heading that spans it.
std::vector<std::string> column_labels(TableWindow& t, int column)
{
    std::vector<std::string> units;
    for (int line = 0; line < 3; ++line)
        for (const std::string& unit : units_in(t.header_text(column, line)))
            units.push_back(unit);
    if (units.empty())
        for (const TableGroup& g : t.groups)
            if (column >= g.first_column && column <= g.last_column)
                if (const std::string unit = unit_in(g.text); !unit.empty())
                    units.push_back(unit);
    return units;
}

void observe(int quantity)
{
    UnitAudit& a = audit();
    if (!a.on)
        return;
    std::string where;
    std::vector<std::string> labels;
    if (a.table) {
        where = a.table->title + " column " + std::to_string(a.column);
        labels = column_labels(*a.table, a.column);
    } else if (DialogHelper* h = current_dialog_helper(); h && h->dialog) {
        where = h->dialog->templ().name + " field " + std::to_string(h->item);
        if (std::string label = dialog_label(*h->dialog, h->item); !label.empty())
            labels.push_back(std::move(label));
    } else {
        return;
    }
    if (labels.empty())
        return;
    ++a.checked;
    const std::string read = unit_label(quantity);
    if (std::find(labels.begin(), labels.end(), read) == labels.end())
        a.findings.push_back(where + ": read in " + read + " under the label " + labels.front());
}

}  // namespace

void start_unit_audit()
{
    UnitAudit& a = audit();
    a = UnitAudit{};
    a.on = true;
    set_buffer_parse_observer(observe);
}

void stop_unit_audit()
{
    audit().on = false;
    set_buffer_parse_observer(nullptr);
}

const std::vector<std::string>& unit_audit_findings()
{
    return audit().findings;
}

int unit_audit_checked()
{
    return audit().checked;
}

void unit_audit_cell(TableWindow* table, int column)
{
    audit().table = table;
    audit().column = column;
}
