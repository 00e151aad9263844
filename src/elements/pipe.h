// The straight pipe row (Pipe) and the cut pipe (CutPipe).
//
// A pipe row carries no input of its own: its node, offsets, material,
// section and load say everything. Its object holds only the symbol: the
// outline in the 2D view (14 pixels wide whatever the pipe's diameter) and
// the cylinder of the render view with its projected outline. A click on a
// plain pipe opens nothing.
//
// A cut pipe is a pipe installed cut short (positive cut) or cut long
// (negative) for cold spring; it is drawn and picked as a pipe, its rows
// become pipe elements, and its cut acts as an initial axial strain in the
// cold-spring cases. Record: the signed cut, one f32.
#pragma once

#include "model/element_data.h"
#include "model/symbols.h"

class Pipe : public ElementData {
public:
    Quad2D outline;       // 2D view
    Cylinder cylinder;    // render view, with its projected outline

    void build_outline(LayoutRow& row) override;
    void build_symbol(LayoutRow& row) override;
    void draw_2d(LayoutRow& row) override;
    void draw_3d(LayoutRow& row) override;
    void draw_outline_2d() override;
    void draw_outline_3d() override;

    // True when the view point lies inside the outline of the view shown.
    bool hit_test(float x, float y) const;
};

class CutPipe final : public Pipe {
public:
    float cut = 0.0f;     // inch; positive cut short, negative cut long

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const ElementData& other) override;
    void count() override;
    // 3 the cut's magnitude, 4 "Long" or "Short".
    std::string cell_text(int column) const override;
    void fill_dialog(Dialog& dialog) const override;
    void register_row(int row) override;
    bool pick_and_edit(int row, float x, float y) override;
    void section_terms(ElementSectionTerms& terms) const override;
};
