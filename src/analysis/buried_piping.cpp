#include "analysis/buried_piping.h"

#include "analysis/results_file.h"
#include "analysis_core/analysis_model.h"
#include "analysis_core/convergence.h"
#include "analysis_core/element_assembly.h"
#include "materials/pipe_material.h"
#include "framework/text.h"
#include "framework/units.h"
#include "model/element_data.h"
#include "model/nodes.h"
#include "model/value_bounds.h"
#include "supports/support_analysis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <numbers>
#include <set>

namespace {

constexpr double PI = std::numbers::pi;
constexpr double MM = 1.0 / 25.4;   // inch

double radians(double degrees)
{
    return degrees * PI / 180.0;
}

// A yielded spring keeps this part of its elastic stiffness, so that a line
// whose soil has yielded all along still has a stiffness to solve with.
constexpr double YIELDED_STIFFNESS = 1.0e-6;

// The coefficients a..e of Nqh = a + b x + c x^2 + d x^3 + e x^4 (x = H/D)
// for the friction angles of ALA (2001) Appendix B, Section B.2. The
// polynomials are fits of the guideline's chart, whose factors grow with
// the depth: up to H/D = NQH_FITTED_DEPTH_RATIO every one of them rises, but
// beyond it those of 40 and 45 degrees turn down (past H/D of about 11.5
// and 13) and all of them fall to 0 between H/D of 21 and 33. Deeper
// cover takes the factor of the end of the fitted range.
struct NqhRow {
    double phi, a, b, c, d, e;
};
constexpr std::array<NqhRow, 6> NQH = {{
    {20.0, 2.399, 0.439, -0.03, 1.059e-3, -1.754e-5},
    {25.0, 3.332, 0.839, -0.090, 5.606e-3, -1.319e-4},
    {30.0, 4.565, 1.234, -0.089, 4.275e-3, -9.159e-5},
    {35.0, 6.816, 2.019, -0.146, 7.651e-3, -1.683e-4},
    {40.0, 10.959, 1.783, 0.045, -5.425e-3, -1.153e-4},
    {45.0, 17.658, 3.309, 0.048, -6.443e-3, -1.299e-4},
}};

double nqh_of(const NqhRow& r, double x)
{
    x = std::clamp(x, 0.0, NQH_FITTED_DEPTH_RATIO);
    return r.a + x * (r.b + x * (r.c + x * (r.d + x * r.e)));
}

// The adhesion factor's fit (B.1) in the undrained shear strength c (kips
// per square foot) falls steeply past 4 ksf, to 0 at 4.95 ksf and below 0
// beyond, which would leave a stiff clay without axial restraint: a
// stronger clay takes the factor of ALPHA_FITTED_STRENGTH_KSF.
constexpr double KSF = 1000.0 / 144.0;   // psi

// A stiffness from a load and the displacement at which it is reached.
double stiffness(double load, double displacement)
{
    return load > 0.0 && displacement > 0.0 ? load / displacement : 0.0;
}

Vec3 unit(const Vec3& v)
{
    const double n = norm(v);
    return n > 0.0 ? scaled(v, 1.0 / n) : Vec3{};
}

}  // namespace

bool element_kind_may_be_buried(const Model& model, const Elem& e)
{
    // The core of a jacketed row (its legs and its arcs, of kind Bend) lies
    // inside the jacket, which the soil holds.
    if (e.is_jacket_core(model))
        return false;
    switch (e.kind) {
    case ET_PIPE:
    case ET_BEND:
    case ET_MITER:
    case ET_REDUCER:
    case ET_CUT_PIPE:
    case ET_VALVE:
    case ET_JACKETED_PIPE:
    case ET_JACKETED_BEND:
        return true;
    default:
        return false;
    }
}

namespace {

double elevation(const NodeRecord& n, bool z_vertical)
{
    return z_vertical ? n.z : n.y;
}

double elevation(const Vec3& p, bool z_vertical)
{
    return z_vertical ? p.z : p.y;
}

bool element_is_arc(int kind)
{
    return kind == ET_BEND || kind == ET_MITER || kind == ET_JACKETED_BEND;
}

}  // namespace

