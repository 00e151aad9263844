#include "model/analysis_options.h"

#include "framework/document.h"

#include <cmath>

AnalysisOptions& analysis_options() { return document().part<AnalysisOptions>(); }

void init_model_options() {
    AnalysisOptions& o = analysis_options();
    const AnalysisOptions defaults;
    o.reference_temperature = defaults.reference_temperature;
    o.thermal_cycles = defaults.thermal_cycles;
    o.numtloads = defaults.numtloads;
    o.cutoff_frequency = defaults.cutoff_frequency;
    o.number_of_modes = defaults.number_of_modes;
    o.peak_pressure_factor = defaults.peak_pressure_factor;
    o.seismic_coefficient = defaults.seismic_coefficient;
    o.z184_class_location = defaults.z184_class_location;
}

void reset_analysis_options() { analysis_options() = AnalysisOptions{}; }

bool numtloads_valid(int32_t n) { return n == 1 || n == 2 || n == 3 || n == 10; }

bool iteration_tolerance_valid(float tolerance) {
    return std::isfinite(tolerance) && tolerance >= MIN_ITERATION_TOLERANCE && tolerance <= MAX_ITERATION_TOLERANCE;
}

bool max_iterations_valid(int32_t count) { return count >= 1 && count <= MAX_MAX_ITERATIONS; }

double b318_design_factor(int32_t index) {
    if (index < 0 || index >= B318_DESIGN_FACTOR_COUNT) return B318_DESIGN_FACTORS[0];
    return B318_DESIGN_FACTORS[index];
}

std::string validate_options(const AnalysisOptions& o) {
    // Lowest temperature accepted: absolute zero, rounded as the readers do.
    constexpr float LOWEST_TEMPERATURE = -460.0f;
    if (o.service_level < 0 || o.service_level > 2) return "Invalid service level";
    if (o.b318_design_factor_index < 0 || o.b318_design_factor_index >= B318_DESIGN_FACTOR_COUNT)
        return "B31.8 design factor index should be between 0 and 4";
    if (o.z183_location_factor_index < 0 || o.z183_location_factor_index > 1)
        return "Z183 location factor index should be 0 or 1";
    if (o.z184_class_location < 1 || o.z184_class_location > 4)
        return "Z184 class location should be between 1 and 4";
    if (!std::isfinite(o.seismic_coefficient)) return "Invalid seismic coefficient";
    if (!std::isfinite(o.reference_temperature) || o.reference_temperature < LOWEST_TEMPERATURE)
        return "Invalid Reference Temperature";
    if (o.thermal_cycles <= 0) return "Invalid thermal cycles";
    if (!numtloads_valid(o.numtloads)) return "Number of thermal loads can be 1, 2, 3 or 10";
    if (!std::isfinite(o.peak_pressure_factor) || o.peak_pressure_factor < 1.0f)
        return "Peak pressure factor should be >= 1.00";
    if (o.cutoff_frequency < 0) return "Invalid cutoff frequency";
    if (o.number_of_modes < 0) return "Invalid number of modes";
    if (!std::isfinite(o.default_temperature) || o.default_temperature < LOWEST_TEMPERATURE)
        return "Invalid default temperature";
    if (!iteration_tolerance_valid(o.iteration_tolerance)) return "Invalid iteration tolerance";
    if (!max_iterations_valid(o.max_iterations)) return "Invalid maximum number of iterations";
    return {};
}
