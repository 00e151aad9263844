#include "loads/ui/spectra_ui.h"

#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/document_events.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/file_dialogs.h"
#include "framework/ui/frame.h"
#include "framework/ui/messages.h"
#include "framework/ui/report_pages.h"
#include "framework/units.h"
#include "loads/curve_text.h"
#include "loads/response_spectrum.h"
#include "loads/time_function.h"
#include "loads/ui/curve_table.h"
#include "loads/ui/dialogs_loads.h"
#include "loads/ui/load_fields.h"
#include "loads/ui/load_tables.h"
#include "loads/ui/spectrum_library_ui.h"
#include "model/model_file.h"
#include "model/ui/list_window.h"

namespace {

// A positive abscissa (frequency, period) or a time from 0 on.
float read_plain(const char* name, bool positive_only, bool zero_allowed)
{
    float v = 0.0f;
    if (parse_real_buffer(v) != 0 || (positive_only && !(v > 0.0f || (zero_allowed && v == 0.0f))))
        throw_invalid(name);
    return v;
}

std::string ordinate_title(const Spectrum& s)
{
    const std::string unit = spectrum_unit_name(s.ordinate, s.ordinate_unit);
    return std::string(spectrum_ordinate_name(s.ordinate)) + (unit.empty() ? "" : " (" + unit + ")");
}

std::string abscissa_title(const Spectrum& s)
{
    return std::string(spectrum_abscissa_name(s.abscissa)) + " (" + spectrum_abscissa_unit(s.abscissa) + ")";
}

std::string options_summary(const Spectrum& s)
{
    return abscissa_title(s) + " - " + ordinate_title(s) + ", " +
           (s.interpolation == INTERPOLATE_LOG ? "logarithmic" : "linear") + " interpolation";
}

void set_spectrum_axes(CurveTable& t, const Spectrum& s)
{
    t.x.heading = spectrum_abscissa_name(s.abscissa);
    const std::string x_unit = std::string("(") + spectrum_abscissa_unit(s.abscissa) + ")";
    t.x.unit = [x_unit] { return x_unit; };
    t.x.format = [](float v) { return curve_number_text(v); };
    const char* x_name = spectrum_abscissa_name(s.abscissa);
    t.x.parse = [x_name] { return read_plain(x_name, true, false); };
    t.y.heading = spectrum_ordinate_name(s.ordinate);
    const std::string unit = spectrum_unit_name(s.ordinate, s.ordinate_unit);
    t.y.unit = [unit] { return unit.empty() ? std::string() : "(" + unit + ")"; };
    t.y.format = [](float v) { return curve_number_text(v); };
    const char* y_name = spectrum_ordinate_name(s.ordinate);
    t.y.parse = [y_name] { return read_plain(y_name, false, true); };
}

bool is_force_list(const SpectrumList& list)
{
    return &list == &force_spectra();
}

// A force spectrum that a force-spectrum load names, a response spectrum
// that the response-spectrum input names.
bool spectrum_in_use(const SpectrumList& list, const std::string& name)
{
    return is_force_list(list) ? force_spectrum_in_use(name) : response_spectrum_uses(name);
}

const char* list_noun(const SpectrumList& list)
{
    return is_force_list(list) ? "force spectra" : "spectra";
}

// Why the spectrum at `index` of a list (count() + 1: a new one) cannot
// take a name; empty when it can.
std::string spectrum_name_refusal(const SpectrumList& list, int index, const std::string& name)
{
    if (std::string fault = spectrum_name_fault(name); !fault.empty())
        return fault;
    if (const int other = list.index(name); other != 0 && other != index)
        return "Spectrum " + name + " is already defined";
    if (!list.valid(index))
        return spectrum_list_full_fault(list, list_noun(list));
    return {};
}

// Stores a checked spectrum at `index`, appending the spare as a new one.
// A new name of a spectrum that loads name is asked about first, and the
// loads follow it; false when the user keeps the old name.
bool store_spectrum(SpectrumList& list, int index, const Spectrum& s, WindowId owner)
{
    const bool stored = list.valid(index);
    if (stored && list[index].name != s.name && spectrum_in_use(list, list[index].name)) {
        const bool force = is_force_list(list);
        if (!ask_change_value(owner, force ? "Force spectrum name" : "Spectrum name", list[index].name, s.name))
            return false;
        if (force)
            rename_force_spectrum_references(list[index].name, s.name);
        else
            rename_response_spectrum_references(list[index].name, s.name);
    }
    if (stored) {
        list[index] = s;
    } else {
        list.append(s);
        // The spare keeps the options for the next one.
        list.spare() = Spectrum{};
        list.spare().abscissa = s.abscissa;
        list.spare().ordinate = s.ordinate;
        list.spare().interpolation = s.interpolation;
        list.spare().ordinate_unit = s.ordinate_unit;
    }
    model_modified() = true;
    notify_document_changed();
    return true;
}

// ---- SPECTRUM_OPTIONS_DIALOG ---------------------------------------------------------------

class SpectrumOptionsDialog final : public InputDialogProc {
public:
    SpectrumOptionsDialog(Spectrum& s, bool force) : s_(s), force_(force) {}
    bool changed = false;