ElementPath element_path(const Model& m, int element)
{
    const Elem& e = m.elems[element];
    ElementPath path;
    path.start = node_position(m, e.node1);
    path.end = node_position(m, e.node2);
    if (!element_is_arc(e.kind) || !m.rows.valid(e.row) || !m.rows[e.row].element)
        return path;
    const ElementData& object = *m.rows[e.row].element;
    const float* c = nullptr;
    if (e.jacket) {
        if (const JacketGeometry* j = object.jacket_geometry())
            c = j->centre;
    } else if (const BendGeometry* g = object.bend_geometry()) {
        c = g->centre;
    }
    if (!c)
        return path;
    // An arc without a radius or an angle (which the model check refuses)
    // is taken as its chord.
    const Vec3 centre{c[0], c[1], c[2]};
    const Vec3 r1 = minus(path.start, centre);
    const double radius = norm(r1);
    const Vec3 u1 = unit(r1), u2 = unit(minus(path.end, centre));
    const double angle = std::acos(std::clamp(dot(u1, u2), -1.0, 1.0));
    const Vec3 t1 = unit(minus(u2, scaled(u1, std::cos(angle))));
    if (!(radius > 0.0) || !(angle > 0.0) || norm(t1) == 0.0)
        return path;
    path.arc = true;
    path.centre = centre;
    path.radius = radius;
    path.angle = angle;
    path.from_centre = u1;
    path.start_tangent = t1;
    return path;
}

double ElementPath::length() const
{
    return arc ? radius * angle : norm(minus(end, start));
}

Vec3 ElementPath::point(double f) const
{
    if (!arc)
        return plus(start, scaled(minus(end, start), f));
    const double phi = f * angle;
    return plus(centre, plus(scaled(from_centre, radius * std::cos(phi)), scaled(start_tangent, radius * std::sin(phi))));
}

Vec3 ElementPath::tangent(double f) const
{
    if (!arc)
        return unit(minus(end, start));
    const double phi = f * angle;
    return plus(scaled(from_centre, -std::sin(phi)), scaled(start_tangent, std::cos(phi)));
}

double soil_adhesion_factor(double cohesion_psi)
{
    // ALA (2001) B.1: alpha = 0.608 - 0.123 c - 0.274 / (c^2 + 1) + 0.695 / (c^3 + 1),
    // c in kips per square foot, held at the end of its range (above).
    const double c = std::min(cohesion_psi / KSF, ALPHA_FITTED_STRENGTH_KSF);
    return 0.608 - 0.123 * c - 0.274 / (c * c + 1.0) + 0.695 / (c * c * c + 1.0);
}

double lateral_cohesion_factor(double x)
{
    // ALA (2001) B.2: Nch = a + b x + c / (x + 1)^2 + d / (x + 1)^3 <= 9, with
    // a = 6.752, b = 0.065, c = -11.063, d = 7.119.
    const double x1 = x + 1.0;
    return std::min(9.0, 6.752 + 0.065 * x - 11.063 / (x1 * x1) + 7.119 / (x1 * x1 * x1));
}

double lateral_friction_factor(double phi, double x)
{
    // ALA (2001) B.2: Nqh of the coefficient table, 0 for phi = 0; between
    // the tabulated angles linear in phi, above 45 degrees that of 45;
    // beyond the fitted depth ratio that of its end (above).
    if (phi <= 0.0)
        return 0.0;
    if (phi < NQH.front().phi)
        return nqh_of(NQH.front(), x) * phi / NQH.front().phi;
    if (phi >= NQH.back().phi)
        return nqh_of(NQH.back(), x);
    for (std::size_t i = 0; i + 1 < NQH.size(); ++i) {
        const NqhRow& lo = NQH[i];
        const NqhRow& hi = NQH[i + 1];
        if (phi <= hi.phi) {
            const double t = (phi - lo.phi) / (hi.phi - lo.phi);
            return nqh_of(lo, x) + t * (nqh_of(hi, x) - nqh_of(lo, x));
        }
    }
    return nqh_of(NQH.back(), x);
}

