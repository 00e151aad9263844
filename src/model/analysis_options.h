// The analysis options stored with the model: code factors, temperatures,
// pressure effects, dynamics settings and the vertical axis.
//
// Internal units: temperatures in degrees F. Flags are bool here; the model
// file and the batch file store them as bytes (0 or 1).
#pragma once

#include <cstdint>
#include <string>

// The B31.8 design factors chosen by `b318_design_factor_index`.
inline constexpr int B318_DESIGN_FACTOR_COUNT = 5;
inline constexpr double B318_DESIGN_FACTORS[B318_DESIGN_FACTOR_COUNT] = {0.80, 0.72, 0.60, 0.50, 0.40};

// The nonlinear iteration settings: their defaults and the ranges a file or
// the options dialog may give.
inline constexpr float DEFAULT_ITERATION_TOLERANCE = 0.001f;
inline constexpr float MIN_ITERATION_TOLERANCE = 1.0e-6f;
inline constexpr float MAX_ITERATION_TOLERANCE = 0.1f;
inline constexpr int32_t DEFAULT_MAX_ITERATIONS = 100;
inline constexpr int32_t MAX_MAX_ITERATIONS = 10000;

struct AnalysisOptions {
    // Code-specific factors.
    bool include_axial_force = false;       // add P/A to the code stresses
    bool liberal_allowable = false;         // liberal allowable expansion stress
    bool use_b31j = false;                  // "Use B31J for SIFs and Flexibility Factors"
    int32_t service_level = 0;              // 0..2
    int32_t b318_design_factor_index = 0;   // 0..4 into B318_DESIGN_FACTORS
    int32_t z183_location_factor_index = 0; // 0..1
    int32_t z184_class_location = 1;        // 1..4
    bool z184_sour_service = false;
    float seismic_coefficient = 1.2f;       // EN 13480 seismic K (at least 1.0 under EN 13480)

    // Temperatures.
    float reference_temperature = 70.0f;    // ambient temperature, degF
    int32_t thermal_cycles = 7000;          // above 0
    int32_t numtloads = 1;                  // thermal load sets in use: 1, 2, 3 or 10
    bool solve_thermal_case = false;
    bool use_cold_modulus = false;

    // Pressure.
    bool pressure_stress_option = false;
    bool bourdon_effect = true;             // "Include Bourdon effect"
    bool pressure_correction = true;        // "Use pressure correction for bends"
    float peak_pressure_factor = 1.0f;      // at least 1.0

    // Dynamics.
    int32_t cutoff_frequency = 33;          // Hz, 0 or more
    int32_t number_of_modes = 20;           // 0 or more
    bool include_missing_mass = true;
    bool friction_in_dynamics = true;
    bool include_hanger_stiffness = true;

    // Model.
    bool z_vertical = false;                // Z is the vertical axis when set, else Y
    float default_temperature = 70.0f;      // temperature of pipe loads where none is given, degF

    // Nonlinear iterations (model files from version 1021 on; older files
    // take these defaults). A nonlinearity has converged when its value
    // changes by less than the tolerance, relative to the value, from one
    // iteration to the next; a load case whose nonlinearities have not all
    // converged after the maximum number of iterations is reported as not
    // converged.
    float iteration_tolerance = 0.001f;     // DEFAULT_ITERATION_TOLERANCE
    int32_t max_iterations = 100;           // DEFAULT_MAX_ITERATIONS

    bool operator==(const AnalysisOptions&) const = default;
};

// The options of the current model.
AnalysisOptions& analysis_options();
// The number of thermal load sets in use (1, 2, 3 or 10), kept with the options.
inline int32_t& numtloads() { return analysis_options().numtloads; }

// What a new or cleared model takes: the numeric defaults (reference
// temperature, thermal cycles, `numtloads`, cutoff frequency, number of modes,
// peak pressure factor, seismic coefficient, Z184 class location). Unit
// choices, the piping code, the vertical axis and the option flags keep what
// they hold.
void init_model_options();
// Every option back to the program default (tests, start-up).
void reset_analysis_options();

// True for 1, 2, 3 and 10.
bool numtloads_valid(int32_t n);
// MIN_ITERATION_TOLERANCE..MAX_ITERATION_TOLERANCE, and 1..MAX_MAX_ITERATIONS.
bool iteration_tolerance_valid(float tolerance);
bool max_iterations_valid(int32_t count);
// The B31.8 design factor of an index; that of index 0 for one out of range.
double b318_design_factor(int32_t index);

// Range checks for file readers: empty when every field is in range, else a
// message naming the first field out of range. The piping code is not
// consulted (the EN 13480 seismic rule is checked by the callers that know
// the code in force).
std::string validate_options(const AnalysisOptions& options);
