#include "elements/element_classes.h"

#include "elements/bend.h"
#include "elements/element_common.h"
#include "elements/jacketed_bend.h"
#include "elements/miter.h"
#include "elements/pipe.h"
#include "elements/reducer.h"
#include "materials/beam_section.h"
#include "model/model.h"

#include <algorithm>
#include <memory>

namespace {

// Half the outside diameter of the row's section; for a beam half the
// smaller of its section's depth and width.
double row_pipe_radius(int row)
{
    const Model& m = model();
    if (!m.rows.valid(row))
        return 0.0;
    const LayoutRow& r = m.rows[row];
    if (r.etype == ET_BEAM) {
        const int index = beam_section_index(r.section);
        if (index == 0)
            return 0.0;
        const BeamSection& s = beam_sections()[index];
        return std::min(s.depth(), s.width()) / 2.0;
    }
    return section_radius(r.section);
}

// The jacket's radius on jacketed rows, else the pipe's.
double row_symbol_radius(int row)
{
    const Model& m = model();
    if (!m.rows.valid(row))
        return 0.0;
    const LayoutRow& r = m.rows[row];
    if (r.element && (r.etype == ET_JACKETED_PIPE || r.etype == ET_JACKETED_BEND))
        if (const JacketGeometry* jacket = r.element->jacket_geometry())
            return section_radius(jacket->section);
    return row_pipe_radius(row);
}

}  // namespace

void install_element_classes()
{
    set_element_factory(ET_PIPE, [] { return std::make_unique<Pipe>(); });
    set_element_factory(ET_BEND, [] { return std::make_unique<Bend>(); });
    set_element_factory(ET_MITER, [] { return std::make_unique<Miter>(); });
    set_element_factory(ET_JACKETED_BEND, [] { return std::make_unique<JacketedBend>(); });
    set_element_factory(ET_REDUCER, [] { return std::make_unique<Reducer>(); });
    set_element_factory(ET_CUT_PIPE, [] { return std::make_unique<CutPipe>(); });
    model_hooks().pipe_radius = row_pipe_radius;
    model_hooks().symbol_radius = row_symbol_radius;
}