    void init(Dialog& d) override
    {
        dialog_set_radio(SO_FREQUENCY, SO_PERIOD, s_.abscissa == ABSCISSA_PERIOD ? SO_PERIOD : SO_FREQUENCY);
        dialog_set_radio(SO_LINEAR, SO_LOG, s_.interpolation == INTERPOLATE_LOG ? SO_LOG : SO_LINEAR);
        dialog_list_reset(SO_ORDINATE);
        if (force_) {
            dialog_list_add(spectrum_ordinate_name(ORDINATE_FACTOR));
            dialog_list_select(SO_ORDINATE, 0);
            dialog_disable(SO_ORDINATE);
        } else {
            for (int o = ORDINATE_ACCELERATION; o <= ORDINATE_DISPLACEMENT; ++o)
                dialog_list_add(spectrum_ordinate_name(o));
            dialog_list_select(SO_ORDINATE, std::min<int>(s_.ordinate, ORDINATE_DISPLACEMENT));
        }
        fill_units(s_.ordinate, s_.ordinate_unit);
        if (input_locked()) {
            for (int id : {int{SO_FREQUENCY}, int{SO_PERIOD}, int{SO_LINEAR}, int{SO_LOG}, int{SO_ORDINATE},
                           int{SO_UNIT}})
                dialog_disable(id);
            dialog_set_focus(IDOK);
        }
        (void)d;
    }
    void command(Dialog&, int id, int code) override
    {
        if (id == SO_ORDINATE && code == NOTIFY_SELCHANGE && !force_)
            fill_units(dialog_list_selection(SO_ORDINATE), 0);
    }
    bool ok(Dialog& d) override
    {
        if (input_locked()) {
            d.end(0);
            return true;
        }
        Spectrum s = s_;
        s.abscissa = dialog_is_checked(SO_PERIOD) ? ABSCISSA_PERIOD : ABSCISSA_FREQUENCY;
        s.interpolation = dialog_is_checked(SO_LOG) ? INTERPOLATE_LOG : INTERPOLATE_LINEAR;
        s.ordinate = force_ ? uint8_t{ORDINATE_FACTOR} : static_cast<uint8_t>(std::max(0, dialog_list_selection(SO_ORDINATE)));
        s.ordinate_unit = std::max(0, dialog_list_selection(SO_UNIT));
        if (s.ordinate_unit >= spectrum_unit_count(s.ordinate))
            s.ordinate_unit = 0;
        changed = !(s == s_);
        s_ = s;
        return true;
    }

private:
    static void fill_units(int ordinate, int selected)
    {
        dialog_list_reset(SO_UNIT);
        for (int u = 0; u < spectrum_unit_count(ordinate); ++u)
            dialog_list_add(spectrum_unit_name(ordinate, u));
        dialog_list_select(SO_UNIT, std::clamp(selected, 0, std::max(0, spectrum_unit_count(ordinate) - 1)));
        dialog_enable_item(SO_UNIT, spectrum_unit_count(ordinate) > 1 && !input_locked());
    }
    Spectrum& s_;
    bool force_;
};

// ---- SPECTRUM_DIALOG ---------------------------------------------------------------------

class SpectrumDialog final : public SnapshotDialogProc {
public:
    SpectrumDialog(SpectrumList& list, int index) : list_(list), index_(index), s_(list[index]) {}

