#include "loads/ui/wind_seismic_ui.h"

#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/document_events.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/frame.h"
#include "framework/units.h"
#include "loads/seismic.h"
#include "loads/ui/curve_table.h"
#include "loads/ui/dialogs_loads.h"
#include "loads/ui/load_fields.h"
#include "loads/wind.h"
#include "model/analysis_options.h"

#include <cmath>

namespace {


bool positive(float v) { return v > 0.0f; }

void set_readonly_all(Dialog& d)
{
    for (const ControlSpec& c : d.templ().controls) {
        if (c.kind == ControlKind::Edit)
            dialog_set_readonly(c.id);
        else if (c.kind == ControlKind::Combo || c.kind == ControlKind::Check || c.kind == ControlKind::Radio ||
                 (c.kind == ControlKind::Button && c.id != IDOK && c.id != IDCANCEL))
            dialog_disable(c.id);
    }
    dialog_set_focus(IDOK);
}

void fill_combo(int item, std::initializer_list<const char*> texts, int selected)
{
    dialog_list_reset(item);
    for (const char* t : texts)
        dialog_list_add(t);
    dialog_list_select(item, selected);
}

float read_in_unit(int quantity, int unit, const char* name)
{
    float v = 0.0f;
    if (parse_real_buffer(v) != 0 || v < 0.0f)
        throw_invalid(name);
    return static_cast<float>(unit_to_internal(quantity, unit, v));
}

// The elevations of a profile read and show as every other length does
// (feet and inches such as 10-6 or 10'6 in the ft-in unit), in the profile's
// own elevation unit, which may differ from the model's length unit.
std::string elevation_text(int length_unit, float value)
{
    UnitChoicesKept model_units;
    unit_choice()[LENGTH] = length_unit;
    return format_length(value);
}

float read_elevation(int length_unit)
{
    UnitChoicesKept model_units;
    unit_choice()[LENGTH] = length_unit;
    float value = 0.0f;
    if (parse_length_buffer(value) != 0)
        throw_invalid("Elevation");
    return value;
}

// ---- ASCE_WIND_DIALOG ---------------------------------------------------------------------

class AsceWindDialog final : public InputDialogProc {
public:
    AsceWindDialog(AsceWind& wind, bool& on) : wind_(wind), on_(on) {}

    void init(Dialog& d) override
    {
        dialog_check(AW_ON, on_);
        fill_combo(AW_OCCUPANCY, {"I", "II", "III", "IV"}, wind_.occupancy);
        fields_.show(AW_SPEED, wind_.speed, SPEED_VALUE);
        fields_.show(AW_KD, wind_.kd, REAL_VALUE);
        fill_combo(AW_EXPOSURE, {"B", "C", "D"}, wind_.exposure);
        fill_combo(AW_HILL, {"None", "2-D ridge", "2-D escarpment", "3-D axisymmetric hill"}, wind_.hill);
        const float hill[] = {wind_.hill_height, wind_.crest_distance, wind_.height_above_ground, wind_.crest_to_site};
        for (int i = 0; i < 4; ++i)
            fields_.show(AW_HILL_HEIGHT + i, hill[i], LENGTH_VALUE);
        fill_combo(AW_SURFACE, {"Moderately smooth", "Rough (D'/D = 0.02)", "Very rough (D'/D = 0.08)"},
                   wind_.surface);
        fields_.show(AW_GUST, wind_.gust, REAL_VALUE);
        if (input_locked())
            set_readonly_all(d);
        else
            dialog_select_focus(AW_SPEED);
    }

