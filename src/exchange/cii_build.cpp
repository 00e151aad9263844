// The model build of a CAESAR II neutral file: units and options from the
// file, a row for each element (and a From row where a run starts), the
// pipe sections, materials and pipe loads found or added per element, the
// passes over the rows once all elements stand, and the items.
#include "exchange/cii_build.h"
#include "exchange/import_check.h"
#include "exchange/batch_import.h"
#include "exchange/cii_import.h"

#include "analysis/analysis_model.h"
#include "analysis_core/section_properties.h"
#include "elements/bellows.h"
#include "elements/bend.h"
#include "elements/elastic_element.h"
#include "elements/joints.h"
#include "elements/reducer.h"
#include "elements/rigid_element.h"
#include "elements/valve.h"
#include "exchange/import_rollback.h"
#include "exchange/row_objects.h"
#include "framework/errors.h"
#include "framework/geometry.h"
#include "framework/number_text.h"
#include "framework/text.h"
#include "framework/units.h"
#include "loads/hydrotest_load.h"
#include "loads/pipe_load.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/property_set_checks.h"
#include "model/element_data.h"
#include "model/load_cases.h"
#include "model/model.h"
#include "model/nodes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double DEGREES_PER_RADIAN = 180.0 / std::numbers::pi;
constexpr float DEFAULT_MILL_TOLERANCE = 12.5f;
// The ambient temperature of a file that gives none, degF.
constexpr float NO_AMBIENT = 70.0f;
// The material density that a file's 0 stands for, lb/in3.
constexpr double DENSITY_NOT_GIVEN = 0.001;
// The Poisson's ratio that a file's 0 stands for: a batch file's default.
constexpr double POISSON_NOT_GIVEN = 0.3;
// Hydrotest pressures this close (psi) share a hydrotest row.
constexpr double SAME_HYDROTEST_PRESSURE = 0.001;
// The digits below the first of a place's scale that places worked out
// from the file's numbers keep: more than a float or any file holds, far
// fewer than the residues of double arithmetic spoil.
constexpr double FILE_PRECISION_DIGITS = 10.0;
// Nodes closer than this (inch) make a joint of no length.
constexpr double SHORT_JOINT = 0.001;
// Materials are named by their index in base 4, which five characters hold up to this.
constexpr int MAX_CII_MATERIALS = 1023;
// A bend node this close (degree) to the angle 0 or to the whole bend angle
// is the bend's tangent point; files write angles to six digits.
constexpr double TANGENT_ANGLE_TOLERANCE = 0.01;
// The density of insulation that weighs nothing: the least that the section
// checks take as a density given, so that its thickness counts.
constexpr float WEIGHTLESS_INSULATION_DENSITY = static_cast<float>(2.0 * ENTERED_ZERO_LIMIT);

// ---- Units ----------------------------------------------------------------------------------

// A quantity shows in a unit other than the English one when its file factor
// lies within 0.0001 of that unit's factor, or within 0.01 % of it: files
// write their factors rounded (a newton as 4.448 or 4.44822 lb), and the
// listed factors of one quantity lie far further apart than that.
constexpr double SAME_FACTOR = 1.0e-4;
constexpr double SAME_FACTOR_SHARE = 1.0e-4;   // 0.01 %
struct UnitRule {
    UnitQuantity quantity;
    double value;
    int32_t choice;
};
const UnitRule UNIT_RULES[] = {
    {LENGTH, 25.4, 4},                     // mm
    {LENGTH, 0.0254, 3},                   // m
    {DIMENSION, 25.4, 1},                  // mm
    {FORCE, 0.45359237, 2},                // kg
    {FORCE, 4.4482216, 1},                 // N
    {WEIGHT, 0.4535924, 1},                // kg
    {MOMENT, 0.011521246, 3},              // kg-m
    {MOMENT, 0.112984829, 2},              // Nm
    {STRESS, 0.00070307, 3},               // kg/mm2
    {STRESS, 0.006894757, 1},              // MPa (N/mm2)
    {STRESS, 6.894757, 1},                 // kPa: shown in MPa
    {TEMPERATURE, 0.5555555555555556, 1},  // C
    {PRESSURE, 0.070307, 5},               // kg/cm2
    {PRESSURE, 0.0689476, 1},              // bar
    {PRESSURE, 6.894757, 2},               // kPa
    {PRESSURE, 0.006894757, 3},            // MPa
    {MODULUS, 0.00070307, 3},              // kg/mm2
    {MODULUS, 0.006894757, 1},             // MPa
    {MODULUS, 6.894757, 1},                // kPa: shown in MPa
    {DENSITY, 27679.9, 2},                 // kg/m3
    {WEIGHT_DENSITY, 27679.9, 1},          // kg/m3
    {STIFFNESS, 0.017857967, 2},           // kg/mm
    {STIFFNESS, 0.175126835, 1},           // N/mm
    {ROT_STIFFNESS, 0.011521246, 4},       // kg-m/deg
    {ROT_STIFFNESS, 0.112984829, 2},       // Nm/deg
};

// The factors of the UNITS section whose values show in a unit of the model:
// the quantity, and whether the factor chooses its unit (the wall thickness
// shows in the unit that the diameter, before it, chooses).
struct FileFactor {
    CiiValue CiiUnits::*factor;
    UnitQuantity quantity;
    const char* name;
    bool chooses;
};
const FileFactor FILE_FACTORS[] = {
    {&CiiUnits::length, LENGTH, "length", true},
    {&CiiUnits::force, FORCE, "force", true},
    {&CiiUnits::weight, WEIGHT, "weight", true},
    {&CiiUnits::moment, MOMENT, "moment", true},
    {&CiiUnits::stress, STRESS, "stress", true},
    {&CiiUnits::temperature, TEMPERATURE, "temperature", true},
    {&CiiUnits::pressure, PRESSURE, "pressure", true},
    {&CiiUnits::modulus, MODULUS, "modulus", true},
    {&CiiUnits::pipe_density, DENSITY, "pipe density", true},
    {&CiiUnits::insulation_density, WEIGHT_DENSITY, "insulation density", true},
    {&CiiUnits::stiffness, STIFFNESS, "stiffness", true},
    {&CiiUnits::rot_stiffness, ROT_STIFFNESS, "rotational stiffness", true},
    {&CiiUnits::diameter, DIMENSION, "diameter", true},
    {&CiiUnits::wall, DIMENSION, "wall thickness", false},
};

bool same_factor(double file, double unit)
{
    const double off = std::fabs(file - unit);
    return off <= SAME_FACTOR || off <= SAME_FACTOR_SHARE * unit;
}

// Chooses the unit of each quantity by its file factor; a factor that is
// neither the English unit's (1) nor a listed unit's is named in the note
// with the unit its values show in.
void select_units(const CiiUnits& u, ImportNotes& notes)
{
    reset_unit_choice();
    for (const FileFactor& f : FILE_FACTORS) {
        const CiiValue& v = u.*f.factor;
        bool known = same_factor(v.value, 1.0);
        for (const UnitRule& r : UNIT_RULES)
            if (r.quantity == f.quantity && same_factor(v.value, r.value)) {
                known = true;
                if (f.chooses)
                    unit_choice()[static_cast<std::size_t>(r.quantity)] = r.choice;
            }
        if (!known)
            notes.add(CII_UNKNOWN_FACTORS, c_format("%s %.10g (line %d) in %s", f.name, v.value, v.line,
                                                    unit_name(f.quantity, current_unit(f.quantity)).c_str()));
    }
}

