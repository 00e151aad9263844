#include "elements/miter.h"

#include "elements/element_common.h"
#include "elements/element_dialog_ids.h"
#include "framework/binfile.h"
#include "framework/text.h"
#include "framework/units.h"
#include "materials/pipe_material.h"
#include "model/model.h"
#include "platform/dialog.h"

const char* miter_spacing_text(int32_t spacing)
{
    return spacing == MITER_WIDELY_SPACED_ID ? "Widely spaced" : "Closely spaced";
}

void Miter::read(BinFile& file)
{
    read_bend(file);
    spacing = file.read_int();
    if (!file.error())
        check_record(spacing == MITER_CLOSELY_SPACED_ID || spacing == MITER_WIDELY_SPACED_ID, "Miter bend",
                     "the spacing is invalid");
}

void Miter::write(BinFile& file) const
{
    write_bend(file);
    file.write_int(spacing);
}

void Miter::copy_from(const ElementData& other)
{
    if (const auto* same = dynamic_cast<const Miter*>(&other)) {
        copy_bend(*same);
        spacing = same->spacing;
    }
}

void Miter::count()
{
    model().list(MITER_ROWS).count_one();
}

void Miter::register_row(int row)
{
    model().list(MITER_ROWS).add(row);
}

std::string Miter::cell_text(int column) const
{
    const BendGeometry& g = geometry;
    switch (column) {
    case 2: return format_dimension(g.radius);
    case 3: return dimension_or_empty(g.thickness);
    case 4: return g.material;
    case 5: return ff_in < 0.0f ? std::string() : c_format("%.5g", double(ff_in));
    case 6: return bend_uses_b31j() && ff_out >= 0.0f ? c_format("%.5g", double(ff_out)) : std::string();
    case 7: return format_factor_above_one(sif_in);
    case 8: return bend_shows_out_of_plane_sif() ? format_factor_above_one(sif_out) : std::string();
    case 9: return bend_shows_axial_sif() ? format_factor_above_one(sif_axial) : std::string();
    case 10: return bend_uses_b31j() ? format_factor_above_one(sif_torsion) : std::string();
    case 11: return miter_spacing_text(spacing);
    default: return {};
    }
}

void Miter::fill_dialog(Dialog& d) const
{
    const BendGeometry& g = geometry;
    d.set_text(MITER_RADIUS, format_dimension(g.radius));
    if (g.thickness != 0.0f)
        d.set_text(MITER_THICKNESS, format_dimension(g.thickness));
    d.list_select(MITER_MATERIAL, pipe_material_index(g.material));
    if (ff_in >= 0.0f)
        d.set_text(MITER_FF_IN, c_format("%.5g", double(ff_in)));
    if (bend_uses_b31j() && ff_out >= 0.0f)
        d.set_text(MITER_FF_OUT, c_format("%.5g", double(ff_out)));
    if (sif_in != 0.0f)
        d.set_text(MITER_SIF_IN, format_factor_above_one(sif_in));
    if (bend_shows_out_of_plane_sif() && sif_out != 0.0f)
        d.set_text(MITER_SIF_OUT, format_factor_above_one(sif_out));
    if (bend_shows_axial_sif() && sif_axial != 0.0f)
        d.set_text(MITER_SIF_AXIAL, format_factor_above_one(sif_axial));
    if (bend_uses_b31j() && sif_torsion != 0.0f)
        d.set_text(MITER_SIF_TORSION, format_factor_above_one(sif_torsion));
    d.check(MITER_CLOSELY, spacing != MITER_WIDELY_SPACED_ID);
    d.check(MITER_WIDELY, spacing == MITER_WIDELY_SPACED_ID);
    d.focus(MITER_RADIUS, true);
}

void Miter::section_terms(ElementSectionTerms& terms) const
{
    terms.user_flexibility_factor = ff_in;
    terms.miter_spacing = spacing;
}
