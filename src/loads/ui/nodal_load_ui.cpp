#include "loads/ui/nodal_load_ui.h"

#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/state.h"
#include "framework/text.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "loads/hydrotest_load.h"
#include "loads/nodal_loads.h"
#include "loads/pipe_load.h"
#include "loads/spectrum.h"
#include "loads/time_function.h"
#include "loads/ui/dialogs_loads.h"
#include "loads/ui/load_fields.h"
#include "model/model.h"
#include "model/nodes.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"

#include <array>
#include <memory>

namespace {

const char* const FORCE_NAMES[] = {"FX", "FY", "FZ", "MX", "MY", "MZ"};

template <typename T>
T& item_of(LayoutRow& r)
{
    return dynamic_cast<T&>(*r.data);
}

// The dialog of one row's load: caption, read-only while results are
// shown, and the store of the new values when they differ.
template <typename T>
class NodalLoadDialog : public SnapshotDialogProc {
public:
    NodalLoadDialog(int row, const char* kind) : row_(row), kind_(kind) {}
    bool stored = false;

    void init(Dialog& d) override
    {
        d.set_caption(std::string(kind_) + " at node " + node_text(model().rows[row_].node));
        fill(item());
        if (input_locked()) {
            for (const ControlSpec& c : d.templ().controls) {
                if (c.kind == ControlKind::Edit)
                    dialog_set_readonly(c.id);
                else if (c.kind == ControlKind::Combo)
                    dialog_disable(c.id);
            }
            dialog_set_focus(IDOK);
        } else {
            dialog_select_focus(first_field());
        }
    }
    bool ok(Dialog& d) override
    {
        if (input_locked()) {
            d.end(0);
            return true;
        }
        T& target = item();
        auto copy = std::make_unique<T>();
        copy->copy_from(target);
        read(*copy);
        if (same(*copy, target)) {
            discard_undo_snapshot();
            return true;
        }
        target.copy_from(*copy);
        model_modified() = true;
        stored = true;
        return true;
    }

protected:
    virtual void fill(const T& item) = 0;
    virtual void read(T& item) = 0;
    virtual bool same(const T& a, const T& b) const = 0;
    virtual int first_field() const { return NL_FX; }

    // Forces (and moments) FX.. from NL_FX.
    template <std::size_t N>
    void show_forces(const std::array<float, N>& values)
    {
        for (std::size_t i = 0; i < N; ++i) {
            dialog_set_unit_label(NL_FX_UNIT + static_cast<int>(i), i < 3 ? FORCE : MOMENT);
            fields_.show(NL_FX + static_cast<int>(i), values[i], i < 3 ? FORCE_VALUE : MOMENT_VALUE);
        }
    }
    template <std::size_t N>
    void read_forces(std::array<float, N>& values)
    {
        for (std::size_t i = 0; i < N; ++i)
            values[i] = fields_.read(NL_FX + static_cast<int>(i), FORCE_NAMES[i], i < 3 ? FORCE_VALUE : MOMENT_VALUE);
    }

    T& item() { return item_of<T>(model().rows[row_]); }