// The options of MISCEL_1, by their names in the Analysis Options dialog.
struct FileOption {
    bool CiiStaging::*file;
    bool AnalysisOptions::*model;
    const char* name;
};
const FileOption FILE_OPTIONS[] = {
    {&CiiStaging::bourdon, &AnalysisOptions::bourdon_effect, "Include Bourdon effect"},
    {&CiiStaging::liberal, &AnalysisOptions::liberal_allowable, "Use liberal allowable stresses"},
    {&CiiStaging::pressure_correction, &AnalysisOptions::pressure_correction, "Use pressure correction for bends"},
};

// The name of material n: n written in base 4.
std::string base4(int n)
{
    std::string text;
    for (; n > 0; n /= 4)
        text.insert(text.begin(), static_cast<char>('0' + n % 4));
    return text;
}

bool near(double a, double b, double tolerance)
{
    return std::fabs(a - b) <= tolerance;
}

// ---- Find or add -------------------------------------------------------------------------------

struct LoadValues {
    std::array<float, 9> t{}, p{};
    float gravity = 0.0f;
};

int find_or_add_load(CiiBuild& b, const LoadValues& v, int line)
{
    for (int i = 1; i <= numloads(); ++i) {
        const PipeLoad& l = pipe_loads()[i];
        bool same = near(l.specific_gravity, v.gravity, 0.001);
        for (std::size_t k = 0; k < 9 && same; ++k)
            same = near(l.temperature[k + 1], v.t[k], 0.001) && near(l.pressure[k + 1], v.p[k], 0.001);
        if (same)
            return i;
    }
    if (numloads() >= MAXLOADS)
        b.fail(line, "Maximum number of loads exceeded");
    PipeLoad l;
    l.name = std::to_string(numloads() + 1);
    for (std::size_t k = 0; k < 9; ++k) {
        l.temperature[k + 1] = v.t[k];
        l.pressure[k + 1] = v.p[k];
    }
    // The file has no tenth set: it stands at the temperature of a set the
    // file leaves at 0, so that it makes no thermal load.
    l.temperature[10] = b.zero_temperature;
    l.pressure[10] = 0.0f;
    l.specific_gravity = v.gravity;
    l.added_weight = 0.0f;
    l.wind = 1;
    return pipe_loads().push_back(std::move(l));
}

int find_or_add_section(CiiBuild& b, const PipeSection& wanted, int line)
{
    for (int i = 1; i <= numsections(); ++i) {
        const PipeSection& s = pipe_sections()[i];
        if (near(s.outside_diameter, wanted.outside_diameter, 0.001) &&
            near(s.insulation_thickness, wanted.insulation_thickness, 0.001) &&
            near(s.insulation_density, wanted.insulation_density, 0.001) &&
            // Insulation that weighs nothing is no light insulation of the file.
            (s.insulation_density == WEIGHTLESS_INSULATION_DENSITY) ==
                (wanted.insulation_density == WEIGHTLESS_INSULATION_DENSITY) &&
            near(s.corrosion_allowance, wanted.corrosion_allowance, 0.001) &&
            near(s.thickness, wanted.thickness, 0.0001))
            return i;
    }
    if (numsections() >= MAXSECTIONS)
        b.fail(line, "Maximum number of pipe sections exceeded");
    PipeSection s = wanted;
    s.name = std::to_string(numsections() + 1);
    s.nominal_size = CII_NOMINAL_SIZE;
    if (const std::vector<std::string> problems = pipe_section_problems(s); !problems.empty())
        b.fail(line, problems.front());
    return pipe_sections().push_back(std::move(s));
}

// A material whose density the file leaves at 0 takes DENSITY_NOT_GIVEN,
// and one whose Poisson's ratio it leaves at 0 (writers do so for a
// material of their own library) takes POISSON_NOT_GIVEN, which the closing
// note says.
int find_or_add_material(CiiBuild& b, double number, double density, double nu, int line)
{
    const bool density_given = density != 0.0;
    if (!density_given)
        density = DENSITY_NOT_GIVEN;
    const bool nu_given = nu != 0.0;
    if (!nu_given)
        nu = POISSON_NOT_GIVEN;
    const std::string description = c_format("%lf", number);
    for (int i = 1; i <= nummats(); ++i) {
        const PipeMaterial& m = pipe_materials()[i];
        if (m.description == description && near(m.density, density, 0.001))
            return i;
    }
    if (nummats() >= MAX_CII_MATERIALS)
        b.fail(line, "Maximum number of materials exceeded");
    PipeMaterial m;
    m.name = base4(nummats() + 1);
    m.description = description.substr(0, MATERIAL_DESCRIPTION_LENGTH);
    m.nu = static_cast<float>(nu);
    m.density = static_cast<float>(density);
    m.joint_factor = m.circ_joint_factor = 1.0f;
    m.table.push_back({70.0f, 3.0e7f, 6.0e-6f, 20000.0f, 0.0f, 0.0f, 0.0f, 0.0f});
    m.table.push_back({1200.0f, 2.0e7f, 8.0e-6f, 1000.0f, 0.0f, 0.0f, 0.0f, 0.0f});
    if (const std::vector<std::string> problems = pipe_material_problems(m); !problems.empty())
        b.fail(line, problems.front());
    // The note names the material by its number as the file gives it.
    char number_text[NUMBER_TEXT_SIZE];
    const std::string named =
        m.name + " (" + std::string(number_text, write_general(number_text, number, 15, false)) + ")";
    b.notes.add(CII_DEFAULT_TABLES, named);
    std::string taken;
    if (!density_given)
        taken = "at " + format_density(DENSITY_NOT_GIVEN) + " " + unit_name(DENSITY, current_unit(DENSITY)) +
                ", so that its pipe weighs next to nothing";
    if (!nu_given)
        taken += (taken.empty() ? "" : ", and ") + c_format("with Poisson's ratio %g", POISSON_NOT_GIVEN);
    if (!taken.empty())
        b.notes.add(CII_MATERIAL_VALUES, named + " taken " + taken);
    return pipe_materials().push_back(std::move(m));
}

// ---- Bend nodes -----------------------------------------------------------------------------------

// The element that continues element i's bend: the first after it in the
// file that leaves the bend's node, else the first before it; 0 when none.
int bend_continuation(const CiiStaging& s, int i)
{
    const int corner = static_cast<int>(s.element[i].to);
    int before = 0;
    for (int j = 1; j <= s.elements; ++j) {
        const CiiElement& e = s.element[j];
        if (j == i || static_cast<int>(e.from) != corner || static_cast<int>(e.to) == 0)
            continue;
        if (j > i)
            return j;
        if (before == 0)
            before = j;
    }
    return before;
}

// The angle (degree) through which element i's bend turns: from its own
// offsets, which run to the bend's node, to those of the element `next` that
// continues it. Negative when there is no such element.
double file_bend_angle(const CiiStaging& s, int i, int next)
{
    if (next == 0)
        return -1.0;
    const CiiElement& e = s.element[i];
    const CiiElement& out = s.element[next];
    const double in_length = std::hypot(e.offset[0], e.offset[1], e.offset[2]);
    const double out_length = std::hypot(out.offset[0], out.offset[1], out.offset[2]);
    const double cosine = (e.offset[0] * out.offset[0] + e.offset[1] * out.offset[1] + e.offset[2] * out.offset[2]) /
                          (in_length * out_length);
    if (!(in_length > 0.0 && out_length > 0.0) || !std::isfinite(cosine))
        return -1.0;
    return std::acos(std::clamp(cosine, -1.0, 1.0)) * DEGREES_PER_RADIAN;
}

