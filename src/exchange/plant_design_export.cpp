// The plant-design export: the primitives in their two forms, the mapping
// of model positions to the world frame, and the shapes of every element
// row and of the data items that have a solid (guides, flanges, jacket end
// caps, concentrated masses).
#include "exchange/plant_design_export.h"

#include "elements/bellows.h"
#include "elements/bend.h"
#include "elements/jacketed_bend.h"
#include "elements/jacketed_pipe.h"
#include "elements/joints.h"
#include "elements/reducer.h"
#include "elements/valve.h"
#include "framework/text.h"
#include "loads/nodal_loads.h"
#include "materials/pipe_section.h"
#include "model/analysis_options.h"
#include "model/data_item.h"
#include "model/element_data.h"
#include "model/model.h"

#include <cmath>
#include <cstdio>
#include <sstream>

namespace {

constexpr double PI = 3.141592653589793;
constexpr double MM_PER_INCH = 25.4;
// The size of a joint or support where no row nearby has a section: 6 inches.
constexpr double DEFAULT_SIZE_MM = 152.4;
// The least height of a cylinder, cone or box that is written.
constexpr double LEAST_HEIGHT = 0.5;
// Segments of a deflected bend's arc.
constexpr int ARC_SEGMENTS = 24;
// Pitches of a bellows beyond this are not drawn one by one.
constexpr long MAX_BELLOWS_PITCHES = 10000;

struct V3 {
    double x = 0, y = 0, z = 0;
};
V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 operator*(double t, V3 a) { return {t * a.x, t * a.y, t * a.z}; }
double dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double norm(V3 a) { return std::sqrt(dot(a, a)); }
V3 cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, -(a.x * b.z - b.x * a.z), a.x * b.y - b.x * a.y}; }
V3 midpoint(V3 a, V3 b) { return 0.5 * (a + b); }
double distance(V3 a, V3 b) { return norm(b - a); }
V3 unit(V3 a)
{
    const double l = norm(a);
    return l > 0 ? (1.0 / l) * a : V3{};
}
V3 unit_direction(V3 p, V3 q) { return unit(q - p); }
bool finite(V3 a) { return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z); }

class PlantWriter {
public:
    PlantWriter(std::ostream& out, PlantDesignFormat format, const NodeDisplacementField* field)
        : out_(out), pdms_(format == PLANT_PDMS), field_(field), z_vertical_(analysis_options().z_vertical)
    {
    }

    void write()
    {
        if (pdms_) {
            line("onerror golabel /end");
            line("NEW STRU");
        }
        for (int i = 1; i <= numrows(); ++i) {
            const LayoutRow& row = model().rows[i];
            if (row.etype != ET_NONE) {
                if (pdms_ && row.etype == ET_FROM)
                    line("NEW SUBS");
                if (row.built || row.etype == ET_FROM)
                    element_shape(i, row);
            }
            if (row.dtype != DT_NONE && row.node_index != 0)
                item_shape(i, row);
        }
        if (pdms_)
            for (const char* l : {"label /end", "handle(41,8)", "!!alert.message('Navigate to Zone and import')", "endhandle"})
                line(l);
    }

private:
    std::ostream& out_;
    bool pdms_;
    const NodeDisplacementField* field_;
    bool z_vertical_;

    void line(const std::string& text) { out_ << text << '\n'; }
    void text(const std::string& t) { out_ << t; }
    static std::string f(double v) { return c_format("%f", static_cast<double>(static_cast<float>(v))); }

