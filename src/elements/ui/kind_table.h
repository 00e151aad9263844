// The input table of one element kind whose rows hold objects of class T:
// its lines are the rows of the kind's row list, cells come from the rows'
// cell texts, copy keeps a copy of a line's values and paste puts them into
// another line's element. Typed cells are stored through store_value, which
// drops the undo snapshot when nothing changed and marks the model when
// something did.
#pragma once

#include "elements/ui/element_ui_common.h"
#include "framework/app_state.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/ui/report.h"
#include "framework/units.h"
#include "model/model.h"
#include "model/ui/list_window.h"
#include "model/view_drawing.h"

#include <memory>
#include <string>
#include <vector>

template <typename T, int ETYPE>
class KindTable : public ElementRowsTable {
public:
    using ElementRowsTable::ElementRowsTable;

    T* at(int row) const { return row_element_of<T>(layout_row(row), ETYPE); }

    std::string cell_text(int row, int c, int line) override
    {
        if (!at(row) || line != 0)
            return {};
        return LayoutRow::element_cell_text(layout_row(row), c);
    }

    bool cell_editable(int row, int c) override
    {
        return ElementRowsTable::cell_editable(row, c) && at(row) != nullptr && !input_locked();
    }

    std::string copy_row(int row) override
    {
        if (const T* object = at(row)) {
            copied_ = std::make_unique<T>();
            copied_->copy_from(*object);
        }
        return ElementRowsTable::copy_row(row);
    }

    bool paste_row(int row, const std::vector<std::string>&) override
    {
        T* object = at(row);
        if (!object || !copied_ || input_locked())
            return false;
        if (object->same_values(*copied_))
            return true;
        object->copy_from(*copied_);
        after_paste(layout_row(row));
        model_modified() = true;
        rebuild_row_symbol(layout_row(row));
        load();
        return true;
    }

    // Leaving a table that offers the local-axes display ends the display.
    void on_leave() override
    {
        if (local_axes_item && local_axes_display()) {
            set_local_axes_display(false);
            if (const auto& refresh = list_window_hooks().refresh_highlight)
                refresh();
        }
        ElementRowsTable::on_leave();
    }

protected:
    // What a paste changes besides the values (the valve's offsets).
    virtual void after_paste(int /*layout_row*/) {}

    // The typed text as the parsers read it (item_text()).
    static void take_text(const std::string& text) { item_text() = upper_case(squeeze_blanks(text)); }

    // Stores a typed value: an unchanged one drops the undo snapshot.
    void store_value(int row, float& field, float value, bool redraw = false)
    {
        if (value == field) {
            discard_undo_snapshot();
            return;
        }
        field = value;
        model_modified() = true;
        if (redraw) {
            rebuild_row_symbol(layout_row(row));
            if (const auto& graphics = model_hooks().redraw_graphics)
                graphics();
        }
        table_invalidate_rows(*this);
    }

    // The From and To cells of a layout row in a CSV line.
    static void csv_nodes(int layout)
    {
        csv_add_text(LayoutRow::element_cell_text(layout, 1));
        csv_add_text(LayoutRow::element_cell_text(layout, 2));
    }
    // The From and To texts of a text line at the two report columns.
    static void text_nodes(int layout, int from_column, int to_column)
    {
        report_print_at(LayoutRow::element_cell_text(layout, 1), from_column);
        report_print_at(LayoutRow::element_cell_text(layout, 2), to_column);
    }

    std::unique_ptr<T> copied_;
};
