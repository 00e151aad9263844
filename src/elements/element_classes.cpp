#include "elements/element_classes.h"

#include "elements/bend.h"
#include "elements/branch_sif.h"
#include "elements/element_common.h"
#include "elements/flange.h"
#include "elements/jacket_connections.h"
#include "elements/jacketed_bend.h"
#include "elements/jacketed_pipe.h"
#include "elements/miter.h"
#include "elements/pipe.h"
#include "elements/reducer.h"
#include "elements/user_sif.h"
#include "elements/weld.h"
#include "materials/beam_section.h"
#include "model/data_item.h"
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
    set_element_factory(ET_JACKETED_PIPE, [] { return std::make_unique<JacketedPipe>(); });
    // The row attributes.
    set_data_factory(DT_SPIDER, [] { return std::make_unique<Spider>(); });
    set_data_factory(DT_JACKET_END_CAP, [] { return std::make_unique<JacketEndCap>(); });
    set_data_factory(DT_FLANGE, [] { return std::make_unique<Flange>(); });
    set_data_factory(DT_BRANCH_SIF, [] { return std::make_unique<BranchSif>(); });
    set_data_factory(DT_USER_SIF, [] { return std::make_unique<UserSif>(); });
    set_data_factory(DT_WELD, [] { return std::make_unique<Weld>(); });
    set_data_factory(DT_THREADED_JOINT, [] { return std::make_unique<ThreadedJoint>(); });
    model_hooks().pipe_radius = row_pipe_radius;
    model_hooks().symbol_radius = row_symbol_radius;
}
