// The jacketed bend: a core pipe bend inside a jacket pipe bend, both about
// the row's corner. The row's own material, section and load are the
// core's; the JacketedBend adds the jacket's material, section and load,
// its bend radius (with its kind) and wall, and the jacket's arc that model
// building lays out. The inherited bend fields describe the core; its
// intermediate nodes lie on the jacket. Jacketed pipes and jacketed bends
// share one row list.
//
// Record: the bend record, then the three jacket names (4 bytes each before
// version 681, else 6), i32 jacket previous node, i32 jacket near node,
// f32 jacket radius, f32 jacket thickness, u8 jacket radius kind, u8 jacket
// flanged ends, f32 x 3 jacket centre, i32 jacket far node. The writer
// always writes 6-byte names.
#pragma once

#include "elements/bend.h"

#include <functional>
#include <string>
#include <vector>

// True when the jacket section leaves no room for the core: the jacket's
// inside diameter less its lining is below the core's outside diameter
// plus its insulation (equal passes). False when either section is unknown.
bool jacket_clearance_short(const std::string& jacket_section, const std::string& core_section);

// What the jacket dialogs take from the loads layer: the names of the
// model's pipe loads in order from 1 (none until that layer fills it).
struct JacketHooks {
    std::function<std::vector<std::string>()> pipe_load_names;
};
JacketHooks& jacket_hooks();
std::vector<std::string> pipe_load_names();
// The position of a name among `names` (a combo's entry); -1 when absent.
int name_entry(const std::vector<std::string>& names, const std::string& name);

class JacketedBend final : public Bend {
public:
    JacketGeometry jacket;
    BendSymbol jacket_symbol;

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const ElementData& other) override;
    void count() override;
    // The "Jacketed pipes" columns: 3 "Jbend", 4 jacket material, 6 jacket
    // section, 8 jacket load, 10 jacket bend radius, 11 core bend radius,
    // 12 jacket and 13 core bend thickness (when not 0).
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

    JacketGeometry* jacket_geometry() override { return &jacket; }
    // The core and the jacket take computed flexibility factors.
    void section_terms(ElementSectionTerms& terms) const override;
    // The transparent jacket: leg and torus section in (0.3, 0.5, 0.6) at
    // alpha 0.85; nothing while stresses are shown or without the arc.
    void draw_jacket_3d(LayoutRow& row) override;
};
