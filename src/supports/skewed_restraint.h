// The skewed restraint (data type 3): a translational or rotational spring
// along a direction, to the ground or to a connected node. A stiffness of 0
// is rigid. Without a direction of its own it acts towards its connected
// node.
//
// Model-file record (framed): tag[16], u8 rotational, f32 stiffness (lb/in,
// or in-lb/rad when rotational), f32 direction X, Y, Z, i32 connected node
// number (0: none).
//
// Analysis: k d d^T between the node and the ground or connected node on the
// translations (or rotations). Support load: the force (or moment) along d
// that it puts on the pipe, -k (u_a - u_b).d.
#pragma once

#include "supports/support_item.h"

#include <array>
#include <string>

struct SkewedRestraintValues {
    std::string tag;
    bool rotational = false;
    float stiffness = 0.0f;
    std::array<float, 3> direction{};
    int32_t connected = 0;
    bool operator==(const SkewedRestraintValues&) const = default;
};

enum SkewedRestraintColumn : int {
    SKEWED_COL_NODE = 1,
    SKEWED_COL_TAG,
    SKEWED_COL_TYPE,
    SKEWED_COL_STIFFNESS,
    SKEWED_COL_X,
    SKEWED_COL_Y,
    SKEWED_COL_Z,
    SKEWED_COL_CONNECTED,
    SKEWED_COLUMNS = SKEWED_COL_CONNECTED,
};

// A direction component as the tables show it ("%.4g"-like, empty for 0).
std::string direction_component_text(float value);
// A connected node number as the tables show it (empty for none).
std::string connected_node_text(int32_t number);

class SkewedRestraint final : public SupportItem {
public:
    SkewedRestraintValues v;

    int dtype() const override { return DT_SKEWED_RESTRAINT; }
    std::string tag() const override { return v.tag; }
    int32_t* connected_node_field() override { return &v.connected; }
    // The values alone: a direction of length 1e-4 or more, or none and a
    // connected node ("Direction is invalid").
    static void check_values(const SkewedRestraintValues& values);
    // The unit vector from the row's node towards the connected node (the
    // direction when none is given), of the document's model.
    Vec3 connected_direction(int row) const;

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const DataItem& other) override { copy_support_values(*this, other); }
    bool same_values(const DataItem& other) const override { return same_support_values(*this, other); }
    std::string cell_text(int column) const override;
    std::string description() const override;
    int subtype() const override { return v.rotational ? 1 : 0; }
    void check(const Model& model, int row) const override;

    void assemble_stiffness(AnalysisRun& run, int row) const override;
    void write_support_loads(AnalysisRun& run, int row) const override;
    SymbolParts symbol_parts(int row) const override;

protected:
    int allowable_count() const override { return -1; }
};
