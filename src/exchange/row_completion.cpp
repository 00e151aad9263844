#include "exchange/row_completion.h"

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
#include "exchange/batch_reader.h"
#include "framework/errors.h"
#include "framework/geometry.h"
#include "framework/units.h"
#include "loads/hydrotest_load.h"
#include "loads/nodal_loads.h"
#include "model/model.h"
#include "model/piping_codes.h"
#include "supports/anchor.h"
#include "supports/guide.h"
#include "supports/hanger.h"
#include "supports/limit_stop.h"
#include "supports/nozzle.h"
#include "supports/restraint.h"
#include "supports/skewed_restraint.h"
#include "supports/snubber.h"

#include <cctype>
#include <cmath>
#include <string>

namespace {

// The object of the row's kind. The row made it from its type, so a missing
// or other object is a fault of the program; the import still ends with a
// message rather than with a crash.
template <typename T, typename Base>
T& object_of(Base* object, const char* kind)
{
    T* typed = dynamic_cast<T*>(object);
    if (!typed)
        throw MessageText(std::string("Internal error: the row has no ") + kind + " object");
    return *typed;
}

template <typename T>
T& element_of(LayoutRow& row, const char* kind)
{
    return object_of<T>(row.element.get(), kind);
}

template <typename T>
T& data_of(LayoutRow& row, const char* kind)
{
    return object_of<T>(row.data.get(), kind);
}

// Runs a store of the row's values; a message it throws (a kind's own check
// of its values) ends the import at the line.
template <typename Store>
void storing(const BatchReader& reader, Store store)
{
    try {
        store();
    } catch (const MessageText& m) {
        reader.fail(m.text);
    }
}

float rigid_when_not_given(float stiffness)
{
    return stiffness == 0.0f ? RIGID_STIFFNESS : stiffness;
}

void store_intermediate_nodes(BendGeometry& g, const RowItemValues& v)
{
    g.node1 = v.node1;
    g.angle1 = v.angle1;
    g.node2 = v.node2;
    g.angle2 = v.angle2;
    order_intermediate_nodes(g.node1, g.angle1, g.node2, g.angle2);
}

void store_bend_radius(BendGeometry& g, const RowHead& head)
{
    g.radius = head.bend_radius;
    g.radius_kind = head.bend_radius_given ? RADIUS_USER : RADIUS_LONG;
}

void require_jacket(const BatchReader& r, const RowItemValues& v)
{
    if (v.jacket_material.empty())
        r.fail("Jacket Material required");
    if (v.jacket_section.empty())
        r.fail("Jacket Section required");
    if (v.jacket_load.empty())
        r.fail("Jacket Load required");
}

// The kind of a branch SIF and its two values, as the kind reads them.
struct BranchSifValues {
    int32_t kind = 0;
    float value1 = 0.0f;
    float value2 = 0.0f;
};

// Where each IGEM factor of a user SIF stands in the row's values (in the
// order of IGEM_FACTOR_KEYWORDS: IPS, IBS, IQS, ITS, ISS, then the cyclic
// ones), by the component it belongs to.
constexpr std::size_t IGEM_SUSTAINED_INDEX[SCF_COMPONENTS] = {0, 1, 3, 2, 4};   // P, B, T, Q, S
constexpr std::size_t IGEM_CYCLIC_INDEX[SCF_COMPONENTS] = {5, 6, 8, 7, 9};

bool all_zero(const std::array<float, 3>& d)
{
    return d[0] == 0.0f && d[1] == 0.0f && d[2] == 0.0f;
}

}  // namespace

