// The anchor (data type 1): six springs at its node, rigid by default, in
// global axes or in the pipe's local axes at the node, with releases for the
// hanger selection and up to twelve sets of specified displacements.
//
// Model-file record (framed):
//   tag[16], f32 KX, KY, KZ (lb/in), f32 KXX, KYY, KZZ (in-lb/rad),
//   u8 local axes, u8 displacements in local axes,
//   u8 released X, Y, Z, XX, YY, ZZ,
//   the specified displacements (DisplacementSets).
// A stiffness of 0 is a free direction, 1.0e12 rigid.
//
// Analysis: a spring k_i along each axis i; in a step whose displacement set
// is given, the spring's ground end moves by it, which puts k_i d_i on the
// pipe. Support loads: FX, FY, FZ, MX, MY, MZ on the pipe in global axes,
// k (d - u).
#pragma once

#include "framework/units.h"
#include "supports/support_common.h"
#include "model/symbols.h"
#include "supports/support_item.h"

#include <array>
#include <string>

struct AnchorValues {
    std::string tag;
    std::array<float, 6> stiffness{RIGID_STIFFNESS, RIGID_STIFFNESS, RIGID_STIFFNESS,
                                   RIGID_STIFFNESS, RIGID_STIFFNESS, RIGID_STIFFNESS};
    bool local_axes = false;
    bool local_displacements = false;
    std::array<uint8_t, 6> released{};
    DisplacementSets displacements;
    bool operator==(const AnchorValues&) const = default;
};

// The columns of the Anchors table.
enum AnchorColumn : int {
    ANCHOR_COL_NODE = 1,
    ANCHOR_COL_TAG,
    ANCHOR_COL_KX,     // ANCHOR_COL_KX + i: the stiffness of direction i (0..5)
    ANCHOR_COL_KY,
    ANCHOR_COL_KZ,
    ANCHOR_COL_KXX,
    ANCHOR_COL_KYY,
    ANCHOR_COL_KZZ,
    ANCHOR_COL_AXES,
    ANCHOR_COL_DISPLACEMENTS,
    ANCHOR_COL_RELEASES,
    ANCHOR_COLUMNS = ANCHOR_COL_RELEASES,
};

// "X", "Y", "Z", "XX", "YY", "ZZ".
const char* direction_name(int direction);
// The stiffness of direction 0..5 as the tables show it.
std::string anchor_stiffness_text(int direction, float value);
// The names of the given sets, such as "T1 T3 Settlement"; empty for none.
std::string displacement_sets_text(const DisplacementSets& sets);

class Anchor final : public SupportItem {
public:
    AnchorValues v;

    int dtype() const override { return DT_ANCHOR; }
    std::string tag() const override { return v.tag; }

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const DataItem& other) override { copy_support_values(*this, other); }
    bool same_values(const DataItem& other) const override { return same_support_values(*this, other); }
    std::string cell_text(int column) const override;
    std::string description() const override;
    void check(const Model& model, int row) const override;

    // The stiffness of direction 0..5 in a step: 0 for a direction released
    // for hanger selection in the weight steps of the hanger design.
    double acting_stiffness(const AnalysisRun& run, int direction) const;
    void assemble_stiffness(AnalysisRun& run, int row) const override;
    void add_loads(AnalysisRun& run, int row) const override;
    void write_support_loads(AnalysisRun& run, int row) const override;

    SymbolParts symbol_parts(int row) const override;
    // The render view adds a block at the node in the anchor's axes (the
    // global ones, or the pipe's with local axes), whose outline the Space
    // key shows.
    SolidBox block;
    bool block_built = false;
    void build_symbol(int row) override;
    void draw_3d(int row) override;
    void draw_box_outline() override;

protected:
    int allowable_count() const override { return 6; }
};
