// The beam row (Beam): a structural member of the supporting steel between
// two nodes. Its row names a beam material, a beam section and a beam load;
// its object adds the beta angle, which turns the section about the member
// axis, and twelve end releases. Its local axes follow the element axes of
// its nodes, turned about local x by beta; with Z vertical major bending is
// about local y and major shear along local z (the section's depth), with Y
// vertical about local z and along local y.
//
// Record (16 bytes, every version): beta f32 (radian), then the six release
// flags of the From end (axial, major bending, minor bending, torsion, major
// shear, minor shear) and the same six of the To end, one byte each.
#pragma once

#include "model/element_data.h"
#include "model/elements.h"
#include "model/symbols.h"

#include <array>
#include <cstdint>

// The release flags in record order; the To end's are BEAM_RELEASES_PER_END on.
enum BeamRelease : int {
    BEAM_AXIAL = 0,
    BEAM_MAJOR_BENDING,
    BEAM_MINOR_BENDING,
    BEAM_TORSION,
    BEAM_MAJOR_SHEAR,
    BEAM_MINOR_SHEAR,
    BEAM_RELEASES_PER_END,
};
inline constexpr int BEAM_RELEASE_COUNT = 2 * BEAM_RELEASES_PER_END;

// The local direction (1 x, 2 y, 3 z translations, 4..6 rotations about
// them) that a release flag (0..5) frees at its end.
int beam_release_direction(int flag, bool z_vertical);

// The element axes of a member from a to b turned about local x by beta
// (radian), as a beam's local axes are.
LocalAxes beam_axes(const Vec3& a, const Vec3& b, double beta, bool z_vertical);

class Beam final : public ElementData {
public:
    float beta = 0.0f;                                // radian
    std::array<uint8_t, BEAM_RELEASE_COUNT> releases{};

    // Symbol (rebuilt, never stored): the 2D outline and the web and both
    // flanges of the render view.
    Quad2D outline;
    SolidBox parts[3];

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const ElementData& other) override;
    void count() override;
    // 3 beta; 4..15 "Y" for a set release: 4 From axial, 5 To axial, 6 From
    // major bending, 7 To ... 14 From minor shear, 15 To minor shear.
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

    bool same_values(const Beam& other) const { return beta == other.beta && releases == other.releases; }
    // The local axes of the beam of a layout row (identity axes when either
    // of its nodes is not built).
    static LocalAxes local_axes_of_row(int row);
    // Puts them into the shared element axes (local_axes()).
    static void set_local_axes(int row);
    bool hit_test(float x, float y) const;
};

// The beam column of release flag `flag` (0..11, record order) in the
// "Beams" table: the From and To flags of one kind side by side.
int beam_release_column(int flag);
