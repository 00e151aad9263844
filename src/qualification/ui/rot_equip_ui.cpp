#include "qualification/ui/rot_equip_ui.h"

#include "framework/strings.h"
#include "framework/commands.h"
#include "framework/state.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/frame.h"
#include "framework/ui/messages.h"
#include "framework/ui/pick_list.h"
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "framework/ui/table.h"
#include "model/analysis_options.h"
#include "model/load_cases.h"
#include "model/model.h"
#include "qualification/rot_equip.h"
#include "qualification/ui/compressor_report.h"
#include "qualification/ui/pump_report.h"
#include "qualification/ui/report_lines.h"
#include "results/results_load_cases.h"
#include "results/results_reader.h"
#include "results/results_state.h"
#include "results/ui/result_choosers.h"
#include "results/ui/result_pages.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"

#include <algorithm>

namespace {

// ---- The report windows ----------------------------------------------------------

// A report window: one column whose rows are the stored report lines; kind
// 0 lines are plain text, the others are drawn at the columns of the
// window's font.
class ReportWindow : public TableWindow {
public:
    ReportWindow() : TableWindow(&results_frame(), 1, 1) { editing_allowed = false; }

    // Writes the report of the current machine and case into the lines.
    virtual void write_report() = 0;

    void refresh()
    {
        write_report();
        lines_ = report_window_lines();
        table_refresh(*this, ROT_EQUIP_TITLE, static_cast<int>(lines_.size()), false);
    }
    const std::vector<ReportLine>& lines() const { return lines_; }

    // The menu items of the report while it is shown.
    void on_enter() override { add_rot_equip_menu_items(results_frame()); }
    void on_leave() override { remove_rot_equip_menu_items(results_frame()); }
    // Printing the window prints the shown machine's report of the shown case.
    void print() override { write_report(); }
    void print_text() override { write_report(); }
    void print_csv() override { write_report(); }

