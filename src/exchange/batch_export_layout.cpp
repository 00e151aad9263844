// The LAYOUT section of the batch export: one line per layout row, its head
// (type letter, node, K and J codes, names, offsets) and its item list (the
// row's load, the keywords of its element and of its data item), each value
// in the form the batch import reads back unchanged.
#include "elements/beam.h"
#include "elements/bellows.h"
#include "elements/bend.h"
#include "elements/branch_sif.h"
#include "elements/elastic_element.h"
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
#include "exchange/batch_export_writer.h"
#include "exchange/batch_reader.h"
#include "exchange/row_items.h"
#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/geometry.h"
#include "framework/text.h"
#include "framework/units.h"
#include "loads/hydrotest_load.h"
#include "loads/nodal_loads.h"
#include "loads/pipe_load.h"
#include "materials/beam_material.h"
#include "materials/beam_section.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/size_tables.h"
#include "loads/beam_load.h"
#include "model/model.h"
#include "model/nodes.h"
#include "model/piping_codes.h"
#include "supports/anchor.h"
#include "supports/guide.h"
#include "supports/hanger.h"
#include "supports/limit_stop.h"
#include "supports/nozzle.h"
#include "supports/restraint.h"
#include "supports/skewed_restraint.h"
#include "supports/snubber.h"

#include <cmath>
#include <utility>

namespace {

// The IGEM factor keywords of a user SIF's factors, by component (P, B, T, Q, S).
constexpr std::size_t IGEM_SUSTAINED_KEYWORD[SCF_COMPONENTS] = {0, 1, 3, 2, 4};
constexpr std::size_t IGEM_CYCLIC_KEYWORD[SCF_COMPONENTS] = {5, 6, 8, 7, 9};

template <typename T>
const T* as(const ElementData* e)
{
    return dynamic_cast<const T*>(e);
}
template <typename T>
const T* as(const DataItem* d)
{
    return dynamic_cast<const T*>(d);
}

bool below_rigid(float k) { return k < RIGID_STIFFNESS; }

std::string tuple3(const std::string& a, const std::string& b, const std::string& c)
{
    return "(" + a + "," + b + "," + c + ")";
}

std::string length_text(float v) { return exact_quantity(DIMENSION, v); }

struct RowWriter {
    BatchWriter& w;
    int row;
    std::vector<std::pair<std::string, std::string>> items;

