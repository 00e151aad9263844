// The table of points of a curve (a wind profile, a spectrum, a time
// function) inside a dialog: abscissa and ordinate columns in the units the
// axes say, one row a point and an input row under them; a typed cell is read
// by the axis and refused with its message. The dialog takes the curve at OK
// (take_curve): the points in order of their abscissae, refused when two
// share one or a value is not a number.
#pragma once

#include "framework/ui/table.h"
#include "framework/xycurve.h"

#include <functional>
#include <memory>
#include <string>

class Dialog;

// One axis: its heading, unit line, the text of a value and the reading of
// a typed text (item_text(), upper case and without blanks), which throws
// "<name> =  <text>  is invalid" when it refuses it.
struct CurveAxis {
    std::string heading;
    std::function<std::string()> unit;
    std::function<std::string(float value)> format;
    std::function<float()> parse;
};

// A value of a point as a cell shows it when the axis has no unit formatter
// of its own ("%.6g").
std::string curve_number_text(double value);

class CurveTable final : public TableWindow {
public:
    CurveTable();

    CurveAxis x, y;
    std::vector<XYPair> points;

    // Puts the table into the dialog's LOAD_TABLE control, showing `curve`.
    void create_in(Dialog& d, const XYCurve& curve, int visible_rows = 10);
    // Shows the points again (after the axes changed their units).
    void reload();
    // Stores an open edit and the input row's point; the curve in order of
    // abscissae. Throws "<what>: point %d ..." (curve_fault) on the dialog's
    // table item when the points do not make a curve.
    XYCurve take_curve(const std::string& what);

    std::string header_text(int column, int line) override;
    std::string cell_text(int row, int column, int line) override;
    bool cell_editable(int row, int column) override;
    void store_cell(int row, int column, const std::string& text) override;
    void leave_row(int row) override;
    void before_leave_row(int row) override;
    bool can_insert(int row) override;
    bool can_delete(int row) override;
    void insert_row(int row) override;
    void delete_row(int row) override;

private:
    bool complete_input();
    XYPair input_{};
    bool input_x_ = false, input_y_ = false;
    std::unique_ptr<TableView> view_;
};
