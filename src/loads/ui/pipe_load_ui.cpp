#include "loads/ui/pipe_load_ui.h"

#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/document_events.h"
#include "framework/state.h"
#include "framework/text.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/frame.h"
#include "framework/units.h"
#include "loads/ui/dialogs_loads.h"
#include "loads/ui/load_fields.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"
#include "model/ui/named_set_ui.h"

namespace {

// The record's sets shown: 1..n.
bool set_shown(int k) { return k <= load_sets_in_use(); }

// Reads a wind cell: Yes, No (any start of them), 1 or 0.
bool read_wind_text(uint8_t& wind)
{
    const std::string& t = item_text();
    if (t.empty() || t == "0" || std::string("NO").starts_with(t))
        wind = 0;
    else if (t == "1" || std::string("YES").starts_with(t))
        wind = 1;
    else
        throw_invalid("Wind");
    return true;
}

// Fills an empty design value from the highest operating one, then runs the
// design checks; a failure is a cell exception at the design column.
void complete_design(PipeLoad& l, int t_column, int p_column)
{
    if (l.design_temperature == 0.0f)
        l.design_temperature = load_max_temperature(l);
    if (l.design_pressure == 0.0f)
        l.design_pressure = load_max_pressure(l);
    if (const std::string fault = check_design_values(l); !fault.empty())
        throw CI{fault, fault == DESIGN_TEMPERATURE_BELOW_OPERATING ? t_column : p_column};
}

// ---- PIPE_LOAD_DIALOG and BEAM_LOAD_DIALOG -----------------------------------------------

template <typename T>
class LoadDialog final : public SnapshotDialogProc {
public:
    LoadDialog(int index, T start, bool pipe) : index_(index), start_(std::move(start)), pipe_(pipe) {}

    void init(Dialog& d) override
    {
        d.set_caption(c_format(d.templ().caption.c_str(), index_));
        const T l = record();
        dialog_set_unit_label(PL_T_UNIT, TEMPERATURE);
        dialog_set_unit_label(PL_ADDED_UNIT, WEIGHT_PER_LENGTH);
        dialog_set_text_limit(PL_NAME, l.name, int{NAME_LENGTH});
        for (int k = 1; k <= NUM_LOAD_SETS; ++k) {
            const auto i = static_cast<std::size_t>(k);
            fields_.show(PL_T1 + k - 1, l.temperature[i], TEMPERATURE_VALUE);
            if (!set_shown(k))
                dialog_hide(PL_T1 + k - 1);
        }
        if constexpr (std::is_same_v<T, PipeLoad>) {
            dialog_set_unit_label(PL_P_UNIT, PRESSURE);
            for (int k = 1; k <= NUM_LOAD_SETS; ++k) {
                fields_.show(PL_P1 + k - 1, l.pressure[static_cast<std::size_t>(k)], PRESSURE_VALUE);
                if (!set_shown(k))
                    dialog_hide(PL_P1 + k - 1);
            }
            fields_.show(PL_DESIGN_T, l.design_temperature, TEMPERATURE_VALUE);
            fields_.show(PL_DESIGN_P, l.design_pressure, PRESSURE_VALUE);
            fields_.show(PL_SG, l.specific_gravity, REAL_VALUE);
        }
        fields_.show(PL_ADDED_WEIGHT, l.added_weight, WEIGHT_PER_LENGTH_VALUE);
        dialog_check(PL_WIND, l.wind != 0);
        if (input_locked()) {
            for (const ControlSpec& c : d.templ().controls)
                if (c.kind == ControlKind::Edit)
                    dialog_set_readonly(c.id);
            dialog_disable(PL_WIND);
            dialog_set_focus(IDOK);
        } else {
            dialog_select_focus(PL_NAME);
        }
    }