    void init(Dialog& d) override
    {
        d.set_caption(c_format(d.templ().caption.c_str(), index_));
        dialog_set_text_limit(SP_NAME, s_.name, int{SPECTRUM_NAME_LENGTH});
        dialog_set_text(SP_SUMMARY, options_summary(s_));
        set_spectrum_axes(table_, s_);
        table_.create_in(d, s_.curve);
        if (input_locked()) {
            dialog_set_readonly(SP_NAME);
            dialog_set_focus(IDOK);
        } else {
            dialog_select_focus(SP_NAME);
        }
    }
    void command(Dialog& d, int id, int code) override
    {
        if (id != SP_OPTIONS || code != NOTIFY_CLICKED)
            return;
        if (edit_spectrum_options(s_, is_force_list(list_), d.window())) {
            dialog_set_text(SP_SUMMARY, options_summary(s_));
            set_spectrum_axes(table_, s_);
            table_.reload();
        }
    }
    bool ok(Dialog& d) override
    {
        if (input_locked()) {
            d.end(0);
            return true;
        }
        Spectrum s = s_;
        dialog_get_record_text(SP_NAME);
        s.name = item_text();
        if (const std::string refusal = spectrum_name_refusal(list_, index_, s.name); !refusal.empty())
            dialog_throw(SP_NAME, refusal);
        s.curve = table_.take_curve("Spectrum " + s.name);
        if (const std::string fault = spectrum_fault(s); !fault.empty())
            dialog_throw(LOAD_TABLE, "Spectrum " + s.name + ": " + fault);
        if (list_.valid(index_) && s == list_[index_]) {
            discard_undo_snapshot();
            return true;
        }
        if (!store_spectrum(list_, index_, s, d.window()))
            dialog_throw(SP_NAME, "");
        return true;
    }

private:
    SpectrumList& list_;
    int index_;
    Spectrum s_;
    CurveTable table_;
};

// ---- The spectra tables -------------------------------------------------------------------

class SpectraTable final : public TableWindow {
public:
    // `library`: the response spectra, which a spectrum library holds too.
    SpectraTable(std::string title, std::function<SpectrumList&()> list, bool library)
        : TableWindow(&list_frame(), 5, 2, {int{SPECTRUM_NAME_LENGTH}}), title_(std::move(title)), list_(std::move(list)),
          library_(library)
    {
        alignments[5] = TextAlign::Right;
    }

    SpectrumList& list() const { return list_(); }
    // "Spectrum Library" while the spectrum library is edited.
    std::string table_title() const
    {
        return library_ && spectrum_library_mode() ? std::string("Spectrum Library") : title_;
    }
    void load() { table_set_input_rows(*this, table_title(), list().count()); }