    bool ok(Dialog& d) override
    {
        if (input_locked()) {
            d.end(0);
            return true;
        }
        AsceWind w = wind_;
        const bool on = dialog_is_checked(AW_ON);
        w.occupancy = std::max(0, dialog_list_selection(AW_OCCUPANCY));
        w.speed = fields_.read(AW_SPEED, "Basic wind speed", SPEED_VALUE, not_below_zero, on);
        w.kd = fields_.read(AW_KD, "Directionality factor", REAL_VALUE, not_below_zero, on);
        w.exposure = std::max(0, dialog_list_selection(AW_EXPOSURE));
        w.hill = std::max(0, dialog_list_selection(AW_HILL));
        const bool hill = w.hill > HILL_NONE;
        const char* names[] = {"Hill height", "Crest distance", "Height above ground level", "Distance from crest to site"};
        float* values[] = {&w.hill_height, &w.crest_distance, &w.height_above_ground, &w.crest_to_site};
        for (int i = 0; i < 4; ++i)
            *values[i] = fields_.read(AW_HILL_HEIGHT + i, names[i], LENGTH_VALUE,
                                      hill ? ValueTest(positive) : ValueTest(not_below_zero), on && hill);
        w.surface = std::max(0, dialog_list_selection(AW_SURFACE));
        w.gust = fields_.read(AW_GUST, "Gust factor", REAL_VALUE, not_below_zero, on);
        wind_ = w;
        on_ = on;
        return true;
    }

private:
    AsceWind& wind_;
    bool& on_;
    ValueFields fields_;
};

// ---- WIND_DIALOG -------------------------------------------------------------------------

class WindDialog final : public SnapshotDialogProc {
public:
    WindData data = wind_data();

    // The wind loads can still be looked at one by one while input is locked.
    bool chooses_what_is_shown(int id) const override { return id >= WI_LOAD1 && id < WI_LOAD1 + NUM_WIND_LOADS; }

    void init(Dialog& d) override
    {
        dialog_set_radio(WI_LOAD1, WI_LOAD1 + 3, WI_LOAD1);
        dialog_list_reset(WI_ELEVATION_UNIT);
        dialog_list_add(unit_name(LENGTH, current_unit(LENGTH)));
        dialog_list_add("m");
        dialog_list_select(WI_ELEVATION_UNIT, data.units.elevation);
        fill_combo(WI_PRESSURE_UNIT, {"psi", "kPa", "kg/cm2"}, data.units.pressure);
        fill_combo(WI_VELOCITY_UNIT, {"mph", "km/h", "m/s"}, data.units.velocity);
        dialog_set_radio(WI_PRESSURE_PROFILE, WI_VELOCITY_PROFILE,
                         data.units.kind == PROFILE_VELOCITY ? WI_VELOCITY_PROFILE : WI_PRESSURE_PROFILE);
        dialog_set_unit_label(WI_HEIGHT_UNIT, LENGTH);
        set_axes();
        table_.create_in(d, profile(current_));
        show_load(current_);
        if (input_locked()) {
            set_readonly_all(d);
            for (int n = 0; n < NUM_WIND_LOADS; ++n)
                dialog_enable_item(WI_LOAD1 + n, true);
        } else {
            dialog_select_focus(WI_DX);
        }
    }

    void command(Dialog& d, int id, int code) override
    {
        if (input_locked()) {
            if (id >= WI_LOAD1 && id <= WI_LOAD1 + 3 && code == NOTIFY_CLICKED) {
                current_ = id - WI_LOAD1 + 1;
                show_load(current_);
            }
            return;
        }
        if (id >= WI_LOAD1 && id <= WI_LOAD1 + 3 && code == NOTIFY_CLICKED) {
            const int n = id - WI_LOAD1 + 1;
            if (n == current_)
                return;
            try {
                store_load(current_);
            } catch (...) {
                dialog_set_radio(WI_LOAD1, WI_LOAD1 + 3, WI_LOAD1 + current_ - 1);
                throw;
            }
            current_ = n;
            show_load(n);
        } else if ((id == WI_PRESSURE_PROFILE || id == WI_VELOCITY_PROFILE) && code == NOTIFY_CLICKED) {
            const int kind = id == WI_VELOCITY_PROFILE ? PROFILE_VELOCITY : PROFILE_PRESSURE;
            if (kind == data.units.kind)
                return;
            profile(current_) = table_.take_curve(profile_name(current_));
            data.units.kind = kind;
            set_axes();
            table_.points = profile(current_).pairs();
            table_.reload();
        } else if ((id == WI_ELEVATION_UNIT || id == WI_PRESSURE_UNIT || id == WI_VELOCITY_UNIT) &&
                   code == NOTIFY_SELCHANGE) {
            table_end_edit(table_);
            data.units.elevation = std::max(0, dialog_list_selection(WI_ELEVATION_UNIT));
            data.units.pressure = std::max(0, dialog_list_selection(WI_PRESSURE_UNIT));
            data.units.velocity = std::max(0, dialog_list_selection(WI_VELOCITY_UNIT));
            set_axes();
            table_.reload();
        } else if (id == WI_HEIGHT_GIVEN && code == NOTIFY_CLICKED) {
            dialog_enable_item(WI_HEIGHT, dialog_is_checked(WI_HEIGHT_GIVEN));
        } else if (id == WI_ASCE_BUTTON && code == NOTIFY_CLICKED) {
            AsceWindDialog asce(data.asce, data.asce_on);
            run_dialog(ASCE_WIND_DIALOG, asce, d.window());
        }
    }