    bool ok(Dialog& d) override
    {
        if (input_locked()) {
            d.end(0);
            return true;
        }
        const char* key = pipe_ ? PIPE_LOADS : BEAM_LOADS;
        const T old = record();
        T l = old;
        dialog_get_text(PL_NAME);
        l.name = item_text();
        check_entry_name(key, l.name, stored() ? index_ : 0);
        for (int k = 1; k <= NUM_LOAD_SETS && set_shown(k); ++k) {
            const std::string t = "T" + std::to_string(k);
            l.temperature[static_cast<std::size_t>(k)] =
                fields_.read(PL_T1 + k - 1, t.c_str(), TEMPERATURE_VALUE, temperature_in_range, k == 1);
            if constexpr (std::is_same_v<T, PipeLoad>) {
                const std::string p = "P" + std::to_string(k);
                l.pressure[static_cast<std::size_t>(k)] = fields_.read(PL_P1 + k - 1, p.c_str(), PRESSURE_VALUE);
            }
        }
        if constexpr (std::is_same_v<T, PipeLoad>) {
            l.design_temperature =
                fields_.read(PL_DESIGN_T, "Design Temperature", TEMPERATURE_VALUE, temperature_in_range);
            l.design_pressure = fields_.read(PL_DESIGN_P, "Design Pressure", PRESSURE_VALUE);
            l.specific_gravity = fields_.read(PL_SG, "Specific Gravity", REAL_VALUE, not_below_zero);
            try {
                complete_design(l, PL_DESIGN_T, PL_DESIGN_P);
            } catch (const CI& c) {
                dialog_throw(c.column, c.message);
            }
        }
        l.added_weight =
            fields_.read(PL_ADDED_WEIGHT, "Additional weight", WEIGHT_PER_LENGTH_VALUE, not_below_zero);
        l.wind = dialog_is_checked(PL_WIND) ? 1 : 0;

        if (store_named_entry(named_set<T>(), index_, l, old, key, d.window(), pipe_ ? "Load name" : "Beam load name",
                              PL_NAME))
            notify_document_changed();
        return true;
    }


private:
    bool stored() const { return named_set<T>().valid(index_); }
    T record() const { return stored() ? named_set<T>()[index_] : start_; }

    int index_;
    T start_;
    bool pipe_;
    ValueFields fields_;
};

// ---- The tables ---------------------------------------------------------------------------

template <typename T>
LoadColumn<T> name_column()
{
    LoadColumn<T> c;
    c.heading = "Name";
    c.limit = int{NAME_LENGTH};
    c.text = [](const T& r) { return r.name; };
    return c;
}

template <typename T>
LoadColumn<T> wind_column()
{
    LoadColumn<T> c;
    c.heading = "Wind";
    c.limit = 3;
    c.text = [](const T& r) { return std::string(r.wind ? "Yes" : "No"); };
    c.store = [](T& r) {
        uint8_t wind = r.wind;
        read_wind_text(wind);
        const bool changed = wind != r.wind;
        r.wind = wind;
        return changed;
    };
    return c;
}

std::vector<LoadColumn<PipeLoad>> pipe_load_columns()
{
    std::vector<LoadColumn<PipeLoad>> c(1);
    c.push_back(name_column<PipeLoad>());
    for (int k = 1; k <= NUM_LOAD_SETS; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const std::string t = "T" + std::to_string(k), p = "P" + std::to_string(k);
        LoadColumn<PipeLoad> tc = value_column<PipeLoad>(
            t, TEMPERATURE_VALUE, t.c_str(), [i](PipeLoad& l) -> float& { return l.temperature[i]; },
            temperature_in_range);
        tc.shown = [k] { return set_shown(k); };
        c.push_back(tc);
        LoadColumn<PipeLoad> pc = value_column<PipeLoad>(
            p, PRESSURE_VALUE, p.c_str(), [i](PipeLoad& l) -> float& { return l.pressure[i]; });
        pc.shown = [k] { return set_shown(k); };
        c.push_back(pc);
    }
    c.push_back(value_column<PipeLoad>("Design T", TEMPERATURE_VALUE, "Design Temperature",
                                       [](PipeLoad& l) -> float& { return l.design_temperature; },
                                       temperature_in_range));
    c.push_back(value_column<PipeLoad>("Design P", PRESSURE_VALUE, "Design Pressure",
                                       [](PipeLoad& l) -> float& { return l.design_pressure; }));
    c.push_back(value_column<PipeLoad>("SG", REAL_VALUE, "Specific Gravity",
                                       [](PipeLoad& l) -> float& { return l.specific_gravity; }, not_below_zero));
    c.push_back(value_column<PipeLoad>("Add.Wt", WEIGHT_PER_LENGTH_VALUE, "Additional weight",
                                       [](PipeLoad& l) -> float& { return l.added_weight; }, not_below_zero));
    c.push_back(wind_column<PipeLoad>());
    return c;
}

// The columns of the design values in the pipe loads table.
constexpr int DESIGN_T_COLUMN = 2 + 2 * NUM_LOAD_SETS;
constexpr int DESIGN_P_COLUMN = DESIGN_T_COLUMN + 1;

std::vector<LoadColumn<BeamLoad>> beam_load_columns()
{
    std::vector<LoadColumn<BeamLoad>> c(1);
    c.push_back(name_column<BeamLoad>());
    for (int k = 1; k <= NUM_LOAD_SETS; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const std::string t = "T" + std::to_string(k);
        LoadColumn<BeamLoad> tc = value_column<BeamLoad>(
            t, TEMPERATURE_VALUE, t.c_str(), [i](BeamLoad& l) -> float& { return l.temperature[i]; },
            temperature_in_range);
        tc.shown = [k] { return set_shown(k); };
        c.push_back(tc);
    }
    c.push_back(value_column<BeamLoad>("Add.Wt", WEIGHT_PER_LENGTH_VALUE, "Additional weight",
                                       [](BeamLoad& l) -> float& { return l.added_weight; }, not_below_zero));
    c.push_back(wind_column<BeamLoad>());
    return c;
}

struct PipeLoadsTable : NamedLoadTable<PipeLoad> {
    PipeLoadsTable()
        : NamedLoadTable<PipeLoad>(
              Rules{"Pipe Loads", PIPE_LOADS, "Load", "Load name", pipe_loads, make_pipe_load,
                    [](PipeLoad& l) { complete_design(l, DESIGN_T_COLUMN, DESIGN_P_COLUMN); },
                    [](int index, const PipeLoad& start) { return edit_pipe_load(index, list_frame().window, start) == IDOK; }},
              pipe_load_columns())
    {
    }
};

struct BeamLoadsTable : NamedLoadTable<BeamLoad> {
    BeamLoadsTable()
        : NamedLoadTable<BeamLoad>(
              Rules{"Beam Loads", BEAM_LOADS, "Beam load", "Beam load name", beam_loads, make_beam_load, {},
                    [](int index, const BeamLoad& start) { return edit_beam_load(index, list_frame().window, start) == IDOK; }},
              beam_load_columns())
    {
    }
};

// The table row of the current layout row's load, 1 when it names none.
template <typename T>
int current_row_of(const NamedSet<T>& set, bool beam)
{
    const int layout_row = current_layout_row();
    if (!model().rows.valid(layout_row) || (model().rows[layout_row].etype == ET_BEAM) != beam)
        return 1;
    const int index = set.index(model().rows[layout_row].load);
    return index ? index : 1;
}

}  // namespace