// The intermediate nodes of a bend stand at distinct points of its arc: two
// that come to one point (two negative angles, which both stand for the mid
// point, or the same angle twice) would make an element of no length, and
// are refused with the bend's line. `whole` is the bend angle, negative
// when not known.
void check_distinct_points(const CiiBuild& b, const CiiBend& d, double whole)
{
    if (d.node1 == d.node2)
        return;
    const bool mid = d.angle1 < 0.0 || d.angle2 < 0.0;
    if (!(d.angle1 < 0.0 && d.angle2 < 0.0)) {
        // A negative angle is at half the bend angle, which the bend's
        // continuation gives.
        if (mid && !(whole > 0.0))
            return;
        const auto at = [whole](double angle) { return angle < 0.0 ? 0.5 * whole : angle; };
        if (std::fabs(at(d.angle1) - at(d.angle2)) > TANGENT_ANGLE_TOLERANCE)
            return;
    }
    b.fail(d.line, c_format(mid ? "Bend node %d at %g degrees is the mid point again: bend node %d at %g degrees "
                                  "stands there"
                                : "Bend node %d at %g degrees stands where bend node %d at %g degrees does",
                            static_cast<int>(d.node2), d.angle2, static_cast<int>(d.node1), d.angle1) +
                       "; two nodes at one point of the arc would make an element of no length");
}

// The nodes of the file's bends, and the closing note of those taken as
// tangent points. Files give every bend a node at its mid point and one at
// the angle 0, where the arc begins; a node at the whole angle is where it
// ends.
void find_bend_points(CiiBuild& b)
{
    const CiiStaging& s = b.s;
    b.continuation.assign(static_cast<std::size_t>(s.elements) + 1, 0);
    for (int i = 1; i <= s.elements; ++i) {
        const CiiElement& e = s.element[i];
        // A bad index is refused with its element.
        if (e.bend < 1 || e.bend > s.bends || e.to < 1.0)
            continue;
        const CiiBend& d = s.bend[e.bend];
        const int corner = static_cast<int>(e.to);
        const int next = bend_continuation(s, i);
        b.continuation[static_cast<std::size_t>(i)] = next;
        b.bend_at_corner.emplace(corner, i);
        const double whole = file_bend_angle(s, i, next);
        const std::pair<double, double> points[2] = {{d.angle1, d.node1}, {d.angle2, d.node2}};
        int intermediate = 0;
        for (const auto& [angle, node] : points) {
            if (!(node >= 1.0 && node < MAX_NODE_NUMBER + 1.0))
                continue;
            const int n = static_cast<int>(node);
            int offset = 0;
            int at = n;
            if (std::fabs(angle) <= TANGENT_ANGLE_TOLERANCE) {
                offset = NEAR_TANGENT_OFFSET;
                at = n == static_cast<int>(e.from) ? n : corner + offset;
            } else if (whole > 0.0 && std::fabs(angle - whole) <= TANGENT_ANGLE_TOLERANCE) {
                offset = FAR_TANGENT_OFFSET;
                at = n == static_cast<int>(s.element[next].to) ? n : corner + offset;
            }
            intermediate += offset == 0 ? 1 : 0;
            if (!b.bend_points.emplace(n, CiiBendPoint{corner, i, offset, d.line, at}).second || offset == 0)
                continue;
            const char* which = offset == NEAR_TANGENT_OFFSET ? "near" : "far";
            b.notes.add(CII_TANGENT_POINTS,
                        at == n ? c_format("%d at %g degrees, the %s tangent point of the bend at %d (line %d)", n,
                                           angle, which, corner, d.line)
                                : c_format("%d at %g degrees as %s, the %s tangent point of the bend at %d (line %d)",
                                           n, angle, node_text(at).c_str(), which, corner, d.line));
        }
        if (intermediate == 2)
            check_distinct_points(b, d, whole);
    }
}

// ---- The element rows ----------------------------------------------------------------------------

// The row of an element with its type's object filled from the store. The
// rows follow the file, except that a bend's row is followed by the row of
// the element that continues it, which gives the bend its far tangent: an
// element that continues a bend later in the file waits for it. An element
// that ends at a bend's node, or leaves it without continuing the bend, joins
// the bend at its far tangent point, where the file's bend ends: it waits
// for the bend and its continuation, which lay that point out.
class ElementRows {
public:
    ElementRows(CiiBuild& b, CiiPlacement& placement)
        : b_(b), s_(b.s), placement_(placement), joined_(static_cast<std::size_t>(b.s.elements) + 1)
    {
    }

    void build()
    {
        const std::size_t count = static_cast<std::size_t>(s_.elements) + 1;
        made_.assign(count, false);
        waiting_.assign(count, {});
        std::vector<bool> waits(count);
        for (int i = 1; i <= s_.elements; ++i)
            if (const int next = b_.continuation[slot(i)]; next != 0 && next < i)
                waits[slot(next)] = true;
        for (int i = 1; i <= s_.elements; ++i)
            if (const int bend = corner_bend(i); bend != 0 && !waits[slot(i)]) {
                const int next = b_.continuation[slot(bend)];
                waiting_[slot(next != 0 ? next : bend)].push_back(i);
                waits[slot(i)] = true;
            }
        for (int i = 1; i <= s_.elements; ++i)
            if (!waits[slot(i)])
                make(i);
        // What waits on an element that waits itself, round.
        for (int i = 1; i <= s_.elements; ++i)
            make(i);
    }

private:
    CiiBuild& b_;
    const CiiStaging& s_;
    CiiPlacement& placement_;
    std::vector<bool> joined_;   // elements that a From row took
    std::vector<bool> made_;
    std::vector<std::vector<int>> waiting_;   // by element: the elements that wait for it

    static std::size_t slot(int i) { return static_cast<std::size_t>(i); }

    // Element `first`, then the element that continues its bend and the
    // elements that waited for it, and theirs in turn.
    void make(int first)
    {
        for (std::vector<int> todo{first}; !todo.empty();) {
            const int k = todo.back();
            todo.pop_back();
            if (k == 0 || made_[slot(k)])
                continue;
            made_[slot(k)] = true;
            element(k);
            todo.insert(todo.end(), waiting_[slot(k)].rbegin(), waiting_[slot(k)].rend());
            todo.push_back(b_.continuation[slot(k)]);
        }
    }

    // The bend's element whose node `corner` is, when element i joins the
    // bend there (ending at the node, or `leaving` it without continuing
    // the bend); 0 when none, or i is the bend's own element or its
    // continuation.
    int joined_bend(int corner, int i, bool leaving) const
    {
        const int bend = b_.bend_of_corner(corner);
        return bend != 0 && bend != i && !(leaving && b_.continuation[slot(bend)] == i) ? bend : 0;
    }

    // The bend's element at whose node element i ends, or which it leaves
    // without continuing it; 0 when none.
    int corner_bend(int i) const
    {
        const CiiElement& e = s_.element[i];
        if (const int bend = joined_bend(static_cast<int>(e.to), i, false))
            return bend;
        return joined_bend(static_cast<int>(e.from), i, true);
    }

    // The far tangent point of the bend at `corner` where element i joins
    // it (ending there, or leaving without continuing it): the node that
    // the bend's row laid out; 0 when i is the bend's own element or its
    // continuation, or the bend has no arc, and i then takes the node itself.
    int far_tangent_node(int corner, int i, bool leaving) const
    {
        if (joined_bend(corner, i, leaving) == 0)
            return 0;
        const int row = cii_bend_row(corner);
        const LayoutRow* r = row != 0 ? &model().rows[row] : nullptr;
        const BendGeometry* g = r && r->element ? r->element->bend_geometry() : nullptr;
        if (!g || !g->geometry_valid || !model().nodes.valid(g->far_node))
            return 0;
        return model().nodes[g->far_node].number;
    }