    bool ok(Dialog& d) override
    {
        if (input_locked()) {
            d.end(0);
            return true;
        }
        store_load(current_);
        for (int n = 1; n <= NUM_WIND_LOADS; ++n) {
            const WindLoad& w = data.loads[static_cast<std::size_t>(n)];
            const bool given = w.asce || !w.velocity.empty() || !w.pressure.empty();
            auto refuse = [&](int item, const std::string& text) {
                if (n != current_) {
                    current_ = n;
                    dialog_set_radio(WI_LOAD1, WI_LOAD1 + 3, WI_LOAD1 + n - 1);
                    show_load(n);
                }
                dialog_throw(item, text);
            };
            if (given && std::hypot(w.direction[0], w.direction[1], w.direction[2]) < MIN_DIRECTION_LENGTH)
                refuse(WI_DX, "Invalid wind direction");
            if (w.asce && !data.asce_on)
                refuse(WI_ASCE, "ASCE Wind cannot be turned ON as ASCE Wind Parameters not defined");
        }
        store_changed(wind_data(), data);
        return true;
    }


private:
    XYCurve& profile(int n)
    {
        WindLoad& w = data.loads[static_cast<std::size_t>(n)];
        return data.units.kind == PROFILE_VELOCITY ? w.velocity : w.pressure;
    }
    std::string profile_name(int n) const
    {
        return c_format("Wind %d %s profile", n, data.units.kind == PROFILE_VELOCITY ? "velocity" : "pressure");
    }

    void set_axes()
    {
        const int length = profile_length_unit(data.units.elevation);
        table_.x.heading = "Elevation";
        table_.x.unit = [length] { return unit_label_for(LENGTH, length); };
        table_.x.format = [length](float v) { return elevation_text(length, v); };
        table_.x.parse = [length] { return read_elevation(length); };
        const bool velocity = data.units.kind == PROFILE_VELOCITY;
        const int quantity = velocity ? SPEED : PRESSURE;
        const int unit = velocity ? profile_speed_unit(data.units.velocity) : profile_pressure_unit(data.units.pressure);
        table_.y.heading = velocity ? "Velocity" : "Pressure";
        table_.y.unit = [quantity, unit] { return unit_label_for(quantity, unit); };
        table_.y.format = [quantity, unit](float v) {
            return curve_number_text(unit_from_internal(quantity, unit, v));
        };
        const char* name = velocity ? "Velocity" : "Pressure";
        table_.y.parse = [quantity, unit, name] { return read_in_unit(quantity, unit, name); };
    }

    void show_load(int n)
    {
        const WindLoad& w = data.loads[static_cast<std::size_t>(n)];
        fields_ = ValueFields{};
        dialog_check(WI_ASCE, w.asce != 0);
        for (int i = 0; i < 3; ++i)
            fields_.show(WI_DX + i, w.direction[static_cast<std::size_t>(i)], REAL_VALUE);
        fields_.show(WI_SHAPE, w.shape_factor, REAL_VALUE);
        dialog_check(WI_HEIGHT_GIVEN, w.height_given != 0);
        fields_.show(WI_HEIGHT, w.structure_height, LENGTH_VALUE);
        dialog_enable_item(WI_HEIGHT, w.height_given != 0 && !input_locked());
        table_.points = profile(n).pairs();
        table_.reload();
    }

