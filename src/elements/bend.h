// The bend row: a circular pipe bend whose row node is the intersection of
// its tangents. Model building lays out the near and far tangent points, the
// arc and up to two intermediate nodes; the Bend object holds the radius and
// how it is obtained, the bend's own wall and material when they differ from
// the row's, user flexibility factors and SIFs, the intermediate nodes, and
// the geometry and symbol that building and drawing fill in. Bend is also
// the base of Miter and JacketedBend.
//
// Model-file record (V the file's version; a field that an older file lacks
// keeps its default; the writer always writes every field):
//   radius, thickness                       f32 x 2     always
//   material                                4 bytes before 681, else 6   V > 500
//   in-plane flexibility factor             f32         V > 500
//   out-of-plane flexibility factor         f32         V > 780
//   in-plane and out-of-plane SIFs          f32 x 2     V > 502
//   axial and torsion SIFs                  f32 x 2     V > 780
//   intermediate nodes                      i32 x 2     always
//   their angles                            f32 x 2     always
//   radius kind, flanged ends               u8 x 2      always
//   geometry-valid flag                     u8          always
//   bend angle, centre x, y, z              f32 x 4     always
//   far tangent point (node index)          i32         always
//
// The names of bend and jacket records widen from 4 to 6 bytes at version
// 681, one version after the rows' own names (680): each record follows its
// own gate, so a version-680 file has 6-byte row names and 4-byte bend and
// jacket names.
#pragma once

#include "elements/bend_symbol.h"
#include "model/element_data.h"

#include <cstddef>
#include <cstdint>

// The versions from which the bend record holds each group of fields.
inline constexpr int32_t BEND_MATERIAL_VERSION = 501;       // material, in-plane factor
inline constexpr int32_t BEND_SIF_VERSION = 503;            // in- and out-of-plane SIFs
inline constexpr int32_t BEND_SIX_BYTE_NAMES_VERSION = 681; // 6-byte names in bend and jacket records
inline constexpr int32_t BEND_B31J_VERSION = 781;           // out-of-plane factor, axial and torsion SIFs

// The width of names in the bend and jacket records of the file being read.
std::size_t bend_record_name_width();

// "BEND2_DIALOG" under the codes of the B31.3 group or with "Use B31J for
// SIFs and Flexibility Factors", else "BEND1_DIALOG".
const char* bend_dialog_name();
// What the dialogs and tables of bends and miters show for the piping code
// and options in force: the out-of-plane SIF (B31.3 group or B31J), the
// axial SIF (B31.3 and B31.12), the out-of-plane factor and the torsion SIF
// (B31J).
bool bend_shows_out_of_plane_sif();
bool bend_shows_axial_sif();
bool bend_uses_b31j();

// Puts the two intermediate nodes in order: only the second given becomes
// the first, and both are sorted by angle.
void order_intermediate_nodes(int& node1, float& angle1, int& node2, float& angle2);

class Bend : public ElementData {
public:
    BendGeometry geometry;
    float ff_in = -1.0f;      // in-plane flexibility factor; negative = computed
    float ff_out = -1.0f;     // out-of-plane factor (B31J); negative = computed
    float sif_in = 0.0f;      // user SIFs, used only above 1.0
    float sif_out = 0.0f;
    float sif_axial = 0.0f;
    float sif_torsion = 0.0f;
    BendSymbol symbol;

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const ElementData& other) override;
    void count() override;
    // The columns 2 to 15 of the "Bends" table (column 1 is the row's node).
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

    BendGeometry* bend_geometry() override { return &geometry; }
    // Takes the radius kind, radius, wall, material, flexibility factors and
    // SIFs of the previous bend row.
    void take_previous_bend(const ElementData& previous) override;
    void section_terms(ElementSectionTerms& terms) const override;

    // The name of the material the bend is made of: its own, else the row's.
    const std::string& material_of(const LayoutRow& row) const;

    // The bend's own values besides its intermediate nodes: radius kind and
    // radius, wall, material, flexibility factors and SIFs.
    void copy_bend_values(const Bend& other);
    bool same_bend_values(const Bend& other) const;
    // The intermediate nodes and their angles; the copy's node numbers are
    // the other's advanced by `offset`.
    void copy_intermediate_nodes(const Bend& other, int offset = 0);
    bool same_intermediate_nodes(const Bend& other) const;

protected:
    // The bend record and the bend's input, which the derived classes extend.
    void read_bend(BinFile& file);
    void write_bend(BinFile& file) const;
    void copy_bend(const Bend& other);
    BendSymbolNodes symbol_nodes(const LayoutRow& row) const;
};