double bearing_surcharge_factor(double phi)
{
    // ALA (2001) B.4: Nq = exp(pi tan phi) tan^2(45 + phi / 2).
    const double t = std::tan(radians(45.0 + phi / 2.0));
    return std::exp(PI * std::tan(radians(phi))) * t * t;
}

double bearing_cohesion_factor(double phi)
{
    // ALA (2001) B.4: Nc = cot(phi + 0.001) [exp(pi tan(phi + 0.001))
    // tan^2(45 + (phi + 0.001) / 2) - 1], degrees.
    const double p = phi + 0.001;
    const double t = std::tan(radians(45.0 + p / 2.0));
    return (std::exp(PI * std::tan(radians(p))) * t * t - 1.0) / std::tan(radians(p));
}

double bearing_weight_factor(double phi)
{
    // ALA (2001) B.4: Ngamma = exp(0.18 phi - 2.5), phi in degrees.
    return std::exp(0.18 * phi - 2.5);
}

SoilSpringValues soil_spring_values(const Soil& soil, double D, double H)
{
    SoilSpringValues v;
    if (!(D > 0.0) || !(H >= 0.0))
        return v;
    const bool cohesive = soil.type == SOIL_COHESIVE;
    const double gamma = soil.density;                    // lb/in3
    const double c = cohesive ? soil.strength : 0.0;      // psi
    // The friction angle delta is the soil's angle of friction and, with a
    // coating factor of 1, the angle of the pipe-soil interface.
    const double phi = cohesive ? 0.0 : soil.delta * 180.0 / PI;
    const double delta = cohesive ? 0.0 : soil.delta;
    const double k0 = cohesive ? 0.0 : soil.ks;
    const double x = H / D;

    // B.1 axial: Tu = pi D alpha c + pi D H gamma (1 + K0) / 2 tan(delta);
    // reached at 3 mm (dense sand) or 8 mm (stiff clay).
    v.axial_load = PI * D * soil_adhesion_factor(c) * c + PI * D * H * gamma * (1.0 + k0) / 2.0 * std::tan(delta);
    if (!cohesive)
        v.axial_load = PI * D * H * gamma * (1.0 + k0) / 2.0 * std::tan(delta);
    v.axial_stiffness = stiffness(v.axial_load, cohesive ? 8.0 * MM : 3.0 * MM);

    // B.2 lateral: Pu = Nch c D + Nqh gamma H D; reached at
    // 0.04 (H + D / 2), at most 0.10 D.
    v.transverse_load = lateral_cohesion_factor(x) * c * D + lateral_friction_factor(phi, x) * gamma * H * D;
    if (!cohesive)
        v.transverse_load = lateral_friction_factor(phi, x) * gamma * H * D;
    v.transverse_stiffness = stiffness(v.transverse_load, std::min(0.04 * (H + D / 2.0), 0.10 * D));

    // B.3 uplift: Qu = Ncv c D + Nqv gamma H D, Ncv = 2 H / D <= 10,
    // Nqv = phi H / (44 D) <= Nq; reached at 0.01 H, at most 0.1 D (dense
    // sand), or 0.1 H, at most 0.2 D (stiff clay).
    const double ncv = cohesive ? std::min(2.0 * x, 10.0) : 0.0;
    const double nqv = std::min(phi * x / 44.0, bearing_surcharge_factor(phi));
    v.up_load = ncv * c * D + (cohesive ? 0.0 : nqv * gamma * H * D);
    v.up_stiffness = stiffness(v.up_load, cohesive ? std::min(0.1 * H, 0.2 * D) : std::min(0.01 * H, 0.1 * D));

    // B.4 bearing: Qd = Nc c D + Nq gamma H D + Ngamma gamma D^2 / 2;
    // reached at 0.1 D (granular) or 0.2 D (cohesive soils).
    v.down_load = bearing_cohesion_factor(phi) * c * D + bearing_surcharge_factor(phi) * gamma * H * D +
                  bearing_weight_factor(phi) * gamma * D * D / 2.0;
    v.down_stiffness = stiffness(v.down_load, (cohesive ? 0.2 : 0.1) * D);
    return v;
}

