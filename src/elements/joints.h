// The ball joint (BallJoint) and the hinge joint (HingeJoint): zero-length
// elements at a row's node, rigid in translation, with rotational springs
// that may have a rotation limit and a friction torque. The ball joint has
// a bending spring (both bending axes) and a torsion spring about the pipe's
// axis at its node; the hinge one spring about the axis the user gives.
// A joint with a limit below NONE_LIMIT or a friction torque is nonlinear;
// its iteration state lives in the analysis run (joint_analysis.h).
//
// Records (f32 each):
//   ball   bending stiffness, torsional stiffness, [bending limit, torsional
//          limit: from version 503], bending friction, torsional friction,
//          weight: 20 bytes before 503, 28 from 503;
//   hinge  stiffness, [limit: from 503], friction torque, weight, axis X, Y,
//          Z: 24 bytes before 503, 28 from 503.
// A limit absent from an old file is none (1.0e30).
#pragma once

#include "model/element_data.h"
#include "model/symbols.h"

// A rotation limit that stands for none; any value of 5.0e29 or more is none.
inline constexpr float NO_ROTATION_LIMIT = 1.0e30f;
// The first file version whose joint records hold rotation limits.
inline constexpr int JOINT_LIMITS_VERSION = 503;

// True when a limit is one (below 5.0e29).
bool rotation_limit_given(double limit);

class BallJoint final : public ElementData {
public:
    float bending_stiffness = 0.0f;    // in-lb/rad
    float torsional_stiffness = 0.0f;
    float bending_limit = NO_ROTATION_LIMIT;   // rad
    float torsional_limit = NO_ROTATION_LIMIT;
    float bending_friction = 0.0f;     // in-lb
    float torsional_friction = 0.0f;
    float weight = 0.0f;               // lb

    // Symbol (rebuilt, never stored).
    float symbol_radius = 0.0f;
    Sphere sphere;

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const ElementData& other) override;
    void count() override;
    // 3 bending and 4 torsional stiffness, 5 and 6 the limits ("None"), 7 and
    // 8 the friction torques, 9 the weight; stiffness, friction and weight
    // empty when 0.
    std::string cell_text(int column) const override;
    void fill_dialog(Dialog& dialog) const override;
    void register_row(int row) override;
    void build_outline(LayoutRow& row) override;
    void build_symbol(LayoutRow& row) override;
    void draw_2d(LayoutRow& row) override;
    void draw_3d(LayoutRow& row) override;
    void draw_outline_3d() override;
    bool pick_and_edit(int row, float x, float y) override;
    bool is_nonlinear() const override;

    bool same_values(const BallJoint& other) const;
};

class HingeJoint final : public ElementData {
public:
    float stiffness = 0.0f;            // in-lb/rad
    float limit = NO_ROTATION_LIMIT;   // rad
    float friction = 0.0f;             // in-lb
    float weight = 0.0f;               // lb
    float axis[3] = {0.0f, 0.0f, 0.0f};   // as typed (any length); (0, 0, 0) is no axis

    // Symbol (rebuilt, never stored).
    float symbol_radius = 0.0f;
    Sphere sphere;
    Cylinder rod;

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const ElementData& other) override;
    void count() override;
    // 3 stiffness, 4 limit, 5 friction torque, 6 weight, 7..9 the axis.
    std::string cell_text(int column) const override;
    void fill_dialog(Dialog& dialog) const override;
    void register_row(int row) override;
    void build_outline(LayoutRow& row) override;
    void build_symbol(LayoutRow& row) override;
    void draw_2d(LayoutRow& row) override;
    void draw_3d(LayoutRow& row) override;
    void draw_outline_3d() override;
    bool pick_and_edit(int row, float x, float y) override;
    bool is_nonlinear() const override;

    bool same_values(const HingeJoint& other) const;
    bool has_axis() const { return axis[0] != 0.0f || axis[1] != 0.0f || axis[2] != 0.0f; }
};