    int row_;
    const char* kind_;
    ValueFields fields_;
};

class ForceDialog final : public NodalLoadDialog<ForceLoad> {
public:
    explicit ForceDialog(int row) : NodalLoadDialog(row, "Force") {}

private:
    void fill(const ForceLoad& f) override
    {
        show_forces(f.values);
        dialog_list_reset(NL_CHOICE);
        const int sets = load_sets_in_use();
        for (int k = 0; k <= sets; ++k)
            dialog_list_add(force_case_text(k));
        // A set beyond those in use stays what it is.
        if (f.load_case > sets)
            dialog_list_add(force_case_text(f.load_case));
        dialog_list_select(NL_CHOICE, f.load_case > sets ? sets + 1 : f.load_case);
        kept_case_ = f.load_case;
    }
    void read(ForceLoad& f) override
    {
        read_forces(f.values);
        const int chosen = dialog_list_selection(NL_CHOICE);
        f.load_case = chosen > load_sets_in_use() ? kept_case_ : std::max(chosen, 0);
    }
    bool same(const ForceLoad& a, const ForceLoad& b) const override
    {
        return a.values == b.values && a.load_case == b.load_case;
    }
    int kept_case_ = 0;
};

class MassDialog final : public NodalLoadDialog<ConcentratedMass> {
public:
    explicit MassDialog(int row) : NodalLoadDialog(row, "Concentrated Mass") {}

private:
    int first_field() const override { return NL_WEIGHT; }
    void fill(const ConcentratedMass& m) override
    {
        dialog_set_unit_label(NL_WEIGHT_UNIT, WEIGHT);
        fields_.show(NL_WEIGHT, m.weight, WEIGHT_VALUE);
        for (int i = 0; i < 3; ++i) {
            dialog_set_unit_label(NL_DX_UNIT + i, LENGTH);
            fields_.show(NL_DX + i, m.offset[static_cast<std::size_t>(i)], LENGTH_VALUE);
        }
    }
    void read(ConcentratedMass& m) override
    {
        m.weight = fields_.read(NL_WEIGHT, "Weight", WEIGHT_VALUE, [](float v) { return v > 0.0f; }, true);
        const char* names[] = {"DX", "DY", "DZ"};
        for (int i = 0; i < 3; ++i)
            m.offset[static_cast<std::size_t>(i)] = fields_.read(NL_DX + i, names[i], LENGTH_VALUE);
    }
    bool same(const ConcentratedMass& a, const ConcentratedMass& b) const override
    {
        return a.weight == b.weight && a.offset == b.offset;
    }
};

class TimeVaryingDialog final : public NodalLoadDialog<TimeVaryingLoad> {
public:
    explicit TimeVaryingDialog(int row) : NodalLoadDialog(row, "Time-varying Load") {}

private:
    int first_field() const override { return NL_CHOICE; }
    void fill(const TimeVaryingLoad& t) override
    {
        dialog_list_reset(NL_CHOICE);
        for (int k = 1; k <= numtimefunctions(); ++k)
            dialog_list_add(c_format("Function %d", k));
        if (t.function >= 1 && t.function <= numtimefunctions())
            dialog_list_select(NL_CHOICE, t.function - 1);
        show_forces(t.values);
    }
    void read(TimeVaryingLoad& t) override
    {
        const int chosen = dialog_list_selection(NL_CHOICE);
        if (chosen < 0)
            dialog_throw(NL_CHOICE, numtimefunctions() == 0 ? "No time function is defined" : "Time function is required");
        t.function = chosen + 1;
        read_forces(t.values);
    }
    bool same(const TimeVaryingLoad& a, const TimeVaryingLoad& b) const override
    {
        return a.function == b.function && a.values == b.values;
    }
};

class HarmonicDialog final : public NodalLoadDialog<HarmonicLoad> {
public:
    explicit HarmonicDialog(int row) : NodalLoadDialog(row, "Harmonic Load") {}

private:
    int first_field() const override { return NL_FREQUENCY; }
    void fill(const HarmonicLoad& h) override
    {
        fields_.show(NL_FREQUENCY, h.frequency, REAL_VALUE);
        dialog_set_unit_label(NL_PHASE_UNIT, ANGLE);
        fields_.show(NL_PHASE, h.phase, ANGLE_VALUE);
        show_forces(h.values);
    }
    void read(HarmonicLoad& h) override
    {
        h.frequency = fields_.read(NL_FREQUENCY, "Frequency", REAL_VALUE, [](float v) { return v > 0.0f; }, true);
        h.phase = fields_.read(NL_PHASE, "Phase", ANGLE_VALUE);
        read_forces(h.values);
    }
    bool same(const HarmonicLoad& a, const HarmonicLoad& b) const override
    {
        return a.frequency == b.frequency && a.phase == b.phase && a.values == b.values;
    }
};

class ForceSpectrumDialog final : public NodalLoadDialog<ForceSpectrumLoad> {
public:
    explicit ForceSpectrumDialog(int row) : NodalLoadDialog(row, "Force Spectrum Load") {}

private:
    int first_field() const override { return NL_CHOICE; }
    void fill(const ForceSpectrumLoad& f) override
    {
        dialog_list_reset(NL_CHOICE);
        for (int k = 1; k <= numforcespectra(); ++k)
            dialog_list_add(force_spectra()[k].name);
        if (const int k = force_spectra().index(f.spectrum))
            dialog_list_select(NL_CHOICE, k - 1);
        show_forces(f.values);
    }
    void read(ForceSpectrumLoad& f) override
    {
        const int chosen = dialog_list_selection(NL_CHOICE);
        if (chosen < 0)
            dialog_throw(NL_CHOICE,
                         numforcespectra() == 0 ? "No force spectrum is defined" : "Force spectrum is required");
        f.spectrum = force_spectra()[chosen + 1].name;
        read_forces(f.values);
    }
    bool same(const ForceSpectrumLoad& a, const ForceSpectrumLoad& b) const override
    {
        return a.spectrum == b.spectrum && a.values == b.values;
    }
};

// ---- HYDROTEST_DIALOG -----------------------------------------------------------------------

class HydrotestDialog final : public SnapshotDialogProc {
public:
    explicit HydrotestDialog(int row) : row_(row) {}
    bool stored = false;