bool element_is_buried(const Model& model, const NamedSet<PipeSection>& sections, const NamedSet<Soil>& soils,
                       bool z_vertical, int element)
{
    if (!model.elems.valid(element))
        return false;
    const Elem& e = model.elems[element];
    if (!element_kind_may_be_buried(model, e) || !sections.valid(e.section))
        return false;
    const int soil = soils.index(sections[e.section].soil);
    if (soil == 0 || !model.nodes.valid(e.node1) || !model.nodes.valid(e.node2))
        return false;
    const double ground = soils[soil].ground_level;
    return elevation(model.nodes[e.node1], z_vertical) <= ground &&
           elevation(model.nodes[e.node2], z_vertical) <= ground;
}

bool element_is_buried(const AnalysisModel& model, int element)
{
    return element_is_buried(model.model, model.pipe_sections, model.soils, model.options.z_vertical, element);
}

std::vector<BuriedElement> buried_elements(const Model& m, const NamedSet<PipeSection>& sections,
                                          const NamedSet<Soil>& soils, bool zv)
{
    std::vector<BuriedElement> out;
    for (int e = 1; e <= m.numelems(); ++e) {
        if (!element_is_buried(m, sections, soils, zv, e))
            continue;
        const Elem& el = m.elems[e];
        const PipeSection& section = sections[el.section];
        BuriedElement b;
        b.element = e;
        b.soil = soils.index(section.soil);
        const Soil& soil = soils[b.soil];
        const ElementPath path = element_path(m, e);
        b.length = path.length();
        double diameter = section.outside_diameter;
        if (soil.include_insulation && section.has_insulation())
            diameter += 2.0 * section.insulation_thickness;
        b.depth = soil.ground_level - elevation(path.point(0.5), zv);
        b.diameter = diameter;
        b.values = soil_spring_values(soil, diameter, b.depth);
        out.push_back(b);
    }
    return out;
}

std::vector<std::string> soil_factor_warnings(const AnalysisModel& model)
{
    const Model& m = model.written_model();
    struct Deep {
        int count = 0;
        double ratio = 0.0;   // the deepest H/D
        int element = 0;
    };
    std::map<int, Deep> deep;   // by soil
    std::set<int> strong;
    for (const BuriedElement& b : buried_elements(m, model.pipe_sections, model.soils, model.options.z_vertical)) {
        const Soil& soil = model.soils[b.soil];
        if (soil.type == SOIL_COHESIVE) {
            if (soil.strength / KSF > ALPHA_FITTED_STRENGTH_KSF)
                strong.insert(b.soil);
            continue;
        }
        const double ratio = b.depth / b.diameter;
        if (!(soil.delta > 0.0f) || !(ratio > NQH_FITTED_DEPTH_RATIO))
            continue;
        Deep& d = deep[b.soil];
        ++d.count;
        if (ratio > d.ratio) {
            d.ratio = ratio;
            d.element = b.element;
        }
    }
    std::vector<std::string> lines;
    for (const auto& [soil, d] : deep) {
        const Elem& e = m.elems[d.element];
        lines.push_back(c_format("Soil %s: %d buried element%s lie%s deeper than the transverse factor Nqh of the "
                                 "soil springs is fitted for (H/D up to %s; H/D %s from node %s to node %s): %s "
                                 "the factor of H/D %s",
                                 model.soils[soil].name.c_str(), d.count, d.count == 1 ? "" : "s",
                                 d.count == 1 ? "s" : "", format_g5(NQH_FITTED_DEPTH_RATIO).c_str(),
                                 format_g5(d.ratio).c_str(), node_text(m.nodes[e.node1].number).c_str(),
                                 node_text(m.nodes[e.node2].number).c_str(), d.count == 1 ? "it takes" : "they take",
                                 format_g5(NQH_FITTED_DEPTH_RATIO).c_str()));
    }
    for (int soil : strong)
        lines.push_back(c_format("Soil %s: its shear strength of %s lies beyond the range the axial adhesion factor "
                                 "alpha of the soil springs is fitted for (up to %s): its buried elements take the "
                                 "factor of %s",
                                 model.soils[soil].name.c_str(),
                                 value_text(STRESS, model.soils[soil].strength).c_str(),
                                 value_text(STRESS, ALPHA_FITTED_STRENGTH_KSF * KSF).c_str(),
                                 value_text(STRESS, ALPHA_FITTED_STRENGTH_KSF * KSF).c_str()));
    return lines;
}

