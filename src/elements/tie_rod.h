// The tie rod (TieRod): an axial spring between the previous node and the
// row's node that acts only after a gap has closed: one stiffness and gap in
// tension (elongation), another in compression (shortening); every other
// direction is practically free (0.001). It is always nonlinear: after each
// solution it decides whether it is slack, pulled or pushed, a state that
// lives in the analysis run.
//
// Record (16 bytes, every version): tension stiffness, compression
// stiffness, tension gap, compression gap (f32 each).
#pragma once

#include "analysis_core/local_matrix.h"
#include "model/element_data.h"
#include "model/symbols.h"

// The stiffness of a slack rod's axis and of its other directions.
inline constexpr double TIE_ROD_SLACK_STIFFNESS = 0.001;

// The states of a tie rod.
enum TieRodStatus : int { TIE_SLACK = 0, TIE_COMPRESSION = 1, TIE_TENSION = 2 };

class TieRod final : public ElementData {
public:
    float tension_stiffness = 0.0f;       // lb/in
    float compression_stiffness = 0.0f;   // lb/in
    float tension_gap = 0.0f;             // inch
    float compression_gap = 0.0f;         // inch

    // Symbol (rebuilt, never stored).
    Quad2D outline;
    Cylinder cylinder;

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const ElementData& other) override;
    void count() override;
    // 3 and 4 the stiffnesses, 5 and 6 the gaps.
    std::string cell_text(int column) const override;
    void fill_dialog(Dialog& dialog) const override;
    void register_row(int row) override;
    void build_outline(LayoutRow& row) override;
    void draw_2d(LayoutRow& row) override;
    void draw_3d(LayoutRow& row) override;
    void draw_outline_2d() override;
    void draw_outline_3d() override;
    bool pick_and_edit(int row, float x, float y) override;
    bool is_nonlinear() const override { return true; }

    bool same_values(const TieRod& other) const;
    // The state of an extension e (inch, positive elongation): compression
    // beyond the compression gap, tension beyond the tension gap, else slack.
    TieRodStatus status_of(double extension) const;
    // The axial stiffness of a state: 0.001 when slack or when the rod has no
    // stiffness in that direction.
    double axial_stiffness(TieRodStatus status) const;
    // The axial end load that puts the gap into a closed spring: P with the
    // spring force k (e - gap) in tension, k (e + gap) in compression (0 slack).
    double gap_load(TieRodStatus status) const;
};

// The 12-by-12 local stiffness of a tie rod of axial stiffness k: k on the
// axis, 0.001 on every other direction.
void tie_rod_stiffness(double axial, ElementMatrix& k);
