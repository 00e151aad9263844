// Pipe loads: the named operating conditions that layout rows (and the
// jackets of jacketed rows) name. A load holds ten temperature and pressure
// sets, the design temperature and pressure, the specific gravity of the
// contents, an added weight per length and whether wind acts on the pipe.
// One model-wide set numbered from 1; the analysis uses the first
// `numtloads` sets (1, 2, 3 or 10) and keeps the others as they are.
//
// A value of 0 is one that was not given; an entered zero is ENTERED_ZERO
// (temperatures and pressures), so that the two differ.
#pragma once

#include "model/named_set.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

class BinFile;

// Temperature and pressure sets of a load.
inline constexpr int NUM_LOAD_SETS = 10;
// Records a model file or a merge may bring.
inline constexpr int32_t MAXLOADS = 9999;
// The lowest temperature a load may hold (absolute zero), degF.
inline constexpr float LOWEST_LOAD_TEMPERATURE = -460.0f;
// The key of the set in the name registry (model/named_set.h).
inline constexpr const char* PIPE_LOADS = "pipe loads";

struct PipeLoad {
    std::string name;
    std::array<float, NUM_LOAD_SETS + 1> temperature{};   // T1..T10 in slots 1..10, degF
    std::array<float, NUM_LOAD_SETS + 1> pressure{};      // P1..P10 in slots 1..10, psi
    float design_temperature = 0.0f;
    float design_pressure = 0.0f;
    float specific_gravity = 0.0f;                        // of the contents
    float added_weight = 0.0f;                            // lb/in
    uint8_t wind = 0;                                     // wind acts on the pipe

    // One file record (names of 4 bytes before SIX_BYTE_NAMES_VERSION):
    // name, T1, P1, T2, P2 ... T10, P10, design temperature, design pressure,
    // specific gravity, added weight (f32 each), wind flag (u8).
    void read(BinFile& file);
    void write(BinFile& file) const;
    bool operator==(const PipeLoad&) const = default;
};

// A new record as the dialog and the table start it: every temperature the
// options' default temperature, every pressure an entered zero, and wind
// off, as a batch file's load line without its wind option has it.
PipeLoad make_pipe_load();

NamedSet<PipeLoad>& pipe_loads();
int numloads();

// Index 1..numloads() of the first load named exactly `name`; 0 for an
// empty name or none.
int load_index(const std::string& name);

// The number of sets a load's highest values are taken over: n =
// numtloads() (1, 2 or 3; any larger value takes all ten).
int load_sets_in_use();
// The highest of T1..Tn and of P1..Pn of a load (n = load_sets_in_use()).
float load_max_temperature(const PipeLoad& load);
float load_max_pressure(const PipeLoad& load);
// What the design values' checks say: a design value equal to the highest
// operating one passes.
inline constexpr const char* DESIGN_TEMPERATURE_BELOW_OPERATING =
    "Design Temperature should be at least the highest Operating temperature";
inline constexpr const char* DESIGN_PRESSURE_BELOW_OPERATING =
    "Design Pressure should be at least the highest Operating pressure";
// The design values' checks, temperature first. Empty when the load passes.
std::string check_design_values(const PipeLoad& load);
// Range checks of a record from a file: a value that is not a number, a
// temperature below absolute zero, a negative specific gravity or added
// weight, a wind flag other than 0 and 1. Empty when in range.
std::string pipe_load_fault(const PipeLoad& load);

// The rules of the set and its install: the model-file section, the places
// that name a load (layout rows' Load of every row but beam rows, the
// jackets' own load) and the model's load_index hook.
const NamedSetRules<PipeLoad>& pipe_load_rules();
void install_pipe_loads();
