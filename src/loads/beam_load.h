// Beam loads: the named temperatures of beam rows, with an added weight per
// length and whether wind acts on the beam. One model-wide set numbered
// from 1; beam rows name a beam load in their Load column. Their names are
// a name space of their own (a pipe load and a beam load may share a name).
#pragma once

#include "loads/pipe_load.h"

#include <array>
#include <cstdint>
#include <string>

class BinFile;

inline constexpr const char* BEAM_LOADS = "beam loads";

struct BeamLoad {
    std::string name;
    std::array<float, NUM_LOAD_SETS + 1> temperature{};   // T1..T10 in slots 1..10, degF
    float added_weight = 0.0f;                            // lb/in
    uint8_t wind = 0;

    // One file record: name, T1..T10, added weight (f32 each), wind flag (u8).
    void read(BinFile& file);
    void write(BinFile& file) const;
    bool operator==(const BeamLoad&) const = default;
};

// A new record: every temperature the options' default temperature, wind off.
BeamLoad make_beam_load();

NamedSet<BeamLoad>& beam_loads();
int numbloads();
// Index 1..numbloads() of the beam load of that name (exact); 0 for an
// empty name or none.
int beam_load_index(const std::string& name);
// Range checks of a record from a file; empty when in range.
std::string beam_load_fault(const BeamLoad& load);

const NamedSetRules<BeamLoad>& beam_load_rules();
// The set, its model-file section, the beam rows' Load reference and the
// model's beam_load_index hook.
void install_beam_loads();
