#include "loads/ui/dialogs_loads.h"

#include "framework/units.h"

#include <string>

namespace {

using K = ControlKind;

void add_buttons(DialogTemplate& t, int row)
{
    t.controls.push_back(control(IDOK, K::Button, "OK", row, 0, 1, CF_DEFAULT));
    t.controls.push_back(control(IDCANCEL, K::Button, "Cancel", row, 1));
}

DialogTemplate make_pipe_load_dialog()
{
    DialogTemplate t{"PIPE_LOAD_DIALOG", "Load # %d", {}};
    t.controls.push_back(control(PL_NAME, K::Edit, "Load name", 0, 0, 1, CF_NONE, 5));
    t.controls.push_back(unit_control(PL_T_UNIT, 1, 0, TEMPERATURE, "Temperature"));
    t.controls.push_back(unit_control(PL_P_UNIT, 1, 1, PRESSURE, "Pressure"));
    for (int k = 1; k <= 10; ++k) {
        t.controls.push_back(control(PL_T1 + k - 1, K::Edit, "T" + std::to_string(k), 1 + k, 0));
        t.controls.push_back(control(PL_P1 + k - 1, K::Edit, "P" + std::to_string(k), 1 + k, 1));
    }
    t.controls.push_back(control(PL_DESIGN_T, K::Edit, "Design T", 12, 0));
    t.controls.push_back(control(PL_DESIGN_P, K::Edit, "Design P", 12, 1));
    t.controls.push_back(control(PL_SG, K::Edit, "Specific gravity", 13, 0));
    t.controls.push_back(control(PL_ADDED_WEIGHT, K::Edit, "Additional weight", 14, 0));
    t.controls.push_back(unit_control(PL_ADDED_UNIT, 14, 1, WEIGHT_PER_LENGTH));
    t.controls.push_back(control(PL_WIND, K::Check, "Include wind load", 15, 0, 2));
    add_buttons(t, 16);
    return t;
}

DialogTemplate make_beam_load_dialog()
{
    DialogTemplate t{"BEAM_LOAD_DIALOG", "Beam Load # %d", {}};
    t.controls.push_back(control(PL_NAME, K::Edit, "Beam load name", 0, 0, 1, CF_NONE, 5));
    t.controls.push_back(unit_control(PL_T_UNIT, 1, 0, TEMPERATURE, "Temperature"));
    for (int k = 1; k <= 10; ++k)
        t.controls.push_back(control(PL_T1 + k - 1, K::Edit, "T" + std::to_string(k), 1 + k, 0));
    t.controls.push_back(control(PL_ADDED_WEIGHT, K::Edit, "Additional weight", 12, 0));
    t.controls.push_back(unit_control(PL_ADDED_UNIT, 12, 1, WEIGHT_PER_LENGTH));
    t.controls.push_back(control(PL_WIND, K::Check, "Include wind load", 13, 0, 2));
    add_buttons(t, 14);
    return t;
}

// Forces FX, FY, FZ (and the moments) from `row` on, each with its unit.
void add_forces(DialogTemplate& t, int row, int count)
{
    static const char* const names[] = {"FX", "FY", "FZ", "MX", "MY", "MZ"};
    for (int i = 0; i < count; ++i) {
        t.controls.push_back(control(NL_FX + i, K::Edit, names[i], row + i, 0));
        t.controls.push_back(unit_control(NL_FX_UNIT + i, row + i, 1, i < 3 ? FORCE : MOMENT));
    }
}

DialogTemplate make_force_dialog()
{
    DialogTemplate t{"FORCE_DIALOG", "Force", {}};
    add_forces(t, 0, 6);
    t.controls.push_back(control(NL_CHOICE, K::Combo, "Load case", 6, 0));
    add_buttons(t, 7);
    return t;
}

DialogTemplate make_mass_dialog()
{
    DialogTemplate t{"CONC_MASS_DIALOG", "Concentrated Mass", {}};
    t.controls.push_back(control(NL_WEIGHT, K::Edit, "Weight", 0, 0));
    t.controls.push_back(unit_control(NL_WEIGHT_UNIT, 0, 1, WEIGHT));
    static const char* const offsets[] = {"Offset DX", "DY", "DZ"};
    for (int i = 0; i < 3; ++i) {
        t.controls.push_back(control(NL_DX + i, K::Edit, offsets[i], 1 + i, 0));
        t.controls.push_back(unit_control(NL_DX_UNIT + i, 1 + i, 1, LENGTH));
    }
    add_buttons(t, 4);
    return t;
}

DialogTemplate make_time_varying_dialog()
{
    DialogTemplate t{"TIME_VARYING_LOAD_DIALOG", "Time-varying Load", {}};
    t.controls.push_back(control(NL_CHOICE, K::Combo, "Time function", 0, 0));
    add_forces(t, 1, 6);
    add_buttons(t, 7);
    return t;
}

DialogTemplate make_harmonic_dialog()
{
    DialogTemplate t{"HARMONIC_LOAD_DIALOG", "Harmonic Load", {}};
    t.controls.push_back(control(NL_FREQUENCY, K::Edit, "Frequency", 0, 0));
    t.controls.push_back(control(0, K::Static, "(Hz)", 0, 1));
    t.controls.push_back(control(NL_PHASE, K::Edit, "Phase", 1, 0));
    t.controls.push_back(unit_control(NL_PHASE_UNIT, 1, 1, ANGLE));
    add_forces(t, 2, 3);
    add_buttons(t, 5);
    return t;
}

DialogTemplate make_force_spectrum_load_dialog()
{
    DialogTemplate t{"FORCE_SPECTRUM_LOAD_DIALOG", "Force Spectrum Load", {}};
    t.controls.push_back(control(NL_CHOICE, K::Combo, "Force spectrum", 0, 0));
    add_forces(t, 1, 3);
    add_buttons(t, 4);
    return t;
}

DialogTemplate make_hydrotest_dialog()
{
    DialogTemplate t{"HYDROTEST_DIALOG", "Hydrotest Load", {}};
    t.controls.push_back(control(HT_SG, K::Edit, "Specific gravity", 0, 0));
    t.controls.push_back(control(HT_PRESSURE, K::Edit, "Pressure", 1, 0));
    t.controls.push_back(unit_control(HT_PRESSURE_UNIT, 1, 1, PRESSURE));
    t.controls.push_back(control(HT_TEMPERATURE, K::Edit, "Temperature", 2, 0));
    t.controls.push_back(unit_control(HT_TEMPERATURE_UNIT, 2, 1, TEMPERATURE));
    t.controls.push_back(control(0, K::Static, "An empty temperature is the reference temperature.", 3, 0, 2));
    add_buttons(t, 4);
    return t;
}

DialogTemplate make_seismic_dialog()
{
    DialogTemplate t{"SEISMIC_DIALOG", "Static Seismic", {}};
    static const char* const axes[] = {"X", "Y", "Z"};
    for (int i = 0; i < 3; ++i) {
        t.controls.push_back(control(SE_FLAG_X + i, K::Check, std::string("Include ") + axes[i], i, 0));
        t.controls.push_back(control(SE_G_X + i, K::Edit, std::string(axes[i]) + " (g)", i, 1));
    }
    t.controls.push_back(control(SE_ABSOLUTE, K::Radio, "Absolute sum", 3, 0));
    t.controls.push_back(control(SE_SRSS, K::Radio, "SRSS", 3, 1));
    t.controls.push_back(control(SE_ASCE_ON, K::Check, "Use ASCE 7-10", 4, 0));
    t.controls.push_back(control(SE_ASCE_BUTTON, K::Button, "&ASCE 7-10...", 4, 1));
    add_buttons(t, 5);
    return t;
}

DialogTemplate make_asce_seismic_dialog()
{
    DialogTemplate t{"ASCE_SEISMIC_DIALOG", "ASCE 7-10 Seismic", {}};
    t.controls.push_back(control(AS_OCCUPANCY, K::Combo, "Occupancy category", 0, 0));
    t.controls.push_back(control(AS_SITE, K::Combo, "Site class", 1, 0));
    t.controls.push_back(control(AS_SS, K::Edit, "MCE acceleration Ss (g)", 2, 0));
    t.controls.push_back(control(AS_Z, K::Edit, "Component height z", 3, 0));
    t.controls.push_back(unit_control(AS_Z_UNIT, 3, 1, LENGTH));
    t.controls.push_back(control(AS_H, K::Edit, "Structure height h", 4, 0));
    t.controls.push_back(unit_control(AS_H_UNIT, 4, 1, LENGTH));
    t.controls.push_back(control(AS_AP, K::Edit, "Amplification ap", 5, 0));
    t.controls.push_back(control(AS_RP, K::Edit, "Response modification Rp", 6, 0));
    t.controls.push_back(control(AS_IP, K::Edit, "Importance Ip", 7, 0));
    t.controls.push_back(control(AS_ASD, K::Edit, "Allowable stress design factor", 8, 0));
    t.controls.push_back(control(AS_COMPUTE, K::Button, "&Compute", 9, 0));
    t.controls.push_back(control(AS_RESULT, K::Static, "", 10, 0, 2, CF_MULTILINE, 0, 2));
    add_buttons(t, 12);
    return t;
}

DialogTemplate make_wind_dialog()
{
    DialogTemplate t{"WIND_DIALOG", "Wind", {}};
    for (int n = 0; n < 4; ++n)
        t.controls.push_back(control(WI_LOAD1 + n, K::Radio, "Wind " + std::to_string(n + 1), 0, n));
    t.controls.push_back(control(WI_ASCE, K::Check, "Use ASCE 7-10 profile", 1, 0, 2));
    t.controls.push_back(control(WI_ASCE_BUTTON, K::Button, "&ASCE 7-10...", 1, 2));
    static const char* const axes[] = {"Direction X", "Y", "Z"};
    for (int i = 0; i < 3; ++i)
        t.controls.push_back(control(WI_DX + i, K::Edit, axes[i], 2, i));
    t.controls.push_back(control(WI_SHAPE, K::Edit, "Shape factor", 3, 0));
    t.controls.push_back(control(WI_HEIGHT_GIVEN, K::Check, "Structure height", 4, 0));
    t.controls.push_back(control(WI_HEIGHT, K::Edit, "", 4, 1));
    t.controls.push_back(unit_control(WI_HEIGHT_UNIT, 4, 2, LENGTH));
    t.controls.push_back(control(WI_PRESSURE_PROFILE, K::Radio, "Pressure profile", 5, 0));
    t.controls.push_back(control(WI_VELOCITY_PROFILE, K::Radio, "Velocity profile", 5, 1));
    t.controls.push_back(control(WI_ELEVATION_UNIT, K::Combo, "Elevation", 6, 0));
    t.controls.push_back(control(WI_PRESSURE_UNIT, K::Combo, "Pressure", 6, 1));
    t.controls.push_back(control(WI_VELOCITY_UNIT, K::Combo, "Velocity", 6, 2));
    t.controls.push_back(control(LOAD_TABLE, K::Table, "", 7, 0, 3, CF_NONE, 0, 8));
    add_buttons(t, 15);
    return t;
}

DialogTemplate make_asce_wind_dialog()
{
    DialogTemplate t{"ASCE_WIND_DIALOG", "ASCE 7-10 Wind", {}};
    t.controls.push_back(control(AW_ON, K::Check, "Use the ASCE 7-10 design wind", 0, 0, 2));
    t.controls.push_back(control(AW_OCCUPANCY, K::Combo, "Occupancy category", 1, 0));
    t.controls.push_back(control(AW_SPEED, K::Edit, "Basic wind speed", 2, 0));
    t.controls.push_back(unit_control(AW_SPEED_UNIT, 2, 1, SPEED));
    t.controls.push_back(control(AW_KD, K::Edit, "Directionality factor Kd", 3, 0));
    t.controls.push_back(control(AW_EXPOSURE, K::Combo, "Exposure category", 4, 0));
    t.controls.push_back(control(AW_HILL, K::Combo, "Hill type", 5, 0));
    static const char* const hill[] = {"Hill height H", "Crest distance Lh", "Height above ground z",
                                       "Distance from crest x"};
    for (int i = 0; i < 4; ++i) {
        t.controls.push_back(control(AW_HILL_HEIGHT + i, K::Edit, hill[i], 6 + i, 0));
        t.controls.push_back(unit_control(AW_HILL_UNIT + i, 6 + i, 1, LENGTH));
    }
    t.controls.push_back(control(AW_SURFACE, K::Combo, "Surface type", 10, 0));
    t.controls.push_back(control(AW_GUST, K::Edit, "Gust factor G", 11, 0));
    add_buttons(t, 12);
    return t;
}

DialogTemplate make_spectrum_dialog()
{
    DialogTemplate t{"SPECTRUM_DIALOG", "Spectrum # %d", {}};
    t.controls.push_back(control(SP_NAME, K::Edit, "Name", 0, 0, 1, CF_NONE, 32));
    t.controls.push_back(control(SP_OPTIONS, K::Button, "&Options...", 0, 1));
    t.controls.push_back(control(SP_SUMMARY, K::Static, "", 1, 0, 2));
    t.controls.push_back(control(LOAD_TABLE, K::Table, "", 2, 0, 2, CF_NONE, 0, 10));
    add_buttons(t, 12);
    return t;
}

DialogTemplate make_spectrum_options_dialog()
{
    DialogTemplate t{"SPECTRUM_OPTIONS_DIALOG", "Spectrum Options", {}};
    t.controls.push_back(control(SO_FREQUENCY, K::Radio, "Frequency (Hz)", 0, 0));
    t.controls.push_back(control(SO_PERIOD, K::Radio, "Period (sec)", 0, 1));
    t.controls.push_back(control(SO_ORDINATE, K::Combo, "Ordinate", 1, 0));
    t.controls.push_back(control(SO_UNIT, K::Combo, "Unit", 2, 0));
    t.controls.push_back(control(SO_LINEAR, K::Radio, "Linear interpolation", 3, 0));
    t.controls.push_back(control(SO_LOG, K::Radio, "Logarithmic interpolation", 3, 1));
    add_buttons(t, 4);
    return t;
}

DialogTemplate make_time_function_dialog()
{
    DialogTemplate t{"TIME_FUNCTION_DIALOG", "Time Function # %d", {}};
    t.controls.push_back(control(SP_SUMMARY, K::Static, "", 0, 0, 2));
    t.controls.push_back(control(LOAD_TABLE, K::Table, "", 1, 0, 2, CF_NONE, 0, 10));
    add_buttons(t, 11);
    return t;
}

DialogTemplate make_time_history_dialog()
{
    DialogTemplate t{"TIME_HISTORY_DIALOG", "Time History", {}};
    t.controls.push_back(control(TH_TIME_STEP, K::Edit, "Time step", 0, 0));
    t.controls.push_back(control(0, K::Static, "(sec)", 0, 1));
    t.controls.push_back(control(TH_END_TIME, K::Edit, "End time", 1, 0));
    t.controls.push_back(control(0, K::Static, "(sec)", 1, 1));
    t.controls.push_back(control(TH_OUTPUT_INTERVAL, K::Edit, "Output interval", 2, 0));
    t.controls.push_back(control(0, K::Static, "(sec)", 2, 1));
    t.controls.push_back(control(TH_DAMPING, K::Edit, "Damping ratio", 3, 0));
    t.controls.push_back(control(TH_SAVE_RESULTS, K::Check, "Save results", 4, 0, 2));
    add_buttons(t, 5);
    return t;
}

DialogTemplate make_response_spectrum_dialog()
{
    DialogTemplate t{"RESPONSE_SPECTRUM_DIALOG", "Response Spectrum", {}};
    static const char* const axes[] = {"X", "Y", "Z"};
    for (int i = 0; i < 3; ++i) {
        t.controls.push_back(control(RS_SPECTRUM_X + i, K::Combo, std::string(axes[i]) + " spectrum", i, 0));
        t.controls.push_back(control(RS_FACTOR_X + i, K::Edit, std::string(axes[i]) + " factor", i, 1));
    }
    t.controls.push_back(control(RS_MODAL, K::Combo, "Modal combination", 3, 0));
    t.controls.push_back(control(RS_DAMPING, K::Edit, "Damping ratio (CQC)", 3, 1));
    t.controls.push_back(control(RS_DIRECTION, K::Combo, "Direction combination", 4, 0));
    t.controls.push_back(control(RS_CLOSELY_SPACED, K::Edit, "Closely spaced fraction", 4, 1));
    t.controls.push_back(control(RS_MISSING_MASS, K::Combo, "Missing mass combination", 5, 0));
    add_buttons(t, 6);
    return t;
}

}  // namespace