    float lf(double v, int line, const char* what, NeutralQuantity q = NeutralQuantity::Coordinate) const
    {
        return b_.convert(v, s_.units.length, q, line, what);
    }

    void check_index(int index, int count, int line, const char* what, const char* records) const
    {
        if (index < 0 || index > count)
            b_.fail(line, c_format("%s index %d is not one of the %d %s of the file", what, index, count, records));
    }

    void element(int i)
    {
        const CiiElement& e = s_.element[i];
        check_index(e.bend, s_.bends, e.index_line, "Bend", "bends");
        check_index(e.rigid, s_.rigids, e.index_line, "Rigid", "rigids");
        check_index(e.expansion_joint, s_.expansion_joints, e.index_line, "Expansion joint", "expansion joints");
        check_index(e.reducer, s_.reducers, e.reducer_line, "Reducer", "reducers");
        if (e.hydrotest != 0.0)
            add_hydrotest(b_.convert(e.hydrotest, s_.units.pressure, NeutralQuantity::Pressure, e.line6,
                                     "Hydrotest pressure"),
                          e.line6);
        if (joined_[static_cast<std::size_t>(i)])
            return;
        const int file_from = static_cast<int>(e.from);
        const int file_to = static_cast<int>(e.to);
        if (file_from == 0 && file_to == 0)
            return;
        // Ends at a bend's tangent point are that point's node, and ends at
        // a bend's node, which the bend's own element and its continuation
        // leave aside, its far tangent point.
        const int from_far = far_tangent_node(file_from, i, true);
        const int to_far = far_tangent_node(file_to, i, false);
        const int from = from_far != 0 ? from_far : b_.model_node(file_from);
        const int to = to_far != 0 ? to_far : b_.model_node(file_to);
        for (const auto& [node, far] : {std::pair{file_from, from_far}, std::pair{file_to, to_far}})
            if (far != 0)
                b_.notes.add(CII_TANGENT_POINTS,
                             c_format("%d as %s, the far tangent point of the bend at %d, for element %d-%d (line %d)",
                                      node, node_text(far).c_str(), node, file_from, file_to, e.line));
        check_bend_made(file_from, e, "starts");
        check_bend_made(file_to, e, "ends");
        const int load = this->load(e);
        const int section = this->section(e);
        const int material = this->material(e);

        std::array<float, 3> offset = b_.offsets(e);
        // A hydrotest row between two elements does not break their run.
        int last = numrows();
        while (last > 1 && model().rows[last].etype == ET_HYDROTEST_LOAD)
            --last;
        if (model().rows[last].node != from)
            from_row(i, from, to, offset, section, material, load, from_far != 0);
        if (from_far != 0 || to_far != 0)
            offset = offset_to_place(i, from, to, offset, from_far != 0, to_far != 0);
        to_row(i, to, offset, section, material, load);
    }

    // The offsets of a row from node `from`, which stands, to node `to`: to
    // where `to` stands, else where the connections put the element's to
    // node, else the element's offsets from its from node as the file places
    // it (a bend's node, where its far tangent point stands for it).
    // Worked out in double from the file's numbers, so that an offset the
    // numbers make 0 is 0.
    std::array<float, 3> offset_to_place(int i, int from, int to, const std::array<float, 3>& offset,
                                         bool from_far, bool to_far) const
    {
        const CiiElement& e = s_.element[i];
        const int start = node_index(from);
        if (start == 0)
            return offset;
        const int file_from = static_cast<int>(e.from), file_to = static_cast<int>(e.to);
        Vec3 end;
        if (const int index = node_index(to)) {
            end = place_of(to, index, to_far ? file_to : 0);
        } else if (const Vec3* placed = placement_.position(file_to)) {
            end = *placed;
        } else if (const int corner = node_index(file_from)) {
            end = plus(place_of(file_from, corner, 0), b_.offset_vector(e));
        } else {
            return offset;
        }
        const Vec3 d = b_.offset_between(place_of(from, start, from_far ? file_from : 0), end);
        return {static_cast<float>(d.x), static_cast<float>(d.y), static_cast<float>(d.z)};
    }

    // Where node n (at `index` of the node table) stands as the file's
    // numbers place it: the far tangent point of the bend at `corner` (0:
    // none) or the place the connections give n, where they give it; else
    // where the model has it.
    Vec3 place_of(int n, int index, int corner) const
    {
        if (corner != 0) {
            if (const std::optional<Vec3> far = placement_.far_tangent(b_.bend_of_corner(corner), corner))
                return *far;
        } else if (const Vec3* placed = placement_.position(n)) {
            return *placed;
        }
        return node_position(model(), index);
    }

    // A node of a bend stands once the bend's row is built: an element that
    // starts or ends there must come after the bend in the file.
    void check_bend_made(int n, const CiiElement& e, const char* which) const
    {
        const CiiBendPoint* p = b_.bend_point(n);
        if (!b_.made_by_bend(n) || cii_bend_row(p->corner) != 0)
            return;
        const CiiElement& bend = s_.element[p->element];
        b_.fail(e.line, c_format("Element %d-%d %s at node %d of the bend of element %d-%d (line %d), which must come "
                                 "before it in the file",
                                 static_cast<int>(e.from), static_cast<int>(e.to), which, n,
                                 static_cast<int>(bend.from), static_cast<int>(bend.to), bend.line));
    }

    void add_hydrotest(float pressure, int line)
    {
        for (const LayoutRow& r : model().rows)
            if (r.etype == ET_HYDROTEST_LOAD && r.element)
                if (const auto* h = dynamic_cast<const HydrotestLoad*>(r.element.get());
                    h && near(h->pressure, pressure, SAME_HYDROTEST_PRESSURE))
                    return;
        const int row = b_.append_row(line);
        LayoutRow& r = model().rows[row];
        r.etype = ET_HYDROTEST_LOAD;
        r.create_element_object();
        HydrotestLoad& h = row_element<HydrotestLoad>(row);
        h.specific_gravity = 1.0f;
        h.pressure = pressure;
        h.temperature = 0.0f;
        LayoutRow::make_nodes(row);
    }

    int load(const CiiElement& e)
    {
        LoadValues v;
        for (std::size_t k = 0; k < 9; ++k) {
            const int t_line = k < 3 ? e.line2 : e.line2 + 1;
            const int p_line = k < 6 ? e.pressure_line : e.line5;
            v.t[k] = b_.temperature(e.t[k], t_line);
            v.p[k] = e.p[k] == 0.0 ? 0.0f
                                   : b_.convert(e.p[k], s_.units.pressure, NeutralQuantity::Pressure, p_line, "Pressure");
        }
        // The specific gravity against the water the analysis weighs
        // contents with, so that the contents weigh what the file gives.
        v.gravity = b_.convert(e.fluid_density / WATER_DENSITY, s_.units.fluid_density, NeutralQuantity::Factor,
                               e.line6, "Fluid density");
        return find_or_add_load(b_, v, e.line);
    }