    // ---- World frame ------------------------------------------------------------------
    V3 world(double x, double y, double z) const
    {
        return z_vertical_ ? V3{MM_PER_INCH * x, MM_PER_INCH * y, MM_PER_INCH * z}
                           : V3{MM_PER_INCH * x, -MM_PER_INCH * z, MM_PER_INCH * y};
    }
    V3 undeformed(int node) const
    {
        if (node < 1 || node > numnodes())
            return {};
        const NodeRecord& n = model().nodes[node];
        return world(n.x, n.y, n.z);
    }
    V3 position(int node) const
    {
        if (node < 1 || node > numnodes())
            return {};
        const NodeRecord& n = model().nodes[node];
        double x = n.x, y = n.y, z = n.z;
        if (field_ && static_cast<std::size_t>(node) < field_->size()) {
            const auto& d = (*field_)[static_cast<std::size_t>(node)];
            x += d[0];
            y += d[1];
            z += d[2];
        }
        return world(x, y, z);
    }
    bool deflected() const { return field_ != nullptr; }

    // ---- Primitives --------------------------------------------------------------------
    void object(const char* kind, const char* name, V3 p)
    {
        if (pdms_) {
            line(c_format("!%s = Object %s()", name, kind));
            line(c_format("!%s.origin = world", name));
            line(c_format("!%s.East = %s", name, f(p.x).c_str()));
            line(c_format("!%s.North = %s", name, f(p.y).c_str()));
            line(c_format("!%s.Up = %s", name, f(p.z).c_str()));
        } else {
            text(f(p.x) + " " + f(p.y) + " " + f(p.z) + " ");
        }
    }
    // A cylinder: centre (PDMS) or base (CADMATIC), diameter, height, axis.
    void cylinder(V3 centre, V3 base, double diameter, double height, V3 axis)
    {
        if (!(height > LEAST_HEIGHT) || !(diameter > 0) || !std::isfinite(height) || !std::isfinite(diameter) ||
            !finite(centre) || !finite(base) || !finite(axis) || norm(axis) == 0)
            return;
        if (pdms_) {
            line("New Cyli");
            object("Position", "P0", centre);
            object("Direction", "zdir", axis);
            line("pos $!p0");
            line("dia " + f(diameter));
            line("hei " + f(height));
            line("ori z is $!zdir");
        } else {
            text("I ;; \n 1 \n cyl " + f(0.5 * diameter) + " " + f(height) + " ");
            object("Position", "P0", base);
            object("Direction", "zdir", axis);
            text("\n # \n");
        }
    }
    // A straight cylinder from p to q.
    void cylinder_between(V3 p, V3 q, double diameter)
    {
        cylinder(midpoint(p, q), p, diameter, distance(p, q), unit_direction(p, q));
    }
    void cone(V3 p, V3 q, double bottom, double top)
    {
        const double height = distance(p, q);
        const V3 axis = unit_direction(p, q);
        if (!(height > LEAST_HEIGHT) || !(bottom > 0 || top > 0) || !std::isfinite(bottom) || !std::isfinite(top) ||
            !finite(p) || !finite(q))
            return;
        if (pdms_) {
            line("New Cone");
            object("Position", "P0", midpoint(p, q));
            object("Direction", "zdir", axis);
            line("pos $!p0");
            line("dtop " + f(top));
            line("dbottom " + f(bottom));
            line("hei " + f(height));
            line("ori z is $!zdir");
        } else {
            text("I ;; \n 1 \n cone " + f(0.5 * bottom) + " " + f(0.5 * top) + " ");
            line(f(height) + " ");
            object("Position", "P0", p);
            object("Direction", "zdir", axis);
            text("\n # \n");
        }
    }
    // A box along `axis` (PDMS); the CADMATIC form has none and takes a cylinder.
    void box(V3 p, V3 q, double side)
    {
        const double length = distance(p, q);
        if (!(length > LEAST_HEIGHT))
            return;
        if (!pdms_) {
            cylinder(midpoint(p, q), p, side, length, unit_direction(p, q));
            return;
        }
        if (!(side > LEAST_HEIGHT) || !std::isfinite(side) || !finite(p) || !finite(q))
            return;
        line("New Box");
        object("Position", "P0", midpoint(p, q));
        object("Direction", "xdir", unit_direction(p, q));
        line("pos $!p0");
        line("Xlength " + f(length));
        line("Ylength " + f(side));
        line("Zlength " + f(side));
        line("ori x is $!xdir");
    }
    void sphere(V3 centre, double diameter)
    {
        if (!(diameter > 0) || !std::isfinite(diameter) || !finite(centre))
            return;
        if (pdms_) {
            for (const char* down : {"U", "D"}) {
                line("New DISH");
                object("Position", "P0", centre);
                line("pos $!p0");
                line("dia " + f(diameter));
                line("hei " + f(0.5 * diameter));
                line(std::string("ori Y is N and Z is ") + down);
            }
        } else {
            text("I ;; \n 1 \n sph " + f(0.5 * diameter) + " ");
            object("Position", "P0", centre);
            text("\n # \n");
        }
    }
    // A bend's arc: centre C, near tangent point A, far tangent point B, the
    // tangent at A, radius and angle.
    void torus(V3 c, V3 a, V3 b, V3 tangent, double radius, double angle, double od)
    {
        if (!(radius > 0) || !(od > 0) || !(angle > 0) || !std::isfinite(radius) || !std::isfinite(angle) ||
            !finite(c) || !finite(a) || !finite(b))
            return;
        const double degrees = angle * 180.0 / PI;
        if (pdms_) {
            line("New CTorus");
            object("Position", "P0", c);
            line("pos $!P0");
            object("Direction", "xdir", unit_direction(c, b));
            object("Direction", "ydir", unit_direction(c, a));
            line("Routside " + f(radius + 0.5 * od));
            line("Rinside " + f(radius - 0.5 * od));
            line("angle " + f(degrees));
            line("ori x is $!xdir and y is $!ydir");
        } else {
            const V3 u = unit(tangent);
            const V3 inward = unit(c - a);
            text("I ;; \n 1 \n tor " + f(radius) + " " + f(0.5 * od) + " " + f(degrees * PI / 180.0) + " ");
            object("Position", "P0", a);
            object("Direction", "xdir", u);
            object("Direction", "ydir", inward);
            text("\n # \n");
        }
    }

