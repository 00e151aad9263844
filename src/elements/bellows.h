// The bellows (Bellows): a straight element whose stiffness is given as four
// spring rates (axial, bending, torsional, lateral) instead of coming from a
// section and material, with a pressure-thrust area and a weight. A rate of 0
// leaves the flexibility 1/0.0001 in its direction.
//
// Record (28 bytes): axial, bending, torsional and lateral stiffness,
// thrust area, weight (f32 each), then the mean diameter (f32) from version
// 701 (before it 0).
#pragma once

#include "model/element_data.h"
#include "model/symbols.h"

inline constexpr int BELLOWS_DIAMETER_VERSION = 701;
// Convolutions drawn at most (a long bellows of a small pipe).
inline constexpr int MAX_BELLOWS_CONVOLUTIONS = 200;

class Bellows final : public ElementData {
public:
    float axial_stiffness = 0.0f;       // lb/in
    float bending_stiffness = 0.0f;     // in-lb/rad
    float torsional_stiffness = 0.0f;   // in-lb/rad
    float lateral_stiffness = 0.0f;     // lb/in
    float thrust_area = 0.0f;           // in2
    float weight = 0.0f;                // lb
    float mean_diameter = 0.0f;         // inch

    // Symbol (rebuilt, never stored).
    float radius = 0.0f;                // the row's pipe radius
    LocalFrame2D frame;
    Quad2D outline;
    Cylinder cylinder;                  // radius 1.3 r: the render-view outline

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const ElementData& other) override;
    void count() override;
    // 3 axial, 4 bending, 5 torsional, 6 lateral, 7 thrust area, 8 weight,
    // 9 mean diameter.
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

    bool same_values(const Bellows& other) const;
};

// The number of convolutions drawn on a bellows of length L and pipe radius
// r: the integer part of L / (0.5 r), at least 1 and at most
// MAX_BELLOWS_CONVOLUTIONS; 0 when r is not above 0 (nothing is drawn).
int bellows_convolutions(double length, double radius);
