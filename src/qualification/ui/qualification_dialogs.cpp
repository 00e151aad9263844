#include "qualification/ui/qualification_dialogs.h"

#include "framework/unit_choices.h"

namespace {

using K = ControlKind;

void add(DialogTemplate& t, ControlSpec c) { t.controls.push_back(std::move(c)); }

void add_buttons(DialogTemplate& t, int row)
{
    add(t, control(IDOK, K::Button, "OK", row, 0, 1, CF_DEFAULT));
    add(t, control(IDCANCEL, K::Button, "Cancel", row, 1));
}

// A labelled edit k (1301 + k - 1) in a row with its unit label (0: none).
void add_edit(DialogTemplate& t, int k, const char* label, int row, int quantity, int unit_id = 0)
{
    add(t, control(qual_edit(k), K::Edit, label, row, 0, 1, CF_NONE, 20));
    if (quantity != 0)
        add(t, unit_control(unit_id != 0 ? unit_id : qual_unit(k), row, 1, quantity));
}

// A row whose label is a static of its own (the dialog changes its text).
void add_labelled_edit(DialogTemplate& t, int k, int row, int unit_id, int quantity, const char* label = "")
{
    add(t, control(qual_label(k), K::Static, label, row, 0));
    add(t, control(qual_edit(k), K::Edit, "", row, 1, 1, CF_NONE, 20));
    if (unit_id != 0)
        add(t, unit_control(unit_id, row, 2, quantity));
}

DialogTemplate make_flange_data()
{
    DialogTemplate t{"FLANGE_DATA_DIALOG", "Flange Details", {}};
    add(t, control(QUAL_LIST, K::Combo, "Flange Type", 0, 0, 2));
    static const char* const labels[11] = {
        "Flange Outside Diameter [A]",  "Flange Inside Diameter [B]",     "Inside Dia of Reverse Flange [B']",
        "Flange Thickness [t]",         "Small End Hub Thickness [g0]",  "Large End Hub Thickness [g1]",
        "Hub Length [h]",               "Allowable Stress @ Design Temp", "Allowable Stress @ Ref. Temp",
        "Modulus @ Design Temp",        "Modulus @ Ref. Temp"};
    for (int k = 1; k <= 11; ++k)
        add_edit(t, k, labels[k - 1], k, k <= 7 ? DIMENSION : k <= 9 ? STRESS : MODULUS);
    return t;
}

DialogTemplate make_bolt_gasket_data()
{
    DialogTemplate t{"BOLT_GASK_DATA_DIALOG", "Bolt and Gasket Details", {}};
    add(t, control(0, K::Group, "Bolting Information", 0, 0, 2, CF_NONE, 0, 6));
    add_edit(t, 1, "Bolt Circle Diameter", 1, DIMENSION);
    add_edit(t, 2, "Number of Bolts", 2, 0);
    add(t, control(QUAL_LIST, K::Combo, "Bolt Diameter", 3, 0));
    add_edit(t, 4, "Allowable Stress @ Design Temp", 4, STRESS, qual_unit(3));
    add_edit(t, 5, "Allowable Stress @ Ref. Temp", 5, STRESS, qual_unit(4));
    add(t, control(0, K::Group, "Gasket Information", 6, 0, 2, CF_NONE, 0, 7));
    add_edit(t, 6, "Gasket Outer Diameter", 7, DIMENSION, qual_unit(5));
    add_edit(t, 7, "Gasket Inner Diameter", 8, DIMENSION, qual_unit(6));
    add_edit(t, 8, "Leak Pressure Ratio [m]", 9, 0);
    add_edit(t, 9, "Gasket Seating Stress [y]", 10, STRESS, qual_unit(7));
    add_edit(t, 10, "Facing Sketch", 11, 0);
    add_edit(t, 11, "Facing Column", 12, 0);
    return t;
}

DialogTemplate make_load_data()
{
    DialogTemplate t{"LOAD_DATA_DIALOG", "Load Data", {}};
    add_edit(t, 1, "Design Pressure", 0, PRESSURE);
    add_edit(t, 2, "Design Temperature", 1, TEMPERATURE);
    add_edit(t, 3, "Axial Force", 2, FORCE);
    add_edit(t, 4, "Bending Moment", 3, MOMENT);
    add_edit(t, 5, "Allowable Pressure", 4, PRESSURE);
    return t;
}

DialogTemplate make_lug()
{
    DialogTemplate t{"LUG_EVAL", "Evaluation of Piping at Lug Attachment", {}};
    add(t, control(QUAL_LIST, K::Combo, "Lug Evaluation Code", 0, 0, 2));
    add(t, control(LUG_LEVEL_LABEL, K::Static, "Level", 0, 2));
    add(t, control(QUAL_LIST2, K::Combo, "", 0, 3));
    add(t, control(QUAL_RADIO1, K::Radio, "Rectangular Attachment", 1, 0, 1, CF_CHECKED));
    add(t, control(QUAL_RADIO2, K::Radio, "Hollow Circular Attachment", 1, 1));
    add(t, control(LUG_WELD_LABEL, K::Static, "Weld Type", 1, 2));
    add(t, control(QUAL_LIST3, K::Combo, "", 1, 3));
    add_labelled_edit(t, 1, 2, qual_unit(1), DIMENSION, "Outside Diameter of Run Pipe (OD)");
    add_labelled_edit(t, 2, 3, qual_unit(2), DIMENSION, "Nominal Wall Thickness of Run Pipe (Thk)");
    add_labelled_edit(t, 3, 4, qual_unit(3), DIMENSION);
    add_labelled_edit(t, 4, 5, qual_unit(4), DIMENSION);
    for (int k = 5; k <= 13; ++k)
        add_labelled_edit(t, k, k + 1, k == 13 ? qual_unit(14) : qual_unit(k), STRESS);
    // The loads: one row per set, one column per load.
    static const char* const heads[6] = {"W", "Q1", "Q2", "MT", "MN", "ML"};
    static const int units[6] = {LUG_LOAD_UNIT_W,  LUG_LOAD_UNIT_Q1, LUG_LOAD_UNIT_Q2,
                                 LUG_LOAD_UNIT_MT, LUG_LOAD_UNIT_MN, LUG_LOAD_UNIT_ML};
    for (int j = 0; j < 6; ++j) {
        add(t, control(0, K::Static, heads[j], 15, 1 + j));
        add(t, unit_control(units[j], 16, 1 + j, j < 3 ? FORCE : MOMENT));
    }
    static const char* const sets[5] = {"Sustained", "Occasional", "Thermal", "Settlement",
                                        "Abs. Max. (simultaneous)"};
    for (int s = 0; s < 5; ++s) {
        add(t, control(LUG_LOAD_SET_LABEL + s, K::Static, sets[s], 17 + s, 0));
        for (int j = 0; j < 6; ++j)
            add(t, control(LUG_FIRST_LOAD + 6 * s + j, K::Edit, "", 17 + s, 1 + j, 1, CF_NONE, 20));
    }
    add_buttons(t, 23);
    return t;
}

DialogTemplate make_nozzle()
{
    DialogTemplate t{"NOZZLE_QUAL", "Nozzle Evaluation", {}};
    add(t, control(QUAL_LIST, K::Combo, "Code", 0, 0, 2));
    add(t, control(QUAL_RADIO1, K::Radio, "Nozzle to Spherical Shell", 1, 0, 1, CF_CHECKED));
    add(t, control(QUAL_RADIO2, K::Radio, "Nozzle to Cylindrical Shell", 1, 1));
    add(t, control(NOZZLE_LOAD_CASE_LABEL, K::Static, "Load Case", 2, 0));
    add(t, control(QUAL_LIST2, K::Combo, "", 2, 1));
    for (int k = 1; k <= 17; ++k) {
        const char* label = k == 16 ? "Stress Conc. Factor - Tension (Kn)"
                            : k == 17 ? "Stress Conc. Factor - Bending (Kb)"
                                      : "";
        // Edits 1301..1312 show units 1601..1612, 1313..1315 units 1614..1616.
        const int unit = k <= 12 ? qual_unit(k) : k <= 15 ? qual_unit(k + 1) : 0;
        add_labelled_edit(t, k, 2 + k, unit, k <= 12 ? DIMENSION : STRESS, label);
    }
    add_buttons(t, 21);
    return t;
}

}  // namespace

const DialogTemplate FLANGE_DATA_DIALOG = make_flange_data();
const DialogTemplate BOLT_GASK_DATA_DIALOG = make_bolt_gasket_data();
const DialogTemplate LOAD_DATA_DIALOG = make_load_data();
const DialogTemplate LUG_EVAL = make_lug();
const DialogTemplate NOZZLE_QUAL = make_nozzle();