void complete_row_element(const BatchReader& r, int index, const RowItemValues& v, const RowHead& head)
{
    LayoutRow& row = model().rows[index];
    switch (row.etype) {
    case ET_BEND:
        if (!code_is_b313_group() && v.sif_in != v.sif_out)
            r.fail("Inplane SIF and Outplane SIF are different");
        storing(r, [&] {
            Bend& bend = element_of<Bend>(row, "bend");
            store_bend_radius(bend.geometry, head);
            bend.geometry.thickness = v.bend_thickness;
            bend.geometry.material = v.bend_material;
            // One factor for both planes, as the B31J dialog asks.
            bend.ff_in = bend.ff_out = v.flexibility_factor;
            store_intermediate_nodes(bend.geometry, v);
            bend.sif_in = v.sif_in;
            bend.sif_out = v.sif_out;
            bend.sif_axial = v.sif_axial;
            bend.sif_torsion = v.sif_torsion;
        });
        break;
    case ET_MITER:
        if (head.bend_radius == 0.0f)
            r.fail("Bend Radius required for Miter Bend");
        storing(r, [&] {
            Miter& miter = element_of<Miter>(row, "miter");
            miter.geometry.radius = head.bend_radius;
            miter.geometry.thickness = v.bend_thickness;
            miter.geometry.material = v.bend_material;
            miter.ff_in = miter.ff_out = v.flexibility_factor;
            miter.spacing = v.miter_spacing == 2 ? MITER_WIDELY_SPACED_ID : MITER_CLOSELY_SPACED_ID;
        });
        break;
    case ET_JACKETED_PIPE:
        require_jacket(r, v);
        storing(r, [&] {
            JacketGeometry& j = element_of<JacketedPipe>(row, "jacketed pipe").jacket;
            j.material = v.jacket_material;
            j.section = v.jacket_section;
            j.load = v.jacket_load;
        });
        break;
    case ET_JACKETED_BEND:
        require_jacket(r, v);
        storing(r, [&] {
            JacketedBend& bend = element_of<JacketedBend>(row, "jacketed bend");
            store_bend_radius(bend.geometry, head);
            bend.geometry.thickness = v.bend_thickness;
            JacketGeometry& j = bend.jacket;
            j.material = v.jacket_material;
            j.section = v.jacket_section;
            j.load = v.jacket_load;
            j.radius = v.jacket_radius;
            j.radius_kind = v.jacket_radius_given ? RADIUS_USER : RADIUS_LONG;
            j.thickness = v.jacket_thickness;
            store_intermediate_nodes(bend.geometry, v);
        });
        break;
    case ET_VALVE:
        storing(r, [&] {
            Valve& valve = element_of<Valve>(row, "valve");
            valve.weight = v.valve_weight;
            valve.length = 0.0f;   // the row's offsets give it
            valve.thickness_multiplier = v.thickness_factor;
            valve.insulation_multiplier = v.insulation_factor;
            valve.additional_weight = v.additional_weight;
            valve.offset_dx = v.offset[0];
            valve.offset_dy = v.offset[1];
            valve.offset_dz = v.offset[2];
            valve.valve_type = 0;
        });
        break;
    case ET_REDUCER:
        if (v.od1 == 0.0f)
            r.fail("OD1 required for Reducer");
        if (v.od2 == 0.0f)
            r.fail("OD2 required for Reducer");
        if (v.thk1 == 0.0f)
            r.fail("THK1 required for Reducer");
        if (v.thk2 == 0.0f)
            r.fail("THK2 required for Reducer");
        storing(r, [&] {
            Reducer& reducer = element_of<Reducer>(row, "reducer");
            reducer.od1 = v.od1;
            reducer.thickness1 = v.thk1;
            reducer.od2 = v.od2;
            reducer.thickness2 = v.thk2;
            reducer.cone_angle = v.cone;
            reducer.knuckles = 0;
            reducer.delta = 0.0f;
        });
        break;
    case ET_BELLOWS:
        storing(r, [&] {
            Bellows& bellows = element_of<Bellows>(row, "bellows");
            bellows.axial_stiffness = v.axial_stiffness;
            bellows.bending_stiffness = v.bending_stiffness;
            bellows.torsional_stiffness = v.torsional_stiffness;
            bellows.lateral_stiffness = v.lateral_stiffness;
            bellows.thrust_area = v.thrust_area;
            bellows.weight = v.weight;
            bellows.mean_diameter = v.mean_diameter;
        });
        break;
    case ET_SLIP_JOINT:
        storing(r, [&] {
            SlipJoint& slip = element_of<SlipJoint>(row, "slip joint");
            slip.friction_force = v.friction_force;
            slip.friction_torque = v.friction_torque;
            slip.thrust_area = v.thrust_area;
            slip.weight = v.weight;
        });
        break;
    case ET_HINGE_JOINT:
        // DV refuses a direction too short to have one, so the hinge always
        // gets its axis.
        if (!v.direction_given)
            r.fail("Hinge should have direction vector specified");
        storing(r, [&] {
            HingeJoint& hinge = element_of<HingeJoint>(row, "hinge joint");
            hinge.stiffness = v.torsional_stiffness;
            hinge.limit = v.rotation_limit;
            hinge.friction = v.friction_torque;
            hinge.weight = v.weight;
            for (std::size_t i = 0; i < 3; ++i)
                hinge.axis[i] = v.direction[i];
        });
        break;
    case ET_BALL_JOINT:
        storing(r, [&] {
            BallJoint& ball = element_of<BallJoint>(row, "ball joint");
            ball.bending_stiffness = v.ball_stiffness[0];
            ball.torsional_stiffness = v.ball_stiffness[1];
            ball.bending_limit = v.ball_limits[0];
            ball.torsional_limit = v.ball_limits[1];
            ball.bending_friction = v.ball_friction[0];
            ball.torsional_friction = v.ball_friction[1];
            ball.weight = v.weight;
        });
        break;
    case ET_RIGID:
        storing(r, [&] {
            RigidElement& rigid = element_of<RigidElement>(row, "rigid element");
            rigid.weight = v.weight;
            rigid.add_cil = 0;
        });
        break;
    case ET_ELASTIC: {
        if (all_zero(v.local_x))
            r.fail("Local X axis required");
        if (all_zero(v.local_y))
            r.fail("Local Y axis required");
        double x[3] = {v.local_x[0], v.local_x[1], v.local_x[2]};
        double y[3] = {v.local_y[0], v.local_y[1], v.local_y[2]};
        normalize3(x[0], x[1], x[2]);
        normalize3(y[0], y[1], y[2]);
        if (std::abs(x[0] * y[0] + x[1] * y[1] + x[2] * y[2]) > 0.01)
            r.fail("Local x and Local y are not perpendicular");
        storing(r, [&] {
            // Rates as given: one of 0 or below (TRAK and ROTK keep a member
            // given as 0 as -1) is a direction left free; the axes as given.
            ElasticElement& elastic = element_of<ElasticElement>(row, "elastic element");
            elastic.kx = v.translational[0];
            elastic.ky = v.translational[1];
            elastic.kz = v.translational[2];
            elastic.kxx = v.rotational[0];
            elastic.kyy = v.rotational[1];
            elastic.kzz = v.rotational[2];
            for (std::size_t i = 0; i < 3; ++i) {
                elastic.x_axis[i] = v.local_x[i];
                elastic.y_axis[i] = v.local_y[i];
            }
        });
        break;
    }
    case ET_CUT_PIPE:
        if (v.cut == 0.0f)
            r.fail("Cut value required");
        storing(r, [&] { element_of<CutPipe>(row, "cut pipe").cut = v.cut; });
        break;
    case ET_BEAM:
        if (v.beam_material.empty())
            r.fail("Beam Material required");
        if (v.beam_section.empty())
            r.fail("Beam Section required");
        if (v.beam_load.empty())
            r.fail("Beam Load required");
        row.material = v.beam_material;
        row.section = v.beam_section;
        row.load = v.beam_load;
        storing(r, [&] {
            Beam& beam = element_of<Beam>(row, "beam");
            beam.beta = v.beta;
            beam.releases = {};
        });
        break;
    case ET_COMMENT:
        // As the layout's editor does: a first row's comment gives the model title too.
        storing(r, [&] {
            element_of<CommentElement>(row, "comment");
            LayoutRow::set_comment_text(index, head.comment);
        });
        break;
    case ET_TIE_ROD:
        if (!(static_cast<double>(v.tie_stiffness[0]) + v.tie_stiffness[1] >= 1.0e-6))
            r.fail("At least one stiffness required");
        storing(r, [&] {
            TieRod& tie = element_of<TieRod>(row, "tie rod");
            tie.tension_stiffness = v.tie_stiffness[0];
            tie.compression_stiffness = v.tie_stiffness[1];
            tie.tension_gap = v.tie_gap[0];
            tie.compression_gap = v.tie_gap[1];
        });
        break;
    case ET_HYDROTEST_LOAD:
        storing(r, [&] {
            HydrotestLoad& load = element_of<HydrotestLoad>(row, "hydrotest load");
            load.specific_gravity = v.hydrotest_gravity;
            load.pressure = v.hydrotest_pressure;
        });
        break;
    default:
        break;
    }
    // Sizes of the element's own, as the model check takes them: refused at
    // the line that gives them.
    if (std::string fault = element_size_fault(row, [](const std::string& name) { return 2.0 * section_radius(name); });
        !fault.empty()) {
        fault[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(fault[0])));
        r.fail(fault);
    }
}