int edit_pipe_load(int index, WindowId owner, const PipeLoad& start)
{
    LoadDialog<PipeLoad> proc(index, start, true);
    return run_dialog(PIPE_LOAD_DIALOG, proc, owner) == IDOK ? IDOK : IDCANCEL;
}

int edit_beam_load(int index, WindowId owner, const BeamLoad& start)
{
    LoadDialog<BeamLoad> proc(index, start, false);
    return run_dialog(BEAM_LOAD_DIALOG, proc, owner) == IDOK ? IDOK : IDCANCEL;
}

void fill_pipe_load_combo(int item, bool after_default)
{
    dialog_fill_load_combo(item, pipe_loads(), after_default);
}

NamedLoadTable<PipeLoad>& pipe_loads_table()
{
    return session_part<PipeLoadsTable>();
}

NamedLoadTable<BeamLoad>& beam_loads_table()
{
    return session_part<BeamLoadsTable>();
}

void open_pipe_loads_table()
{
    open_in_list_window(pipe_loads_table(), current_row_of(pipe_loads(), false), true);
}

void open_beam_loads_table()
{
    open_in_list_window(beam_loads_table(), current_row_of(beam_loads(), true), true);
}

void install_pipe_loads_ui()
{
    subscribe_document_changed("pipe loads table", [](const DocumentChange& change) {
        if (change.kind == DocumentChange::Cleared && change.part == SECTION_PIPE_LOADS)
            pipe_loads_table().forget_input();
        if (change.kind == DocumentChange::Cleared && change.part == SECTION_BEAM_LOADS)
            beam_loads_table().forget_input();
    });
    register_data_list(DataList{"Loads", [] { return numloads(); }, open_pipe_loads_table, true, CMD_PIPE_LOADS});
    register_data_list(DataList{"Beam Loads", [] { return numbloads(); }, open_beam_loads_table, true, CMD_BEAM_LOADS});
    register_command(CMD_PIPE_LOADS, [](int) { open_pipe_loads_table(); });
    register_command(CMD_BEAM_LOADS, [](int) { open_beam_loads_table(); });
    layout_hooks().load_dialog = [](int row) {
        if (!model().rows.valid(row))
            return false;
        const LayoutRow& r = model().rows[row];
        const WindowId owner = layout_frame().window;
        push_undo_snapshot(owner);
        if (r.etype == ET_BEAM) {
            BeamLoad start = make_beam_load();
            start.name = r.load;
            const int index = beam_load_index(r.load);
            return edit_beam_load(index ? index : numbloads() + 1, owner, start) == IDOK;
        }
        PipeLoad start = make_pipe_load();
        start.name = r.load;
        const int index = load_index(r.load);
        return edit_pipe_load(index ? index : numloads() + 1, owner, start) == IDOK;
    };
}
