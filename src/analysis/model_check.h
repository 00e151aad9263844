// The check of an analysis model before a run: everything that would make
// the run fail half-way, divide by zero, or give numbers that mean nothing
// is refused here with a message that names the row (or the record, or the
// load case), before any thread starts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct AnalysisModel;
struct DynamicInput;
struct Model;

// True when this version computes the load case under the piping code: its
// step is static or a range and the code's results have a place for it, or
// it is Modal analysis or a dynamic case (31, 33-37).
bool load_case_analysable(int code, int32_t piping_code);

// True when the model holds what the Load Cases dialog needs to offer a
// dynamic case (codes 30, 31, 33-37): Modal analysis always; Response
// spectrum and Missing mass a response spectrum named for a direction;
// Seismic displacement an anchor or nozzle with a seismic displacement;
// Time history a time-varying load and a time function; Harmonic response a
// harmonic load; Force spectrum a force-spectrum load and a force spectrum.
// The run's check (check_analysis_model) still looks at every value.
bool dynamic_case_offered(const Model& m, const DynamicInput& input, int code);

// Throws the message of the first fault found:
//   - rows whose element or data-item kind this version cannot analyse (a
//     kind without its class, an element kind without analysis functions);
//   - data items at a bend's corner node, off the pipe, where they would act
//     on nothing (item_off_pipe_refusal: a bend, miter or jacketed-bend row's
//     own item, a Location row at such a node);
//   - data items that refuse themselves (DataItem::check: a connected node
//     that does not exist, a direction that is none, limits out of order...);
//   - elements of zero length (all but the joints and elastic elements that
//     are zero-length by nature);
//   - data items whose own check (DataItem slot 34) refuses their values
//     (a load out of range, a force of an unknown load case...);
//   - bend rows whose arc could not be laid out (no section or radius, no
//     run before or after the bend), arcs of zero radius or angle, a user
//     flexibility factor of 0, intermediate nodes at or beyond the bend angle;
//   - coordinates, offsets, temperatures and pressures beyond what a piping
//     model can hold (the bounds are listed in model_check.cpp);
//   - missing or unusable materials and sections, and any value that is not
//     a finite number where the analysis would take it (node coordinates,
//     section quantities in every step, loads, record values), densities,
//     specific gravities and the insulation, lining and corrosion values of
//     sections below 0;
//   - load cases that this version cannot compute, codes without a block in
//     the results file under the piping code, a case chosen twice, wind,
//     seismic and hydrotest cases without their load, cases of a temperature,
//     pressure or displacement set beyond the options' thermal sets in use
//     (whose values the loads keep but the analysis does not take);
//   - dynamic cases without what they need: a number of modes or a cutoff
//     frequency; a spectrum of the model for a direction (Response spectrum,
//     Missing mass, which also needs "Include missing mass"); an anchor or
//     nozzle with a seismic displacement (Seismic displacement); time-varying
//     loads naming defined time functions and sound time-history options
//     (Time history); harmonic loads above 0 Hz (Harmonic response); force
//     spectrum loads naming defined force spectra (Force spectrum).
void check_analysis_model(const AnalysisModel& model);

// What a run of the model does that its engineer should know before signing
// its numbers, one line each; the model is analysed all the same:
//   - a beam section whose torsional constant is 0, once per section: I
//     major + I minor stands in for it, far too stiff for an open shape;
//   - a node given two places by its rows (node_position_conflicts): the
//     first row's place holds;
//   - a branch SIF under B31J that is not at a tee the joint can be put at;
//   - buried elements beyond the range a soil factor is fitted on, once per
//     soil and factor (soil_factor_warnings);
//   - a settlement given at an anchor or nozzle under a piping code that has
//     no Settlement load case (code_is_class2_group), or whose Settlement
//     case the run's cases leave out, once per node;
//   - response spectra, force spectrum, time-varying or harmonic loads
//     (dynamic_case_offered) whose load case the run's cases leave out: they
//     are not analysed until that case is chosen in the Load Cases dialog.
std::vector<std::string> analysis_model_warnings(const AnalysisModel& model);
