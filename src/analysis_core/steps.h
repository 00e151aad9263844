// The analysis steps: one row per load-case code (1..126) saying what a step
// of that code assembles, and the predicates that the element, support and
// load kinds ask of the run's current step.
//
// The table is the one place that says which loads act in which case:
//   - weight in every case named "W..." (Sustained, Operating, Cold spring,
//     Design, Empty Weight, Hydrotest, Static analysis);
//   - temperature set k (thermal expansion at Tk, material values at Tk) in
//     Expansion (Tk), Operating (W+Pk+Tk) and Cold spring (W+Pk+Tk), the
//     design temperature in the Design cases; every other case is at the
//     reference (ambient) temperature without expansion;
//   - pressure set k with temperature set k (an Expansion (Tk) case carries
//     Pk only for the Bourdon strain, which belongs to the temperature
//     steps), Pk in Sustained (W+Pk), the largest pressure of the load's sets
//     in use in Sustained (W+P) and Cold spring (W+P), the design pressure in
//     the Design cases, the hydrotest pressure in Hydrotest;
//   - the cold-spring cuts in the Cold spring cases; seismic g in Seismic (g);
//     wind load k in Wind (13) and Wind 2 to 4 (107-109); the settlement
//     displacements in Settlement (11); specified displacement set k with
//     temperature set k;
//   - the Expansion ranges (5-7, 58-99) are the difference of the two
//     Expansion (Ti) and Expansion (Tj) cases and are never assembled;
//   - Empty Weight (W) has no contents and no pressure.
// The beam temperature of a step follows its temperature set, except that
// the Design cases, which beam loads have no temperature for, are at the
// reference temperature.
#pragma once

#include <array>
#include <cstdint>
#include <span>

class AnalysisRun;

// Temperature and pressure sets besides 1..10.
enum StepSet : int {
    SET_NONE = 0,           // reference temperature; no pressure
    SET_DESIGN = 11,        // design temperature or pressure
    SET_MAX_PRESSURE = 12,  // the largest pressure of the sets in use
    SET_HYDROTEST = 13,     // the hydrotest pressure and contents
};

// How the program computes a case now.
enum class StepSolve : uint8_t {
    None,       // no solution of its own (the hanger-design steps, Empty, Buried)
    Static,     // assembled and solved by the static driver
    Range,      // the difference of two solved cases
    Modal,      // the modal step: assembles the masses
    Dynamic,    // solved by the dynamic analyses from the modes (analysis/dynamic_analysis.h)
};

struct StepRow {
    int code = 0;
    StepSolve solve = StepSolve::None;
    bool weight = false;
    bool temperature = false;       // thermal expansion (and the Bourdon strain by default)
    int temperature_set = SET_NONE; // material values and expansion at this set
    int pressure_set = SET_NONE;
    int beam_temperature_set = SET_NONE;
    bool no_contents = false;       // the contents weigh nothing (Empty Weight)
    bool seismic_g = false;
    int wind = 0;                   // wind load 1..4 acting in the step
    bool cold_spring = false;
    bool settlement = false;
    int displacement_set = 0;       // specified displacement set 1..10
    bool modal = false;
    // A step of the dynamic analyses (26-31, 33-37): the stiffness is the
    // modal step's (the states the first operating case left, friction as
    // the option "Friction in dynamics" says), and the results are those of
    // the dynamic response, without static loads.
    bool dynamic = false;
    // An occasional or dynamic load (seismic, wind, the dynamic analyses):
    // the steps in which snubbers act.
    bool occasional = false;
    bool operating1 = false;        // 8 and 32: the operating case of set 1
    bool hanger_load_recalc = false;
    int range_first = 0;            // Range: the codes of the two cases, first minus second
    int range_second = 0;
    // The code has a block in the results file (all but the modal block,
    // which has one of its own). Settlement only under the piping codes of
    // code_is_class2_group (step_has_display_position).
    bool display_position = false;
};

// The row of a code; a row of code 0 that assembles nothing for any code
// outside 1..126.
const StepRow& step_row(int code);
// All rows, code 1 to 126 in order.
std::span<const StepRow> step_rows();

// True when the code has a block in the results file under the piping code.
bool step_has_display_position(int code, int32_t piping_code);
// The Expansion (Tk) code of temperature set k (1..10), and the Operating,
// Cold spring and Sustained (W+Pk) codes.
int expansion_code(int set);
int operating_code(int set);
int cold_spring_code(int set);
int sustained_code(int set);

// ---- The current step of a run -----------------------------------------------------

// The load-case code of the run's current step (0 before the first).
int current_step_type(const AnalysisRun& run);
const StepRow& current_step(const AnalysisRun& run);
bool step_has_weight(const AnalysisRun& run);
bool step_has_temperature(const AnalysisRun& run);
// The loads of the step's own kind (seismic g, wind, settlement) are those
// of its added case where it has one (StepState::added), and none while
// they are withheld.
// Also sets the run's X, Y and Z g flags: a direction whose factor is given
// and flagged in the step's seismic load (only the step's seismic_axis when
// that is set).
bool step_has_seismic_g(AnalysisRun& run);
// The seismic g factors acting in the step along X, Y and Z (0 for a
// direction that does not act), turned by the step's seismic_sign.
std::array<double, 3> step_seismic_factors(AnalysisRun& run);
bool step_has_wind(const AnalysisRun& run);     // wind load 1 (code 13)
bool step_is_wind2(const AnalysisRun& run);     // 107
bool step_is_wind3(const AnalysisRun& run);     // 108
bool step_is_wind4(const AnalysisRun& run);     // 109
// The wind load 1..4 acting in the step, 0 for none.
int step_wind_case(const AnalysisRun& run);
bool step_is_cold_spring(const AnalysisRun& run);
bool step_is_settlement(const AnalysisRun& run);
int step_displacement_set(const AnalysisRun& run);
bool step_is_modal(const AnalysisRun& run);              // 30
bool step_is_dynamic(const AnalysisRun& run);            // 26-31, 33-37
// An occasional or dynamic step, or one with an occasional case added: the
// snubbers act.
bool step_is_occasional(const AnalysisRun& run);
bool step_is_operating1(const AnalysisRun& run);         // 8 and 32
bool step_is_hanger_load_recalc(const AnalysisRun& run); // 22
// The weight steps of the hanger design (20 and 22), in which the anchors
// free their directions released for hanger selection.
bool step_is_hanger_load(const AnalysisRun& run);
