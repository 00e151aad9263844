// The rigid element (RigidElement): a stiff component between the previous
// node and the row's node (a heavy valve body, an equipment stub, a flange
// pair), analysed as a straight element 1.0e12 stiff in every direction with
// the weight the user gives, plus the contents, insulation and lining of the
// row's section and load when "Add CIL" is set (never the pipe metal).
//
// Record: weight f32, then the add-CIL byte from version 781 (before it the
// flag is 0); written as 5 bytes.
#pragma once

#include "model/element_data.h"
#include "model/symbols.h"

#include <cstdint>

inline constexpr int RIGID_ADD_CIL_VERSION = 781;

class RigidElement final : public ElementData {
public:
    float weight = 0.0f;      // lb
    uint8_t add_cil = 0;      // contents, insulation and lining count

    // Symbol (rebuilt, never stored).
    Quad2D outline;
    SolidBox box;

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const ElementData& other) override;
    void count() override;
    // 3 weight, 4 "Y" or "N".
    std::string cell_text(int column) const override;
    void fill_dialog(Dialog& dialog) const override;
    void register_row(int row) override;
    void build_outline(LayoutRow& row) override;
    void draw_2d(LayoutRow& row) override;
    void draw_3d(LayoutRow& row) override;
    void draw_outline_2d() override;
    void draw_outline_3d() override;
    bool pick_and_edit(int row, float x, float y) override;
    void section_terms(ElementSectionTerms& terms) const override;

    bool same_values(const RigidElement& o) const { return weight == o.weight && add_cil == o.add_cil; }
};

// The 2D outline of a straight symbol: the rectangle from the projected
// From node to the To node, reaching `half` to each side (view units).
void straight_outline(const LayoutRow& row, float half, Quad2D& quad);