    // ---- Sizes ---------------------------------------------------------------------------
    static double section_od_mm(const std::string& name)
    {
        const int s = section_index(name);
        return s ? MM_PER_INCH * pipe_sections()[s].outside_diameter : 0.0;
    }
    static double row_od_mm(const LayoutRow& row)
    {
        if (const JacketGeometry* j = row.element ? row.element->jacket_geometry() : nullptr)
            return section_od_mm(j->section);
        return section_od_mm(row.section);
    }
    static double sized_od(int r)
    {
        const LayoutRow& row = model().rows[r];
        if (row.dx == 0.0f && row.dy == 0.0f && row.dz == 0.0f)
            return 0.0;
        return row_od_mm(row);
    }
    // The nearest row after `row` with a diameter; 0 when none.
    static int next_sized_row(int row)
    {
        for (int r = row + 1; r <= numrows(); ++r)
            if (sized_od(r) > 0)
                return r;
        return 0;
    }
    static int previous_sized_row(int row)
    {
        for (int r = row - 1; r >= 1; --r) {
            if (model().rows[r].etype == ET_FROM)
                return next_sized_row(row);
            if (sized_od(r) > 0)
                return r;
        }
        return next_sized_row(row);
    }
    static double nearby_size(int row)
    {
        const int r = previous_sized_row(row);
        const double od = r ? sized_od(r) : 0.0;
        return od > 0 ? od : DEFAULT_SIZE_MM;
    }

