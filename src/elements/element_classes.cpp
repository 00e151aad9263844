#include "elements/element_classes.h"

#include "elements/beam.h"
#include "elements/bellows.h"
#include "elements/bend.h"
#include "elements/branch_sif.h"
#include "elements/elastic_element.h"
#include "elements/element_common.h"
#include "elements/flange.h"
#include "elements/jacket_connections.h"
#include "elements/jacketed_bend.h"
#include "elements/jacketed_pipe.h"
#include "elements/joints.h"
#include "elements/miter.h"
#include "elements/pipe.h"
#include "elements/reducer.h"
#include "elements/rigid_element.h"
#include "elements/slip_joint.h"
#include "elements/tie_rod.h"
#include "elements/user_sif.h"
#include "elements/valve.h"
#include "elements/weld.h"
#include "materials/beam_material.h"
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
    set_element_factory(ET_BEAM, [] { return std::make_unique<Beam>(); });
    set_element_factory(ET_BALL_JOINT, [] { return std::make_unique<BallJoint>(); });
    set_element_factory(ET_HINGE_JOINT, [] { return std::make_unique<HingeJoint>(); });
    set_element_factory(ET_RIGID, [] { return std::make_unique<RigidElement>(); });
    set_element_factory(ET_VALVE, [] { return std::make_unique<Valve>(); });
    set_element_factory(ET_BELLOWS, [] { return std::make_unique<Bellows>(); });
    set_element_factory(ET_SLIP_JOINT, [] { return std::make_unique<SlipJoint>(); });
    set_element_factory(ET_ELASTIC, [] { return std::make_unique<ElasticElement>(); });
    set_element_factory(ET_TIE_ROD, [] { return std::make_unique<TieRod>(); });
    // Beam rows name beam materials and sections.
    model_hooks().beam_material_index = beam_material_index;
    model_hooks().beam_section_index = beam_section_index;
    model_hooks().pipe_radius = row_pipe_radius;
    model_hooks().symbol_radius = row_symbol_radius;
}