    std::string cell_text(int row, int column, int line) override
    {
        const ReportLine* l = at(row);
        return l && column == 1 && line == 0 && l->kind == LINE_TEXT ? l->text : std::string();
    }
    // The fields of a line that is not plain text, at the columns of the
    // window's font.
    virtual void place_line(const ReportLine& line, const LinePlacer& place) const = 0;
    void paint_row(Surface& dc, int row, int x, int y) override
    {
        if (const ReportLine* l = at(row); l && l->kind != LINE_TEXT)
            place_line(*l, drawing_placer(dc, x, y));
    }
    std::vector<std::string> painted_cells(int row) override
    {
        PlacedTexts placed;
        if (const ReportLine* l = at(row); l && l->kind != LINE_TEXT)
            place_line(*l, placed.placer());
        return placed.texts;
    }
    bool cell_editable(int, int) override { return false; }
    bool on_key(int key, unsigned mods) override
    {
        if (key == KEY_TAB && (mods & ~MOD_SHIFT) == 0) {
            if (const auto& cycle = rot_equip_ui_hooks().cycle_result)
                cycle(mods);
            return true;
        }
        if ((key == KEY_LEFT || key == KEY_RIGHT) && mods == MOD_NONE) {
            key == KEY_LEFT ? previous_rot_load_case() : next_rot_load_case();
            return true;
        }
        return table_on_key(*this, key, mods);
    }

protected:
    const ReportLine* at(int row) const
    {
        return row >= 1 && row <= static_cast<int>(lines_.size()) ? &lines_[static_cast<std::size_t>(row - 1)] : nullptr;
    }
    // The widest plain line in the font.
    int widest_text(Surface& dc) const
    {
        int w = 0;
        for (const ReportLine& l : lines_)
            if (l.kind == LINE_TEXT)
                w = std::max(w, dc_text_width(dc, l.text));
        return w;
    }

private:
    std::vector<ReportLine> lines_;   // the lines shown (the report's last window lines)
};

class PumpReportWindow final : public ReportWindow {
public:
    void on_help(WindowId owner) override { open_result_page(PAGE_PUMP_REPORT, owner); }
    void write_report() override
    {
        const RotEquipReport& r = rot_equip_report();
        if (const RotEquipEntry* e = r.entry(r.current))
            pump_report(e->index, r.current_case);
    }
    void measure_window(Surface& dc) override
    {
        columns_ = measure_row_columns(dc);
        widths[1] = std::max(columns_.width, widest_text(dc)) + 2 * table_cell_padding(dc);
    }
    void place_line(const ReportLine& l, const LinePlacer& place) const override
    {
        const RowColumns& c = columns_;
        if (l.kind == LINE_HEADING) {
            place.left(0, "");
            place.right(c.calculated + 2 * c.digit, "Calculated");
            place.right(c.allowed + c.digit, "Allowed");
            place.right(c.ratio, "Ratio");
            place.left(c.status, "Status");
            return;
        }
        const ReportLineFields f = split_report_line(l.text);
        place.left(0, f.label);
        const std::vector<std::string>& w = f.words;
        if (l.kind == LINE_ROW && w.size() >= 4) {
            place.right(c.calculated, w[0]);
            place.right(c.allowed, w[1]);
            place.right(c.ratio, w[2]);
            place.left(c.status, w[3]);
        } else if (l.kind == LINE_COMBINED && w.size() >= 2) {
            place.right(c.calculated, "");
            place.right(c.allowed, "");
            place.right(c.ratio, w[0]);
            place.left(c.status, w[1]);
        } else if (l.kind == LINE_STRESS && !w.empty()) {
            place.right(c.calculated, "");
            place.right(c.allowed, "");
            place.right(c.ratio, "");
            place.left(c.status, w[0]);
        }
    }

private:
    RowColumns columns_;
};

class CompressorReportWindow final : public ReportWindow {
public:
    void on_help(WindowId owner) override { open_result_page(PAGE_COMPRESSOR_REPORT, owner); }
    void write_report() override
    {
        const RotEquipReport& r = rot_equip_report();
        if (const RotEquipEntry* e = r.entry(r.current))
            compressor_report(e->index, e->kind == ROT_COMPRESSOR ? MACHINE_COMPRESSOR : MACHINE_TURBINE,
                              r.current_case);
    }
    void measure_window(Surface& dc) override
    {
        columns_ = compressor_line_columns(dc);
        int w = widest_text(dc);
        for (const ReportLine& l : lines())
            if (l.kind == CLINE_VALUES)
                w = std::max(w, columns_.p[6] + columns_.d);
        widths[1] = w + 2 * table_cell_padding(dc);
    }
    void place_line(const ReportLine& l, const LinePlacer& place) const override
    {
        draw_compressor_line(l.kind, l.text, columns_, place);
    }

private:
    CompressorColumns columns_;
};

struct RotEquipUi {
    RotEquipUiHooks hooks;
    PumpReportWindow pumps;
    CompressorReportWindow compressors;
};
RotEquipUi& ui() { return session_part<RotEquipUi>(); }

void show_entry()
{
    const RotEquipReport& r = rot_equip_report();
    const RotEquipEntry* e = r.entry(r.current);
    if (!r.ready || !e)
        return;
    if (const auto& made = ui().hooks.made_current)
        made();
    ReportWindow& w = e->kind == ROT_PUMP ? static_cast<ReportWindow&>(ui().pumps) : ui().compressors;
    w.refresh();
    table_window_show(w);
    // The window's title names the report's load case, which is its own
    // and not the results load case of the other tables.
    set_results_title_fixed(std::string(ROT_EQUIP_TITLE) + ": " + load_case_names(r.case_code(r.current_case)));
}

}  // namespace

RotEquipUiHooks& rot_equip_ui_hooks() { return ui().hooks; }

void show_rot_equip() { show_entry(); }

void next_rot_equip()
{
    RotEquipReport& r = rot_equip_report();
    if (r.equipment_count() < 2)
        return;
    r.current = r.current >= r.equipment_count() ? 1 : r.current + 1;
    show_entry();
}

void previous_rot_equip()
{
    RotEquipReport& r = rot_equip_report();
    if (r.equipment_count() < 2)
        return;
    r.current = r.current <= 1 ? r.equipment_count() : r.current - 1;
    show_entry();
}

void next_rot_load_case()
{
    RotEquipReport& r = rot_equip_report();
    if (r.case_count() < 2)
        return;
    r.current_case = r.current_case >= r.case_count() ? 1 : r.current_case + 1;
    show_entry();
}

void previous_rot_load_case()
{
    RotEquipReport& r = rot_equip_report();
    if (r.case_count() < 2)
        return;
    r.current_case = r.current_case <= 1 ? r.case_count() : r.current_case - 1;
    show_entry();
}