std::vector<SoilRestraintRecord> soil_restraint_records(const AnalysisModel& model)
{
    std::vector<SoilRestraintRecord> records;
    for (const BuriedElement& b :
         buried_elements(model.written_model(), model.pipe_sections, model.soils, model.options.z_vertical)) {
        SoilRestraintRecord r;
        r.element = b.element;
        r.soil = b.soil;
        const SoilSpringValues& v = b.values;
        const double L = b.length;
        r.axial_stiffness = static_cast<float>(v.axial_stiffness * L);
        r.axial_load = static_cast<float>(v.axial_load * L);
        r.transverse_stiffness = static_cast<float>(v.transverse_stiffness * L);
        r.transverse_load = static_cast<float>(v.transverse_load * L);
        r.down_stiffness = static_cast<float>(v.down_stiffness * L);
        r.down_load = static_cast<float>(v.down_load * L);
        r.up_stiffness = static_cast<float>(v.up_stiffness * L);
        r.up_load = static_cast<float>(v.up_load * L);
        records.push_back(r);
    }
    return records;
}

SoilSprings::SoilSprings(const AnalysisModel& model)
{
    const Model& m = model.model;
    const Vec3 up = vertical_axis(model.options.z_vertical);
    for (const BuriedElement& b : buried_elements(m, model.pipe_sections, model.soils, model.options.z_vertical)) {
        const Elem& e = m.elems[b.element];
        const ElementPath path = element_path(m, b.element);
        const SoilSpringValues& v = b.values;
        const double half = b.length / 2.0;
        for (const std::pair<int, double>& end : {std::pair{e.node1, 0.0}, std::pair{e.node2, 1.0}}) {
            const int node = end.first;
            const double at = end.second;
            // The pipe's direction at the node (the arc's tangent on a
            // bend), the vertical across it and the horizontal across it.
            const Vec3 axis = path.tangent(at);
            const bool riser = norm(axis) == 0.0 || std::fabs(dot(up, axis)) > 0.999;
            std::vector<std::pair<Vec3, bool>> across;   // direction, vertical
            if (riser) {
                const Vec3 a = std::fabs(up.x) < 0.5 ? Vec3{1.0, 0.0, 0.0} : Vec3{0.0, 1.0, 0.0};
                const Vec3 h1 = unit(minus(a, scaled(up, dot(a, up))));
                across = {{h1, false}, {unit(cross(up, h1)), false}};
            } else {
                const Vec3 vertical = unit(minus(up, scaled(axis, dot(up, axis))));
                across = {{unit(cross(axis, vertical)), false}, {vertical, true}};
            }
            auto add = [&](const Vec3& d, double kp, double pp, double kn, double pn) {
                if (kp <= 0.0 && kn <= 0.0)
                    return;
                springs_.push_back({node, b.element, e.kind, d, kp * half, pp * half, kn * half, pn * half, -1});
            };
            if (norm(axis) > 0.0)
                add(axis, v.axial_stiffness, v.axial_load, v.axial_stiffness, v.axial_load);
            for (const auto& [d, is_vertical] : across) {
                if (is_vertical)
                    add(d, v.up_stiffness, v.up_load, v.down_stiffness, v.down_load);
                else
                    add(d, v.transverse_stiffness, v.transverse_load, v.transverse_stiffness, v.transverse_load);
            }
        }
    }
}

