// The limit stop (data type 6): along a direction, the pipe moves freely
// between a lower and an upper limit and is stopped beyond them, with a
// stiffness (0: rigid) and Coulomb friction, to the ground or to a connected
// node. Without a direction of its own it acts towards its connected node.
// A stop whose lower limit is 0 and which has no upper limit is a support
// that the pipe may lift off; one whose limits are both 0 holds the pipe
// along its direction as a restraint does.
//
// Model-file record (framed): tag[16], f32 lower limit, f32 upper limit
// (inch; -1.0e30 and 1.0e30 for none), f32 direction X, Y, Z, f32 friction
// coefficient, f32 stiffness (lb/in), i32 connected node.
//
// Support loads: the force along the direction on the pipe (positive along
// the direction: the lower stop pushes), and the magnitude of the friction
// force in the plane normal to the direction.
#pragma once

#include "model/elements.h"
#include "supports/support_common.h"
#include "supports/support_item.h"

#include <array>
#include <string>

struct LimitStopValues {
    std::string tag;
    float lower = -NO_LIMIT;
    float upper = NO_LIMIT;
    std::array<float, 3> direction{};
    float mu = 0.0f;
    float stiffness = 0.0f;
    int32_t connected = 0;
    bool operator==(const LimitStopValues&) const = default;
};

enum LimitStopColumn : int {
    LIMIT_COL_NODE = 1,
    LIMIT_COL_TAG,
    LIMIT_COL_LOWER,
    LIMIT_COL_UPPER,
    LIMIT_COL_X,
    LIMIT_COL_Y,
    LIMIT_COL_Z,
    LIMIT_COL_STIFFNESS,
    LIMIT_COL_MU,
    LIMIT_COL_CONNECTED,
    LIMIT_COLUMNS = LIMIT_COL_CONNECTED,
};

// A limit as the tables show it: "None" for no limit.
std::string limit_text(float limit);
// True when a stop with these limits (-NO_LIMIT and NO_LIMIT for none) can
// be: the upper limit above the lower one, or both 0, a stop without a gap
// that holds the pipe where it stands along its direction.
bool limits_in_order(double lower, double upper);
// What a stop whose limits are not in order is refused with.
inline constexpr const char* LIMITS_OUT_OF_ORDER =
    "Upper limit should be greater than the lower limit, or both limits 0";

class LimitStop final : public SupportItem {
public:
    LimitStopValues v;
    // The axes computed for the highlight (x along the direction).
    LocalAxes axes;

    int dtype() const override { return DT_LIMIT_STOP; }
    std::string tag() const override { return v.tag; }
    int32_t* connected_node_field() override { return &v.connected; }
    // "No limits are specified", LIMITS_OUT_OF_ORDER (limits_in_order),
    // "Direction is invalid" (a
    // direction shorter than 1e-4, or none without a connected node),
    // "Friction coefficient is invalid".
    static void check_values(const LimitStopValues& values);

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const DataItem& other) override { copy_support_values(*this, other); }
    bool same_values(const DataItem& other) const override { return same_support_values(*this, other); }
    std::string cell_text(int column) const override;
    std::string description() const override;
    void check(const Model& model, int row) const override;

    void assemble_stiffness(AnalysisRun& run, int row) const override;
    void add_loads(AnalysisRun& run, int row) const override;
    bool is_nonlinear() const override { return true; }
    void reset_nonlinear_state(AnalysisRun& run, int row) const override;
    bool update_nonlinear_state(AnalysisRun& run, int row) const override;
    void write_support_loads(AnalysisRun& run, int row) const override;

    void compute_local_axes(int node) override;
    SymbolParts symbol_parts(int row) const override;
};