    std::string header_text(int column, int line) override
    {
        static const char* const first[] = {"", "Name", "Abscissa", "Ordinate", "Interpolation", "Points"};
        if (column < 1 || column > 5)
            return {};
        return line == 0 ? first[column] : std::string();
    }
    std::string cell_text(int row, int column, int line) override
    {
        if (line != 0 || !list().valid(row))
            return {};
        const Spectrum& s = list()[row];
        switch (column) {
        case 1: return s.name;
        case 2: return abscissa_title(s);
        case 3: return ordinate_title(s);
        case 4: return s.interpolation == INTERPOLATE_LOG ? "Logarithmic" : "Linear";
        case 5: return std::to_string(s.curve.size());
        default: return {};
        }
    }
    // The name is typed as in the spectrum's dialog: on the input row it
    // makes a new spectrum with the options of the last one, without points.
    bool cell_editable(int row, int column) override
    {
        return column == 1 && row >= 1 && row <= list().count() + 1 && TableWindow::cell_editable(row, column);
    }
    std::string typing_refused(int row, int column) override
    {
        if (row < 1 || row > list().count() + 1)
            return {};
        if (column == 5)
            return "The points of a spectrum are typed in its dialog (double-click the row)";
        return "The abscissa, ordinate and interpolation of a spectrum are chosen with Spectrum... of the "
               "right-click menu";
    }
    void store_cell(int row, int column, const std::string& text) override
    {
        if (column != 1 || row < 1 || row > list().count() + 1)
            return;
        // An empty name on the input row leaves it empty.
        if (text.empty() && !list().valid(row))
            return;
        if (const std::string refusal = spectrum_name_refusal(list(), row, text); !refusal.empty())
            throw_cell_error(refusal, 1);
        Spectrum s = list()[row];
        s.name = text;
        if (list().valid(row) && s == list()[row]) {
            discard_undo_snapshot();
            return;
        }
        if (!store_spectrum(list(), row, s, frame_window())) {
            discard_undo_snapshot();
            return;
        }
        load();
    }
    bool edit_row(int row) override
    {
        if (row < 1 || row > list().count() + 1)
            return false;
        push_undo_snapshot(frame_window());
        if (edit_spectrum(list(), row, frame_window()) == IDOK) {
            load();
            table_window_refocus(*this);
        }
        return true;
    }
    bool can_delete(int row) override { return !input_locked() && list().valid(row); }
    void delete_row(int row) override
    {
        if (!can_delete(row))
            return;
        const std::string name = list()[row].name;
        if (spectrum_in_use(list(), name)) {
            beep();
            message_error(frame_window(), c_format("%s %s is in use, it cannot be deleted",
                                                   is_force_list(list()) ? "Force spectrum" : "Spectrum", name.c_str()));
            return;
        }
        list().erase(row);
        model_modified() = true;
        notify_document_changed();
        load();
    }
    bool on_command(int id) override
    {
        if (id == CMD_LIBRARY) {
            if (!serves_command(id))
                return false;
            if (const int added = pick_spectrum_from_library(frame_window())) {
                load();
                table_goto_row(*this, added);
            }
            return true;
        }
        if (id == CMD_READ_SPECTRUM) {
            if (const int added = read_spectrum_command(list(), frame_window())) {
                load();
                table_goto_row(*this, added);
            }
            return true;
        }
        if (id == CMD_SPECTRUM_OPTIONS) {
            const int row = std::clamp(current_row, 1, list().count() + 1);
            if (edit_spectrum_options(list()[row], is_force_list(list()), frame_window())) {
                if (list().valid(row)) {
                    model_modified() = true;
                    notify_document_changed();
                }
                load();
            }
            return true;
        }
        return TableWindow::on_command(id);
    }
    // The pick from a spectrum library, for the model's response spectra.
    bool serves_command(int id) override
    {
        return id == CMD_LIBRARY && library_ && !spectrum_library_mode() && !input_locked();
    }
    void on_enter() override
    {
        if (!frame || !serves_command(CMD_LIBRARY))
            return;
        // File: "&Library..." and a separator before Print, as the materials have it.
        Menu& menu = frame->menu;
        const int anchor = menu.contains(CMD_EXPORT) ? CMD_EXPORT : CMD_PRINT;
        if (!menu.contains(CMD_LIBRARY) && menu.contains(anchor)) {
            menu.insert_before(anchor, MenuItem{"&Library...", CMD_LIBRARY});
            menu.insert_before(anchor, MenuItem{});
            library_item_ = true;
        }
        frame_show_button(*frame, CMD_LIBRARY);
        frame_update_menu(*frame);
    }
    void on_leave() override
    {
        if (!frame || !library_)
            return;
        if (library_item_) {
            frame->menu.remove_separator_after(CMD_LIBRARY);
            frame->menu.remove(CMD_LIBRARY);
            library_item_ = false;
        }
        frame_hide_button(*frame, CMD_LIBRARY);
        frame_update_menu(*frame);
    }
    void context_menu(Point) override
    {
        MenuItem popup = input_locked() ? table_popup_show_edit(*this, "Spectrum")
                                        : table_popup_show_edit_delete(*this, "Spectrum");
        if (!input_locked()) {
            popup.items.push_back(MenuItem{"&Read Spectrum...", CMD_READ_SPECTRUM});
            popup.items.push_back(MenuItem{"&Spectrum...", CMD_SPECTRUM_OPTIONS});
            if (serves_command(CMD_LIBRARY))
                popup.items.push_back(MenuItem{"&Library...", CMD_LIBRARY});
        }
        table_popup_menu(*this, popup);
    }
    bool export_csv(WindowId window) override
    {
        if (!list().valid(current_row))
            return false;
        const Spectrum& s = list()[current_row];
        FileDialogRequest request;
        request.title = "Export to Comma Separated Values file";
        request.filters = {FileFilter{"Comma Separated Values file (*.csv)", "*.csv"}};
        request.default_extension = "csv";
        request.initial_path = s.name + ".csv";
        if (!save_file_dialog_path(window, request))
            return false;
        try {
            write_curve_csv(ofn_file_path(), abscissa_title(s), ordinate_title(s), s.curve);
        } catch (const MessageText& m) {
            message_error(window, m.text);
            return false;
        }
        return true;
    }
    void print() override { print_load_table(*this, table_title(), list().count()); }
    void print_text() override { print(); }
    void print_csv() override { print(); }
    void contents_entry() override { add_contents_entry(table_title(), 0); }

private:
    std::string title_;
    std::function<SpectrumList&()> list_;
    bool library_;
    bool library_item_ = false;   // the File menu's "&Library..." was added
};

struct SpectraTables {
    SpectraTable spectra{"Spectra", [] () -> SpectrumList& { return ::spectra(); }, true};
    SpectraTable force{"Force Spectra", [] () -> SpectrumList& { return force_spectra(); }, false};
};

SpectraTables& tables()
{
    return session_part<SpectraTables>();
}

void open_table(SpectraTable& t)
{
    open_in_list_window(t, 1, true);
}

// ---- Time functions -------------------------------------------------------------------------

void set_time_axes(CurveTable& t)
{
    t.x.heading = "Time";
    t.x.unit = [] { return std::string("(sec)"); };
    t.x.format = [](float v) { return curve_number_text(v); };
    t.x.parse = [] { return read_plain("Time", true, true); };
    t.y.heading = "Factor";
    t.y.format = [](float v) { return curve_number_text(v); };
    t.y.parse = [] { return read_plain("Factor", false, true); };
}

class TimeFunctionDialog final : public SnapshotDialogProc {
public:
    explicit TimeFunctionDialog(int k) : k_(k) {}

