// Time functions and the time-history options.
//
// A time function is a curve of a factor over time (seconds); time-varying
// loads name one by its number (1..n) and scale their forces by it. The
// time-history options are those of the analysis that uses them: the
// integration time step, the end time, the interval at which results are
// kept, the damping ratio, and whether the results are saved to the
// time-history file.
//
// Section (from LOAD_RECORDS_VERSION on): i32 count, one more than the
// number of functions (0: an empty section, no functions and the default
// options); the options: f32 time step, f32 end time, f32 output interval,
// f32 damping ratio, u8 save results; then the functions, each a curve
// (i32 points, f32 time and factor pairs).
#pragma once

#include "framework/xycurve.h"

#include <cstdint>
#include <string>
#include <vector>

inline constexpr int32_t MAX_TIME_FUNCTIONS = 999;
inline constexpr int32_t MAX_TIME_FUNCTION_POINTS = 100000;

struct TimeHistoryOptions {
    float time_step = 0.001f;        // s
    float end_time = 1.0f;           // s
    float output_interval = 0.01f;   // s
    float damping = 0.05f;           // ratio of critical
    uint8_t save_results = 0;        // write the time-history results file
    bool operator==(const TimeHistoryOptions&) const = default;
};

struct TimeFunctions {
    std::vector<XYCurve> functions;  // function k at index k - 1
    TimeHistoryOptions options;
    bool operator==(const TimeFunctions&) const = default;
};

TimeFunctions& time_functions();
// The model's time functions (`time_function`): function k at index k - 1.
inline std::vector<XYCurve>& time_function() { return time_functions().functions; }
int numtimefunctions();
TimeHistoryOptions& time_history_options();

// What is wrong with a time function (curve_fault, a time below 0); empty
// when it is sound.
std::string time_function_fault(const XYCurve& f);
// What is wrong with the options: the time step, end time and output
// interval must be above 0, the step not above the end time, the interval
// not below the step; the damping ratio 0 to 1. Empty when in range.
std::string time_history_options_fault(const TimeHistoryOptions& o);

// True when a time-varying load names function k.
bool time_function_in_use(int k);
// Removes function k (which no load may name); the loads that name a later
// function follow it down by one.
void erase_time_function(int k);
// Inserts an empty function before k; the loads that name k or a later one
// follow it up by one.
void insert_time_function(int k);

// The model-file section (a merge appends the functions, and the merged
// time-varying loads follow their functions to their new numbers).
void install_time_functions();
