// The miter bend: a bend made of mitred pipe pieces. Its geometry, symbol,
// stiffness and loads are the bend's; it adds the spacing of the mitres,
// which the flexibility factor and the code SIFs read. Its radius is always
// the typed one (radius kind User), and its dialog offers no intermediate
// nodes.
//
// Record: the bend record (with its version gates), then the spacing as
// i32 (1 closely spaced, 2 widely spaced) in every version.
#pragma once

#include "elements/bend.h"

#include <cstdint>

enum : int32_t {
    MITER_CLOSELY_SPACED_ID = 1,
    MITER_WIDELY_SPACED_ID = 2,
};

// "Closely spaced" or "Widely spaced".
const char* miter_spacing_text(int32_t spacing);

class Miter final : public Bend {
public:
    int32_t spacing = MITER_CLOSELY_SPACED_ID;

    Miter() { geometry.radius_kind = RADIUS_USER; }

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const ElementData& other) override;
    void count() override;
    // The columns 2 to 11 of the "Miter bends" table (column 1 is the node).
    std::string cell_text(int column) const override;
    void fill_dialog(Dialog& dialog) const override;
    void register_row(int row) override;
    void section_terms(ElementSectionTerms& terms) const override;
};