    void init(Dialog& d) override
    {
        d.set_caption(c_format(d.templ().caption.c_str(), k_));
        dialog_set_text(SP_SUMMARY, "Factor over time");
        set_time_axes(table_);
        table_.create_in(d, k_ <= numtimefunctions() ? time_function()[static_cast<std::size_t>(k_ - 1)] : XYCurve{});
        if (input_locked())
            dialog_set_focus(IDOK);
    }
    bool ok(Dialog& d) override
    {
        if (input_locked()) {
            d.end(0);
            return true;
        }
        const XYCurve f = table_.take_curve(c_format("Time function %d", k_));
        if (const std::string fault = time_function_fault(f); !fault.empty())
            dialog_throw(LOAD_TABLE, c_format("Time function %d: ", k_) + fault);
        if (k_ <= numtimefunctions()) {
            XYCurve& stored = time_function()[static_cast<std::size_t>(k_ - 1)];
            if (stored == f) {
                discard_undo_snapshot();
                return true;
            }
            stored = f;
        } else {
            time_function().push_back(f);
        }
        model_modified() = true;
        notify_document_changed();
        return true;
    }

private:
    int k_;
    CurveTable table_;
};

class TimeHistoryDialog final : public SnapshotDialogProc {
public:
    void init(Dialog&) override
    {
        const TimeHistoryOptions& o = time_history_options();
        fields_.show(TH_TIME_STEP, o.time_step, REAL_VALUE);
        fields_.show(TH_END_TIME, o.end_time, REAL_VALUE);
        fields_.show(TH_OUTPUT_INTERVAL, o.output_interval, REAL_VALUE);
        fields_.show(TH_DAMPING, o.damping, REAL_VALUE, true);
        dialog_check(TH_SAVE_RESULTS, o.save_results != 0);
        if (input_locked()) {
            for (int id : {int{TH_TIME_STEP}, int{TH_END_TIME}, int{TH_OUTPUT_INTERVAL}, int{TH_DAMPING}})
                dialog_set_readonly(id);
            dialog_disable(TH_SAVE_RESULTS);
            dialog_set_focus(IDOK);
        } else {
            dialog_select_focus(TH_TIME_STEP);
        }
    }
    bool ok(Dialog& d) override
    {
        if (input_locked()) {
            d.end(0);
            return true;
        }
        TimeHistoryOptions o;
        auto positive = [](float v) { return v > 0.0f; };
        o.time_step = fields_.read(TH_TIME_STEP, "Time step", REAL_VALUE, positive, true);
        o.end_time = fields_.read(TH_END_TIME, "End time", REAL_VALUE, positive, true);
        if (o.end_time < o.time_step)
            dialog_throw(TH_END_TIME, "End time should be >= the time step");
        o.output_interval = fields_.read(TH_OUTPUT_INTERVAL, "Output interval", REAL_VALUE, positive, true);
        if (o.output_interval < o.time_step)
            dialog_throw(TH_OUTPUT_INTERVAL, "Output interval should be >= the time step");
        o.damping = fields_.read(TH_DAMPING, "Damping ratio", REAL_VALUE,
                                 [](float v) { return v >= 0.0f && v <= 1.0f; });
        o.save_results = dialog_is_checked(TH_SAVE_RESULTS) ? 1 : 0;
        store_changed(time_history_options(), o);
        return true;
    }

private:
    ValueFields fields_;
};

class TimeFunctionsTable final : public TableWindow {
public:
    TimeFunctionsTable() : TableWindow(&list_frame(), 4, 2)
    {
        for (int c = 2; c <= 4; ++c)
            alignments[static_cast<std::size_t>(c)] = TextAlign::Right;
    }
    void load() { table_set_input_rows(*this, "Time Functions", numtimefunctions()); }