    // Reads the shown load's fields and profile into the copy; throws the
    // first field's message, changing nothing.
    void store_load(int n)
    {
        WindLoad w = data.loads[static_cast<std::size_t>(n)];
        w.asce = dialog_is_checked(WI_ASCE) ? 1 : 0;
        const char* axes[] = {"X component for wind load", "Y component for wind load", "Z component for wind load"};
        for (int i = 0; i < 3; ++i)
            w.direction[static_cast<std::size_t>(i)] = fields_.read(WI_DX + i, axes[i], REAL_VALUE);
        w.shape_factor = fields_.read(WI_SHAPE, "Wind shape factor", REAL_VALUE, not_below_zero);
        if (w.shape_factor == 0.0f)
            w.shape_factor = DEFAULT_SHAPE_FACTOR;
        w.height_given = dialog_is_checked(WI_HEIGHT_GIVEN) ? 1 : 0;
        w.structure_height = fields_.read(WI_HEIGHT, "Structure height", LENGTH_VALUE, positive, w.height_given != 0);
        const XYCurve curve = table_.take_curve(profile_name(n));
        data.loads[static_cast<std::size_t>(n)] = w;
        profile(n) = curve;
    }

    int current_ = 1;
    ValueFields fields_;
    CurveTable table_;
};

// ---- ASCE_SEISMIC_DIALOG --------------------------------------------------------------------

class AsceSeismicDialog final : public InputDialogProc {
public:
    explicit AsceSeismicDialog(AsceSeismic& data) : data_(data) {}
    bool computed = false;

    void init(Dialog& d) override
    {
        fill_combo(AS_OCCUPANCY, {"I", "II", "III", "IV"}, data_.occupancy);
        fill_combo(AS_SITE, {"A", "B", "C", "D", "E"}, data_.site_class);
        fields_.show(AS_SS, data_.ss, REAL_VALUE);
        dialog_set_unit_label(AS_Z_UNIT, LENGTH);
        dialog_set_unit_label(AS_H_UNIT, LENGTH);
        fields_.show(AS_Z, data_.component_height, LENGTH_VALUE);
        fields_.show(AS_H, data_.structure_height, LENGTH_VALUE);
        fields_.show(AS_AP, data_.ap, REAL_VALUE);
        fields_.show(AS_RP, data_.rp, REAL_VALUE);
        fields_.show(AS_IP, data_.ip, REAL_VALUE);
        fields_.show(AS_ASD, data_.asd, REAL_VALUE);
        if (input_locked())
            set_readonly_all(d);
        else
            dialog_select_focus(AS_SS);
    }

    void command(Dialog&, int id, int code) override
    {
        if (id == AS_COMPUTE && code == NOTIFY_CLICKED && !input_locked())
            show_factors(read());
    }

    bool ok(Dialog& d) override
    {
        if (input_locked()) {
            d.end(0);
            return true;
        }
        data_ = read();
        computed = true;
        return true;
    }

private:
    AsceSeismic read()
    {
        AsceSeismic a;
        a.occupancy = std::max(0, dialog_list_selection(AS_OCCUPANCY));
        a.site_class = std::max(0, dialog_list_selection(AS_SITE));
        a.ss = fields_.read(AS_SS, "MCE Spectral Acceleration", REAL_VALUE, not_below_zero, true);
        a.component_height = fields_.read(AS_Z, "Component height", LENGTH_VALUE, positive, true);
        a.structure_height = fields_.read(AS_H, "Structure height", LENGTH_VALUE, positive, true);
        auto within = [](float lo, float hi) { return [lo, hi](float v) { return v >= lo && v <= hi; }; };
        a.ap = fields_.read(AS_AP, "Component Amplication Factor", REAL_VALUE, within(MIN_AP, MAX_AP), true);
        a.rp = fields_.read(AS_RP, "Response Modification Factor", REAL_VALUE, within(MIN_RP, MAX_RP), true);
        a.ip = fields_.read(AS_IP, "Importance Factor", REAL_VALUE, within(MIN_IP, MAX_IP), true);
        a.asd = fields_.read(AS_ASD, "Allowable Stress Design Factor", REAL_VALUE, not_below_zero, true);
        return a;
    }
    static void show_factors(const AsceSeismic& a)
    {
        const AsceSeismicFactors f = asce_seismic_factors(a);
        dialog_set_text(AS_RESULT, c_format("Fa = %.3f   SDS = %.4f   Fp/Wp = %.4f\nHorizontal = %.4f g   Vertical = "
                                            "%.4f g",
                                            f.fa, f.sds, f.fp, f.horizontal, f.vertical));
    }

