// The section quantities of an element in an analysis step, in double
// precision, from the analysis model: its geometry from the section (or the
// kind's own sizes), E, G, Nu and alpha from the material's table at the
// step temperature, and the weight per length from the metal, the contents,
// the insulation, the lining and the pipe load's added weight.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

class AnalysisRun;
struct AnalysisModel;
struct Elem;
struct StepRow;

// Weight of a cubic inch of water, lb: the contents of specific gravity 1.
inline constexpr double WATER_DENSITY = 0.03609;

// What an element takes from its pipe load in a step.
struct PipeLoadStep {
    double temperature = 0.0;        // degF
    double pressure = 0.0;           // psi
    double specific_gravity = 0.0;   // of the contents
    double added_weight = 0.0;       // lb/in
};

// The pipe load's values in a step: the temperature of the step's set (the
// options' default temperature when the load gives none; the reference
// temperature in steps without one), the pressure of its set (the largest of
// the sets in use for SET_MAX_PRESSURE), no contents in Empty Weight. In
// Hydrotest the hydrotest load in force at the layout row (`row`, 0 for the
// model's hydrotest load) gives the pressure, the contents and, when it has
// one, the temperature; without one in force the element keeps its load's
// contents and has no pressure. Without a load (0) the step has the
// reference temperature and no pressure, contents or added weight (but for
// the hydrotest's).
PipeLoadStep pipe_load_step(const AnalysisModel& model, const StepRow& step, int load, int row = 0);

// Inch, lb, psi, degF.
struct SectionProperties {
    int32_t kind = 0;
    double length = 0.0;             // distance of the two nodes
    double outside_diameter = 0.0;
    double thickness = 0.0;
    double area = 0.0;               // of the wall (a valve's thickened wall)
    double inertia = 0.0;
    double shear_coefficient = 0.0;
    double modulus = 0.0;            // E at the step temperature (FRP: axial)
    double reference_modulus = 0.0;  // E at the reference temperature
    double shear_modulus = 0.0;
    double poisson = 0.0;
    double hoop_modulus = 0.0;       // FRP only, else 0
    bool frp = false;
    double expansion = 0.0;          // in/in/degF at the step temperature
    double weight = 0.0;             // per length: the sum of the parts below
    double metal_weight = 0.0;       // per length; an own weight / length in its place
    double contents_weight = 0.0;
    double insulation_weight = 0.0;
    double lining_weight = 0.0;
    double added_weight = 0.0;
    double insulation_thickness = 0.0;
    double temperature = 0.0;
    double pressure = 0.0;
    double thrust_area = 0.0;        // bellows and slip joints
    double cold_spring_cut = 0.0;    // a cut pipe's signed cut
    double user_flexibility_factor = -1.0;  // bends: negative when not given
    int miter_spacing = 0;
};

// The wall thickness of an element: a bend arc's own (kinds Bend and Miter
// of a bend row, the jacket's arc of a jacketed bend) when not 0, else the
// section's; 0 without a section.
double element_wall_thickness(const AnalysisModel& model, const Elem& element);

// The quantities of element `element` in the step. Throws a message naming
// the row when a pipe-like element or valve has no material or a section
// without a diameter or wall, or when the row's element kind cannot be
// analysed (its object is not of its own class).
SectionProperties section_properties(const AnalysisModel& model, const StepRow& step, int element);
// The same in the run's current step, worked out once per run for each
// element and each combination of the sets that decide them (a step's
// temperature set, pressure set and contents) and then taken from the run's
// cache: the nonlinear iterations and the steps of the same sets assemble
// without working them out again.
const SectionProperties& section_properties(const AnalysisRun& run, int element);

// What a run keeps of section_properties: by the deciding sets, the
// quantities of each element worked out so far.
struct SectionCache {
    struct Sets {
        int temperature_set = 0;
        int pressure_set = 0;
        bool no_contents = false;
        bool operator==(const Sets&) const = default;
    };
    struct Entry {
        bool made = false;
        SectionProperties properties;
    };
    std::vector<std::pair<Sets, std::vector<Entry>>> by_sets;
};