    // ---- Element shapes ------------------------------------------------------------------
    void element_shape(int index, const LayoutRow& row)
    {
        const V3 s = position(row.start_node);
        const V3 e = position(row.end_node);
        const double length = distance(s, e);
        const V3 axis = unit_direction(s, e);
        const V3 m = midpoint(s, e);
        const double od = section_od_mm(row.section);
        switch (row.etype) {
        case ET_PIPE:
        case ET_CUT_PIPE:
            cylinder_between(s, e, od);
            break;
        case ET_JACKETED_PIPE:
            cylinder_between(s, e, od);
            if (const JacketGeometry* j = row.element->jacket_geometry())
                cylinder_between(position(j->node1), position(j->node2), section_od_mm(j->section));
            break;
        case ET_BEND:
        case ET_MITER:
        case ET_JACKETED_BEND:
            bend_shape(row);
            break;
        case ET_REDUCER:
            if (const auto* d = dynamic_cast<const Reducer*>(row.element.get()))
                cone(s, e, MM_PER_INCH * d->od1, MM_PER_INCH * d->od2);
            break;
        case ET_VALVE:
            if (const auto* v = dynamic_cast<const Valve*>(row.element.get())) {
                cylinder_between(s, e, od);
                sphere(m, 1.7 * od);
                if (v->additional_weight == 0.0f && od > 0) {
                    const double stem = 2.0 * od;
                    V3 t;
                    if (!(std::hypot(axis.x, axis.y) > 0)) {
                        t = z_vertical_ ? m + V3{0, stem, 0} : m + V3{stem, 0, 0};
                    } else {
                        const V3 n = unit(V3{-axis.y, axis.x, 0});
                        t = m + stem * cross(axis, n);
                    }
                    cylinder_between(m, t, 0.3 * od);
                    cylinder(t, t, 1.15 * od, 0.15 * od, unit_direction(m, t));
                }
            }
            break;
        case ET_BELLOWS:
            bellows_shape(s, e, od);
            break;
        case ET_SLIP_JOINT:
            if (!(length > LEAST_HEIGHT))
                break;
            if (0.15 * od > length) {
                cylinder(m, s, 1.5 * od, 0.15 * od, axis);
            } else {
                const double sleeve = 0.3 * od;
                cylinder_between(s, e, od);
                cylinder(s + (0.5 * sleeve) * axis, s, 1.5 * od, sleeve, axis);
                cylinder(e - (0.5 * sleeve) * axis, e - sleeve * axis, 1.5 * od, sleeve, axis);
            }
            break;
        case ET_RIGID:
            box(s, e, 0.25 * od);
            break;
        case ET_ELASTIC:
            box(s, e, 0.25 * nearby_size(index));
            break;
        case ET_BALL_JOINT:
            sphere(position(row.from_node), 1.5 * nearby_size(index));
            break;
        case ET_HINGE_JOINT:
            if (const auto* h = dynamic_cast<const HingeJoint*>(row.element.get())) {
                const double d = nearby_size(index);
                const V3 p = position(row.from_node);
                sphere(p, 1.5 * d);
                // The hinge axis is given in the model's axes.
                const V3 a = unit(world(h->axis[0], h->axis[1], h->axis[2]));
                cylinder(p, p, 0.15 * d, 2.0 * d, a);
            }
            break;
        case ET_TIE_ROD:
            cylinder_between(s, e, 0.15 * nearby_size(index));
            break;
        default:
            break;
        }
    }

    void bellows_shape(V3 s, V3 e, double od)
    {
        const double length = distance(s, e);
        const V3 a = unit_direction(s, e);
        if (!(length > LEAST_HEIGHT) || !(od > 0))
            return;
        if (length <= 1.0) {
            cylinder(midpoint(s, e), s, od, 1.0, a);
            return;
        }
        const double pitches = std::floor(length / (0.5 * od));
        if (!std::isfinite(pitches) || pitches > MAX_BELLOWS_PITCHES)
            return;
        const long n = std::max(1L, static_cast<long>(pitches));
        const double h = length / static_cast<double>(n) / 2.0;
        // n pitches of two cones each: out to 1.2 OD and back.
        for (long k = 0; k < n; ++k) {
            const V3 p = s + (2.0 * h * static_cast<double>(k)) * a;
            const V3 q = p + h * a;
            const V3 r = k + 1 == n ? e : q + h * a;
            cone(p, q, od, 1.2 * od);
            cone(q, r, 1.2 * od, od);
        }
    }