    AsceSeismic& data_;
    ValueFields fields_;
};

// ---- SEISMIC_DIALOG ----------------------------------------------------------------------

class SeismicDialog final : public SnapshotDialogProc {
public:
    SeismicData data = seismic_data();

    void init(Dialog& d) override
    {
        for (int i = 0; i < 3; ++i)
            dialog_check(SE_FLAG_X + i, data.load.flag[static_cast<std::size_t>(i)] != 0);
        show_factors();
        dialog_set_radio(SE_ABSOLUTE, SE_SRSS, data.load.combination == SEISMIC_SRSS ? SE_SRSS : SE_ABSOLUTE);
        dialog_check(SE_ASCE_ON, data.asce_on);
        if (input_locked()) {
            set_readonly_all(d);
            return;
        }
        set_factors_readonly();
        dialog_select_focus(SE_G_X);
    }

    void command(Dialog& d, int id, int code) override
    {
        if (input_locked() || code != NOTIFY_CLICKED)
            return;
        if (id == SE_ASCE_BUTTON || (id == SE_ASCE_ON && dialog_is_checked(SE_ASCE_ON) && !data.asce_on)) {
            AsceSeismic a = data.asce;
            AsceSeismicDialog asce(a);
            run_dialog(ASCE_SEISMIC_DIALOG, asce, d.window());
            if (asce.computed) {
                data.asce = a;
                data.asce_on = true;
                compute();
            }
            dialog_check(SE_ASCE_ON, data.asce_on);
        } else if (id == SE_ASCE_ON) {
            data.asce_on = dialog_is_checked(SE_ASCE_ON);
            if (data.asce_on)
                compute();
        }
        set_factors_readonly();
    }

    bool ok(Dialog& d) override
    {
        if (input_locked()) {
            d.end(0);
            return true;
        }
        const char* names[] = {"X seismic load", "Y seismic load", "Z seismic load"};
        SeismicData s = data;
        for (int i = 0; i < 3; ++i) {
            s.load.flag[static_cast<std::size_t>(i)] = dialog_is_checked(SE_FLAG_X + i) ? 1 : 0;
            if (!s.asce_on)
                s.load.g[static_cast<std::size_t>(i)] = fields_.read(SE_G_X + i, names[i], REAL_VALUE);
        }
        s.load.combination = dialog_is_checked(SE_SRSS) ? SEISMIC_SRSS : SEISMIC_ABSOLUTE_SUM;
        store_changed(seismic_data(), s);
        return true;
    }


private:
    void compute()
    {
        const AsceSeismicFactors f = asce_seismic_factors(data.asce);
        const std::size_t vertical = analysis_options().z_vertical ? 2 : 1;
        for (std::size_t axis = 0; axis < 3; ++axis)
            data.load.g[axis] = static_cast<float>(axis == vertical ? f.vertical : f.horizontal);
        show_factors();
    }
    void show_factors()
    {
        fields_ = ValueFields{};
        for (int i = 0; i < 3; ++i)
            fields_.show(SE_G_X + i, data.load.g[static_cast<std::size_t>(i)], REAL_VALUE, true);
    }
    void set_factors_readonly()
    {
        for (int i = 0; i < 3; ++i) {
            if (data.asce_on)
                dialog_set_readonly(SE_G_X + i);
            else
                dialog_clear_readonly(SE_G_X + i);
        }
    }

    ValueFields fields_;
};

}  // namespace

int edit_wind(WindowId owner)
{
    push_undo_snapshot(owner);
    WindDialog proc;
    return run_dialog(WIND_DIALOG, proc, owner) == IDOK ? IDOK : IDCANCEL;
}

int edit_seismic(WindowId owner)
{
    push_undo_snapshot(owner);
    SeismicDialog proc;
    return run_dialog(SEISMIC_DIALOG, proc, owner) == IDOK ? IDOK : IDCANCEL;
}

void install_wind_seismic_ui()
{
    register_command(CMD_WIND, [](int) { edit_wind(layout_frame().window); });
    register_command(CMD_SEISMIC, [](int) { edit_seismic(layout_frame().window); });
}
