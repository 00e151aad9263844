// The reducer: a straight conical element between two pipe sizes. Its row
// names a material, section and load like a pipe row; its object holds the
// outside diameter and wall thickness at each end, the cone angle and, for
// the Nordic codes, the knuckle flag and Delta. The analysis takes it as a
// straight element with the mean diameter and mean wall; the piping-code
// evaluation reads its cone angle and knuckle data.
//
// Record (25 bytes, every version): OD1, Thk1, OD2, Thk2, cone angle f32
// (inch, radian), knuckles u8, Delta f32.
#pragma once

#include "model/element_data.h"
#include "model/symbols.h"

#include <cstdint>
#include <string>

// What the reducer dialog and table show, by piping code: 0 no cone angle
// (B31.1 (1967), B31.3, B31.4, B31.5, B31.8, B31.12, BS 806, CODETI, Z183,
// Z184, Z662), 2 cone angle, knuckles and Delta (the Nordic codes), 1 the
// cone angle only (every other code).
int reducer_dialog_mode(int32_t code);
int reducer_dialog_mode();

// What can be wrong with one end of a reducer, in the order it is looked
// for: the diameter or the wall beyond what a piping model can hold
// (model/value_bounds.h), or a wall above half the diameter.
enum class ReducerEndFault { None, DiameterBeyond, WallBeyond, WallAboveRadius };
ReducerEndFault reducer_end_fault(double od, double thickness);
// The text of that fault for end 1 or 2, "" for none: "OD1 of 1E+19 inch is
// beyond what a piping model can hold (0.001 inch to 1000 inch)", "Thk1 of
// ...", "Thk1 > 0.5*OD1".
std::string reducer_end_fault_text(int end, double od, double thickness);

class Reducer;
// The first fault of the reducer's two ends, as reducer_end_fault_text
// gives it; "" when both ends can be. The model check and the importers
// refuse a reducer with it, before its two ends are averaged.
std::string reducer_fault(const Reducer& reducer);

class Reducer final : public ElementData {
public:
    float od1 = 0.0f, thickness1 = 0.0f, od2 = 0.0f, thickness2 = 0.0f;
    float cone_angle = 0.0f;   // radian; 0 = not given
    uint8_t knuckles = 0;
    float delta = 0.0f;        // inch; 0 = not given

    // Symbol (rebuilt, never stored).
    LocalFrame2D frame;
    Quad2D outline;            // 2D view: the trapezoid of the two radii
    Quad2D render_outline;     // render view

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const ElementData& other) override;
    void count() override;
    // 3 OD1, 4 Thk1, 5 OD2, 6 Thk2, 7 the cone angle, 8 "Y" for knuckles,
    // 9 Delta; the last three empty when not given.
    std::string cell_text(int column) const override;
    void fill_dialog(Dialog& dialog) const override;
    void register_row(int row) override;
    void build_outline(LayoutRow& row) override;
    void build_symbol(LayoutRow& row) override;
    void draw_2d(LayoutRow& row) override;
    void draw_3d(LayoutRow& row) override;
    void draw_outline_2d() override;
    void draw_outline_3d() override;
    bool pick_and_edit(int row, float x, float y) override;
    void section_terms(ElementSectionTerms& terms) const override;

    bool same_values(const Reducer& other) const;
};