    void init(Dialog& d) override
    {
        d.set_caption(c_format("Hydrotest Load, row %d", row_));
        const HydrotestLoad& h = load();
        fields_.show(HT_SG, h.specific_gravity, REAL_VALUE, true);
        dialog_set_unit_label(HT_PRESSURE_UNIT, PRESSURE);
        fields_.show(HT_PRESSURE, h.pressure, PRESSURE_VALUE);
        dialog_set_unit_label(HT_TEMPERATURE_UNIT, TEMPERATURE);
        fields_.show(HT_TEMPERATURE, h.temperature, TEMPERATURE_VALUE);
        if (input_locked()) {
            for (int id : {int{HT_SG}, int{HT_PRESSURE}, int{HT_TEMPERATURE}})
                dialog_set_readonly(id);
            dialog_set_focus(IDOK);
        } else {
            dialog_select_focus(HT_SG);
        }
    }
    bool ok(Dialog& d) override
    {
        if (input_locked()) {
            d.end(0);
            return true;
        }
        HydrotestLoad& h = load();
        const float sg = fields_.read(HT_SG, "Specific gravity", REAL_VALUE, not_below_zero, true);
        const float p = fields_.read(HT_PRESSURE, "Hydrotest pressure", PRESSURE_VALUE, not_below_zero);
        const float t = fields_.read(HT_TEMPERATURE, "Temperature", TEMPERATURE_VALUE, temperature_in_range);
        if (sg == h.specific_gravity && p == h.pressure && t == h.temperature) {
            discard_undo_snapshot();
            return true;
        }
        h.specific_gravity = sg;
        h.pressure = p;
        h.temperature = t;
        model_modified() = true;
        stored = true;
        return true;
    }

private:
    HydrotestLoad& load() { return dynamic_cast<HydrotestLoad&>(*model().rows[row_].element); }
    int row_;
    ValueFields fields_;
};

template <typename Proc>
bool run_nodal(const DialogTemplate& t, int row, WindowId owner)
{
    Proc proc(row);
    if (run_dialog(t, proc, owner) == IDOK)
        row_kind_confirmed(row);
    return proc.stored;
}

// ---- Tables ------------------------------------------------------------------------------

LoadColumn<LayoutRow> node_column()
{
    LoadColumn<LayoutRow> c;
    c.heading = "Node";
    c.text = [](const LayoutRow& r) { return node_text(r.node); };
    return c;
}

template <typename T, std::size_t N>
void add_force_columns(std::vector<LoadColumn<LayoutRow>>& columns, std::array<float, N> T::*values)
{
    for (std::size_t i = 0; i < N; ++i)
        columns.push_back(value_column<LayoutRow>(FORCE_NAMES[i], i < 3 ? FORCE_VALUE : MOMENT_VALUE, FORCE_NAMES[i],
                                                  [values, i](LayoutRow& r) -> float& { return (item_of<T>(r).*values)[i]; }));
}

std::unique_ptr<ItemRowsTable> make_force_table()
{
    std::vector<LoadColumn<LayoutRow>> c(1);
    c.push_back(node_column());
    add_force_columns(c, &ForceLoad::values);
    LoadColumn<LayoutRow> lc;
    lc.heading = "Load";
    lc.unit = [] { return std::string("case"); };
    lc.limit = 3;
    lc.text = [](const LayoutRow& r) { return force_case_text(item_of<ForceLoad>(const_cast<LayoutRow&>(r)).load_case); };
    lc.store = [](LayoutRow& r) {
        const std::string& t = item_text();
        int32_t value = -1;
        if (t == "W+P" || t == "W")
            value = FORCE_WITH_WEIGHT;
        for (int k = 1; k <= load_sets_in_use(); ++k)
            if (t == force_case_text(k))
                value = k;
        if (value < 0)
            throw_invalid("Load case");
        ForceLoad& f = item_of<ForceLoad>(r);
        const bool changed = f.load_case != value;
        f.load_case = value;
        return changed;
    };
    c.push_back(lc);
    return std::make_unique<ItemRowsTable>("Forces", FORCE_ROWS, std::move(c));
}

std::unique_ptr<ItemRowsTable> make_mass_table()
{
    std::vector<LoadColumn<LayoutRow>> c(1);
    c.push_back(node_column());
    c.push_back(value_column<LayoutRow>(
        "Weight", WEIGHT_VALUE, "Weight", [](LayoutRow& r) -> float& { return item_of<ConcentratedMass>(r).weight; },
        [](float v) { return v > 0.0f; }));
    const char* names[] = {"DX", "DY", "DZ"};
    for (std::size_t i = 0; i < 3; ++i)
        c.push_back(value_column<LayoutRow>(names[i], LENGTH_VALUE, names[i], [i](LayoutRow& r) -> float& {
            return item_of<ConcentratedMass>(r).offset[i];
        }));
    return std::make_unique<ItemRowsTable>("Concentrated masses", CONC_MASS_ROWS, std::move(c));
}

std::unique_ptr<ItemRowsTable> make_time_varying_table()
{
    std::vector<LoadColumn<LayoutRow>> c(1);
    c.push_back(node_column());
    LoadColumn<LayoutRow> fc;
    fc.heading = "Function";
    fc.limit = 4;
    fc.text = [](const LayoutRow& r) {
        const int k = item_of<TimeVaryingLoad>(const_cast<LayoutRow&>(r)).function;
        return k > 0 ? std::to_string(k) : std::string();
    };
    fc.store = [](LayoutRow& r) {
        int32_t k = 0;
        if (parse_int_buffer(k) != 0 || k < 1 || k > numtimefunctions())
            throw_invalid("Time function");
        TimeVaryingLoad& t = item_of<TimeVaryingLoad>(r);
        const bool changed = t.function != k;
        t.function = k;
        return changed;
    };
    c.push_back(fc);
    add_force_columns(c, &TimeVaryingLoad::values);
    return std::make_unique<ItemRowsTable>("Time-varying loads", TIME_VARYING_LOAD_ROWS, std::move(c));
}

std::unique_ptr<ItemRowsTable> make_harmonic_table()
{
    std::vector<LoadColumn<LayoutRow>> c(1);
    c.push_back(node_column());
    LoadColumn<LayoutRow> fc = value_column<LayoutRow>(
        "Frequency", REAL_VALUE, "Frequency", [](LayoutRow& r) -> float& { return item_of<HarmonicLoad>(r).frequency; },
        [](float v) { return v > 0.0f; });
    fc.unit = [] { return std::string("(Hz)"); };
    c.push_back(fc);
    c.push_back(value_column<LayoutRow>("Phase", ANGLE_VALUE, "Phase",
                                        [](LayoutRow& r) -> float& { return item_of<HarmonicLoad>(r).phase; }));
    add_force_columns(c, &HarmonicLoad::values);
    return std::make_unique<ItemRowsTable>("Harmonic loads", HARMONIC_LOAD_ROWS, std::move(c));
}

std::unique_ptr<ItemRowsTable> make_force_spectrum_table()
{
    std::vector<LoadColumn<LayoutRow>> c(1);
    c.push_back(node_column());
    LoadColumn<LayoutRow> sc;
    sc.heading = "Spectrum";
    sc.text = [](const LayoutRow& r) { return item_of<ForceSpectrumLoad>(const_cast<LayoutRow&>(r)).spectrum; };
    c.push_back(sc);
    add_force_columns(c, &ForceSpectrumLoad::values);
    return std::make_unique<ItemRowsTable>("Force spectrum loads", FORCE_SPECTRUM_LOAD_ROWS, std::move(c));
}

HydrotestLoad& hydrotest_of(LayoutRow& r)
{
    return dynamic_cast<HydrotestLoad&>(*r.element);
}

std::unique_ptr<ItemRowsTable> make_hydrotest_table()
{
    std::vector<LoadColumn<LayoutRow>> c(1);
    LoadColumn<LayoutRow> rc;
    rc.heading = "Row";
    c.push_back(rc);   // the row number
    c.push_back(value_column<LayoutRow>(
        "SG", REAL_VALUE, "Specific gravity", [](LayoutRow& r) -> float& { return hydrotest_of(r).specific_gravity; },
        not_below_zero));
    c.push_back(value_column<LayoutRow>(
        "Pressure", PRESSURE_VALUE, "Hydrotest pressure",
        [](LayoutRow& r) -> float& { return hydrotest_of(r).pressure; }, not_below_zero));
    c.push_back(value_column<LayoutRow>(
        "Temperature", TEMPERATURE_VALUE, "Temperature",
        [](LayoutRow& r) -> float& { return hydrotest_of(r).temperature; }, temperature_in_range));
    return std::make_unique<ItemRowsTable>("Hydrotest loads", HYDROTEST_ROWS, std::move(c));
}

struct NodalLoadTables {
    std::array<std::unique_ptr<ItemRowsTable>, 6> tables;   // 16..20, and the hydrotest loads
};

int table_slot(int dtype)
{
    return dtype >= DT_FORCE && dtype <= DT_FORCE_SPECTRUM_LOAD ? dtype - DT_FORCE : 5;
}

}  // namespace