    // An item; a keyword already on the line with another value is left out
    // (the reader keeps one value per keyword and row).
    void item(const std::string& keyword, const std::string& rest)
    {
        const std::string text = keyword + rest;
        for (const auto& [k, t] : items)
            if (k == keyword) {
                if (t != text)
                    w.report.add(NC_SHARED_KEYWORD, row);
                return;
            }
        items.emplace_back(keyword, text);
    }
    void scalar(const std::string& keyword, const std::string& value) { item(keyword, "=" + value); }
    void tuple(const std::string& keyword, const std::string& a, const std::string& b, const std::string& c)
    {
        item(keyword, tuple3(a, b, c));
    }
    void tuple2(const std::string& keyword, const std::string& a, const std::string& b)
    {
        item(keyword, "(" + a + "," + b + ")");
    }
    void bare(const std::string& keyword) { item(keyword, ""); }
    void lost(BatchNotCarried kind) { w.report.add(kind, row); }
    bool current() const { return w.current(); }
    void tag(const std::string& tag)
    {
        if (tag.empty())
            return;
        if (!current()) {
            lost(NC_FORM_6XX);
            return;
        }
        if (has_lower_case(tag))
            lost(NC_LOWER_CASE);
        scalar("TAG", tag);
    }
};

[[noreturn]] void refuse(int row, const std::string& what)
{
    throw MessageText(c_format("Row %d: ", row) + what + "; the batch file cannot hold the row");
}

// ---- Element keywords -----------------------------------------------------------------

void intermediate_nodes(RowWriter& r, const BendGeometry& g)
{
    if (g.node1 != 0)
        r.tuple2("IN1", node_text(g.node1), exact_quantity(ANGLE, g.angle1));
    if (g.node2 != 0)
        r.tuple2("IN2", node_text(g.node2), exact_quantity(ANGLE, g.angle2));
}

std::string sif_member(float sif) { return sif == 0.0f ? std::string() : exact_real(sif); }

void bend_items(RowWriter& r, const Bend& b, bool miter)
{
    const BendGeometry& g = b.geometry;
    if (g.thickness != 0.0f)
        r.scalar("BTHK", length_text(g.thickness));
    if (!g.material.empty())
        r.scalar("BMAT", g.material);
    if (b.ff_in > 0.0f)
        r.scalar("FF", exact_real(b.ff_in));
    if (b.ff_out != b.ff_in && (b.ff_out > 0.0f || b.ff_in > 0.0f))
        r.lost(NC_BEND_PLANES);
    if (miter) {
        if (b.sif_in != 0.0f || b.sif_out != 0.0f || b.sif_axial != 0.0f || b.sif_torsion != 0.0f)
            r.lost(NC_ELEMENT_FIELDS);
        return;
    }
    intermediate_nodes(r, g);
    float out = b.sif_out;
    if (!code_is_b313_group() && b.sif_in != b.sif_out) {
        out = b.sif_in;
        r.lost(NC_BEND_PLANES);
    }
    if (b.sif_in != 0.0f || out != 0.0f)
        r.tuple2("BSIF", sif_member(b.sif_in), sif_member(out));
    for (const auto& [keyword, sif] : {std::pair<const char*, float>{"SIFA", b.sif_axial}, {"SIFT", b.sif_torsion}}) {
        if (sif == 0.0f)
            continue;
        if (!r.current() || sif < 1.0f)
            r.lost(r.current() ? NC_ELEMENT_FIELDS : NC_FORM_6XX);
        else
            r.scalar(keyword, exact_real(sif));
    }
}

void jacket_names(RowWriter& r, const JacketGeometry& j)
{
    if (j.material.empty() || j.section.empty() || j.load.empty())
        refuse(r.row, "the jacket names no material, section or load");
    r.scalar("JMAT", j.material);
    r.scalar("JSEC", j.section);
    r.scalar("JLOAD", j.load);
}

void rotation_limit(RowWriter& r, const char* keyword, float a, float b)
{
    auto text = [](float v) { return rotation_limit_given(v) ? exact_quantity(ANGLE, v) : std::string("NONE"); };
    if (rotation_limit_given(a) || rotation_limit_given(b))
        r.tuple2(keyword, text(a), text(b));
}

// The radius the model gives a long- or short-radius bend on the section
// (0 for a section it does not have).
float section_radius_of_kind(const std::string& section, uint8_t kind)
{
    const int index = section_index(section);
    return index != 0 ? section_bend_radius(pipe_sections()[index], kind == RADIUS_SHORT) : 0.0f;
}

// The radius the reader gives a long-radius bend on the section as its PIPE
// line gives it back: a section without a nominal size.
float read_back_long_radius(const std::string& section)
{
    const int index = section_index(section);
    if (index == 0)
        return 0.0f;
    PipeSection carried;
    carried.outside_diameter = pipe_sections()[index].outside_diameter;
    carried.nominal_size = NON_STANDARD_SIZE;
    return section_bend_radius(carried, false);
}

// The radius of a bend or of a jacket bend as the file gives it: nothing
// where the reader gives the radius the model has (a long radius of a
// section without a nominal size), else the radius the model has, which
// reads back as the bend's own radius. Empty for a radius the file cannot
// give (a section the model does not have).
std::string written_bend_radius(RowWriter& r, const std::string& section, uint8_t kind, float radius)
{
    if (kind == RADIUS_USER)
        return length_text(radius);
    const float model_radius = section_radius_of_kind(section, kind);
    if ((kind == RADIUS_LONG && model_radius == read_back_long_radius(section)) ||
        !(model_radius >= BATCH_LEAST_BEND_RADIUS))
        return {};
    r.lost(NC_SECTION_RADIUS);
    return length_text(model_radius);
}

void element_items(RowWriter& r, const LayoutRow& row)
{
    const ElementData* e = row.element.get();
    switch (row.etype) {
    case ET_HYDROTEST_LOAD:
        if (const auto* h = as<HydrotestLoad>(e)) {
            if (h->specific_gravity != 0.0f)
                r.scalar("HSG", exact_real(h->specific_gravity));
            if (h->pressure != 0.0f)
                r.scalar("HPRES", exact_quantity_required(PRESSURE, h->pressure));
            if (h->temperature != 0.0f)
                r.lost(NC_ELEMENT_FIELDS);
        }
        break;
    case ET_BEND:
        if (const auto* b = as<Bend>(e))
            bend_items(r, *b, false);
        break;
    case ET_MITER:
        if (const auto* m = as<Miter>(e)) {
            bend_items(r, *m, true);
            if (m->spacing == MITER_WIDELY_SPACED_ID)
                r.bare("WS");
        }
        break;
    case ET_JACKETED_BEND:
        if (const auto* b = as<JacketedBend>(e)) {
            jacket_names(r, b->jacket);
            intermediate_nodes(r, b->geometry);
            if (b->jacket.thickness != 0.0f)
                r.scalar("JTHK", length_text(b->jacket.thickness));
            if (b->geometry.thickness != 0.0f)
                r.scalar("BTHK", length_text(b->geometry.thickness));
            if (const std::string radius =
                    written_bend_radius(r, b->jacket.section, b->jacket.radius_kind, b->jacket.radius);
                !radius.empty())
                r.scalar("JR", radius);
            if (!b->geometry.material.empty() || b->ff_in > 0.0f || b->ff_out > 0.0f || b->sif_in != 0.0f ||
                b->sif_out != 0.0f || b->sif_axial != 0.0f || b->sif_torsion != 0.0f)
                r.lost(NC_ELEMENT_FIELDS);
        }
        break;
    case ET_JACKETED_PIPE:
        if (const auto* j = as<JacketedPipe>(e))
            jacket_names(r, j->jacket);
        break;
    case ET_BALL_JOINT:
        if (const auto* b = as<BallJoint>(e)) {
            if (b->bending_stiffness != 0.0f || b->torsional_stiffness != 0.0f)
                r.tuple2("RK", exact_quantity(ROT_STIFFNESS, b->bending_stiffness),
                         exact_quantity(ROT_STIFFNESS, b->torsional_stiffness));
            rotation_limit(r, "ROTL", b->bending_limit, b->torsional_limit);
            if (b->bending_friction != 0.0f || b->torsional_friction != 0.0f)
                r.tuple2("FRCT", exact_quantity(MOMENT, b->bending_friction),
                         exact_quantity(MOMENT, b->torsional_friction));
            if (b->weight != 0.0f)
                r.scalar("WGT", exact_quantity(WEIGHT, b->weight));
        }
        break;
    case ET_ELASTIC:
        if (const auto* el = as<ElasticElement>(e)) {
            auto k = [](int q, float v) { return v <= 0.0f ? std::string("0") : exact_quantity(q, v); };
            if (el->kx != 0.0f || el->ky != 0.0f || el->kz != 0.0f)
                r.tuple("TRAK", k(STIFFNESS, el->kx), k(STIFFNESS, el->ky), k(STIFFNESS, el->kz));
            if (el->kxx != 0.0f || el->kyy != 0.0f || el->kzz != 0.0f)
                r.tuple("ROTK", k(ROT_STIFFNESS, el->kxx), k(ROT_STIFFNESS, el->kyy), k(ROT_STIFFNESS, el->kzz));
            if (!direction_given(el->x_axis[0], el->x_axis[1], el->x_axis[2]) ||
                !direction_given(el->y_axis[0], el->y_axis[1], el->y_axis[2]))
                refuse(r.row, "the elastic element has no local axes");
            r.tuple("LXAX", exact_real(el->x_axis[0]), exact_real(el->x_axis[1]), exact_real(el->x_axis[2]));
            r.tuple("LYAX", exact_real(el->y_axis[0]), exact_real(el->y_axis[1]), exact_real(el->y_axis[2]));
        }
        break;
    case ET_CUT_PIPE:
        if (const auto* c = as<CutPipe>(e)) {
            if (c->cut == 0.0f)
                refuse(r.row, "the cut pipe has no cut length");
            r.scalar(c->cut < 0.0f ? "LONG" : "SHORT", length_text(std::fabs(c->cut)));
        }
        break;
    case ET_TIE_ROD:
        if (const auto* t = as<TieRod>(e)) {
            if (!(static_cast<double>(t->tension_stiffness) + t->compression_stiffness >= 1.0e-6))
                refuse(r.row, "the tie rod has no stiffness");
            r.tuple2("KTIE", exact_quantity(STIFFNESS, t->tension_stiffness),
                     exact_quantity(STIFFNESS, t->compression_stiffness));
            if (t->tension_gap != 0.0f || t->compression_gap != 0.0f)
                r.tuple2("GAP", length_text(t->tension_gap), length_text(t->compression_gap));
        }
        break;
    case ET_REDUCER:
        if (const auto* d = as<Reducer>(e)) {
            if (d->od1 <= 0.0f || d->od2 <= 0.0f || d->thickness1 <= 0.0f || d->thickness2 <= 0.0f)
                refuse(r.row, "the reducer's diameters and thicknesses are not all given");
            r.scalar("OD1", length_text(d->od1));
            r.scalar("THK1", length_text(d->thickness1));
            r.scalar("OD2", length_text(d->od2));
            r.scalar("THK2", length_text(d->thickness2));
            if (d->cone_angle != 0.0f)
                r.scalar("CONE", exact_quantity(ANGLE, d->cone_angle));
            if (d->knuckles != 0 || d->delta != 0.0f)
                r.lost(NC_ELEMENT_FIELDS);
        }
        break;
    case ET_BEAM:
        if (const auto* b = as<Beam>(e)) {
            if (row.material.empty() || row.section.empty() || row.load.empty())
                refuse(r.row, "the beam names no material, section or load");
            r.scalar("MAT", row.material);
            r.scalar("SEC", row.section);
            r.scalar("LOAD", row.load);
            if (b->beta != 0.0f)
                r.scalar("BETA", exact_quantity(ANGLE, b->beta));
            if (b->releases != Beam().releases)
                r.lost(NC_ELEMENT_FIELDS);
        }
        break;
    case ET_RIGID:
        if (const auto* g = as<RigidElement>(e)) {
            if (g->weight != 0.0f)
                r.scalar("WGT", exact_quantity(WEIGHT, g->weight));
            if (g->add_cil != 0)
                r.lost(NC_ELEMENT_FIELDS);
        }
        break;
    case ET_SLIP_JOINT:
        if (const auto* s = as<SlipJoint>(e)) {
            if (s->friction_force != 0.0f)
                r.scalar("FFOR", exact_quantity(FORCE, s->friction_force));
            if (s->friction_torque != 0.0f)
                r.scalar("FTOR", exact_quantity(MOMENT, s->friction_torque));
            if (s->thrust_area != 0.0f)
                r.scalar("TA", exact_quantity(AREA, s->thrust_area));
            if (s->weight != 0.0f)
                r.scalar("WGT", exact_quantity(WEIGHT, s->weight));
        }
        break;
    case ET_VALVE:
        if (const auto* v = as<Valve>(e)) {
            if (v->weight != 0.0f)
                r.scalar("VWGT", exact_quantity(WEIGHT, v->weight));
            if (v->additional_weight != 0.0f)
                r.scalar("AWGT", exact_quantity(WEIGHT, v->additional_weight));
            if (v->offset_dx != 0.0f || v->offset_dy != 0.0f || v->offset_dz != 0.0f)
                r.tuple("OFFSET", exact_signed_dimension(v->offset_dx), exact_signed_dimension(v->offset_dy),
                        exact_signed_dimension(v->offset_dz));
            if (v->thickness_multiplier != RowItemValues().thickness_factor)
                r.scalar("THKF", exact_real(v->thickness_multiplier));
            if (v->insulation_multiplier != RowItemValues().insulation_factor)
                r.scalar("INSF", exact_real(v->insulation_multiplier));
            if (v->length != 0.0f || v->valve_type != 0)
                r.lost(NC_ELEMENT_FIELDS);
        }
        break;
    case ET_BELLOWS:
        if (const auto* b = as<Bellows>(e)) {
            // ES takes each stiffness below 1 (lb/in, in-lb/rad) as 1; a bellows
            // without ES keeps its zeros. HS, read after ES, gives the torsional
            // stiffness as it stands; nothing gives an axial or lateral one.
            const float k[3] = {b->axial_stiffness, b->lateral_stiffness, b->torsional_stiffness};
            if (k[0] != 0.0f || k[1] != 0.0f) {
                // Written as read back, so that the file says what the model becomes.
                const auto raised = [](float v) { return v < 1.0f ? 1.0f : v; };
                r.tuple("ES", exact_quantity(STIFFNESS, raised(k[0])), exact_quantity(STIFFNESS, raised(k[1])),
                        exact_quantity(ROT_STIFFNESS, k[2]));
                if (k[0] < 1.0f || k[1] < 1.0f)
                    r.lost(NC_BELLOWS_STIFFNESS);
            }
            if ((k[0] == 0.0f && k[1] == 0.0f && k[2] != 0.0f) || ((k[0] != 0.0f || k[1] != 0.0f) && k[2] < 1.0f))
                r.scalar("HS", exact_quantity(ROT_STIFFNESS, k[2]));
            if (b->thrust_area != 0.0f)
                r.scalar("TA", exact_quantity(AREA, b->thrust_area));
            if (b->weight != 0.0f)
                r.scalar("WGT", exact_quantity(WEIGHT, b->weight));
            if (b->bending_stiffness != RIGID_STIFFNESS)
                r.scalar("BK", exact_quantity(ROT_STIFFNESS, b->bending_stiffness));
            if (b->mean_diameter != 0.0f) {
                if (r.current())
                    r.scalar("MD", length_text(b->mean_diameter));
                else
                    r.lost(NC_FORM_6XX);
            }
        }
        break;
    case ET_HINGE_JOINT:
        if (const auto* h = as<HingeJoint>(e)) {
            if (!direction_given(h->axis[0], h->axis[1], h->axis[2]))
                refuse(r.row, "the hinge joint has no axis");
            r.scalar("HS", exact_quantity(ROT_STIFFNESS, h->stiffness));
            r.tuple("DV", exact_real(h->axis[0]), exact_real(h->axis[1]), exact_real(h->axis[2]));
            if (h->weight != 0.0f)
                r.scalar("WGT", exact_quantity(WEIGHT, h->weight));
            if (h->friction != 0.0f)
                r.scalar("FTOR", exact_quantity(MOMENT, h->friction));
            if (rotation_limit_given(h->limit))
                r.scalar("RLIM", exact_quantity(ANGLE, h->limit));
        }
        break;
    default:
        break;
    }
}

// ---- Data-item keywords ----------------------------------------------------------------

void displacement_sets(RowWriter& r, const DisplacementSets& d)
{
    for (int set = 1; set <= DISPLACEMENT_SETS; ++set) {
        const auto s = static_cast<std::size_t>(set);
        if (!d.given[s])
            continue;
        if (!r.current() && set > 3) {
            r.lost(NC_FORM_6XX);
            continue;
        }
        const std::string number = set == 1 ? "" : std::to_string(set);
        const std::string dis = set == SEISMIC_DISPLACEMENT_SET       ? "SEIS"
                                : set == SETTLEMENT_DISPLACEMENT_SET ? "SETT"
                                                                      : "DIS" + number;
        const std::string rot = set == SEISMIC_DISPLACEMENT_SET       ? "SERO"
                                : set == SETTLEMENT_DISPLACEMENT_SET ? "STRO"
                                                                      : "ROT" + number;
        const std::array<float, 6>& v = d.values[s];
        r.tuple(dis, exact_quantity(DISPLACEMENT, v[0]), exact_quantity(DISPLACEMENT, v[1]),
                exact_quantity(DISPLACEMENT, v[2]));
        if (v[3] != 0.0f || v[4] != 0.0f || v[5] != 0.0f)
            r.tuple(rot, exact_quantity(ANGLE, v[3]), exact_quantity(ANGLE, v[4]), exact_quantity(ANGLE, v[5]));
    }
}

std::string direction_text(const std::array<float, 3>& d)
{
    return tuple3(exact_real(d[0]), exact_real(d[1]), exact_real(d[2]));
}

bool has_direction(const std::array<float, 3>& d) { return direction_given(d[0], d[1], d[2]); }

void stiffness_item(RowWriter& r, float k)
{
    // The reader takes an absent stiffness as rigid.
    if (k != RIGID_STIFFNESS && k != 0.0f)
        r.scalar("STIFF", exact_quantity(STIFFNESS, k));
}

void connected_item(RowWriter& r, int32_t node)
{
    if (node != 0)
        r.scalar("CNOD", node_text(node));
}

void anchor_items(RowWriter& r, const AnchorValues& a)
{
    auto k = [](int q, float v) { return v <= 0.0f ? std::string("0") : exact_quantity(q, v); };
    if (below_rigid(a.stiffness[0]) || below_rigid(a.stiffness[1]) || below_rigid(a.stiffness[2]))
        r.tuple("TRAK", k(STIFFNESS, a.stiffness[0]), k(STIFFNESS, a.stiffness[1]), k(STIFFNESS, a.stiffness[2]));
    if (below_rigid(a.stiffness[3]) || below_rigid(a.stiffness[4]) || below_rigid(a.stiffness[5]))
        r.tuple("ROTK", k(ROT_STIFFNESS, a.stiffness[3]), k(ROT_STIFFNESS, a.stiffness[4]),
                k(ROT_STIFFNESS, a.stiffness[5]));
    r.tag(a.tag);
    if (a.local_axes) {
        if (r.current())
            r.scalar("LA", "1");
        else
            r.lost(NC_FORM_6XX);
    }
    displacement_sets(r, a.displacements);
    if (a.local_displacements) {
        if (r.current())
            r.scalar("LD", "1");
        else
            r.lost(NC_FORM_6XX);
    }
    if (a.released == std::array<uint8_t, 6>{1, 1, 1, 1, 1, 1}) {
        r.bare("FREE");
    } else {
        const char* const releases[6] = {"FREEX", "FREEY", "FREEZ", "FREEXX", "FREEYY", "FREEZZ"};
        for (std::size_t i = 0; i < 6; ++i)
            if (a.released[i])
                r.bare(releases[i]);
    }
}

void hanger_items(RowWriter& r, const Hanger& hanger)
{
    const HangerValues& h = hanger.v;
    if (!(h.design == HangerDesign{}))
        r.lost(NC_HANGER_DESIGN);
    const int count = std::max(1, h.count);
    if (h.type == HANGER_USER) {
        r.item("US", "(" + std::to_string(count) + "," + exact_quantity(STIFFNESS, h.spring_rate) + "," +
                         exact_quantity(FORCE, h.load) + ")");
        connected_item(r, h.connected);
        if (h.load_type > 0)
            r.scalar("CLD", int_text(h.load_type));
        if (h.load_type < 0)
            r.lost(NC_DATA_FIELDS);
    } else {
        const char* keyword = h.type == HANGER_CONSTANT ? "CS" : h.type == HANGER_ROD ? "RH" : "VS";
        r.scalar(keyword, std::to_string(count));
        if (h.type >= 1 && h.type <= HANGER_CATALOGUES) {
            r.scalar("HTYP", int_text(h.type));
            if (h.load_variation >= 1 && h.load_variation <= 99)
                r.scalar("MLV", int_text(h.load_variation));
            if (h.short_range)
                r.bare("SR");
        } else if (h.short_range || h.load_type != 0 || h.spring_rate != 0.0f || h.load != 0.0f) {
            r.lost(NC_DATA_FIELDS);
        }
        connected_item(r, h.connected);
    }
    r.tag(h.tag);
}

const char* const FLANGE_CODES[] = {"WN", "DW", "SO", "FW", "SW", "LJ", "TH"};
// The head code of each branch SIF kind 1..9 (kind 2 is KF with PAD=).
const char* const BRANCH_CODES[] = {"KT", "KF", "KF", "KE", "KS", "KW", "KR", "KP", "KB"};

// False when the item cannot be written at all (the row is then written without it).
bool data_item_writable(RowWriter& r, const LayoutRow& row)
{
    const DataItem* d = row.data.get();
    switch (row.dtype) {
    case DT_SKEWED_RESTRAINT:
        if (const auto* s = as<SkewedRestraint>(d))
            return has_direction(s->v.direction);
        return false;
    case DT_LIMIT_STOP:
        if (const auto* s = as<LimitStop>(d)) {
            const bool no_limits = no_limit(s->v.lower) && no_limit(s->v.upper);
            return (has_direction(s->v.direction) || s->v.connected != 0) && !no_limits &&
                   limits_in_order(s->v.lower, s->v.upper);
        }
        return false;
    case DT_SNUBBER:
        if (const auto* s = as<Snubber>(d))
            return has_direction(s->v.direction);
        return false;
    case DT_CONC_MASS:
        if (const auto* m = as<ConcentratedMass>(d))
            return m->weight > 0.0f;
        return false;
    case DT_HARMONIC_LOAD:
        if (const auto* h = as<HarmonicLoad>(d))
            return h->frequency > 0.0f;
        return false;
    case DT_BRANCH_SIF:
        if (const auto* b = as<BranchSif>(d))
            return b->sif_type >= 1 && b->sif_type <= 9 && (b->sif_type != 2 || b->value1 != 0.0f);
        return false;
    case DT_NOZZLE:
        // A 6.xx file has no spherical vessel, and a cylindrical one needs
        // lengths and an axis that a spherical vessel's nozzle lacks.
        if (const auto* n = as<Nozzle>(d)) {
            if (n->v.type == NOZZLE_PD_5500 && !r.current()) {
                r.lost(NC_FORM_6XX);
                return false;
            }
            return true;
        }
        return false;
    case DT_TIME_VARYING_LOAD:
        r.lost(NC_TIME_VARYING_LOAD);
        return false;
    case DT_FORCE_SPECTRUM_LOAD:
        r.lost(NC_FORCE_SPECTRUM_LOAD);
        return false;
    case DT_GENERIC_SUPPORT:
        r.lost(NC_GENERIC_SUPPORT);
        return false;
    default:
        return row.dtype != DT_NONE;
    }
}

void data_items(RowWriter& r, const LayoutRow& row)
{
    const DataItem* d = row.data.get();
    switch (row.dtype) {
    case DT_ANCHOR:
        if (const auto* a = as<Anchor>(d))
            anchor_items(r, a->v);
        break;
    case DT_RESTRAINT:
        if (const auto* s = as<Restraint>(d)) {
            const auto& f = s->v.restrained;
            r.tuple("FIXD", f[0] ? "1" : "0", f[1] ? "1" : "0", f[2] ? "1" : "0");
            r.tag(s->v.tag);
        }
        break;
    case DT_SKEWED_RESTRAINT:
        if (const auto* s = as<SkewedRestraint>(d)) {
            // A stiffness of 0 is a rigid one, as the analysis takes it.
            const float k = s->v.stiffness == 0.0f ? RIGID_STIFFNESS : s->v.stiffness;
            if (s->v.rotational)
                r.scalar("KR", exact_quantity(ROT_STIFFNESS, k));
            else
                r.scalar("K", exact_quantity(STIFFNESS, k));
            r.item("DV", direction_text(s->v.direction));
            connected_item(r, s->v.connected);
            r.tag(s->v.tag);
        }
        break;
    case DT_HANGER:
        if (const auto* h = as<Hanger>(d))
            hanger_items(r, *h);
        break;
    case DT_GUIDE:
        if (const auto* g = as<Guide>(d)) {
            r.bare("G");
            r.tag(g->v.tag);
            if (g->v.mu != 0.0f)
                r.scalar("MU", exact_real(g->v.mu));
            stiffness_item(r, g->v.stiffness);
            if (g->v.gap != 0.0f)
                r.scalar("GGAP", exact_quantity(DISPLACEMENT, g->v.gap));
            connected_item(r, g->v.connected);
        }
        break;
    case DT_LIMIT_STOP:
        if (const auto* s = as<LimitStop>(d)) {
            r.tag(s->v.tag);
            auto limit = [](float v) { return no_limit(v) ? std::string("NONE") : exact_quantity(DISPLACEMENT, v); };
            r.tuple2("LS", limit(s->v.lower), limit(s->v.upper));
            if (has_direction(s->v.direction))
                r.item("DV", direction_text(s->v.direction));
            else if (s->v.direction != std::array<float, 3>{})
                r.lost(NC_DATA_FIELDS);
            if (s->v.mu != 0.0f)
                r.scalar("MU", exact_real(s->v.mu));
            stiffness_item(r, s->v.stiffness);
            connected_item(r, s->v.connected);
        }
        break;
    case DT_NOZZLE:
        if (const auto* z = as<Nozzle>(d)) {
            const NozzleValues& n = z->v;
            const int type = n.type;
            r.scalar("NOZZLE", int_text(type));
            const bool sphere = type == NOZZLE_PD_5500;
            if (type == NOZZLE_API_650 && n.pad)
                r.scalar("RPAD", "1");
            if ((type != NOZZLE_API_650 && n.pad) || (type == NOZZLE_API_650 && n.length2 != 0.0f))
                r.lost(NC_DATA_FIELDS);
            if (type != NOZZLE_API_650 && n.length2 != 0.0f)
                r.scalar("L2", exact_quantity(LENGTH, n.length2));
            r.tag(n.tag);
            const std::pair<const char*, float> dims[] = {{"NOD", n.nozzle_od},
                                                          {"NTHK", n.nozzle_thickness},
                                                          {"VOD", n.vessel_od},
                                                          {"VTHK", n.vessel_thickness}};
            for (const auto& [keyword, value] : dims)
                if (value != 0.0f)
                    r.scalar(keyword, length_text(value));
            if (n.length1 != 0.0f) {
                if (sphere)
                    r.lost(NC_DATA_FIELDS);
                else
                    r.scalar("L1", exact_quantity(LENGTH, n.length1));
            }
            if (n.modulus != 0.0f)
                r.scalar("E", exact_quantity(MODULUS, n.modulus));
            if (n.axis != std::array<float, 3>{}) {
                if (sphere || !has_direction(n.axis))
                    r.lost(NC_DATA_FIELDS);
                else
                    r.item("DV", direction_text(n.axis));
            }
            if (r.current())
                displacement_sets(r, n.displacements);
            else if (n.displacements.any())
                r.lost(NC_FORM_6XX);
        }
        break;
    case DT_SNUBBER:
        if (const auto* s = as<Snubber>(d)) {
            r.bare("SNUBBER");
            r.tag(s->v.tag);
            stiffness_item(r, s->v.stiffness);
            r.item("DV", direction_text(s->v.direction));
        }
        break;
    case DT_SPIDER:
        r.bare("SPIDER");
        break;
    case DT_JACKET_END_CAP:
        r.bare("JCAP");
        break;
    case DT_FLANGE:
        if (const auto* f = as<Flange>(d)) {
            const bool known = f->flange_type >= 1 && f->flange_type <= 7;
            r.scalar("FLANGE", FLANGE_CODES[known ? f->flange_type - 1 : 0]);
            if (!known)
                r.lost(NC_DATA_REPLACED);
            if (f->weight != 0.0f)
                r.scalar("WGT", exact_quantity(WEIGHT, f->weight));
            if (f->gasket_diameter != 0.0f)
                r.scalar("GDIA", length_text(f->gasket_diameter));
            if (f->allowable_pressure != 0.0f)
                r.scalar("AP", exact_quantity_required(PRESSURE, f->allowable_pressure));
        }
        break;
    case DT_BRANCH_SIF:
        if (const auto* b = as<BranchSif>(d)) {
            switch (b->sif_type) {
            case 2: r.scalar("PAD", length_text(b->value1)); break;
            case 4: r.scalar("CRTCH", length_text(b->value1)); break;
            case 7:
                r.scalar("R", length_text(b->value1));
                r.scalar("THK", length_text(b->value2));
                break;
            case 8:
                r.scalar("THK", length_text(b->value1));
                r.scalar("LEN", length_text(b->value2));
                break;
            case 9: r.scalar("R", length_text(b->value1)); break;
            default: break;
            }
            const bool values_kept = b->sif_type == 2 || b->sif_type == 4 || b->sif_type >= 7;
            if (b->num_flanges != 0 || (!values_kept && (b->value1 != 0.0f || b->value2 != 0.0f)) ||
                ((b->sif_type == 2 || b->sif_type == 4 || b->sif_type == 9) && b->value2 != 0.0f))
                r.lost(NC_DATA_FIELDS);
        }
        break;
    case DT_USER_SIF:
        if (const auto* s = as<UserSif>(d)) {
            // SIF(in,out) is read under every code; SIF= gives both planes one factor.
            if (s->sif_in != s->sif_out)
                r.tuple2("SIF", exact_real(s->sif_in), exact_real(s->sif_out));
            else
                r.scalar("SIF", exact_real(s->sif_in));
            for (const auto& [keyword, sif] :
                 {std::pair<const char*, float>{"SIFA", s->sif_axial}, {"SIFT", s->sif_torsion}})
                if (sif != 0.0f) {
                    if (r.current())
                        r.scalar(keyword, exact_real(sif));
                    else
                        r.lost(NC_FORM_6XX);
                }
            for (int c = 0; c < SCF_COMPONENTS; ++c) {
                const std::pair<std::size_t, float> factors[2] = {{IGEM_SUSTAINED_KEYWORD[c], s->scf_sustained[c]},
                                                                  {IGEM_CYCLIC_KEYWORD[c], s->scf_cyclic[c]}};
                for (const auto& [keyword, factor] : factors) {
                    if (factor == 0.0f)
                        continue;
                    if (piping_code() != CODE_IGEM || factor < 1.0f)
                        r.lost(NC_DATA_FIELDS);
                    else if (!r.current())
                        r.lost(NC_FORM_6XX);
                    else
                        r.scalar(IGEM_FACTOR_KEYWORDS[keyword], exact_real(factor));
                }
            }
        }
        break;
    case DT_WELD:
        if (const auto* wd = as<Weld>(d)) {
            r.scalar("WTYPE", int_text(wd->weld_type));
            if (wd->weld_type == 0)
                r.lost(NC_DATA_REPLACED);
            if (wd->mismatch != 0.0f)
                r.scalar("DELTA", length_text(wd->mismatch));
        }
        break;
    case DT_THREADED_JOINT:
        r.bare("TJOINT");
        break;
    case DT_FORCE:
        if (const auto* f = as<ForceLoad>(d)) {
            const auto& v = f->values;
            const bool moments = v[3] != 0.0f || v[4] != 0.0f || v[5] != 0.0f;
            if (v[0] != 0.0f || v[1] != 0.0f || v[2] != 0.0f || !moments)
                r.tuple("FOR", exact_quantity(FORCE, v[0]), exact_quantity(FORCE, v[1]), exact_quantity(FORCE, v[2]));
            if (moments)
                r.tuple("MOM", exact_quantity(MOMENT, v[3]), exact_quantity(MOMENT, v[4]), exact_quantity(MOMENT, v[5]));
            if (f->load_case != FORCE_WITH_WEIGHT)
                r.lost(NC_DATA_FIELDS);
        }
        break;
    case DT_CONC_MASS:
        if (const auto* m = as<ConcentratedMass>(d)) {
            r.scalar("CWGT", exact_quantity(WEIGHT, m->weight));
            if (m->offset != std::array<float, 3>{})
                r.tuple("OFFSET", exact_signed_dimension(m->offset[0]), exact_signed_dimension(m->offset[1]),
                        exact_signed_dimension(m->offset[2]));
        }
        break;
    case DT_HARMONIC_LOAD:
        if (const auto* h = as<HarmonicLoad>(d)) {
            r.scalar("FRE", exact_real(h->frequency));
            if (h->phase != 0.0f)
                r.scalar("PH", exact_quantity(ANGLE, h->phase));
            r.tuple("FOR", exact_quantity(FORCE, h->values[0]), exact_quantity(FORCE, h->values[1]),
                    exact_quantity(FORCE, h->values[2]));
        }
        break;
    default:
        break;
    }
}

// ---- Rows -------------------------------------------------------------------------------

// Kinds whose rows the reader gives no material, section or load.
bool row_keeps_no_names(int etype)
{
    return etype == ET_FROM || etype == ET_LOCATION || etype == ET_HINGE_JOINT || etype == ET_BALL_JOINT ||
           etype == ET_ELASTIC || etype == ET_TIE_ROD || etype == ET_COMMENT || etype == ET_HYDROTEST_LOAD ||
           etype == ET_BEAM;
}

struct Remembered {
    std::string material, section, load;
};

// ",M" / ",P": the name when it differs from the one carried.
void row_name(RowWriter& r, std::string& head, const std::string& name, std::string& carried, const char* code,
              bool defined)
{
    if (name.empty()) {
        if (!carried.empty())
            r.lost(NC_ROW_NAMES);
        return;
    }
    if (!defined) {
        r.lost(NC_UNDEFINED_NAME);
        return;
    }
    if (name != carried) {
        head += std::string(",") + code + name;
        carried = name;
    }
}

const char* element_code(int etype)
{
    switch (etype) {
    case ET_BEND: return ",KI";
    case ET_MITER: return ",KM";
    case ET_HINGE_JOINT: return ",KH";
    case ET_JACKETED_BEND: return ",JI";
    case ET_REDUCER: return ",JD";
    case ET_RIGID: return ",JR";
    case ET_VALVE: return ",JV";
    case ET_BELLOWS: return ",JE";
    case ET_SLIP_JOINT: return ",JS";
    case ET_BALL_JOINT: return ",JB";
    case ET_ELASTIC: return ",JL";
    case ET_CUT_PIPE: return ",JC";
    case ET_BEAM: return ",JM";
    case ET_TIE_ROD: return ",JT";
    case ET_JACKETED_PIPE: return ",JP";
    default: return "";
    }
}

void bend_radius(RowWriter& r, std::string& head, const LayoutRow& row)
{
    const BendGeometry* g = row.element ? row.element->bend_geometry() : nullptr;
    if (!g)
        return;
    if (row.etype == ET_MITER) {
        if (g->radius <= 0.0f)
            refuse(r.row, "the miter has no radius");
        head += ",B" + length_text(g->radius);
        return;
    }
    if (const std::string radius = written_bend_radius(r, row.section, g->radius_kind, g->radius); !radius.empty())
        head += ",B" + radius;
}

void write_row_line(BatchWriter& w, const std::string& head, const std::vector<std::pair<std::string, std::string>>& items)
{
    std::vector<std::string> texts;
    for (const auto& item : items)
        texts.push_back(item.second);
    for (const std::string& line : batch_row_lines(head, texts, BATCH_LINE_LIMIT))
        w.line(line);
}

void write_row(BatchWriter& w, int index, Remembered& carried)
{
    const LayoutRow& row = model().rows[index];
    RowWriter r{w, index, {}};
    if (row.etype == ET_NONE) {
        if (row.dtype != DT_NONE)
            r.lost(NC_ROW_WITHOUT_NODE);
        return;
    }
    if (row.etype == ET_COMMENT) {
        if (index == 1 && w.first_row_is_title)
            return;
        if (row.dtype != DT_NONE || row.node != 0)
            r.lost(NC_ROW_WITHOUT_NODE);
        w.line("*" + row.comment_text());
        return;
    }
    std::string head;
    if (row.etype == ET_HYDROTEST_LOAD) {
        head = "H";
        if (row.node != 0 || row.dx != 0.0f || row.dy != 0.0f || row.dz != 0.0f || row.dtype != DT_NONE)
            r.lost(NC_ROW_WITHOUT_NODE);
    } else {
        if (row.node == 0) {
            r.lost(NC_ROW_WITHOUT_NODE);
            return;
        }
        head = (row.etype == ET_FROM ? "F" : row.etype == ET_LOCATION ? "L" : "T") + node_text(row.node);
        if (row.absolute) {
            if (head[0] == 'T')
                head += "*";
            else
                r.lost(NC_ROW_NAMES);
        }
    }
    const bool data_written = row.etype != ET_HYDROTEST_LOAD && data_item_writable(r, row);
    if (!data_written && row.dtype != DT_NONE && row.dtype != DT_TIME_VARYING_LOAD &&
        row.dtype != DT_FORCE_SPECTRUM_LOAD && row.dtype != DT_GENERIC_SUPPORT && row.dtype != DT_NOZZLE)
        r.lost(NC_DATA_ITEM_LEFT_OUT);
    if (data_written && row.dtype == DT_ANCHOR)
        head += ",KA";
    if (data_written && row.dtype == DT_BRANCH_SIF)
        if (const auto* b = as<BranchSif>(row.data.get()))
            head += std::string(",") + BRANCH_CODES[b->sif_type - 1];
    head += element_code(row.etype);
    bend_radius(r, head, row);

    if (row_keeps_no_names(row.etype)) {
        if (row.etype != ET_BEAM && (!row.material.empty() || !row.section.empty() || !row.load.empty()))
            r.lost(NC_ROW_NAMES);
    } else {
        row_name(r, head, row.material, carried.material, "M", material_index(row.material) != 0);
        row_name(r, head, row.section, carried.section, "P", section_index(row.section) != 0);
        if (has_lower_case(row.material) || has_lower_case(row.section) || has_lower_case(row.load))
            r.lost(NC_LOWER_CASE);
    }
    if (row.etype != ET_HYDROTEST_LOAD) {
        const std::pair<const char*, float> offsets[] = {{",X", row.dx}, {",Y", row.dy}, {",Z", row.dz}};
        for (const auto& [code, value] : offsets)
            if (value != 0.0f)
                head += code + exact_quantity(LENGTH, value);
    }
    if (!row_keeps_no_names(row.etype)) {
        if (row.load.empty()) {
            if (!carried.load.empty())
                r.lost(NC_ROW_NAMES);
        } else if (load_index(row.load) == 0) {
            r.lost(NC_UNDEFINED_NAME);
        } else if (row.load != carried.load) {
            r.scalar("L", row.load);
            carried.load = row.load;
        }
    }
    element_items(r, row);
    if (data_written)
        data_items(r, row);
    write_row_line(w, head, r.items);
}

bool tag_holds_separator(const std::string& tag)
{
    return tag.find_first_of(" \t,()=\r\n") != std::string::npos;
}

std::string row_tag(const LayoutRow& row)
{
    const DataItem* d = row.data.get();
    if (const auto* a = as<Anchor>(d)) return a->v.tag;
    if (const auto* s = as<Restraint>(d)) return s->v.tag;
    if (const auto* s = as<SkewedRestraint>(d)) return s->v.tag;
    if (const auto* h = as<Hanger>(d)) return h->v.tag;
    if (const auto* g = as<Guide>(d)) return g->v.tag;
    if (const auto* s = as<LimitStop>(d)) return s->v.tag;
    if (const auto* n = as<Nozzle>(d)) return n->v.tag;
    if (const auto* s = as<Snubber>(d)) return s->v.tag;
    return {};
}

}  // namespace

