// The valve (Valve): a straight element stiffer and heavier than the pipe it
// sits in. Its stiffness is the row's pipe with the wall thickened outwards
// by the thickness multiplier, its weight the given total weight in place of
// the pipe metal, its insulation heavier by the insulation multiplier; an
// additional weight (an actuator) may hang at an offset from the valve
// centre. A length typed in the dialog or table rewrites the row's DX, DY,
// DZ along the valve's direction.
//
// Record (36 bytes): weight, length, thickness multiplier, insulation
// multiplier, additional weight, its offsets DX, DY, DZ (f32 each), then
// the valve type (int32) in files above version 510 (before it the type is
// 0, blank).
#pragma once

#include "materials/valve_library.h"
#include "model/element_data.h"
#include "model/symbols.h"

#include <cstdint>

inline constexpr int VALVE_TYPE_VERSION = 511;

class Valve final : public ElementData {
public:
    float weight = 0.0f;                  // lb
    float length = 0.0f;                  // inch; 0: the row's offsets decide
    float thickness_multiplier = 3.0f;
    float insulation_multiplier = 1.75f;
    float additional_weight = 0.0f;       // lb; 0: none
    float offset_dx = 0.0f, offset_dy = 0.0f, offset_dz = 0.0f;   // inch, from the valve centre
    int32_t valve_type = 0;               // valve_type_name: 0 blank, 1 Gate ... 7 Plug

    // Symbol (rebuilt, never stored).
    bool drawn = false;                   // the row has a pipe radius
    Triangle2D bow[2];
    Quad2D line_outline;                  // the valve's line, picked as a pipe's
    Point2 centre_2d, weight_2d;
    Triangle2D weight_link;
    Quad2D weight_marker;
    Sphere body_sphere;
    Cylinder stem, body;
    ValveSymbol hand_wheel;

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const ElementData& other) override;
    void count() override;
    // 3 weight, 4 length, 5 and 6 the multipliers, 7 the additional weight,
    // 8..10 its offsets (empty without it).
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

    bool same_values(const Valve& other) const;
    bool hit_test(float x, float y) const;
};

// The thickness multiplier as the table and dialog show it: width `width`,
// 2 decimals below 99, 1 below 999, else none.
std::string thickness_multiplier_text(float value, int width);

// The unit direction of a valve row: from its From node to its node when both
// exist and are apart, else that of the previous element row, else global X.
Vec3 valve_row_direction(int row);
// Rewrites the row's DX, DY, DZ to the length along valve_row_direction.
void set_row_length(int row, float length);