    std::string header_text(int column, int line) override
    {
        static const char* const first[] = {"", "Function", "Points", "Start", "End"};
        if (column < 1 || column > 4)
            return {};
        if (line == 0)
            return first[column];
        return line == 1 && column >= 3 ? "(sec)" : std::string();
    }
    std::string cell_text(int row, int column, int line) override
    {
        if (line != 0 || row < 1 || row > numtimefunctions())
            return {};
        const XYCurve& f = time_function()[static_cast<std::size_t>(row - 1)];
        switch (column) {
        case 1: return std::to_string(row);
        case 2: return std::to_string(f.size());
        case 3: return f.empty() ? std::string() : curve_number_text(f[0].x);
        case 4: return f.empty() ? std::string() : curve_number_text(f[f.size() - 1].x);
        default: return {};
        }
    }
    bool cell_editable(int, int) override { return false; }
    bool edit_row(int row) override
    {
        if (row < 1 || row > numtimefunctions() + 1)
            return false;
        push_undo_snapshot(frame_window());
        if (edit_time_function(row, frame_window()) == IDOK) {
            load();
            table_window_refocus(*this);
        }
        return true;
    }
    bool can_insert(int row) override { return !input_locked() && row >= 1 && row <= numtimefunctions(); }
    void insert_row(int row) override
    {
        if (!can_insert(row))
            return;
        insert_time_function(row);
        model_modified() = true;
        notify_document_changed();
        load();
    }
    bool can_delete(int row) override { return !input_locked() && row >= 1 && row <= numtimefunctions(); }
    void delete_row(int row) override
    {
        if (!can_delete(row))
            return;
        if (time_function_in_use(row)) {
            beep();
            message_error(frame_window(), c_format("Time function %d is in use, it cannot be deleted", row));
            return;
        }
        erase_time_function(row);
        model_modified() = true;
        notify_document_changed();
        load();
    }
    void on_enter() override
    {
        if (frame && !input_locked())
            table_add_insert_item(*frame);
    }
    void on_leave() override
    {
        if (frame)
            table_remove_insert_item(*frame);
    }
    void context_menu(Point) override
    {
        MenuItem popup = input_locked() ? table_popup_show_edit(*this, "Time Function")
                                        : table_popup_show_edit_delete(*this, "Time Function");
        popup.items.push_back(MenuItem{"Time &History...", CMD_TIME_HISTORY});
        table_popup_menu(*this, popup);
    }
    bool export_csv(WindowId window) override
    {
        if (current_row < 1 || current_row > numtimefunctions())
            return false;
        FileDialogRequest request;
        request.title = "Export to Comma Separated Values file";
        request.filters = {FileFilter{"Comma Separated Values file (*.csv)", "*.csv"}};
        request.default_extension = "csv";
        request.initial_path = c_format("Time function %d.csv", current_row);
        if (!save_file_dialog_path(window, request))
            return false;
        try {
            write_curve_csv(ofn_file_path(), "Time (sec)", "Factor",
                            time_function()[static_cast<std::size_t>(current_row - 1)]);
        } catch (const MessageText& m) {
            message_error(window, m.text);
            return false;
        }
        return true;
    }
    void print() override { print_load_table(*this, "Time Functions", numtimefunctions()); }
    void print_text() override { print(); }
    void print_csv() override { print(); }
    void contents_entry() override { add_contents_entry("Time Functions", 0); }
};

}  // namespace

