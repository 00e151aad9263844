// The jacketed pipe: a straight core pipe inside a concentric jacket pipe.
// The row's own material, section and load are the core's; the
// JacketedPipe adds the jacket's material, section and load, and the jacket
// nodes at the element's two ends, which model building makes (core node N
// has its jacket node N + 500000, A goes with C and B with D). The analysis
// takes core and jacket as two straight elements that meet only through
// jacket connections (spiders and end caps). Jacketed pipes and jacketed
// bends share one row list, one input table and one printed section.
//
// Record (26 bytes): jacket material, section and load (4 bytes each before
// version 681, else 6), i32 jacket start node, i32 jacket end node. The
// writer always writes 6-byte names.
#pragma once

#include "model/element_data.h"
#include "model/symbols.h"

class JacketedPipe final : public ElementData {
public:
    // The jacket's names; node1 and node2 are its start and end nodes (node
    // indices, set by model building).
    JacketGeometry jacket;

    // Symbol (rebuilt, never stored).
    Quad2D outline;           // 2D view: the jacket's line
    Cylinder core_cylinder;
    Cylinder jacket_cylinder; // its projected outline is the render view's pick area

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    // Copies the three names (not the nodes).
    void copy_from(const ElementData& other) override;
    void count() override;
    // The "Jacketed pipes" columns: 3 "Jpipe", 4 jacket material, 6 jacket
    // section, 8 jacket load; the core's columns are the row's.
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
    // The transparent jacket in (0.3, 0.5, 0.6) at alpha 0.85; nothing while
    // stresses are shown.
    void draw_jacket_3d(LayoutRow& row) override;
};