    // The arc of a bend: a torus, or in a deflected export a chain of
    // cylinders whose points go round the arc by angle, each moved by the
    // tangent points' displacements in proportion.
    void arc(V3 s0, V3 a0, V3 n0, V3 b0, V3 c0, V3 a, V3 b, double radius, double angle, double od)
    {
        if (!deflected()) {
            const V3 tangent = distance(s0, a0) > 1e-6 ? a0 - s0 : n0 - a0;
            torus(c0, a0, b0, tangent, radius, angle, od);
            return;
        }
        const V3 e1 = unit(a0 - c0);
        V3 incoming = distance(s0, a0) > 1e-6 ? unit_direction(s0, a0) : unit_direction(a0, n0);
        const V3 e2 = unit(incoming - dot(incoming, e1) * e1);
        const double r = distance(c0, a0);
        if (!(r > 0) || !(angle > 0))
            return;
        const V3 da = a - a0, db = b - b0;
        V3 previous = a;
        for (int i = 1; i <= ARC_SEGMENTS; ++i) {
            const double t = static_cast<double>(i) / ARC_SEGMENTS;
            const double phi = t * angle;
            const V3 p0 = c0 + r * (std::cos(phi) * e1 + std::sin(phi) * e2);
            const V3 p = i == ARC_SEGMENTS ? b : p0 + (1.0 - t) * da + t * db;
            cylinder_between(previous, p, od);
            previous = p;
        }
    }

    void bend_shape(const LayoutRow& row)
    {
        const auto* bend = dynamic_cast<const Bend*>(row.element.get());
        if (!bend || !bend->geometry.geometry_valid)
            return;
        const BendGeometry& g = bend->geometry;
        const double od = section_od_mm(row.section);
        const V3 s = position(row.start_node);
        const V3 a = position(row.end_node);
        cylinder_between(s, a, od);
        const V3 c0 = world(g.centre[0], g.centre[1], g.centre[2]);
        arc(undeformed(row.start_node), undeformed(row.end_node), undeformed(row.node_index), undeformed(g.far_node),
            c0, a, position(g.far_node), MM_PER_INCH * g.radius, g.bend_angle, od);
        if (row.etype != ET_JACKETED_BEND)
            return;
        const JacketGeometry& j = static_cast<const JacketedBend*>(bend)->jacket;
        const double jod = section_od_mm(j.section);
        cylinder_between(position(j.previous_node), position(j.near_node), jod);
        const V3 cj = world(j.centre[0], j.centre[1], j.centre[2]);
        arc(undeformed(j.previous_node), undeformed(j.near_node), undeformed(row.node_index), undeformed(j.far_node),
            cj, position(j.near_node), position(j.far_node), MM_PER_INCH * j.radius, g.bend_angle, jod);
    }

    // ---- Data-item shapes ----------------------------------------------------------------
    // The reference points of a guide or flange: on a bend's tangent point,
    // the bend's node and its far tangent point; else the defining row's
    // element ends.
    struct Reference {
        V3 p1, p2;
        double size = 0;
        int defining = 0;
    };
    Reference reference(int index, const LayoutRow& item, bool flange)
    {
        Reference ref;
        const NodeRecord& node = model().nodes[item.node_index];
        ref.defining = node.row >= 1 && node.row <= numrows() ? node.row : index;
        const LayoutRow& d = model().rows[ref.defining];
        const BendGeometry* g = d.element ? d.element->bend_geometry() : nullptr;
        if (node.number >= 100000 && g) {
            ref.p1 = position(d.node_index);
            ref.p2 = position(g->far_node);
        } else {
            ref.p1 = position(d.start_node);
            ref.p2 = position(d.end_node);
        }
        ref.size = row_od_mm(d);
        if (ref.size > 0)
            return ref;
        const int sized = d.etype == ET_FROM ? next_sized_row(ref.defining) : previous_sized_row(ref.defining);
        if (sized) {
            const LayoutRow& s = model().rows[sized];
            ref.p1 = position(flange ? s.node_index : s.from_node);
            ref.p2 = position(flange ? s.from_node : s.node_index);
            const bool same = flange ? s.node_index == s.from_node : distance(ref.p1, ref.p2) == 0;
            if (same)
                ref.p1.x += 1.0;
            ref.size = sized_od(sized);
        }
        if (!(ref.size > 0))
            ref.size = DEFAULT_SIZE_MM;
        return ref;
    }