void SoilSprings::reset()
{
    for (Spring& s : springs_)
        s.state = -1;
}

int SoilSprings::state_of(const Spring& s, double motion)
{
    if (motion >= 0.0)
        return s.k_pos * motion <= s.p_pos ? 1 : 2;
    return s.k_neg * -motion <= s.p_neg ? -1 : -2;
}

void SoilSprings::assemble(AnalysisRun& run, bool with_loads) const
{
    for (const Spring& s : springs_) {
        double k = 0.0;
        double force = 0.0;   // on the node along d, besides -k s
        switch (s.state) {
        case 1: k = s.k_pos; break;
        case -1: k = s.k_neg; break;
        case 2:
            // -p_pos, then the small stiffness about the yield displacement.
            k = s.k_pos * YIELDED_STIFFNESS;
            force = -s.p_pos + k * (s.k_pos > 0.0 ? s.p_pos / s.k_pos : 0.0);
            break;
        default:
            k = s.k_neg * YIELDED_STIFFNESS;
            force = s.p_neg - k * (s.k_neg > 0.0 ? s.p_neg / s.k_neg : 0.0);
            break;
        }
        if (run.structure_pass()) {
            add_line_spring(run, s.node, 0, s.d, 1.0);
            continue;
        }
        if (k > 0.0 && run.stiffness_wanted())
            add_line_spring(run, s.node, 0, s.d, k);
        if (force != 0.0 && with_loads)
            add_line_load(run, s.node, 0, s.d, force);
    }
}

bool SoilSprings::update(AnalysisRun& run)
{
    bool settled = true;
    for (Spring& s : springs_) {
        const int state = state_of(s, relative_along(run, s.node, 0, s.d));
        if (state == s.state)
            continue;
        s.state = state;
        settled = false;
        check_convergence(run, 1.0, 0.0, s.kind, 0, s.node);
        count_unconverged(run);
    }
    return settled;
}

// ---- Division into segments -------------------------------------------------------

namespace {

constexpr int MAX_SEGMENTS = 200;
constexpr int MAX_ADDED_NODES = 50000;
// A segment is at most this part of the characteristic lengths.
constexpr double SEGMENT_PART = 0.2;
// An arc's segment turns by at most this angle (radian), so that the
// springs' directions, each along the arc's tangent at its point, follow
// the arc: a 90 degree bend takes its soil at seven points.
constexpr double MAX_SEGMENT_TURN = 15.0 * PI / 180.0;

// The number of segments of a buried element for the length over which
// its soil load changes: straight pipes and arcs; others keep their soil at
// their end nodes.
int soil_length_segments(const AnalysisModel& model, const BuriedElement& b)
{
    const Elem& e = model.model.elems[b.element];
    if (!model.pipe_materials.valid(e.material) || !model.pipe_sections.valid(e.section))
        return 1;
    const PipeSection& s = model.pipe_sections[e.section];
    const double modulus = material_modulus_at(model.pipe_materials[e.material], model.options.reference_temperature);
    const double ro = s.outside_diameter / 2.0, ri = std::max(0.0, ro - s.thickness);
    const double area = PI * (ro * ro - ri * ri);
    const double inertia = PI / 4.0 * (std::pow(ro, 4) - std::pow(ri, 4));
    if (!(modulus > 0.0) || !(area > 0.0) || !(inertia > 0.0))
        return 1;
    const SoilSpringValues& v = b.values;
    double shortest = 0.0;
    const double across = std::max({v.transverse_stiffness, v.down_stiffness, v.up_stiffness});
    if (across > 0.0)
        shortest = std::pow(4.0 * modulus * inertia / across, 0.25);
    if (v.axial_stiffness > 0.0) {
        const double axial = std::sqrt(modulus * area / v.axial_stiffness);
        shortest = shortest > 0.0 ? std::min(shortest, axial) : axial;
    }
    if (!(shortest > 0.0) || !std::isfinite(shortest))
        return 1;
    const double n = std::ceil(b.length / (SEGMENT_PART * shortest));
    return static_cast<int>(std::clamp(n, 1.0, static_cast<double>(MAX_SEGMENTS)));
}

// The number of segments of a buried element: straight pipes by the length
// of their soil, arcs by that and by their turn.
int segment_count(const AnalysisModel& model, const BuriedElement& b)
{
    const Elem& e = model.model.elems[b.element];
    if (element_is_arc(e.kind)) {
        const double turns = std::ceil(element_path(model.model, b.element).angle / MAX_SEGMENT_TURN - 1.0e-4);
        const int by_turn = static_cast<int>(std::clamp(turns, 1.0, static_cast<double>(MAX_SEGMENTS)));
        return std::max(soil_length_segments(model, b), by_turn);
    }
    return e.kind == ET_PIPE ? soil_length_segments(model, b) : 1;
}

}  // namespace