void complete_row_data(const BatchReader& r, int index, const RowItemValues& v, const RowHead& head)
{
    LayoutRow& row = model().rows[index];
    switch (row.dtype) {
    case DT_ANCHOR:
        storing(r, [&] {
            AnchorValues a;
            a.tag = v.tag;
            // Not given: rigid; given as 0 (stored as -1): free.
            for (std::size_t i = 0; i < 3; ++i) {
                a.stiffness[i] = std::max(rigid_when_not_given(v.translational[i]), 0.0f);
                a.stiffness[3 + i] = std::max(rigid_when_not_given(v.rotational[i]), 0.0f);
            }
            a.local_axes = v.local_axes == 1;
            a.local_displacements = v.local_displacements == 1;
            a.released = v.released;
            a.displacements = v.displacements;
            data_of<Anchor>(row, "anchor").v = a;
        });
        break;
    case DT_RESTRAINT:
        storing(r, [&] {
            RestraintValues s{v.tag, v.restrained};
            Restraint::check_values(s);
            data_of<Restraint>(row, "restraint").v = s;
        });
        break;
    case DT_SKEWED_RESTRAINT:
        if (!v.direction_given)
            r.fail("Skewed restraint should have direction specified");
        storing(r, [&] {
            SkewedRestraintValues s;
            s.tag = v.tag;
            s.rotational = v.kr != 0.0f;
            s.stiffness = s.rotational ? v.kr : v.k;
            s.direction = v.direction;
            s.connected = v.connected;
            SkewedRestraint::check_values(s);
            data_of<SkewedRestraint>(row, "skewed restraint").v = s;
        });
        break;
    case DT_HANGER:
        storing(r, [&] {
            HangerValues h;
            h.tag = v.tag;
            h.type = v.hanger_kind;
            h.count = v.hanger_count;
            h.load_variation = 0;
            h.short_range = false;
            h.load_type = 0;
            h.spring_rate = h.load = 0.0f;
            if (h.type < HANGER_USER) {
                h.load_variation = v.load_variation == 0 ? DEFAULT_LOAD_VARIATION : v.load_variation;
                h.short_range = v.short_range;
            } else if (h.type == HANGER_USER) {
                h.spring_rate = v.spring_rate;
                h.load = v.hanger_load;
                if (v.load_type > 0)
                    h.load_type = v.load_type;
            }
            // Every kind keeps a load variation within the editors' range.
            if (h.load_variation == 0)
                h.load_variation = DEFAULT_LOAD_VARIATION;
            h.connected = v.connected;
            Hanger::check_values(h);
            data_of<Hanger>(row, "hanger").v = h;
        });
        break;
    case DT_GUIDE:
        storing(r, [&] {
            GuideValues g;
            g.tag = v.tag;
            g.mu = v.mu;
            g.stiffness = rigid_when_not_given(v.stiffness);
            g.gap = v.guide_gap;
            g.connected = v.connected;
            Guide::check_values(g);
            data_of<Guide>(row, "guide").v = g;
        });
        break;
    case DT_LIMIT_STOP:
        if (!v.direction_given && v.connected == 0)
            r.fail("Limit stop should have direction specified");
        storing(r, [&] {
            LimitStopValues s;
            s.tag = v.tag;
            s.lower = v.lower_limit;
            s.upper = v.upper_limit;
            s.direction = v.direction;
            s.mu = v.mu;
            s.connected = v.connected;
            s.stiffness = rigid_when_not_given(v.stiffness);
            LimitStop::check_values(s);
            data_of<LimitStop>(row, "limit stop").v = s;
        });
        break;
    case DT_NOZZLE:
        if (v.nozzle_type == 0)
            r.fail("Nozzle type required");
        storing(r, [&] {
            NozzleValues n;
            n.tag = v.tag;
            n.type = v.nozzle_type;
            n.pad = n.type == NOZZLE_API_650 && v.pad == 1;
            n.nozzle_od = v.nozzle_od;
            n.nozzle_thickness = v.nozzle_thickness;
            n.vessel_od = v.vessel_od;
            n.vessel_thickness = v.vessel_thickness;
            n.modulus = v.vessel_modulus;
            n.length1 = v.length1;
            n.length2 = n.type == NOZZLE_API_650 ? 0.0f : v.length2;
            n.axis = v.direction;
            n.displacements = v.displacements;
            Nozzle::check_values(n);
            data_of<Nozzle>(row, "nozzle").v = n;
        });
        break;
    case DT_SNUBBER:
        if (!v.direction_given)
            r.fail("Snubber direction required");
        storing(r, [&] {
            SnubberValues s;
            s.tag = v.tag;
            s.stiffness = rigid_when_not_given(v.stiffness);
            s.direction = v.direction;
            Snubber::check_values(s);
            data_of<Snubber>(row, "snubber").v = s;
        });
        break;
    case DT_SPIDER:
        storing(r, [&] { data_of<Spider>(row, "spider"); });
        break;
    case DT_JACKET_END_CAP:
        storing(r, [&] { data_of<JacketEndCap>(row, "end cap"); });
        break;
    case DT_FLANGE:
        storing(r, [&] {
            Flange& flange = data_of<Flange>(row, "flange");
            flange.flange_type = v.flange_type;
            flange.weight = v.weight;
            flange.gasket_diameter = v.gasket_diameter;
            flange.allowable_pressure = v.allowable_pressure;
        });
        break;
    case DT_BRANCH_SIF: {
        BranchSifValues sif;
        sif.kind = head.branch_kind;
        constexpr float LEAST = 0.001f;
        switch (sif.kind) {
        case 3:
            if (v.pad_thickness != 0.0f) {
                sif.kind = 2;
                sif.value1 = v.pad_thickness;
            }
            break;
        case 4:
            if (v.crotch_radius < LEAST)
                r.fail("For Extruded Tee, crotch radius is required");
            sif.value1 = v.crotch_radius;
            break;
        case 7:
            if (v.branch_radius < LEAST)
                r.fail("For Radiused Branch, fillet radius is required");
            sif.value1 = v.branch_radius;
            if (v.branch_thickness < LEAST)
                r.fail("For Radiused Branch, thickness is required");
            sif.value2 = v.branch_thickness;
            break;
        case 8:
            if (v.branch_length < LEAST)
                r.fail("For Branch on thickened pipe, length is required");
            sif.value2 = v.branch_length;
            if (v.branch_thickness < LEAST)
                r.fail("For Branch on thickened pipe, thickness is required");
            sif.value1 = v.branch_thickness;
            break;
        case 9:
            if (v.branch_radius < LEAST)
                r.fail("For Branch Connection, radius is required");
            sif.value1 = v.branch_radius;
            break;
        default:
            break;
        }
        storing(r, [&] {
            BranchSif& branch = data_of<BranchSif>(row, "branch SIF");
            branch.sif_type = sif.kind;
            branch.value1 = sif.value1;
            branch.value2 = sif.value2;
            branch.num_flanges = 0;
        });
        break;
    }
    case DT_USER_SIF:
        storing(r, [&] {
            UserSif& sif = data_of<UserSif>(row, "user SIF");
            sif.sif_in = v.sif_in;
            sif.sif_out = v.sif_out;
            sif.sif_axial = v.sif_axial;
            sif.sif_torsion = v.sif_torsion;
            // The IGEM factors count only under that code; each goes to the
            // factor its keyword names (Q torsion, T thrust).
            for (const ScfComponent c : {SCF_PRESSURE, SCF_BENDING, SCF_THRUST, SCF_TORSION, SCF_SHEAR}) {
                const bool igem = piping_code() == CODE_IGEM;
                sif.scf_sustained[c] = igem ? v.igem[IGEM_SUSTAINED_INDEX[c]] : 0.0f;
                sif.scf_cyclic[c] = igem ? v.igem[IGEM_CYCLIC_INDEX[c]] : 0.0f;
            }
        });
        break;
    case DT_WELD:
        storing(r, [&] {
            Weld& weld = data_of<Weld>(row, "weld");
            weld.weld_type = v.weld_type;
            weld.mismatch = v.mismatch;
        });
        break;
    case DT_THREADED_JOINT:
        storing(r, [&] { data_of<ThreadedJoint>(row, "threaded joint"); });
        break;
    case DT_FORCE:
        storing(r, [&] { data_of<ForceLoad>(row, "force").values = v.force; });
        break;
    case DT_CONC_MASS:
        storing(r, [&] {
            ConcentratedMass& mass = data_of<ConcentratedMass>(row, "concentrated mass");
            mass.weight = v.concentrated_weight;
            mass.offset = v.offset;
        });
        break;
    case DT_HARMONIC_LOAD:
        if (v.frequency == 0.0f)
            r.fail("Frequency required");
        storing(r, [&] {
            HarmonicLoad& load = data_of<HarmonicLoad>(row, "harmonic load");
            load.frequency = v.frequency;
            load.phase = v.phase;
            load.values = {v.force[0], v.force[1], v.force[2]};
        });
        break;
    default:
        break;
    }
}
