// The snubber (data type 8): a spring along a direction that acts only in
// the occasional and dynamic load cases (seismic, wind, the dynamic
// analyses) and lets the pipe move freely under weight, heat and pressure.
// A stiffness of 0 is rigid.
//
// Model-file record (framed): tag[16], f32 stiffness (lb/in), f32 direction
// X, Y, Z.
//
// Support load: the force along the direction on the pipe (0 outside the
// occasional cases).
#pragma once

#include "supports/support_item.h"

#include <array>
#include <string>

struct SnubberValues {
    std::string tag;
    float stiffness = 0.0f;
    std::array<float, 3> direction{};
    bool operator==(const SnubberValues&) const = default;
};

enum SnubberColumn : int {
    SNUBBER_COL_NODE = 1,
    SNUBBER_COL_TAG,
    SNUBBER_COL_STIFFNESS,
    SNUBBER_COL_X,
    SNUBBER_COL_Y,
    SNUBBER_COL_Z,
    SNUBBER_COLUMNS = SNUBBER_COL_Z,
};

class Snubber final : public SupportItem {
public:
    SnubberValues v;

    int dtype() const override { return DT_SNUBBER; }
    std::string tag() const override { return v.tag; }
    // "Direction is invalid" (shorter than 1e-4).
    static void check_values(const SnubberValues& values);

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const DataItem& other) override { copy_support_values(*this, other); }
    bool same_values(const DataItem& other) const override { return same_support_values(*this, other); }
    std::string cell_text(int column) const override;
    std::string description() const override;
    void check(const Model& model, int row) const override;

    void assemble_stiffness(AnalysisRun& run, int row) const override;
    void add_loads(AnalysisRun& run, int row) const override;
    void write_support_loads(AnalysisRun& run, int row) const override;
    SymbolParts symbol_parts(int row) const override;

protected:
    int allowable_count() const override { return -1; }
};