std::vector<std::string> batch_row_lines(const std::string& head, const std::vector<std::string>& items,
                                         std::size_t limit)
{
    if (items.empty())
        return {head};
    std::vector<std::string> lines;
    std::string line = head + ",C";
    bool first = true;
    for (const std::string& text : items) {
        if (!first && line.size() + 1 + text.size() + 1 > limit) {
            lines.push_back(line + ",");
            line.clear();
            first = true;
        }
        line += (first ? "" : ",") + text;
        first = false;
    }
    lines.push_back(line);
    return lines;
}

void check_layout_text()
{
    for (int i = 1; i <= numrows(); ++i) {
        const LayoutRow& row = model().rows[i];
        const std::string tag = row_tag(row);
        if (tag_holds_separator(tag))
            throw MessageText(c_format("Row %d: the tag \"%s\" holds a blank, comma, parenthesis or \"=\"; change it",
                                       i, tag.c_str()));
        // A tag read from a damaged model file may hold what no editor takes.
        if (!tag_valid(tag))
            throw MessageText(c_format("Row %d: the tag holds a control character or is too long; change it", i));
        if (row.etype == ET_COMMENT && row.comment_text().find_first_of("\r\n") != std::string::npos)
            throw MessageText(c_format("Row %d: the comment holds a line end; change it", i));
        if (row.etype == ET_COMMENT && holds_controls(row.comment_text()))
            throw MessageText(
                c_format("Row %d: the comment holds a control character or a byte that is not UTF-8; change it", i));
    }
}

void batch_write_layout(BatchWriter& w)
{
    w.line("LAYOUT");
    Remembered carried;
    for (int i = 1; i <= numrows(); ++i)
        write_row(w, i, carried);
}
