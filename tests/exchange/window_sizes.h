// A model made from a batch file given what the windows give and a batch
// file does not: its sections picked by nominal size and schedule from the
// ANSI table where their diameter and wall are a size's, and its bends of
// that long radius made long-radius bends, as the bend dialog's Long makes
// them.
#pragma once

#include "elements/bend.h"
#include "materials/pipe_section.h"
#include "materials/size_tables.h"
#include "model/model.h"

namespace window_sizes {

// Each section whose diameter and wall are those of a size and schedule of
// the ANSI table takes that size; the number of sections that did.
inline int size_every_section()
{
    const PipeSizeTable& table = pipe_size_table(SIZE_ANSI);
    int sized = 0;
    for (PipeSection& s : pipe_sections())
        for (int row = 1; row < table.row_count(); ++row) {
            const PipeSizeRow& r = table.rows[static_cast<std::size_t>(row)];
            if (r.outside_diameter != s.outside_diameter)
                continue;
            for (int k = 0; k < r.schedule_count(); ++k)
                if (r.thicknesses[static_cast<std::size_t>(k)] == s.thickness && s.nominal_size != r.name) {
                    s.size_standard = SIZE_ANSI;
                    s.nominal_size = r.name;
                    s.schedule = table.schedule_name(row, k);
                    ++sized;
                }
        }
    return sized;
}

// Every bend whose radius is the long radius of its section becomes a
// long-radius bend; the number of them.
inline int long_radius_bends()
{
    int bends = 0;
    for (LayoutRow& row : model().rows)
        if (auto* bend = dynamic_cast<Bend*>(row.element.get()); bend && row.etype == ET_BEND) {
            const int s = section_index(row.section);
            if (s != 0 && bend->geometry.radius_kind == RADIUS_USER &&
                bend->geometry.radius == section_bend_radius(pipe_sections()[s], false)) {
                bend->geometry.radius_kind = RADIUS_LONG;
                ++bends;
            }
        }
    return bends;
}

}  // namespace window_sizes
