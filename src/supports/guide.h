// The guide (data type 5): holds the pipe sideways at its node, with a gap
// on each side, a stiffness (0: rigid) and Coulomb friction, to the ground or
// to a connected node.
//
// Guide axes at the node: x along the pipe, y and z by the local-axis rule
// (y in the vertical plane through x, z horizontal). The guide acts along z;
// on a vertical pipe (within 1 degree) along y and z, the two horizontal
// directions. In each it leaves the pipe free within +-gap and stops it
// beyond; friction acts in the plane normal to the directions it holds.
//
// Model-file record (framed): tag[16], f32 friction coefficient, f32
// stiffness (lb/in), f32 gap (inch), i32 connected node.
//
// Support loads: FX, FY, FZ on the pipe in global axes (the stop and the
// friction force); the results turn them into the guide axes.
#pragma once

#include "model/elements.h"
#include "supports/support_item.h"

#include <string>

struct GuideValues {
    std::string tag;
    float mu = 0.0f;
    float stiffness = 0.0f;
    float gap = 0.0f;
    int32_t connected = 0;
    bool operator==(const GuideValues&) const = default;
};

enum GuideColumn : int {
    GUIDE_COL_NODE = 1,
    GUIDE_COL_TAG,
    GUIDE_COL_GAP,
    GUIDE_COL_STIFFNESS,
    GUIDE_COL_MU,
    GUIDE_COL_CONNECTED,
    GUIDE_COLUMNS = GUIDE_COL_CONNECTED,
};

// The cosine above which a pipe counts as vertical for a guide (1 degree).
inline constexpr double GUIDE_VERTICAL_COSINE = 0.999847695;

// The guide axes at a node of a model.
LocalAxes guide_axes(const Model& model, int node, bool z_vertical);
// The directions a guide holds for its axes: z, and y on a vertical pipe.
int guide_direction_count(const LocalAxes& axes, bool z_vertical);

class Guide final : public SupportItem {
public:
    GuideValues v;
    // The axes computed for the results (compute_local_axes).
    LocalAxes axes;

    int dtype() const override { return DT_GUIDE; }
    std::string tag() const override { return v.tag; }
    int32_t* connected_node_field() override { return &v.connected; }
    // "Gap is invalid" (below 0), "Friction coefficient is invalid" (below 0).
    static void check_values(const GuideValues& values);

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const DataItem& other) override { copy_support_values(*this, other); }
    bool same_values(const DataItem& other) const override { return same_support_values(*this, other); }
    std::string cell_text(int column) const override;
    std::string description() const override;
    void check(const Model& model, int row) const override;

    void assemble_stiffness(AnalysisRun& run, int row) const override;
    void add_loads(AnalysisRun& run, int row) const override;
    bool is_nonlinear() const override { return v.gap > 0.0f || v.mu > 0.0f; }
    void reset_nonlinear_state(AnalysisRun& run, int row) const override;
    bool update_nonlinear_state(AnalysisRun& run, int row) const override;
    void write_support_loads(AnalysisRun& run, int row) const override;

    void compute_local_axes(int node) override;
    void turn_loads_to_local(bool dynamic_case) override;
    SymbolParts symbol_parts(int row) const override;
};
