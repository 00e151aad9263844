// The flange: a data item for a flange pair at the row's node, with its type,
// its weight, and the gasket diameter and allowable pressure that the flange
// loading report of the results reads. Its weight acts at its node: as a
// vertical load in the steps with weight, as g-loads in a seismic g step and
// as a lumped mass in the modal step.
//
// Record (16 bytes, every version): i32 type, f32 weight (lb), f32 gasket
// diameter (inch), f32 allowable pressure (psi).
#pragma once

#include "model/data_item.h"
#include "model/symbols.h"

#include <cstdint>

// The flange types 1..7; 0 is a flange whose type is not set yet.
inline constexpr int FLANGE_TYPE_COUNT = 7;
// "Weld neck" ... "Threaded" for 1..7; "???" for any other.
const char* flange_type_name(int type);

class Flange final : public DataItem {
public:
    int32_t flange_type = 0;
    float weight = 0.0f;              // lb, of the pair
    float gasket_diameter = 0.0f;     // inch; 0 = not given
    float allowable_pressure = 0.0f;  // psi; 0 = not given

    // Symbol (rebuilt, never stored).
    Quad2D outline;
    Point2 lines[2][2];
    Cylinder disks[2];

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const DataItem& other) override;
    void count() override;
    // 2 type name, 3 weight, 4 gasket diameter, 5 allowable pressure (the
    // last two empty when 0).
    std::string cell_text(int column) const override;
    void fill_dialog(Dialog& dialog) const override;
    void register_row(int row) override;
    void update_extents(int row) override;
    void build_symbol(int row) override;
    void draw_2d(int row) override;
    void draw_3d(int row) override;
    void add_loads(AnalysisRun& run, int row) const override;
    void add_g_loads(AnalysisRun& run, int row) const override;
    void add_mass(AnalysisRun& run, int row) const override;
    std::string description() const override;
    void check(const Model& model, int row) const override;
    void draw_outline_2d() override;
    void draw_outline_3d() override;

    bool same_values(const Flange& other) const;
};