    int section(const CiiElement& e)
    {
        PipeSection s;
        s.outside_diameter = b_.convert(e.od, s_.units.diameter, NeutralQuantity::Dimension, e.line, "Outside diameter");
        s.thickness = b_.convert(e.wall, s_.units.wall, NeutralQuantity::Dimension, e.line2, "Wall thickness");
        s.insulation_thickness =
            b_.convert(e.insulation, s_.units.wall, NeutralQuantity::Dimension, e.line2, "Insulation thickness");
        s.insulation_density = b_.convert(e.insulation_density, s_.units.insulation_density,
                                          NeutralQuantity::Density, e.line6, "Insulation density");
        // Writers give every element the insulation density of the line:
        // without a thickness there is no insulation, and the density goes.
        if (s.insulation_density != 0.0f && !(s.insulation_thickness >= ENTERED_ZERO_LIMIT)) {
            b_.notes.add(CII_NOT_TAKEN,
                         c_format("insulation density without insulation thickness, element %d-%d (line %d)",
                                  static_cast<int>(e.from), static_cast<int>(e.to), e.line6));
            s.insulation_density = 0.0f;
        }
        // Writers that leave the density to their database give the
        // thickness alone: the insulation is kept for its size (wind, soil,
        // a jacket's clearance) and weighs nothing.
        const bool weightless = s.insulation_thickness >= ENTERED_ZERO_LIMIT &&
                                !(s.insulation_density >= ENTERED_ZERO_LIMIT);
        if (weightless)
            s.insulation_density = WEIGHTLESS_INSULATION_DENSITY;
        s.corrosion_allowance = lf(e.corrosion, e.line2, "Corrosion allowance", NeutralQuantity::Dimension);
        if (!neutral_value_in_range(NeutralQuantity::Factor, e.mill))
            b_.fail(e.line6, c_format("Mill tolerance is out of range :  %g", e.mill));
        s.mill_tolerance = e.mill != 0.0 ? static_cast<float>(e.mill) : DEFAULT_MILL_TOLERANCE;
        const int before = numsections();
        const int index = find_or_add_section(b_, s, e.line);
        if (weightless && index > before)
            b_.notes.add(CII_WEIGHTLESS_INSULATION,
                         c_format("section %s (element %d-%d, line %d)", pipe_sections()[index].name.c_str(),
                                  static_cast<int>(e.from), static_cast<int>(e.to), e.line6));
        return index;
    }

    int material(const CiiElement& e)
    {
        const float density = b_.convert(e.density, s_.units.pipe_density, NeutralQuantity::Density, e.line5,
                                         "Pipe density");
        if (!(e.nu > -1.0 && e.nu < 0.5))
            b_.fail(e.line5, c_format("Invalid Poisson's ratio :  %g", e.nu));
        const double number = e.material.value;
        // Material 0 is the first material (or a new one when there is none yet).
        if (number == 0.0 && nummats() > 0)
            return 1;
        return find_or_add_material(b_, number, density, e.nu, e.material.line ? e.material.line : e.line5);
    }

    void set_names(int row, int section, int material, int load)
    {
        LayoutRow& r = model().rows[row];
        r.section = pipe_sections()[section].name;
        r.material = pipe_materials()[material].name;
        r.load = pipe_loads()[load].name;
    }

    // The From row of element i at node `from`; at_far_tangent: the far
    // tangent point of the bend at the element's from node, which stands.
    void from_row(int i, int from, int to, std::array<float, 3>& offset, int section, int material, int load,
                  bool at_far_tangent)
    {
        const CiiElement& e = s_.element[i];
        // A run that starts at a node of a bend starts where the bend puts it.
        if (b_.made_by_bend(static_cast<int>(e.from))) {
            const int row = b_.append_row(e.line);
            LayoutRow& r = model().rows[row];
            r.node = from;
            r.etype = ET_FROM;
            r.create_element_object();
            LayoutRow::make_nodes(row);
            return;
        }
        const int row = b_.append_row(e.line);
        LayoutRow& r = model().rows[row];
        r.node = from;
        r.etype = ET_FROM;
        // Where the file's connections put it, from COORDS or the elements.
        const Vec3* placed = at_far_tangent ? nullptr : placement_.position(static_cast<int>(e.from));
        int joined = 0;
        if (node_index(from) == 0) {
            if (placed) {
                r.dx = static_cast<float>(placed->x);
                r.dy = static_cast<float>(placed->y);
                r.dz = static_cast<float>(placed->z);
            } else if (const int to_index = node_index(to)) {
                // Placed back from the element's other end.
                const Vec3 p = b_.offset_between(b_.offset_vector(e), place_of(to, to_index, 0));
                r.dx = static_cast<float>(p.x);
                r.dy = static_cast<float>(p.y);
                r.dz = static_cast<float>(p.z);
                offset = {};
            } else {
                joined = join_dangling_from_node(row, from);
            }
        }
        if (r.etype != ET_FROM)
            set_names(row, section, material, load);
        r.create_element_object();
        if (joined != 0)
            fill_joined(row, joined);
        if (r.etype == ET_FROM && node_index(from) != 0) {
            // A run that starts again at a node that stands: its coordinates,
            // as the file's numbers place it where that is where it stands.
            const Vec3 at = node_position(model(), node_index(from));
            const Vec3 exact = place_of(from, node_index(from), at_far_tangent ? static_cast<int>(e.from) : 0);
            const Vec3 p = norm(minus(exact, at)) <= CII_LOOP_GAP ? exact : at;
            r.dx = static_cast<float>(p.x);
            r.dy = static_cast<float>(p.y);
            r.dz = static_cast<float>(p.z);
        }
        LayoutRow::make_nodes(row);
        // Elements that no connection places stand from where the first of
        // their rows puts them, and the others they connect to from there.
        if (!placed && !at_far_tangent && node_index(from) != 0)
            placement_.place_connected(static_cast<int>(e.from), node_position(model(), node_index(from)));
    }

    // A from node that no connection places, on no coordinate and whose
    // element's other end is not known either: an element of the file that
    // ends at it and is a rigid or an expansion joint makes its row, from the
    // last row's node; other elements that end there keep their own rows.
    // Without such an element the row starts a run where the row before
    // ends, tied to nothing.
    int join_dangling_from_node(int row, int from)
    {
        LayoutRow& r = model().rows[row];
        for (int j = 1; j <= s_.elements; ++j) {
            const CiiElement& e = s_.element[j];
            if (joined_[static_cast<std::size_t>(j)] || static_cast<int>(e.to) != from ||
                (e.rigid == 0 && e.expansion_joint == 0))
                continue;
            joined_[static_cast<std::size_t>(j)] = true;
            r.etype = e.rigid != 0 ? ET_RIGID : ET_ELASTIC;
            const std::array<float, 3> d = b_.offsets(e);
            r.dx = d[0], r.dy = d[1], r.dz = d[2];
            return j;
        }
        if (const int previous = LayoutRow::previous_element_row(row);
            previous != 0 && model().rows[previous].node_index != 0) {
            const Vec3 p = node_position(model(), model().rows[previous].node_index);
            r.dx = static_cast<float>(p.x);
            r.dy = static_cast<float>(p.y);
            r.dz = static_cast<float>(p.z);
        }
        return 0;
    }

    void fill_joined(int row, int j)
    {
        const CiiElement& e = s_.element[j];
        if (model().rows[row].etype == ET_RIGID)
            set_rigid(row, s_.rigid[e.rigid]);
        else
            set_elastic(row, s_.expansion_joint[e.expansion_joint]);
    }

