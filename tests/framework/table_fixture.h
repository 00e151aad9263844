// A table for the tests of the table framework (not a table of the program):
// pipe sizes with a node, a name, two numbers under a group heading and a
// note. It can be typed into, copied, pasted, printed and exported, and each
// kind of refusal a typed cell can meet is raised by one rule:
//
//   Node      typed digits; "Node should be > 0" (CI, column 1) for 0
//   Name      upper-case letters, digits, '-', '/'; a name another row has
//             gives CI at column 2
//   OD        a number; not a number gives the MessageText of throw_invalid
//   Thk       a number; without an OD "OD is required" with command 113
//             (MsgCmd); more than half the OD "Thickness is greater than
//             radius" at column 3 with command 113 (MsgColCmd)
//   Note      any text up to 12 characters; not editable in row 2 (tests
//             of per-cell editing)
//
// Enter on a row with data but no name gives "Name is required" at column 2.
// A typed cell on the empty input row appends a record.
#pragma once

#include "framework/errors.h"
#include "framework/text.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/table.h"
#include "framework/units.h"

#include <string>
#include <vector>

struct PipeRecord {
    int node = 0;
    std::string name;
    float od = 0;
    float thk = 0;
    std::string note;
};

class PipeTable : public TableWindow {
public:
    std::vector<PipeRecord> records;   // row r shows records[r - 1]
    int edit_calls = 0;
    int row_changes = 0;
    int enters = 0, leaves = 0;
    long long cell_calls = 0;          // cell_text calls (painting draws visible rows only)
    std::vector<int> commands;         // commands sent to the table itself

    explicit PipeTable(Frame* frame = nullptr)
        : TableWindow(frame, 5, 3, {5, 5, 10, 10, 12}) {
        groups.push_back(TableGroup{3, 4, "Size", 0});
        alignments[3] = alignments[4] = TextAlign::Right;
    }

    void show(const std::string& title = "Pipes") {
        table_set_input_rows(*this, title, static_cast<int>(records.size()));
    }

    static std::string number(float v) { return v == 0 ? std::string() : c_format("%.3f", v); }

    PipeRecord* record(int row) {
        return row >= 1 && row <= static_cast<int>(records.size()) ? &records[static_cast<size_t>(row - 1)] : nullptr;
    }

    std::string header_text(int c, int line) override {
        static const char* names[] = {"", "Node", "Name", "OD", "Thk", "Note"};
        if (c < 1 || c > 5) return {};
        if (line == 1) return names[c];
        if (line == 2 && (c == 3 || c == 4)) return "(inch)";
        return {};
    }

    std::string cell_text(int row, int c, int line) override {
        ++cell_calls;
        const PipeRecord* r = record(row);
        if (!r || line != 0) return {};
        switch (c) {
        case 1: return r->node ? int_text(r->node) : std::string();
        case 2: return r->name;
        case 3: return number(r->od);
        case 4: return number(r->thk);
        case 5:
            // A note that warns is shown in red.
            if (r->note == "check") table_set_text_color(*this, rgb(192, 0, 0));
            return r->note;
        }
        return {};
    }

    // Rows with a note are shown in bold.
    std::optional<FontSpec> row_font(int row) override {
        const PipeRecord* r = record(row);
        if (!r || r->note.empty()) return std::nullopt;
        FontSpec bold = text_font();
        bold.weight = 700;
        return bold;
    }

    bool cell_editable(int row, int c) override { return TableWindow::cell_editable(row, c) && !(c == 5 && row == 2); }
    // The locked note says why when `notes_say_why` is set.
    bool notes_say_why = false;
    std::string typing_refused(int row, int c) override {
        return notes_say_why && row == 2 && c == 5 ? "Row 2 takes no note" : std::string();
    }
    // The OD column hidden (width 0), as a table hides columns not in use.
    bool od_hidden = false;
    void measure_window(Surface& dc) override {
        TableWindow::measure_window(dc);
        if (od_hidden) widths[3] = 0;
    }

    void filter_char(int c, std::string& ch) override {
        if (c == 2) table_filter_name(ch);
    }

    // Checks a value for a column of a record; the value it would store.
    void check(const PipeRecord& r, int row, int c, const std::string& text, PipeRecord& out) {
        out = r;
        switch (c) {
        case 1: {
            int32_t node = 0;
            if (parse_int(text, node) != 0 || node <= 0) throw CI{"Node should be > 0", 1};
            out.node = node;
            break;
        }
        case 2:
            for (size_t i = 0; i < records.size(); ++i)
                if (static_cast<int>(i) + 1 != row && !text.empty() && records[i].name == text)
                    throw CI{"Name " + text + " is already defined", 2};
            out.name = text;
            break;
        case 3: {
            float v = 0;
            item_text() = text;
            if (parse_real_buffer(v) != 0 || v < 0) throw_invalid("OD");
            out.od = v;
            break;
        }
        case 4: {
            float v = 0;
            item_text() = text;
            if (parse_real_buffer(v) != 0 || v < 0) throw_invalid("Thk");
            if (r.od == 0) throw MsgCmd{"OD is required", 113};
            if (v > r.od * 0.5f) throw MsgColCmd{"Thickness is greater than radius", 3, 113};
            out.thk = v;
            break;
        }
        case 5: out.note = text; break;
        }
    }

    void store_cell(int row, int c, const std::string& text) override {
        PipeRecord empty;
        PipeRecord* r = record(row);
        PipeRecord updated;
        check(r ? *r : empty, row, c, text, updated);
        if (r) {
            *r = updated;
        } else {
            records.push_back(updated);
            show(title);
        }
    }

    void leave_row(int row) override {
        const PipeRecord* r = record(row);
        if (r && r->name.empty()) throw_cell_required("Name", 2);
        TableWindow::leave_row(row);
    }

