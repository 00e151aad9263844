#include "model/ui/dialogs_model.h"

#include "framework/units.h"

namespace {

using K = ControlKind;

// Combo labels of UNITS_DIALOG by quantity (slot 0 unused).
const char* const QUANTITY_LABELS[NUM_UNIT_QUANTITIES + 1] = {
    "",
    "&Length",
    "&Dimension",
    "Dis&placement",
    "&Angle",
    "&Force",
    "&Moment",
    "Weight per le&ngth",
    "&Weight",
    "Densit&y",
    "Weight densi&ty",
    "T&emperature",
    "E&xpansion coefficient",
    "Pre&ssure",
    "St&ress",
    "M&odulus",
    "Translational st&iffness",
    "Rotational stiffness",
    "Ar&ea",
    "Moment of inertia",
    "Spee&d",
};

DialogTemplate make_units_dialog() {
    DialogTemplate t{"UNITS_DIALOG", "Units", {}};
    // Two columns of ten quantities.
    for (int q = 1; q <= NUM_UNIT_QUANTITIES; ++q) {
        const int row = (q - 1) % 10;
        const int col = (q - 1) / 10;
        t.controls.push_back(control(units_combo(q), K::Combo, QUANTITY_LABELS[q], row, col));
    }
    t.controls.push_back(control(UNITS_ENGLISH, K::Button, "All E&nglish", 10, 0));
    t.controls.push_back(control(UNITS_SI, K::Button, "All &SI", 10, 1));
    t.controls.push_back(control(IDOK, K::Button, "OK", 100, 0, 1, CF_DEFAULT));
    t.controls.push_back(control(IDCANCEL, K::Button, "Cancel", 100, 1));
    return t;
}

}  // namespace

const DialogTemplate UNITS_DIALOG = make_units_dialog();

const DialogTemplate ANALYSIS_OPTIONS_DIALOG = {
    "ANALYSIS_OPTIONS_DIALOG",
    "Analysis Options",
    {
        control(OPT_PIPING_CODE, K::Combo, "Piping &code", 0, 0, 2),

        control(0, K::Group, "Code", 1, 0, 3, CF_NONE, 0, 6),
        control(OPT_INCLUDE_AXIAL_FORCE, K::Check, "Include a&xial force", 1, 0),
        control(OPT_LIBERAL_ALLOWABLE, K::Check, "Use &liberal allowable stresses", 1, 1, 2),
        control(OPT_USE_B31J, K::Check, "Use B31&J for SIFs and Flexibility Factors", 2, 0, 3),
        control(OPT_SERVICE_LEVEL, K::Combo, "Service level", 3, 0),
        control(OPT_B318_DESIGN_FACTOR, K::Combo, "B31.8 design factor", 3, 1),
        control(OPT_Z183_LOCATION_FACTOR, K::Combo, "Z183 location factor index", 4, 0),
        control(OPT_Z184_CLASS_LOCATION, K::Combo, "Z184 class location", 4, 1),
        control(OPT_Z184_SOUR_SERVICE, K::Check, "Z184 sour service", 5, 0),
        control(OPT_SEISMIC_COEFFICIENT, K::Edit, "Seismic coefficient", 5, 1, 1, CF_NONE, 12),

        control(0, K::Group, "Temperature", 7, 0, 3, CF_NONE, 0, 3),
        control(OPT_REFERENCE_TEMPERATURE, K::Edit, "Reference &temperature", 7, 0, 1, CF_NONE, 12),
        unit_control(OPT_REFERENCE_TEMPERATURE_UNIT, 7, 1, TEMPERATURE),
        control(OPT_THERMAL_CYCLES, K::Edit, "Thermal c&ycles", 8, 0, 1, CF_NONE, 12),
        control(OPT_THERMAL_LOAD_SETS, K::Combo, "Thermal load sets", 8, 1),
        control(OPT_SOLVE_THERMAL_CASE, K::Check, "Solve thermal case", 9, 0),
        control(OPT_USE_COLD_MODULUS, K::Check, "Use cold modulus", 9, 1),

        control(0, K::Group, "Pressure", 10, 0, 3, CF_NONE, 0, 2),
        control(OPT_PRESSURE_STRESS, K::Check, "Pressure stress option", 10, 0),
        control(OPT_BOURDON, K::Check, "Include &Bourdon effect", 10, 1),
        control(OPT_PRESSURE_CORRECTION, K::Check, "Use pressure correction for bends", 11, 0),
        control(OPT_PEAK_PRESSURE_FACTOR, K::Edit, "Peak pressure factor", 11, 1, 1, CF_NONE, 12),

        control(0, K::Group, "Dynamics", 12, 0, 3, CF_NONE, 0, 3),
        control(OPT_CUTOFF_FREQUENCY, K::Edit, "Cutoff &frequency", 12, 0, 1, CF_NONE, 12),
        control(OPT_HZ_LABEL, K::Static, "(Hz)", 12, 1),
        control(OPT_NUMBER_OF_MODES, K::Edit, "Number of &modes", 12, 2, 1, CF_NONE, 12),
        control(OPT_MISSING_MASS, K::Check, "Include missing mass", 13, 0),
        control(OPT_FRICTION_IN_DYNAMICS, K::Check, "Friction in dynamics", 13, 1),
        control(OPT_HANGER_STIFFNESS, K::Check, "Include hanger stiffness", 14, 0),

        control(0, K::Group, "Model", 15, 0, 3, CF_NONE, 0, 2),
        control(OPT_Y_VERTICAL, K::Radio, "&Y vertical", 15, 0),
        control(OPT_Z_VERTICAL, K::Radio, "&Z vertical", 15, 1),
        control(OPT_DEFAULT_TEMPERATURE, K::Edit, "&Default temperature", 16, 0, 1, CF_NONE, 12),
        unit_control(OPT_DEFAULT_TEMPERATURE_UNIT, 16, 1, TEMPERATURE),

        control(0, K::Group, "Nonlinear iterations", 17, 0, 3, CF_NONE, 0, 1),
        control(OPT_ITERATION_TOLERANCE, K::Edit, "Iteration t&olerance", 17, 0, 1, CF_NONE, 12),
        control(OPT_MAX_ITERATIONS, K::Edit, "Maximum &iterations", 17, 1, 1, CF_NONE, 12),

        control(IDOK, K::Button, "OK", 100, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 100, 1),
    },
};