int edit_spectrum(SpectrumList& list, int index, WindowId owner)
{
    if (index < 1 || index > list.count() + 1)
        return IDCANCEL;
    SpectrumDialog proc(list, index);
    return run_dialog(SPECTRUM_DIALOG, proc, owner) == IDOK ? IDOK : IDCANCEL;
}

bool edit_spectrum_options(Spectrum& spectrum, bool force, WindowId owner)
{
    SpectrumOptionsDialog proc(spectrum, force);
    return run_dialog(SPECTRUM_OPTIONS_DIALOG, proc, owner) == IDOK && proc.changed;
}

int read_spectrum_command(SpectrumList& list, WindowId owner)
{
    if (input_locked())
        return 0;
    FileDialogRequest request;
    request.title = "Read Spectrum";
    request.filters = {FileFilter{"Text files (*.txt)", "*.txt"}, FileFilter{"All files (*.*)", "*.*"}};
    if (!open_file_dialog_path(owner, request))
        return 0;
    const std::string path = ofn_file_path();
    Spectrum s = list.spare();
    try {
        if (const std::string full = spectrum_list_full_fault(list, list_noun(list)); !full.empty())
            throw_message(full);
        s.curve = read_curve_text(path, MAX_SPECTRUM_POINTS);
        s.name = unique_spectrum_name(list, curve_name_from_path(path, SPECTRUM_NAME_LENGTH));
        if (const std::string fault = spectrum_fault(s); !fault.empty())
            throw_message(path + "\n" + fault);
    } catch (const MessageText& m) {
        message_error(owner, m.text);
        return 0;
    }
    push_undo_snapshot(owner);
    const int index = list.append(s);
    model_modified() = true;
    notify_document_changed();
    return index;
}

int edit_time_function(int k, WindowId owner)
{
    if (k < 1 || k > numtimefunctions() + 1)
        return IDCANCEL;
    TimeFunctionDialog proc(k);
    return run_dialog(TIME_FUNCTION_DIALOG, proc, owner) == IDOK ? IDOK : IDCANCEL;
}

int edit_time_history_options(WindowId owner)
{
    push_undo_snapshot(owner);
    TimeHistoryDialog proc;
    return run_dialog(TIME_HISTORY_DIALOG, proc, owner) == IDOK ? IDOK : IDCANCEL;
}

TableWindow& spectra_table() { return tables().spectra; }
TableWindow& force_spectra_table() { return tables().force; }
TableWindow& time_functions_table() { return session_part<TimeFunctionsTable>(); }

void open_spectra_table() { open_table(tables().spectra); }
void open_force_spectra_table() { open_table(tables().force); }

void open_time_functions_table()
{
    open_in_list_window(session_part<TimeFunctionsTable>(), 1, true);
}

void install_spectra_ui()
{
    register_data_list(DataList{"Spectra", [] { return numspectrums(); }, open_spectra_table, true, CMD_SPECTRUMS});
    register_data_list(DataList{"Force Spectra", [] { return numforcespectra(); }, open_force_spectra_table, true});
    register_data_list(DataList{"Time Functions", [] { return numtimefunctions(); }, open_time_functions_table, true});
    register_command(CMD_SPECTRA, [](int) { open_spectra_table(); });
    register_command(CMD_SPECTRUMS, [](int) { open_spectra_table(); });
    register_command(CMD_FORCE_SPECTRA, [](int) { open_force_spectra_table(); });
    register_command(CMD_TIME_FUNCTIONS, [](int) { open_time_functions_table(); });
    register_command(CMD_TIME_HISTORY, [](int) { edit_time_history_options(list_frame().window); });
    // Reading a spectrum and its options act on the spectra table shown.
    register_command(CMD_READ_SPECTRUM, [](int id) {
        TableWindow* t = list_window_table();
        if (t == &tables().spectra || t == &tables().force)
            t->on_command(id);
        else if (read_spectrum_command(spectra(), list_frame().window))
            open_spectra_table();
    });
    register_command(CMD_SPECTRUM_OPTIONS, [](int id) {
        TableWindow* t = list_window_table();
        if (t == &tables().spectra || t == &tables().force)
            t->on_command(id);
    });
}