bool edit_nodal_load(int row, WindowId owner)
{
    if (!model().rows.valid(row) || !model().rows[row].data)
        return false;
    switch (model().rows[row].dtype) {
    case DT_FORCE: return run_nodal<ForceDialog>(FORCE_DIALOG, row, owner);
    case DT_CONC_MASS: return run_nodal<MassDialog>(CONC_MASS_DIALOG, row, owner);
    case DT_TIME_VARYING_LOAD: return run_nodal<TimeVaryingDialog>(TIME_VARYING_LOAD_DIALOG, row, owner);
    case DT_HARMONIC_LOAD: return run_nodal<HarmonicDialog>(HARMONIC_LOAD_DIALOG, row, owner);
    case DT_FORCE_SPECTRUM_LOAD: return run_nodal<ForceSpectrumDialog>(FORCE_SPECTRUM_LOAD_DIALOG, row, owner);
    default: return false;
    }
}

bool edit_hydrotest_load(int row, WindowId owner)
{
    if (!model().rows.valid(row) || !dynamic_cast<HydrotestLoad*>(model().rows[row].element.get()))
        return false;
    return run_nodal<HydrotestDialog>(HYDROTEST_DIALOG, row, owner);
}

ItemRowsTable& nodal_load_table(int dtype)
{
    auto& slot = session_part<NodalLoadTables>().tables[static_cast<std::size_t>(table_slot(dtype))];
    if (!slot) {
        switch (dtype) {
        case DT_FORCE: slot = make_force_table(); break;
        case DT_CONC_MASS: slot = make_mass_table(); break;
        case DT_TIME_VARYING_LOAD: slot = make_time_varying_table(); break;
        case DT_HARMONIC_LOAD: slot = make_harmonic_table(); break;
        case DT_FORCE_SPECTRUM_LOAD: slot = make_force_spectrum_table(); break;
        default: slot = make_hydrotest_table(); break;
        }
        slot->dialog = [dtype](int row) {
            return dtype == DT_NONE ? edit_hydrotest_load(row, list_frame().window)
                                    : edit_nodal_load(row, list_frame().window);
        };
    }
    return *slot;
}

