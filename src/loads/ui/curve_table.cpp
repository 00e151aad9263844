#include "loads/ui/curve_table.h"

#include "framework/app_state.h"
#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/dialog_helper.h"
#include "framework/units.h"
#include "loads/load_file.h"
#include "loads/ui/dialogs_loads.h"

#include <algorithm>

CurveTable::CurveTable() : TableWindow(nullptr, 2, 2, {16, 16})
{
    alignments[1] = alignments[2] = TextAlign::Right;
}

void CurveTable::create_in(Dialog& d, const XYCurve& curve, int visible_rows)
{
    points = curve.pairs();
    input_ = {};
    input_x_ = input_y_ = false;
    view_ = table_create_in_dialog(d, LOAD_TABLE, *this, visible_rows);
    reload();
}

void CurveTable::reload()
{
    measure_needed = true;
    table_set_input_rows(*this, "", static_cast<int>(points.size()));
}

std::string CurveTable::header_text(int column, int line)
{
    const CurveAxis& a = column == 1 ? x : y;
    if (column < 1 || column > 2)
        return {};
    if (line == 0)
        return a.heading;
    return line == 1 && a.unit ? a.unit() : std::string();
}

std::string CurveTable::cell_text(int row, int column, int line)
{
    if (line != 0 || column < 1 || column > 2)
        return {};
    const CurveAxis& a = column == 1 ? x : y;
    if (row >= 1 && row <= static_cast<int>(points.size())) {
        const XYPair& p = points[static_cast<std::size_t>(row - 1)];
        return a.format(column == 1 ? p.x : p.y);
    }
    if (row == static_cast<int>(points.size()) + 1) {
        if (column == 1 && input_x_)
            return a.format(input_.x);
        if (column == 2 && input_y_)
            return a.format(input_.y);
    }
    return {};
}

bool CurveTable::cell_editable(int row, int column)
{
    return TableWindow::cell_editable(row, column) && !input_locked() && row >= 1 &&
           row <= static_cast<int>(points.size()) + 1;
}

void CurveTable::store_cell(int row, int column, const std::string& text)
{
    item_text() = upper_case(squeeze_blanks(text));
    const bool input = row == static_cast<int>(points.size()) + 1;
    if (item_text().empty()) {
        if (!input)
            throw CI{(column == 1 ? x : y).heading + " is required", column};
        return;
    }
    float value = 0.0f;
    try {
        value = (column == 1 ? x : y).parse();
    } catch (const MessageText& m) {
        throw CI{m.text, column};
    }
    if (input) {
        (column == 1 ? input_.x : input_.y) = value;
        (column == 1 ? input_x_ : input_y_) = true;
        return;
    }
    XYPair& p = points[static_cast<std::size_t>(row - 1)];
    (column == 1 ? p.x : p.y) = value;
}

bool CurveTable::complete_input()
{
    if (!input_x_ && !input_y_)
        return false;
    if (!input_x_)
        throw CI{x.heading + " is required", 1};
    points.push_back(input_);
    input_ = {};
    input_x_ = input_y_ = false;
    reload();
    return true;
}

void CurveTable::leave_row(int row)
{
    if (row == static_cast<int>(points.size()) + 1 && complete_input())
        table_goto_row(*this, static_cast<int>(points.size()) + 1, 1);
    else
        TableWindow::leave_row(row);
}

void CurveTable::before_leave_row(int row)
{
    if (row == static_cast<int>(points.size()) + 1)
        complete_input();
}

bool CurveTable::can_insert(int row)
{
    return !input_locked() && row >= 1 && row <= static_cast<int>(points.size());
}

bool CurveTable::can_delete(int row)
{
    return !input_locked() && row >= 1 && row <= static_cast<int>(points.size()) + 1;
}

void CurveTable::insert_row(int row)
{
    if (!can_insert(row))
        return;
    points.insert(points.begin() + (row - 1), points[static_cast<std::size_t>(row - 1)]);
    reload();
}

void CurveTable::delete_row(int row)
{
    if (row == static_cast<int>(points.size()) + 1) {
        input_ = {};
        input_x_ = input_y_ = false;
    } else if (can_delete(row)) {
        points.erase(points.begin() + (row - 1));
    }
    reload();
}

XYCurve CurveTable::take_curve(const std::string& what)
{
    try {
        if (!table_end_edit(*this))
            dialog_throw(LOAD_TABLE, "");
        complete_input();
    } catch (const CI& c) {
        dialog_throw(LOAD_TABLE, c.message);
    }
    std::vector<XYPair> sorted = points;
    std::stable_sort(sorted.begin(), sorted.end(), [](const XYPair& a, const XYPair& b) { return a.x < b.x; });
    XYCurve curve;
    for (const XYPair& p : sorted)
        curve.push_back(p.x, p.y);
    if (const std::string fault = curve_fault(curve); !fault.empty())
        dialog_throw(LOAD_TABLE, what + ": " + fault);
    return curve;
}

std::string curve_number_text(double value)
{
    return c_format("%.6g", shown_value(value));
}