    void to_row(int i, int to, const std::array<float, 3>& offset, int section, int material, int load)
    {
        const CiiElement& e = s_.element[i];
        const int row = b_.append_row(e.line);
        LayoutRow& r = model().rows[row];
        r.node = to;
        r.etype = e.bend != 0                                           ? ET_BEND
                  : e.rigid != 0                                        ? ET_RIGID
                  : e.expansion_joint != 0
                      ? (s_.expansion_joint[e.expansion_joint].diameter != 0.0 ? ET_BELLOWS : ET_ELASTIC)
                  : e.reducer != 0                                      ? ET_REDUCER
                                                                        : ET_PIPE;
        r.dx = offset[0];
        r.dy = offset[1];
        r.dz = offset[2];
        set_names(row, section, material, load);
        r.create_element_object();
        switch (r.etype) {
        case ET_BEND: set_bend(row, i, s_.bend[e.bend]); break;
        case ET_RIGID: set_rigid(row, s_.rigid[e.rigid]); break;
        case ET_BELLOWS: set_bellows(row, s_.expansion_joint[e.expansion_joint]); break;
        case ET_ELASTIC: set_elastic(row, s_.expansion_joint[e.expansion_joint]); break;
        case ET_REDUCER: set_reducer(row, section, s_.reducer[e.reducer]); break;
        default: break;
        }
        LayoutRow::make_nodes(row);
        // A bend followed by its continuation lays out its arc now, so that
        // the rows after it find its tangent points and intermediate nodes
        // where the model will have them.
        if (const int previous = LayoutRow::previous_element_row(row);
            previous != 0 && etype_is_bend(model().rows[previous].etype))
            make_bend_nodes(previous);
    }

    // The bend of element i. Its nodes at the angle 0 and at the whole bend
    // angle are its tangent points, which the model build makes: only the
    // nodes between them are intermediate nodes.
    void set_bend(int row, int i, const CiiBend& d)
    {
        Bend& bend = row_element<Bend>(row);
        BendGeometry& g = bend.geometry;
        const float radius = lf(d.radius, d.line, "Bend radius", NeutralQuantity::Dimension);
        // A radius of 0 leaves the bend the long radius of its section.
        g.radius_kind = radius > 0.0f ? RADIUS_USER : RADIUS_LONG;
        g.radius = radius;
        const std::pair<double, double> points[2] = {{d.angle1, d.node1}, {d.angle2, d.node2}};
        int kept = 0;
        for (const auto& [angle, node] : points) {
            if (node == 0.0)
                continue;
            if (!(node >= 1.0 && node < MAX_NODE_NUMBER + 1.0))
                b_.fail(d.line, c_format("Bend node number must lie between 1 and %d :  %g", MAX_NODE_NUMBER, node));
            const float radians = b_.convert(angle, DEGREES_PER_RADIAN, NeutralQuantity::Angle, d.line, "Bend angle");
            const CiiBendPoint* p = b_.bend_point(static_cast<int>(node));
            if (p && p->element == i && p->offset != 0)
                continue;
            (kept == 0 ? g.node1 : g.node2) = static_cast<int32_t>(node);
            (kept == 0 ? g.angle1 : g.angle2) = radians;
            ++kept;
        }
        if (d.fitting_thickness != 0.0)
            g.thickness = lf(d.fitting_thickness, d.thickness_line, "Fitting thickness", NeutralQuantity::Dimension);
        bend.ff_in = bend.ff_out = -1.0f;
    }

    void set_rigid(int row, const CiiRigid& d)
    {
        RigidElement& rigid = row_element<RigidElement>(row);
        rigid.weight = b_.convert(d.weight, s_.units.force, NeutralQuantity::Weight, d.line, "Rigid weight");
        rigid.add_cil = 0;
    }

    float stiffness(double v, int line, const char* what) const
    {
        return b_.convert(v, s_.units.stiffness, NeutralQuantity::Stiffness, line, what);
    }

    void set_bellows(int row, const CiiExpansionJoint& j)
    {
        Bellows& bellows = row_element<Bellows>(row);
        bellows.axial_stiffness = stiffness(j.axial, j.line, "Axial stiffness");
        bellows.lateral_stiffness = stiffness(j.transverse, j.line, "Transverse stiffness");
        bellows.bending_stiffness = b_.rot_stiffness(j.bending, j.line, "Bending stiffness");
        bellows.torsional_stiffness = b_.rot_stiffness(j.torsional, j.line, "Torsional stiffness");
        const double d =
            b_.convert(j.diameter, s_.units.diameter, NeutralQuantity::Dimension, j.line, "Effective diameter");
        bellows.thrust_area = static_cast<float>(std::numbers::pi * d * d / 4.0);
    }

    // The joint's axial stiffness acts along the element, its transverse
    // ones across it.
    void set_elastic(int row, const CiiExpansionJoint& j)
    {
        ElasticElement& elastic = row_element<ElasticElement>(row);
        elastic.kx = stiffness(j.axial, j.line, "Axial stiffness");
        elastic.ky = elastic.kz = stiffness(j.transverse, j.line, "Transverse stiffness");
        elastic.kxx = b_.rot_stiffness(j.torsional, j.line, "Torsional stiffness");
        elastic.kyy = elastic.kzz = b_.rot_stiffness(j.bending, j.line, "Bending stiffness");
        const LayoutRow& r = model().rows[row];
        double x[3] = {r.dx, r.dy, r.dz};
        if (!(std::hypot(x[0], x[1], x[2]) > 0.0))
            x[0] = 1.0, x[1] = x[2] = 0.0;
        normalize3(x[0], x[1], x[2]);
        // Local y: the global Y, or X for an element along Y, made square to x.
        double y[3] = {0.0, 1.0, 0.0};
        if (std::fabs(x[1]) > 0.99)
            y[0] = 1.0, y[1] = 0.0;
        const double along = x[0] * y[0] + x[1] * y[1] + x[2] * y[2];
        for (int k = 0; k < 3; ++k)
            y[k] -= along * x[k];
        normalize3(y[0], y[1], y[2]);
        for (int k = 0; k < 3; ++k) {
            elastic.x_axis[k] = static_cast<float>(x[k]);
            elastic.y_axis[k] = static_cast<float>(y[k]);
        }
    }

    void set_reducer(int row, int section, const CiiReducer& d)
    {
        Reducer& reducer = row_element<Reducer>(row);
        reducer.od1 = pipe_sections()[section].outside_diameter;
        reducer.thickness1 = pipe_sections()[section].thickness;
        reducer.od2 = b_.convert(d.diameter, s_.units.diameter, NeutralQuantity::Dimension, d.line, "Reducer diameter");
        reducer.thickness2 = lf(d.wall, d.line, "Reducer wall thickness", NeutralQuantity::Dimension);
        reducer.cone_angle = 0.0f;
        reducer.knuckles = 0;
        reducer.delta = 0.0f;
    }
};

// ---- Passes over the rows ------------------------------------------------------------------------------

// A reducer whose file gives no second diameter ends in the section of the
// next element (its own when it is the last).
void fill_reducer_ends(CiiBuild& b)
{
    for (int row = 1; row <= numrows(); ++row) {
        LayoutRow& r = model().rows[row];
        if (r.etype != ET_REDUCER)
            continue;
        Reducer& reducer = row_element<Reducer>(row);
        if (reducer.od2 != 0.0f)
            continue;
        int next = row + 1;
        while (next <= numrows() && !etype_is_element(model().rows[next].etype))
            ++next;
        const std::string& name = next <= numrows() ? model().rows[next].section : r.section;
        if (const int s = section_index(name)) {
            reducer.od2 = pipe_sections()[s].outside_diameter;
            reducer.thickness2 = pipe_sections()[s].thickness;
        }
        if (reducer.od2 == 0.0f)
            b.fail(b.row_line(row), "The reducer has no second diameter");
    }
}