    void item_shape(int index, const LayoutRow& row)
    {
        switch (row.dtype) {
        case DT_GUIDE: {
            const Reference ref = reference(index, row, false);
            const double s = 0.6 * ref.size;
            V3 a = unit_direction(ref.p1, ref.p2);
            if (distance(ref.p1, ref.p2) == 0)
                a = unit_direction(ref.p1, position(model().rows[ref.defining].node_index));
            const V3 at = model().rows[ref.defining].etype == ET_FROM ? ref.p1 : ref.p2;
            cylinder(at, ref.p1, 2.5 * s, 2.66 * s, a);
            break;
        }
        case DT_FLANGE: {
            const Reference ref = reference(index, row, true);
            const double f = 1.75 * ref.size;
            const double t = f / 7.0;
            V3 a = unit_direction(ref.p1, ref.p2);
            if (distance(ref.p1, ref.p2) == 0) {
                const V3 p3 = position(model().rows[ref.defining].node_index);
                if (distance(ref.p1, p3) == 0)
                    break;
                a = unit_direction(ref.p1, p3);
            }
            const V3 p2 = ref.p2;
            for (const double side : {-1.0, 1.0}) {
                const V3 q1 = p2 + (side * t) * a;
                const V3 q2 = p2 + (side * 0.075 * t) * a;
                cylinder(midpoint(q1, q2), side < 0 ? q1 : q2, f, t - 0.075 * t, a);
            }
            break;
        }
        case DT_JACKET_END_CAP: {
            const NodeRecord& node = model().nodes[row.node_index];
            if (node.row < 1 || node.row > numrows())
                break;
            const LayoutRow& d = model().rows[node.row];
            const JacketGeometry* j = d.element ? d.element->jacket_geometry() : nullptr;
            if (!j || (d.etype != ET_JACKETED_PIPE && d.etype != ET_JACKETED_BEND))
                break;
            const double od = section_od_mm(j->section);
            V3 p1, p2;
            if (d.etype == ET_JACKETED_PIPE) {
                p1 = position(j->node1);
                p2 = position(j->node2);
            } else {
                p1 = position(d.node_index);
                p2 = position(j->far_node);
            }
            const double h = 0.0765 * od;
            cylinder(p2, p1, od, h, unit_direction(p1, p2));
            break;
        }
        case DT_CONC_MASS:
            if (const auto* mass = dynamic_cast<const ConcentratedMass*>(row.data.get())) {
                const Reference ref = reference(index, row, false);
                const double s = 1.75 * ref.size;
                const V3 p = position(row.node_index);
                const V3 off = world(mass->offset[0], mass->offset[1], mass->offset[2]);
                const V3 q = p + off;
                if (distance(p, q) != 0)
                    cylinder_between(p, q, 0.2 * s);
                sphere(q, s);
            }
            break;
        default:
            break;
        }
    }
};

}  // namespace

void write_plant_design_text(std::ostream& out, PlantDesignFormat format, const NodeDisplacementField* displacements)
{
    PlantWriter(out, format, displacements).write();
}

std::string plant_design_text(PlantDesignFormat format, const NodeDisplacementField* displacements)
{
    std::ostringstream out;
    write_plant_design_text(out, format, displacements);
    return out.str();
}

void export_plant_design_at(const std::string& path, PlantDesignFormat format,
                            const NodeDisplacementField* displacements, const ExportBufferFilter& filter)
{
    write_export_file(path, [&](std::ostream& out) { write_plant_design_text(out, format, displacements); }, filter);
}
