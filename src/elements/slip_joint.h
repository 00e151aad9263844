// The slip joint (SlipJoint): a telescoping straight element, rigid in shear
// and bending, that slides axially and turns about its axis against a
// friction force and a friction torque, with a pressure-thrust area and a
// weight. With friction it is nonlinear: after each solution the joint
// decides from the force through it and its movement whether it sticks or
// slides (slip_joint_analysis in element_analysis.h); that state lives in
// the analysis run.
//
// Record (16 bytes, every version): friction force, friction torque, thrust
// area, weight (f32 each).
#pragma once

#include "model/element_data.h"
#include "model/symbols.h"

class SlipJoint final : public ElementData {
public:
    float friction_force = 0.0f;    // lb
    float friction_torque = 0.0f;   // in-lb
    float thrust_area = 0.0f;       // in2
    float weight = 0.0f;            // lb

    // Symbol (rebuilt, never stored).
    LocalFrame2D frame;
    Quad2D outline;
    Point2 lines[2][2];
    Cylinder parts[3];              // sleeve, two collars

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const ElementData& other) override;
    void count() override;
    // 3 friction force, 4 friction torque, 5 thrust area, 6 weight; each
    // empty when 0.
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
    bool is_nonlinear() const override { return friction_force != 0.0f || friction_torque != 0.0f; }
    void section_terms(ElementSectionTerms& terms) const override;

    bool same_values(const SlipJoint& other) const;
};