void select_rot_equip(WindowId owner)
{
    RotEquipReport& r = rot_equip_report();
    if (r.equipment_count() < 1)
        return;
    PickList list;
    list.title = "Other Rotating Equipment";
    list.count = r.equipment_count();
    list.current = r.current;
    list.visible_rows = 8;
    list.columns = {{"Type", [&r](int row) { return rot_equip_kind_name(r.entry(row)->kind); }, "Compressor"},
                    {"Description", [&r](int row) { return rot_equip_description(*r.entry(row)); }, ""}};
    if (const int picked = run_pick_list(list, owner); picked != 0) {
        r.current = picked;
        show_entry();
    }
}

void choose_rot_load_case(WindowId owner)
{
    RotEquipReport& r = rot_equip_report();
    if (r.case_count() < 1)
        return;
    RadioListChoice choice{load_cases_chooser_template(r.case_count()), "Load cases", {}, r.current_case};
    for (int code : r.load_cases)
        choice.entries.push_back(load_case_names(code));
    const int chosen = run_radio_list(choice, owner);
    if (chosen >= 1 && chosen <= r.case_count() && chosen != r.current_case) {
        r.current_case = chosen;
        show_entry();
    }
}

bool rot_equip_command(int id, WindowId owner)
{
    const RotEquipReport& r = rot_equip_report();
    switch (id) {
    case CMD_OTHER_ITEM:
        if (r.equipment_count() >= 2)
            select_rot_equip(owner);
        return true;
    case CMD_NEXT_ITEM:
        next_rot_equip();
        return true;
    case CMD_PREVIOUS_ITEM:
        previous_rot_equip();
        return true;
    case CMD_LOAD_CASES:
        if (r.case_count() >= 2)
            choose_rot_load_case(owner);
        else if (const auto& own = ui().hooks.results_load_cases)
            own(owner);
        return true;
    case CMD_NEXT_LOAD_CASE:
        next_rot_load_case();
        return true;
    case CMD_PREVIOUS_LOAD_CASE:
        previous_rot_load_case();
        return true;
    default:
        return false;
    }
}

void add_rot_equip_menu_items(Frame& frame)
{
    const RotEquipReport& r = rot_equip_report();
    Menu& m = frame.menu;
    if (r.equipment_count() > 1 && !m.contains(CMD_OTHER_ITEM) && m.contains(CMD_RESULTS)) {
        m.insert_before(CMD_RESULTS, MenuItem{"&Other Rot. Equipment...\tF6", CMD_OTHER_ITEM});
        m.insert_before(CMD_RESULTS, MenuItem{"Next Rot. Equipment\tCtrl+Right Arrow", CMD_NEXT_ITEM});
        m.insert_before(CMD_RESULTS, MenuItem{"Previous Rot. Equipment\tCtrl+Left Arrow", CMD_PREVIOUS_ITEM});
        m.insert_before(CMD_RESULTS, MenuItem{});
        for (int b : {int{SEP_BAR_ITEMS}, int{CMD_OTHER_ITEM}, int{CMD_PREVIOUS_ITEM}, int{CMD_NEXT_ITEM}})
            frame_show_button(frame, b);
    }
    if (r.case_count() > 1 && !m.contains(CMD_LOAD_CASES) && m.contains(CMD_RESULTS)) {
        m.insert_before(CMD_RESULTS, MenuItem{"&Load Cases...", CMD_LOAD_CASES});
        m.insert_before(CMD_RESULTS, MenuItem{"Next load case\tRight Arrow", CMD_NEXT_LOAD_CASE});
        m.insert_before(CMD_RESULTS, MenuItem{"Previous load case\tLeft Arrow", CMD_PREVIOUS_LOAD_CASE});
        m.insert_before(CMD_RESULTS, MenuItem{});
        for (int b : {int{SEP_BAR_LOAD_CASES}, int{CMD_LOAD_CASES}, int{CMD_PREVIOUS_LOAD_CASE}, int{CMD_NEXT_LOAD_CASE}})
            frame_show_button(frame, b);
    }
    frame_update_menu(frame);
}

