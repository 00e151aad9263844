// The nozzle loads of a pump in its own axes and the allowables of its
// standard, for up to ROT_LOAD_CASES load cases of a results report: API 610
// (11th ed.) / ISO 13709 Table 5 for horizontal and vertical inline pumps,
// ANSI/HI 9.6.2-2011 by pump type.
//
// Pump axes: Z is the model's vertical axis V. A horizontal pump's X is its
// shaft projected on the horizontal plane and normalised, Y = V x X. A
// vertical pump (vertical inline, ANSI/HI types B73.2 and vertical turbine)
// takes the line from its suction to its discharge node, projected on the
// horizontal plane and normalised, as Y, and X = Y x V.
//
// Nozzle loads are the loads the piping puts on the pump: the anchor at a
// nozzle node holds the loads on the pipe (SupportItem::current_loads,
// global axes), so the nozzle loads are those negated, then resolved along
// the pump axes.
//
// The evaluation lives beside the record (the model record is never
// changed by it); forces are lbf and moments in-lbf.
#pragma once

#include "qualification/equipment.h"
#include "qualification/pump_standards.h"

#include <array>
#include <string>

// Load cases a rotating-equipment report covers.
inline constexpr int ROT_LOAD_CASES = 10;

// Components of a nozzle's loads and of its API 610 allowables.
enum PumpLoadComponent : int { P_FX, P_FY, P_FZ, P_FR, P_MX, P_MY, P_MZ, P_MR, PUMP_LOAD_COMPONENTS };
using PumpLoads = std::array<double, PUMP_LOAD_COMPONENTS>;

enum PumpNozzle : int { SUCTION = 0, DISCHARGE = 1 };

struct PumpNozzleEvaluation {
    int anchor_row = 0;                                  // layout row of the anchor at the node, 0 none
    double size = 0.0;                                   // nominal pipe size (inch), 0 without pipe
    std::array<PumpLoads, ROT_LOAD_CASES> loads{};       // along the pump axes
    std::array<PumpLoads, ROT_LOAD_CASES> allowed{};     // API 610 allowables
    double dx = 0.0, dy = 0.0, dz = 0.0;                 // offset from the pump centre, pump axes
    bool allowed_available = false;                      // a cited Table 5 row was found
};

// The ANSI/HI allowables of one load case: one set for both nozzles
// (B73.2, axial split, vertical turbine) and the Eq.1 to Eq.4 values of
// each nozzle (end suction types; Eq.3 and Eq.4 signed coefficients).
// FX, FY, FZ (lbf), MX, MY, MZ (in-lbf).
struct HiSlot {
    HiLoads allowed{};
    std::array<std::array<HiLoads, 2>, 4> eq{};          // [equation 0..3][nozzle]
};

struct PumpEvaluation {
    std::array<PumpNozzleEvaluation, 2> nozzle{};
    // The axis a vertical pump takes from its nozzle nodes (global).
    std::array<double, 3> vertical_axis{};
    std::array<HiSlot, ROT_LOAD_CASES> hi{};
};

struct PumpAxes {
    std::array<double, 3> x{}, y{}, z{};
};

// True for a pump checked as vertical: the vertical inline flag or kind, or
// the ANSI/HI types B73.2 and vertical turbine.
bool pump_is_vertical(const PumpRecord& pump);
// The standard with kind 0 read as 1.
int pump_kind(const PumpRecord& pump);
// Where a nozzle sits on the casing (NozzleLocation): the record's location,
// but Side for both nozzles of a vertical inline pump (API 610), whose
// suction and discharge stand in line on the sides of the casing and are
// checked against the side-nozzle forces, doubled (Table 5 with F.2),
// whichever location an older record holds.
int pump_nozzle_location(const PumpRecord& pump, int nozzle);

// One rule for the shaft axis of every rotating machine, wherever it is
// typed, read or evaluated: an axis is judged by its direction, whatever
// its length. It must have one (finite components, not all 0), and a pump
// checked as horizontal, whose X axis is its shaft laid on the horizontal
// plane, needs a direction with a horizontal part under the model's
// vertical axis. Each gives the reason why the machine cannot take its
// axis, naming what would serve; empty when it takes it. A vertical pump
// takes no axis.
inline constexpr const char* SHAFT_WITHOUT_DIRECTION =
    "Shaft axis has no direction: give it a component other than 0";
std::string pump_shaft_axis_refusal(const PumpRecord& pump);
std::string machine_shaft_axis_refusal(const CompressorRecord& machine);
// The unit direction of a shaft axis; false when it has none.
bool shaft_direction(const std::array<float, 3>& axis, std::array<double, 3>& unit);

// The pump axes; throws "Invalid shaft axis for pump: %s. <reason>"
// (horizontal) or "Unable to find z axis for vertical inline pump: %s"
// (vertical).
PumpAxes pump_axes(const PumpRecord& pump, const PumpEvaluation& e);

// The row index of the anchor at a node number (the anchor row list of the
// model build), 0 when none.
int anchor_at_node(int node_number);
// The nominal size of the smallest pipe at a node number, 0 when none.
double nozzle_size_at_node(int node_number);

// Once per pump before its load cases: sizes, anchors, the vertical axis,
// the nozzle offsets. Throws the axis messages.
void prepare_pump(const PumpRecord& pump, PumpEvaluation& e);
// One load case (slot 0..ROT_LOAD_CASES-1) while its support loads are the
// anchors' current loads: the ANSI/HI allowables (kind 3) or the API 610
// allowables, and the nozzle loads. Nozzles without anchor (or, for API 610,
// without pipe) keep their slots.
void evaluate_pump_loads(const PumpRecord& pump, PumpEvaluation& e, int slot);
// The ANSI/HI allowables of a slot.
void hi_allowables(const PumpRecord& pump, PumpEvaluation& e, int slot);

// The loads the piping puts on the anchor of a row (the anchor's loads on
// the pipe negated), global axes: FX, FY, FZ (lbf), MX, MY, MZ (in-lbf).
std::array<double, 6> nozzle_loads_on_equipment(int anchor_row);