const DialogTemplate PIPE_LOAD_DIALOG = make_pipe_load_dialog();
const DialogTemplate BEAM_LOAD_DIALOG = make_beam_load_dialog();
const DialogTemplate FORCE_DIALOG = make_force_dialog();
const DialogTemplate CONC_MASS_DIALOG = make_mass_dialog();
const DialogTemplate TIME_VARYING_LOAD_DIALOG = make_time_varying_dialog();
const DialogTemplate HARMONIC_LOAD_DIALOG = make_harmonic_dialog();
const DialogTemplate FORCE_SPECTRUM_LOAD_DIALOG = make_force_spectrum_load_dialog();
const DialogTemplate HYDROTEST_DIALOG = make_hydrotest_dialog();
const DialogTemplate SEISMIC_DIALOG = make_seismic_dialog();
const DialogTemplate ASCE_SEISMIC_DIALOG = make_asce_seismic_dialog();
const DialogTemplate WIND_DIALOG = make_wind_dialog();
const DialogTemplate ASCE_WIND_DIALOG = make_asce_wind_dialog();
const DialogTemplate SPECTRUM_DIALOG = make_spectrum_dialog();
const DialogTemplate SPECTRUM_OPTIONS_DIALOG = make_spectrum_options_dialog();
const DialogTemplate TIME_FUNCTION_DIALOG = make_time_function_dialog();
const DialogTemplate TIME_HISTORY_DIALOG = make_time_history_dialog();
const DialogTemplate RESPONSE_SPECTRUM_DIALOG = make_response_spectrum_dialog();