void remove_rot_equip_menu_items(Frame& frame)
{
    if (const auto& erase = model_hooks().erase_highlight)
        erase();
    const RotEquipReport& r = rot_equip_report();
    Menu& m = frame.menu;
    if (r.equipment_count() > 1 && m.contains(CMD_OTHER_ITEM)) {
        m.remove_separator_after(CMD_PREVIOUS_ITEM);
        for (int id : {int{CMD_OTHER_ITEM}, int{CMD_NEXT_ITEM}, int{CMD_PREVIOUS_ITEM}})
            m.remove(id);
        for (int b : {int{SEP_BAR_ITEMS}, int{CMD_OTHER_ITEM}, int{CMD_PREVIOUS_ITEM}, int{CMD_NEXT_ITEM}})
            frame_hide_button(frame, b);
    }
    if (r.case_count() > 1 && m.contains(CMD_LOAD_CASES)) {
        m.remove_separator_after(CMD_PREVIOUS_LOAD_CASE);
        for (int id : {int{CMD_LOAD_CASES}, int{CMD_NEXT_LOAD_CASE}, int{CMD_PREVIOUS_LOAD_CASE}})
            m.remove(id);
        for (int b : {int{SEP_BAR_LOAD_CASES}, int{CMD_LOAD_CASES}, int{CMD_PREVIOUS_LOAD_CASE}, int{CMD_NEXT_LOAD_CASE}})
            frame_hide_button(frame, b);
    }
    frame_update_menu(frame);
}

void print_rot_equip_reports()
{
    const RotEquipReport& r = rot_equip_report();
    if (!r.ready)
        return;
    if (!pumps().empty())
        api610_report();
    if (!compressors().empty())
        api617_report();
    if (!turbines().empty())
        nema_sm23_report();
    if (report_destination() == ReportDestination::Text)
        report_page_break();
    else if (report_destination() == ReportDestination::Pages)
        gdi_new_page();
}

TableWindow& pump_report_window() { return ui().pumps; }
TableWindow& compressor_report_window() { return ui().compressors; }

void reset_rot_equip_windows()
{
    table_reset(ui().pumps);
    table_reset(ui().compressors);
}

void install_rot_equip_results()
{
    result_page_tables()[PAGE_PUMP_REPORT] = [] { return &pump_report_window(); };
    result_page_tables()[PAGE_COMPRESSOR_REPORT] = [] { return &compressor_report_window(); };
    RotEquipUiHooks& own = rot_equip_ui_hooks();
    own.cycle_result = [](unsigned mods) { cycle_result(mods); };
    own.made_current = [] { set_current_result(RESULT_ROT_EQUIP_REPORT); };
    own.results_load_cases = [](WindowId owner) { choose_results_load_case(owner); };

    ResultsHooks& h = results_hooks();
    const std::size_t kind = RESULT_ROT_EQUIP_REPORT;
    h.show[kind] = show_rot_equip;
    h.available[kind] = [] { return rot_equip_report().ready; };
    h.choose_load_case[kind] = [](WindowId owner) { rot_equip_command(CMD_LOAD_CASES, owner); };
    // Every machine of every listed case in the results report.
    h.print[kind] = print_rot_equip_reports;
    h.opened.push_back([] {
        // Every listed case is made current in turn for the anchors' loads;
        // the case that was current is current again afterwards.
        const int was = results_loadcase();
        RotEquipResults results;
        results.present = [](int code) { return results_load_case_index(code) != 0; };
        results.make_current = [](int code) {
            if (set_results_load_case(code))
                read_load_case_support_loads();
        };
        build_rot_equip_report(results);
        if (was != 0 && set_results_load_case_index(was))
            read_load_case_support_loads();
        reset_rot_equip_windows();
    });
    h.closing.push_back(reset_rot_equip_report);
    ResultItemCommands items;
    items.other = [] {
        if (rot_equip_report().equipment_count() >= 2)
            select_rot_equip(results_frame().window);
    };
    items.next = next_rot_equip;
    items.previous = previous_rot_equip;
    items.tip = [](int command) -> std::string {
        switch (command) {
        case CMD_OTHER_ITEM: return "Other Rot. Equipment";
        case CMD_NEXT_ITEM: return "Next Rot. Equipment";
        case CMD_PREVIOUS_ITEM: return "Previous Rot. Equipment";
        default: return {};
        }
    };
    set_result_item_commands(RESULT_ROT_EQUIP_REPORT, std::move(items));
}
