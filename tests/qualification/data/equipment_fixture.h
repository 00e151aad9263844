// Models with rotating equipment for the evaluation tests: pipe sections of
// standard sizes, lines that end at anchors, and the anchors' support loads
// of a load case set by the test (the loads on the pipe, global axes, as the
// results file holds them).
#pragma once

#include "materials/pipe_section.h"
#include "materials/property_sets.h"
#include "materials/size_tables.h"
#include "model/analysis_options.h"
#include "model/data/model_file_fixture.h"
#include "qualification/equipment.h"
#include "supports/anchor.h"
#include "supports/supports.h"

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace equipment_test {

using V3 = std::array<double, 3>;
inline double dot(const V3& a, const V3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline V3 unit(V3 v)
{
    const double l = std::sqrt(dot(v, v));
    return {v[0] / l, v[1] / l, v[2] / l};
}
inline V3 cross(const V3& a, const V3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// Helpers that build equipment models on a model test fixture `Base`.
template <typename Base>
class EquipmentModel : public Base {
protected:
    // A pipe section named `name` of outside diameter `od` (inch).
    static void section(const std::string& name, float od)
    {
        PipeSection s;
        s.name = name;
        s.size_standard = SIZE_ANSI;
        s.nominal_size = NON_STANDARD_SIZE;
        s.outside_diameter = od;
        s.thickness = 0.25f;
        pipe_sections().push_back(s);
    }
    // A From row at node `from` (absolute x, y, z) and a pipe of section
    // `sec` ending at an anchor at node `node`, offset (dx, dy, dz); the
    // anchor's row.
    static int line_to_anchor(int from_node, V3 at, int node, V3 d, const std::string& sec)
    {
        const int f = Base::from(from_node, float(at[0]), float(at[1]), float(at[2]));
        model().rows[f].absolute = 1;
        model().rows[f].section = sec;
        const int r = Base::row(node, ET_PIPE, float(d[0]), float(d[1]), float(d[2]), DT_ANCHOR);
        model().rows[r].section = sec;
        return r;
    }
    // Sets the loads an anchor puts on the pipe in the current load case.
    static void anchor_loads(int row, std::array<float, 6> loads)
    {
        auto& a = dynamic_cast<Anchor&>(*model().rows[row].data);
        a.current_loads.assign(loads.begin(), loads.end());
    }
    static V3 point(int node_number)
    {
        const NodeRecord& n = Base::node(node_number);
        return {n.x, n.y, n.z};
    }
};

class EquipmentTest : public EquipmentModel<ModelFileTest> {
protected:
    void SetUp() override
    {
        ModelFileTest::SetUp();
        install_property_sets();
        install_supports();
        install_equipment();
    }
};

// A horizontal API 610 pump named `name`: suction at node 10 (End),
// discharge at node 20 (Top), shaft axis `shaft`, centre `centre` (inch).
inline PumpRecord api610_pump(const std::string& name, std::array<float, 3> shaft, std::array<float, 3> centre)
{
    PumpRecord p;
    p.name = name;
    p.kind = PUMP_HORIZONTAL_API610;
    p.suction_node = 10;
    p.suction_location = LOCATION_END;
    p.discharge_node = 20;
    p.discharge_location = LOCATION_TOP;
    p.shaft_axis = shaft;
    p.centre = centre;
    return p;
}

}  // namespace equipment_test