void divide_buried_elements(AnalysisModel& model)
{
    const std::vector<BuriedElement> buried =
        buried_elements(model.model, model.pipe_sections, model.soils, model.options.z_vertical);
    std::vector<std::pair<int, int>> divisions;   // element, segments
    int added = 0;
    for (const BuriedElement& b : buried) {
        const int n = segment_count(model, b);
        if (n > 1 && added + n - 1 <= MAX_ADDED_NODES) {
            divisions.emplace_back(b.element, n);
            added += n - 1;
        }
    }
    if (divisions.empty())
        return;
    auto written = std::make_shared<Model>(model.model);
    copy_built_geometry(model.model, *written);
    model.results_model = std::move(written);
    Model& m = model.model;
    const int elements = m.numelems();
    model.element_parts = OneBased<std::array<int, 2>>(elements);
    for (int e = 1; e <= elements; ++e)
        model.element_parts[e] = {e, e};
    for (const auto& [element, n] : divisions) {
        const Elem original = m.elems[element];
        // Copies: the node table grows below. The new nodes lie on the
        // element's path (on the arc of a bend, whose segments keep its
        // centre and radius).
        const NodeRecord a = m.nodes[original.node1];
        const ElementPath path = element_path(m, element);
        int previous = original.node1;
        int last = element;
        for (int k = 1; k <= n; ++k) {
            int next = original.node2;
            if (k < n) {
                NodeRecord node;
                node.row = a.row;
                node.kind = a.kind;
                const Vec3 p = path.point(static_cast<double>(k) / n);
                node.x = static_cast<float>(p.x);
                node.y = static_cast<float>(p.y);
                node.z = static_cast<float>(p.z);
                node.number = 0;
                m.nodes.push_back(node);
                next = m.numnodes();
            }
            Elem segment = original;
            segment.node1 = previous;
            segment.node2 = next;
            int index = element;
            if (k == 1) {
                m.elems[element] = segment;
            } else {
                m.elems.push_back(segment);
                index = m.numelems();
                m.nodes[previous].elements.push_back(index);
            }
            if (next != original.node2)
                m.nodes[next].elements.push_back(index);
            previous = next;
            last = index;
        }
        // The far node ends at the last segment now.
        for (int32_t& at : m.nodes[original.node2].elements)
            if (at == element)
                at = last;
        model.element_parts[element] = {element, last};
    }
}

CaseResults results_of_written_model(const AnalysisModel& model, CaseResults results)
{
    if (!model.results_model)
        return results;
    const Model& written = *model.results_model;
    results.displacements.resize(6 * static_cast<std::size_t>(written.numnodes()));
    std::vector<ElementVector> forces(static_cast<std::size_t>(written.numelems()));
    for (int e = 1; e <= written.numelems(); ++e) {
        const auto [first, last] = model.element_parts[e];
        ElementVector& f = forces[static_cast<std::size_t>(e - 1)];
        const ElementVector& a = results.forces[static_cast<std::size_t>(first - 1)];
        const ElementVector& b = results.forces[static_cast<std::size_t>(last - 1)];
        for (int i = 1; i <= 6; ++i) {
            f.f[i] = a.f[i];
            f.f[i + 6] = b.f[i + 6];
        }
    }
    results.forces = std::move(forces);
    return results;
}