void open_nodal_load_table(int dtype)
{
    open_item_rows_table(nodal_load_table(dtype));
}

void install_nodal_loads_ui()
{
    for (int dtype = DT_FORCE; dtype <= DT_FORCE_SPECTRUM_LOAD; ++dtype) {
        layout_hooks().data_dialog[static_cast<std::size_t>(dtype)] = [](int row) {
            push_undo_snapshot(layout_frame().window);
            return edit_nodal_load(row, layout_frame().window);
        };
    }
    layout_hooks().element_dialog[ET_HYDROTEST_LOAD] = [](int row) {
        push_undo_snapshot(layout_frame().window);
        return edit_hydrotest_load(row, layout_frame().window);
    };
    const std::pair<int, int> lists[] = {{DT_FORCE, FORCE_ROWS},
                                         {DT_CONC_MASS, CONC_MASS_ROWS},
                                         {DT_TIME_VARYING_LOAD, TIME_VARYING_LOAD_ROWS},
                                         {DT_HARMONIC_LOAD, HARMONIC_LOAD_ROWS},
                                         {DT_FORCE_SPECTRUM_LOAD, FORCE_SPECTRUM_LOAD_ROWS},
                                         {DT_NONE, HYDROTEST_ROWS}};
    for (const auto& [dtype, list] : lists) {
        const int id = list;
        const int kind = dtype;
        register_data_list(DataList{nodal_load_table(kind).title_text, [id] { return model().list(id).count; },
                                    [kind] { open_nodal_load_table(kind); }, false});
    }
    register_command(CMD_HYDROTEST, [](int) { open_nodal_load_table(DT_NONE); });
}