// Bellows and elastic elements of no length are ball joints free to turn.
void short_joints_to_ball_joints()
{
    for (int row = 1; row <= numrows(); ++row) {
        const LayoutRow& r = model().rows[row];
        if ((r.etype != ET_BELLOWS && r.etype != ET_ELASTIC) || r.from_node == 0 || r.node_index == 0 ||
            node_distance(r.from_node, r.node_index) >= SHORT_JOINT)
            continue;
        LayoutRow::change_etype(row, ET_BALL_JOINT);
        BallJoint& ball = row_element<BallJoint>(row);
        ball.bending_stiffness = ball.torsional_stiffness = 0.0f;
    }
}

// A rigid element longer than its pipe is wide is a valve.
void long_rigids_to_valves()
{
    for (int row = 1; row <= numrows(); ++row) {
        const LayoutRow& r = model().rows[row];
        const int s = section_index(r.section);
        if (r.etype != ET_RIGID || s == 0 || r.from_node == 0 || r.node_index == 0 ||
            !(pipe_sections()[s].outside_diameter < node_distance(r.from_node, r.node_index)))
            continue;
        const float weight = row_element<RigidElement>(row).weight;
        LayoutRow::change_etype(row, ET_VALVE);
        Valve& valve = row_element<Valve>(row);
        valve.weight = weight;
        valve.length = 0.0f;
        valve.thickness_multiplier = 10.0f;
        valve.insulation_multiplier = 1.75f;
    }
}

// The contents of a rigid element add to its weight: SG x (pi/4) d^2 L x
// the water's weight density, with d the bore of its section.
void add_rigid_fluid_weight()
{
    for (int row = 1; row <= numrows(); ++row) {
        const LayoutRow& r = model().rows[row];
        const int s = section_index(r.section);
        const int l = load_index(r.load);
        if (r.etype != ET_RIGID || s == 0 || l == 0 || r.from_node == 0 || r.node_index == 0)
            continue;
        const PipeSection& section = pipe_sections()[s];
        const double d = section.outside_diameter - 2.0 * section.thickness;
        const double length = node_distance(r.from_node, r.node_index);
        row_element<RigidElement>(row).weight += static_cast<float>(
            pipe_loads()[l].specific_gravity * std::numbers::pi / 4.0 * d * d * length * WATER_DENSITY);
    }
}

// After the build: a negative intermediate angle of a bend (files write
// -2.0202 for the mid point) is half its angle; the intermediate nodes are
// kept in the order of their angles.
void settle_intermediate_nodes()
{
    for (LayoutRow& r : model().rows) {
        if (!etype_is_bend(r.etype) || !r.element)
            continue;
        BendGeometry* g = r.element->bend_geometry();
        if (!g)
            continue;
        if (g->node1 != 0 && g->angle1 < 0.0f)
            g->angle1 = 0.5f * g->bend_angle;
        if (g->node2 != 0 && g->angle2 < 0.0f)
            g->angle2 = 0.5f * g->bend_angle;
        order_intermediate_nodes(g->node1, g->angle1, g->node2, g->angle2);
    }
}

// Where a bend has no straight part before its arc (or after it), its near
// (far) tangent point is the node that ends the part before (begins the
// part after), and the build makes no node of the tangent point's number:
// what stands at that number stands at that node. A bend without an arc (at
// the end of a line, say, where nothing continues it) has no tangent points:
// what stands at them stands at its node, which is then a node of the pipe
// (the closing note names a near tangent point so moved). A row is
// renumbered only where that node stands before it (a Location row before
// the row that makes its node would make it elsewhere); else it names a node
// that is none, which the import refuses. True when a row changed.
bool settle_tangent_rows(CiiBuild& b)
{
    Model& m = model();
    bool changed = false;
    for (int bend_row = 1; bend_row <= m.numrows(); ++bend_row) {
        const LayoutRow& bend = m.rows[bend_row];
        const BendGeometry* g = etype_is_bend(bend.etype) && bend.element ? bend.element->bend_geometry() : nullptr;
        if (!g)
            continue;
        const bool arc = g->geometry_valid != 0;
        const std::pair<int, int> points[2] = {{bend.node + NEAR_TANGENT_OFFSET, arc ? bend.end_node : bend.node_index},
                                               {bend.node + FAR_TANGENT_OFFSET, arc ? g->far_node : bend.node_index}};
        for (const auto& [number, index] : points) {
            if (node_index(number) != 0 || !m.nodes.valid(index))
                continue;
            const int at = m.nodes[index].number;
            bool renumbered = false;
            for (int row = (arc ? m.nodes[index].row : bend_row) + 1; row <= m.numrows(); ++row) {
                LayoutRow& r = m.rows[row];
                if (r.node == number) {
                    r.node = at;
                    renumbered = true;
                }
                if (r.data)
                    r.data->renumber_node(number, at);
            }
            // What the file puts at the bend's node stands there as the file
            // says; a near tangent point, which the file gives as a node at
            // the angle 0, moves.
            if (renumbered && !arc && number == bend.node + NEAR_TANGENT_OFFSET)
                b.notes.add(CII_TAKEN_AS, c_format("%s, the near tangent point of the bend at %d, which has no arc, "
                                                   "as its node %d",
                                                   node_text(number).c_str(), bend.node, bend.node));
            changed = changed || renumbered;
        }
    }
    return changed;
}

// A run that starts at a node a bend makes holds that node's coordinates,
// as a From row does where it starts at a node that stands.
void place_from_rows_on_bends()
{
    const Model& m = model();
    for (LayoutRow& r : model().rows) {
        if (r.etype != ET_FROM || !m.nodes.valid(r.node_index))
            continue;
        const NodeRecord& n = m.nodes[r.node_index];
        if (!m.rows.valid(n.row) || !etype_is_bend(m.rows[n.row].etype) || m.rows[n.row].node == n.number)
            continue;
        r.dx = n.x;
        r.dy = n.y;
        r.dz = n.z;
    }
}

// The intermediate nodes of every bend lie on its arc, between its tangent
// points; one the file gives at or beyond the bend's angle is refused with
// the bend's line, as the model check would refuse it.
void check_intermediate_nodes(const CiiBuild& b)
{
    for (int row = 1; row <= numrows(); ++row) {
        const LayoutRow& r = model().rows[row];
        const BendGeometry* g = etype_is_bend(r.etype) && r.element ? r.element->bend_geometry() : nullptr;
        if (!g || !g->geometry_valid)
            continue;
        const std::pair<int32_t, float> nodes[2] = {{g->node1, g->angle1}, {g->node2, g->angle2}};
        for (const auto& [number, angle] : nodes)
            if (number != 0 && !(angle > 0.0f && angle < g->bend_angle))
                b.fail(b.row_line(row), c_format("Bend node %d at %.4g degrees lies at or beyond the bend angle of "
                                                 "%.4g degrees",
                                                 number, angle * DEGREES_PER_RADIAN,
                                                 g->bend_angle * DEGREES_PER_RADIAN));
    }
}

// Every row's node must stand once the model is built: an item placed at a
// band node that no bend makes names its record.
void check_rows_built(const CiiBuild& b)
{
    for (int row = 1; row <= numrows(); ++row) {
        const LayoutRow& r = model().rows[row];
        if (r.node != 0 && r.node_index == 0)
            b.fail(b.row_line(row), c_format("Node %s is not a node of the model", node_text(r.node).c_str()));
    }
    if (const ImportRefusal refusal = imported_model_refusal(); !refusal.message.empty())
        b.fail(refusal.row != 0 ? b.row_line(refusal.row) : 0, refusal.message);
}

// True when a row of the layout is more than the title.
bool holds_layout_row()
{
    for (int row = 1; row <= numrows(); ++row)
        if (model().rows[row].etype != ET_COMMENT)
            return true;
    return false;
}

