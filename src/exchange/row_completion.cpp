#include "exchange/row_completion.h"

#include "elements/bend.h"
#include "elements/jacketed_bend.h"
#include "elements/miter.h"
#include "elements/pipe.h"
#include "elements/reducer.h"
#include "exchange/batch_reader.h"
#include "exchange/pending_kinds.h"
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

#include <cmath>

namespace {

// The object of the row's kind; a kind whose class the program has not got
// is refused like the kinds still to come.
template <typename T, typename Base>
T& object_of(Base* object, const char* kinds)
{
    T* typed = dynamic_cast<T*>(object);
    if (!typed)
        throw MessageText(std::string(kinds) + " cannot be imported in this version");
    return *typed;
}

template <typename T>
T& element_of(LayoutRow& row, const char* kinds)
{
    return object_of<T>(row.element.get(), kinds);
}

template <typename T>
T& data_of(LayoutRow& row, const char* kinds)
{
    return object_of<T>(row.data.get(), kinds);
}

// Runs a store of the row's values; a message it throws (a kind's own check
// of its values, a kind not in this version) ends the import at the line.
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
            Bend& bend = element_of<Bend>(row, "Bends");
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
            Miter& miter = element_of<Miter>(row, "Miter bends");
            miter.geometry.radius = head.bend_radius;
            miter.geometry.thickness = v.bend_thickness;
            miter.geometry.material = v.bend_material;
            miter.ff_in = miter.ff_out = v.flexibility_factor;
            miter.spacing = v.miter_spacing == 2 ? MITER_WIDELY_SPACED_ID : MITER_CLOSELY_SPACED_ID;
        });
        break;
    case ET_JACKETED_PIPE:
        require_jacket(r, v);
        storing(r, [&] { apply_jacketed_pipe(row, {v.jacket_material, v.jacket_section, v.jacket_load}); });
        break;
    case ET_JACKETED_BEND:
        require_jacket(r, v);
        storing(r, [&] {
            JacketedBend& bend = element_of<JacketedBend>(row, "Jacketed bends");
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
    case ET_VALVE: {
        ValveItems valve;
        valve.weight = v.valve_weight;
        valve.thickness_factor = v.thickness_factor;
        valve.insulation_factor = v.insulation_factor;
        valve.additional_weight = v.additional_weight;
        valve.offset = v.offset;
        storing(r, [&] { apply_valve(row, valve); });
        break;
    }
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
            Reducer& reducer = element_of<Reducer>(row, "Reducers");
            reducer.od1 = v.od1;
            reducer.thickness1 = v.thk1;
            reducer.od2 = v.od2;
            reducer.thickness2 = v.thk2;
            reducer.cone_angle = v.cone;
            reducer.knuckles = 0;
            reducer.delta = 0.0f;
        });
        break;
    case ET_BELLOWS: {
        const BellowsItems bellows{v.axial_stiffness, v.bending_stiffness, v.torsional_stiffness,
                                   v.lateral_stiffness, v.thrust_area, v.weight, v.mean_diameter};
        storing(r, [&] { apply_bellows(row, bellows); });
        break;
    }
    case ET_SLIP_JOINT: {
        const SlipJointItems slip{v.friction_force, v.friction_torque, v.thrust_area, v.weight};
        storing(r, [&] { apply_slip_joint(row, slip); });
        break;
    }
    case ET_HINGE_JOINT: {
        if (!v.direction_given)
            r.fail("Hinge should have direction vector specified");
        const HingeJointItems hinge{v.torsional_stiffness, v.rotation_limit, v.friction_torque, v.weight, v.direction};
        storing(r, [&] { apply_hinge_joint(row, hinge); });
        break;
    }
    case ET_BALL_JOINT: {
        const BallJointItems ball{v.ball_stiffness, v.ball_limits, v.ball_friction, v.weight};
        storing(r, [&] { apply_ball_joint(row, ball); });
        break;
    }
    case ET_RIGID: {
        const RigidElementItems rigid{v.weight};
        storing(r, [&] { apply_rigid_element(row, rigid); });
        break;
    }
    case ET_ELASTIC: {
        const ElasticElementItems elastic{v.translational, v.rotational, v.local_x, v.local_y};
        if (all_zero(elastic.local_x))
            r.fail("Local X axis required");
        if (all_zero(elastic.local_y))
            r.fail("Local Y axis required");
        double x[3] = {elastic.local_x[0], elastic.local_x[1], elastic.local_x[2]};
        double y[3] = {elastic.local_y[0], elastic.local_y[1], elastic.local_y[2]};
        normalize3(x[0], x[1], x[2]);
        normalize3(y[0], y[1], y[2]);
        if (std::abs(x[0] * y[0] + x[1] * y[1] + x[2] * y[2]) > 0.01)
            r.fail("Local x and Local y are not perpendicular");
        storing(r, [&] { apply_elastic_element(row, elastic); });
        break;
    }
    case ET_CUT_PIPE:
        if (v.cut == 0.0f)
            r.fail("Cut value required");
        storing(r, [&] { element_of<CutPipe>(row, "Cut pipes").cut = v.cut; });
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
        storing(r, [&] { apply_beam(row, {v.beam_material, v.beam_section, v.beam_load, v.beta}); });
        break;
    case ET_COMMENT:
        storing(r, [&] { element_of<CommentElement>(row, "Comments").set_text(head.comment); });
        break;
    case ET_TIE_ROD: {
        if (!(static_cast<double>(v.tie_stiffness[0]) + v.tie_stiffness[1] >= 1.0e-6))
            r.fail("At least one stiffness required");
        const TieRodItems tie{v.tie_stiffness, v.tie_gap};
        storing(r, [&] { apply_tie_rod(row, tie); });
        break;
    }
    case ET_HYDROTEST_LOAD:
        storing(r, [&] {
            HydrotestLoad& load = element_of<HydrotestLoad>(row, "Hydrotest loads");
            load.specific_gravity = v.hydrotest_gravity;
            load.pressure = v.hydrotest_pressure;
        });
        break;
    default:
        break;
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
            data_of<Anchor>(row, "Anchors").v = a;
        });
        break;
    case DT_RESTRAINT:
        storing(r, [&] {
            RestraintValues s{v.tag, v.restrained};
            Restraint::check_values(s);
            data_of<Restraint>(row, "Restraints").v = s;
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
            data_of<SkewedRestraint>(row, "Skewed restraints").v = s;
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
            data_of<Hanger>(row, "Hangers").v = h;
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
            data_of<Guide>(row, "Guides").v = g;
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
            data_of<LimitStop>(row, "Limit stops").v = s;
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
            data_of<Nozzle>(row, "Nozzles").v = n;
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
            data_of<Snubber>(row, "Snubbers").v = s;
        });
        break;
    case DT_SPIDER:
        storing(r, [&] { apply_spider(row, {}); });
        break;
    case DT_JACKET_END_CAP:
        storing(r, [&] { apply_jacket_end_cap(row, {}); });
        break;
    case DT_FLANGE: {
        const FlangeItems flange{v.flange_type, v.weight, v.gasket_diameter, v.allowable_pressure};
        storing(r, [&] { apply_flange(row, flange); });
        break;
    }
    case DT_BRANCH_SIF: {
        BranchSifItems sif;
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
        storing(r, [&] { apply_branch_sif(row, sif); });
        break;
    }
    case DT_USER_SIF: {
        UserSifItems sif;
        sif.in_plane = v.sif_in;
        sif.out_plane = v.sif_out;
        sif.axial = v.sif_axial;
        sif.torsion = v.sif_torsion;
        if (piping_code() == CODE_IGEM) {
            sif.igem_given = true;
            sif.igem = v.igem;
        }
        storing(r, [&] { apply_user_sif(row, sif); });
        break;
    }
    case DT_WELD: {
        const WeldItems weld{v.weld_type, v.mismatch};
        storing(r, [&] { apply_weld(row, weld); });
        break;
    }
    case DT_THREADED_JOINT:
        storing(r, [&] { apply_threaded_joint(row, {}); });
        break;
    case DT_FORCE:
        storing(r, [&] { data_of<ForceLoad>(row, "Forces").values = v.force; });
        break;
    case DT_CONC_MASS:
        storing(r, [&] {
            ConcentratedMass& mass = data_of<ConcentratedMass>(row, "Concentrated masses");
            mass.weight = v.concentrated_weight;
            mass.offset = v.offset;
        });
        break;
    case DT_HARMONIC_LOAD:
        if (v.frequency == 0.0f)
            r.fail("Frequency required");
        storing(r, [&] {
            HarmonicLoad& load = data_of<HarmonicLoad>(row, "Harmonic loads");
            load.frequency = v.frequency;
            load.phase = v.phase;
            load.values = {v.force[0], v.force[1], v.force[2]};
        });
        break;
    default:
        break;
    }
}
