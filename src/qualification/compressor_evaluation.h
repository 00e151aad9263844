// The nozzle loads of compressors (API 617, 7th ed.) and steam turbines
// (NEMA SM 23, 1991) in their shaft axes, for up to ROT_LOAD_CASES load
// cases of a results report.
//
// NEMA SM 23 (1991) 8.4.5 limits the loads a steam turbine takes from its
// piping:
//   - at each connection: 3 F + M <= 500 De, F the resultant force (lb), M
//     the resultant moment (ft-lb), De the nominal pipe size (in) up to 8 in,
//     (16 + size) / 3 above;
//   - the forces and moments of all connections resolved at the exhaust
//     connection: Fc and Mc their resultants, 2 Fc + Mc <= 250 Dc, and the
//     components along the shaft axes Fx <= 50 Dc, Fy <= 125 Dc (vertical),
//     Fz <= 100 Dc, Mx <= 250 Dc, My <= 125 Dc, Mz <= 125 Dc (ft-lb), where
//     Dc is the diameter of the circular opening whose area is that of all
//     the connections, (18 + Dc) / 3 when above 9 in.
// API 617 (7th ed., 2002) takes 1.85 times these limits for compressors
// (its Chapter 4, Annex E.1.1, on the earlier "1.85 times NEMA" rule) and
// resolves the combined loads at the largest connection.
//
// Shaft axes: x along the shaft, y and z as the elements' local axes from
// their x (model/elements.h complete_local_axes): for a horizontal shaft the
// vertical is y (Y vertical) or z (Z vertical).
#pragma once

#include "qualification/equipment.h"
#include "qualification/pump_evaluation.h"

#include <array>
#include <string>

enum CompressorKind : int { MACHINE_COMPRESSOR = 1, MACHINE_TURBINE = 2 };
enum CompressorNozzle : int { INLET = 0, EXHAUST = 1, EXTRACTION1 = 2, EXTRACTION2 = 3, COMPRESSOR_NOZZLES = 4 };
// Components of loads and limits: FX, FY, FZ (lb), MX, MY, MZ (in-lb); the
// seventh limit is that of 2F + M (lb and ft-lb).
using MachineLoads = std::array<double, 6>;
inline constexpr int LIMIT_2F_M = 6;

struct CompressorNozzleEvaluation {
    int anchor_row = 0;
    double size = 0.0;                                    // nominal size (inch), 0 without pipe
    std::array<MachineLoads, ROT_LOAD_CASES> loads{};     // shaft axes
};

struct CompressorEvaluation {
    std::array<CompressorNozzleEvaluation, COMPRESSOR_NOZZLES> nozzle{};
    std::array<MachineLoads, ROT_LOAD_CASES> combined{};  // resolved at the reference connection
    std::array<double, 7> allowable{};
    double dc = 0.0;                                      // Dc (inch), times 1.85 for a compressor
    int reference_node = 0;                               // the largest connection (compressor)
    double reference_size = 0.0;
};

// The node of nozzle n (0 inlet, 1 exhaust, 2 and 3 extractions).
int compressor_nozzle_node(const CompressorRecord& c, int nozzle);
// "Inlet", "Exhaust", "Extr.1", "Extr.2".
const char* compressor_nozzle_name(int nozzle);
// 1.85 for a compressor, 1 for a turbine.
double machine_limit_factor(int kind);

// The shaft axes of a machine: x, y, z; throws "Invalid shaft axis for
// compressor: %s. <reason>" (or turbine) when its axis has no direction.
PumpAxes machine_shaft_axes(const CompressorRecord& c, int kind);

// The reference connection of a compressor: the nozzle with the largest
// size in the order inlet, exhaust, extraction 1, extraction 2; the exhaust
// wins over an equal earlier size, the others only when strictly larger.
// Sets the nozzles' sizes and the reference node and size.
void find_largest_connection(const CompressorRecord& c, CompressorEvaluation& e);

// Dc of a set of nozzle sizes (the sum of their squares), with the 9 in rule.
double combined_diameter(double sum_of_squares);
// De of one connection.
double equivalent_diameter(double size);

// Once per machine: sizes, anchors, Dc and the limits.
void prepare_compressor(const CompressorRecord& c, CompressorEvaluation& e, int kind);
// One load case: each nozzle's loads in shaft axes and the combined loads at
// the reference connection. Throws the shaft message, and "Node %s of %s is
// not defined" when a lever arm needs a node that the model no longer has.
void evaluate_compressor_loads(const CompressorRecord& c, CompressorEvaluation& e, int slot, int kind);