    bool can_insert(int row) override { return row <= static_cast<int>(records.size()); }
    bool can_delete(int row) override { return row <= static_cast<int>(records.size()); }
    void insert_row(int row) override {
        records.insert(records.begin() + (row - 1), PipeRecord{});
        show(title);
    }
    void delete_row(int row) override {
        records.erase(records.begin() + (row - 1));
        show(title);
    }
    bool edit_row(int) override {
        ++edit_calls;
        return true;
    }
    void on_row_changed(int) override { ++row_changes; }
    void on_enter() override { ++enters; }
    void on_leave() override { ++leaves; }
    int row_node(int row) override {
        const PipeRecord* r = record(row);
        return r ? r->node : 0;
    }
    bool on_command(int id) override {
        commands.push_back(id);
        return TableWindow::on_command(id);
    }

    // All five cells are checked before any is stored.
    bool paste_row(int row, const std::vector<std::string>& cells) override {
        PipeRecord empty;
        PipeRecord* r = record(row);
        PipeRecord next = r ? *r : empty;
        for (int c = 1; c <= 5 && c <= static_cast<int>(cells.size()); ++c) {
            if (c == 2 && cells[1].empty()) continue;
            std::string text = cells[static_cast<size_t>(c - 1)];
            if (c == 1 && text.empty()) continue;
            PipeRecord checked;
            check(next, row, c, text, checked);
            next = checked;
        }
        if (r)
            *r = next;
        else {
            records.push_back(next);
            show(title);
        }
        return true;
    }

    void contents_entry() override { add_contents_entry("Pipes", 1); }

    // n records "P1".."Pn" at nodes 10, 20, ...
    void fill(int n) {
        records.clear();
        for (int i = 1; i <= n; ++i)
            records.push_back(PipeRecord{10 * i, c_format("P%d", i), 2.375f + static_cast<float>(i % 7),
                                         0.154f, i % 3 == 0 ? "long run" : ""});
        show(title.empty() ? "Pipes" : title);
    }
};

// A result-style table: two text lines a row (first and second end of an
// element), both node numbers findable, nothing typed.
class ElementTable : public TableWindow {
public:
    std::vector<std::pair<int, int>> elements;
    int highlight_row = 0;      // printed inverted in column 2, line 1

    ElementTable() : TableWindow(nullptr, 3, 2, {}, 2) { alignments[2] = alignments[3] = TextAlign::Right; }

    std::string header_text(int c, int line) override {
        static const char* names[] = {"", "Node", "FX", "FY"};
        if (line == 0) return c >= 1 && c <= 3 ? names[c] : "";
        return c >= 2 ? "(lb)" : "";
    }
    std::string cell_text(int row, int c, int line) override {
        if (row < 1 || row > static_cast<int>(elements.size())) return {};
        const auto& e = elements[static_cast<size_t>(row - 1)];
        if (c == 1) return int_text(line == 0 ? e.first : e.second);
        if (row == highlight_row && c == 2 && line == 1) tprint_highlight_cell(*this, row, c, line);
        return int_text((line == 0 ? -1 : 1) * (100 * row + c));
    }
    std::vector<int> row_nodes(int row) override {
        const auto& e = elements[static_cast<size_t>(row - 1)];
        return {e.first, e.second};
    }
};

// ---------------------------------------------------------------------------
// The headless set-up of the table tests: a frame whose command handler
// records each command and gives the table's commands to the table, a view
// of 640 x 300 in it showing a PipeTable with three records.
//
// On the scripted backend text is 8 pixels a character and 16 a line, so a
// table line is 20 pixels and the three header lines take 62.

#include "framework/ui/app_settings.h"
#include "framework/app_state.h"
#include "framework/ui/report.h"
#include "platform/headless/headless_backend.h"

#include <gtest/gtest.h>

class TableTest : public ::testing::Test {
protected:
    void SetUp() override {
        hb = &install_headless_backend();
        set_title_file_text("");
        frame_create(
            frame, "KorvaneTable", "Table",
            [this](int id) {
                sent.push_back(id);
                table_command(table, id);
            },
            "", nullptr, "");
        script().resize(frame.window, 640, 300);
        backend().show_window(frame.window, WindowPlacement::SHOW_NORMAL);
        view.create(frame);
        table_attach(view, &table);
        table.fill(3);
        table_reset(table);
    }
    void TearDown() override {
        table_attach(view, nullptr);
        view.destroy();
        frame_destroy(frame);
        remove_backend();
    }

    void key(int k, unsigned mods = MOD_NONE) { script().key(view.window(), k, mods); }
    // As the window system delivers typing: the key (letters, digits and
    // the space bar have key codes), then its text.
    void type(const std::string& text) {
        for (char ch : text) {
            int code = 0;
            if (ch >= 'a' && ch <= 'z') code = ch - 'a' + 'A';
            else if ((ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == ' ') code = ch;
            if (code == 0 || !view.on_key(code, MOD_NONE)) view.on_char(std::string(1, ch));
        }
    }
    void at(int row, int column) {
        table.current_row = row;
        table.current_column = column;
    }
    std::pair<int, int> cell() const { return {table.current_row, table.current_column}; }
    // A point inside a cell of the view.
    Point point_of(int row, int column) {
        table_ensure_measured(table);
        const TableView::Layout l = view.layout();
        int x = l.body.left - table.h_scroll;
        for (int c = 1; c < column; ++c) x += table.widths[static_cast<size_t>(c)];
        return Point{x + 3, l.body.top + (row - 1 - table.top_row) * view.row_height() + 3};
    }

    HeadlessBackend* hb = nullptr;
    Frame frame;
    PipeTable table{&frame};
    TableView view;
    std::vector<int> sent;
};
