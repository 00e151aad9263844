// The elastic element (ElasticElement): six uncoupled springs, three
// translational and three rotational, between the previous node and the
// row's node, along local axes the user gives by two directions (x, and y,
// which is made orthogonal to x before z = x × y). A rate of 0 or below is
// one not given (an importer's -1 too): it stands for 1.0e-8, practically a
// free direction.
//
// Record (48 bytes, every version): kx, ky, kz, kxx, kyy, kzz, the x axis
// X, Y, Z and the y axis X, Y, Z (f32 each).
#pragma once

#include "analysis_core/local_matrix.h"
#include "model/element_data.h"
#include "model/elements.h"
#include "model/symbols.h"

// The rate that stands for one not given.
inline constexpr double ELASTIC_FREE_RATE = 1.0e-8;

class ElasticElement final : public ElementData {
public:
    float kx = 0.0f, ky = 0.0f, kz = 0.0f;        // lb/in
    float kxx = 0.0f, kyy = 0.0f, kzz = 0.0f;     // in-lb/rad
    float x_axis[3] = {0.0f, 0.0f, 0.0f};         // as typed (any length)
    float y_axis[3] = {0.0f, 0.0f, 0.0f};

    // Symbol (rebuilt, never stored).
    Quad2D outline;
    SolidBox box;

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const ElementData& other) override;
    void count() override;
    // 3..5 kx, ky, kz; 6..8 kxx, kyy, kzz.
    std::string cell_text(int column) const override;
    void fill_dialog(Dialog& dialog) const override;
    void register_row(int row) override;
    void build_outline(LayoutRow& row) override;
    void draw_2d(LayoutRow& row) override;
    void draw_3d(LayoutRow& row) override;
    void draw_outline_2d() override;
    void draw_outline_3d() override;
    bool pick_and_edit(int row, float x, float y) override;

    bool same_values(const ElasticElement& other) const;
    // The six rates in order, a rate not given as ELASTIC_FREE_RATE.
    void rates(double out[6]) const;
    // The unit local axes: x, y made orthogonal to x, z = x × y. False when
    // x is zero or y is zero or along x (no frame).
    bool axes(LocalAxes& out) const;
};

// The 12-by-12 local stiffness of six springs (kx, ky, kz, kxx, kyy, kzz in
// the local axes) between node 1 and a point that node 2 carries on a rigid
// arm back to node 1; (a, b, c) is node 2 minus node 1 in the local axes.
void elastic_element_stiffness(const double rates[6], double a, double b, double c, ElementMatrix& k);
