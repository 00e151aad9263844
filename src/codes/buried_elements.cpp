#include "codes/buried_elements.h"

#include "analysis_core/analysis_model.h"

bool code_element_is_buried(const AnalysisModel& m, int element)
{
    if (!m.model.elems.valid(element))
        return false;
    const Elem& e = m.model.elems[element];
    switch (e.kind) {
    case ET_PIPE:
    case ET_BEND:
    case ET_MITER:
    case ET_REDUCER:
    case ET_CUT_PIPE:
    case ET_VALVE: break;
    default: return false;
    }
    if (!m.pipe_sections.valid(e.section))
        return false;
    const int soil = m.soils.index(m.pipe_sections[e.section].soil);
    if (soil == 0 || !m.model.nodes.valid(e.node1) || !m.model.nodes.valid(e.node2))
        return false;
    const double ground = m.soils[soil].ground_level;
    const auto elevation = [&](int node) {
        const NodeRecord& n = m.model.nodes[node];
        return m.options.z_vertical ? n.z : n.y;
    };
    return elevation(e.node1) <= ground && elevation(e.node2) <= ground;
}