// The file selects the modal analysis; it joins the default load cases.
void select_modal_analysis()
{
    LoadCaseList cases = analysis_load_cases();
    if (!cases.contains(LC_MODAL))
        cases.add(LC_MODAL);
    load_case_list() = cases;
}

}  // namespace

// ---- CiiBuild -------------------------------------------------------------------------------------------

int CiiBuild::bend_of_corner(int n) const
{
    const auto found = bend_at_corner.find(n);
    return found == bend_at_corner.end() ? 0 : found->second;
}

const CiiBendPoint* CiiBuild::bend_point(int n) const
{
    const auto found = bend_points.find(n);
    return found == bend_points.end() ? nullptr : &found->second;
}

int CiiBuild::model_node(int n) const
{
    const CiiBendPoint* p = bend_point(n);
    return p ? p->node : n;
}

bool CiiBuild::made_by_bend(int n) const
{
    const CiiBendPoint* p = bend_point(n);
    return p && (p->offset == 0 || p->node != n);
}

int cii_bend_row(int corner)
{
    for (int row = 1; row <= numrows(); ++row)
        if (model().rows[row].node == corner && etype_is_bend(model().rows[row].etype))
            return row;
    return 0;
}

void CiiBuild::fail(int line, const std::string& message) const
{
    if (line <= 0 || line > lines_.count())
        throw MessageText(message);
    throw MessageText(cii_error_text(line, lines_.text(line), message));
}

std::string CiiBuild::here(int line) const
{
    return c_format("line %d", line);
}

double CiiBuild::exact(double value, double factor, NeutralQuantity q, int line, const char* what) const
{
    const double v = value / factor;
    if (!neutral_value_in_range(q, v))
        fail(line, c_format("%s is out of range :  %g", what, value));
    return v;
}

float CiiBuild::convert(double value, double factor, NeutralQuantity q, int line, const char* what) const
{
    return static_cast<float>(exact(value, factor, q, line, what));
}

float CiiBuild::convert(double value, const CiiValue& factor, NeutralQuantity q, int line, const char* what) const
{
    return convert(value, factor.value, q, line, what);
}

std::array<float, 3> CiiBuild::offsets(const CiiElement& e) const
{
    const Vec3 v = offset_vector(e);
    return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

Vec3 CiiBuild::offset_vector(const CiiElement& e) const
{
    std::array<double, 3> d{};
    for (std::size_t k = 0; k < 3; ++k)
        d[k] = exact(e.offset[k], s.units.length.value, NeutralQuantity::Coordinate, e.line, "DX, DY, DZ");
    return {d[0], d[1], d[2]};
}

double largest_component(const Vec3& a, const Vec3& b)
{
    return std::max({std::fabs(a.x), std::fabs(a.y), std::fabs(a.z), std::fabs(b.x), std::fabs(b.y), std::fabs(b.z)});
}

Vec3 CiiBuild::offset_between(const Vec3& a, const Vec3& b) const
{
    return to_file_precision(minus(b, a), largest_component(a, b));
}

Vec3 CiiBuild::to_file_precision(const Vec3& v, double scale) const
{
    const double lf = s.units.length.value;
    const double in_file = std::fabs(scale * lf);
    if (!(in_file > 0.0) || !std::isfinite(in_file))
        return v;
    const double step = std::pow(10.0, std::floor(std::log10(in_file)) - FILE_PRECISION_DIGITS);
    const auto round = [&](double c) { return std::round(c * lf / step) * step / lf; };
    return {round(v.x), round(v.y), round(v.z)};
}

float CiiBuild::rot_stiffness(double value, int line, const char* what) const
{
    return convert(value * DEGREES_PER_RADIAN, s.units.rot_stiffness, NeutralQuantity::Stiffness, line, what);
}

float CiiBuild::temperature(double value, int line) const
{
    if (value == 0.0)
        return zero_temperature;
    const double t = (value - s.units.temperature_offset.value) / s.units.temperature.value;
    if (!neutral_value_in_range(NeutralQuantity::Temperature, t))
        fail(line, c_format("Temperature is out of range :  %g", value));
    return static_cast<float>(t);
}

int CiiBuild::append_row(int line)
{
    if (numrows() >= MAXROWS)
        throw MessageText("Maximum number of elements exceeded");
    const int row = append_layout_row();
    row_lines_.resize(static_cast<std::size_t>(row) + 1);
    row_lines_[static_cast<std::size_t>(row)] = line;
    return row;
}

int CiiBuild::insert_row_after(int row, int line)
{
    if (numrows() >= MAXROWS)
        throw MessageText("Maximum number of elements exceeded");
    const int inserted = insert_layout_row(row + 1);
    row_lines_.insert(row_lines_.begin() + inserted, line);
    return inserted;
}

void build_cii_model(const CiiStaging& s, const NeutralLines& lines, ImportNotes& notes)
{
    CiiBuild b(s, lines, notes);
    AnalysisOptions& o = analysis_options();
    o.z_vertical = s.z_vertical;
    numtloads() = 10;
    select_units(s.units, notes);
    // The file only turns these options on; one it turns off that the model
    // keeps on is named, with where it is turned off.
    for (const FileOption& option : FILE_OPTIONS) {
        if (s.*option.file)
            o.*option.model = true;
        else if (o.*option.model)
            notes.add(CII_OPTIONS_KEPT, option.name);
    }
    // The ambient temperature (70 degF when the file gives none) is the
    // installation's: the reference of the thermal strains, the model's
    // default temperature, and that of every set the file leaves at 0, so
    // that no set carries a thermal load the file does not give.
    const float ambient = s.ambient.value != 0.0 ? b.temperature(s.ambient.value, s.ambient.line) : NO_AMBIENT;
    o.reference_temperature = o.default_temperature = ambient;
    b.zero_temperature = ambient;
    for (const CiiStaging::Skipped& k : s.skipped)
        notes.add(CII_SKIPPED, c_format("%d %s", k.count, k.count == 1 ? k.one : k.many));
    for (const int line : s.short_lines)
        notes.add(CII_SHORT_LINES, c_format("line %d", line));

    const int title_row = b.append_row(0);
    model().rows[title_row].etype = ET_COMMENT;
    model().rows[title_row].create_element_object();
    LayoutRow::set_comment_text(title_row, "Title = " + s.title);
    LayoutRow::make_nodes(title_row);

    find_bend_points(b);
    CiiPlacement placement(b);
    ElementRows(b, placement).build();
    fill_reducer_ends(b);
    short_joints_to_ball_joints();
    long_rigids_to_valves();
    add_rigid_fluid_weight();
    add_cii_items(b);

    make_model();
    settle_intermediate_nodes();
    make_model();
    if (settle_tangent_rows(b))
        make_model();
    place_from_rows_on_bends();
    note_open_loops(b);
    note_coords_disagreements(b, placement);
    fix_cii_item_directions(b);
    check_intermediate_nodes(b);
    check_rows_built(b);
    select_modal_analysis();
}

ImportNotes import_cii_text(std::istream& in)
{
    ImportRollback rollback;
    const NeutralLines lines(in);
    CiiStaging staging;
    ImportNotes notes;
    // A file without a model leaves the model empty and the settings as
    // they were; the caller says that it holds none.
    if (!read_cii_staging(lines, staging))
        return notes;
    build_cii_model(staging, lines, notes);
    if (!holds_layout_row())
        return notes;
    note_model_check(notes);
    rollback.done();
    show_imported_model();
    return notes;
}

ImportNotes import_cii_file_at(const std::string& path)
{
    std::ifstream in = open_import_file(path);
    return import_cii_text(in);
}
