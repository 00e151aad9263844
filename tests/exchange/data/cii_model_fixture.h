// A CAESAR II model with every element kind, restraint type, displacement,
// force, SIF, nozzle and hanger that the importer takes, given in internal
// units (inch, lb, in-lb, psi, degF) and written in a file's units: English
// (every factor 1, degF) or metric with degC and its offset. The file values
// are the internal ones times the units' definitions, so that the test
// expects back the values it started from:
//   1 in = 25.4 mm; 1 lbf = 4.4482216152605 N; 1 lb = 0.45359237 kg;
//   1 psi = 0.0689475729 bar = 0.006894757293 MPa; 1 lb/in3 = 27679.9047 kg/m3;
//   degC = (degF - 32) / 1.8 = degF x 5/9 - 160/9.
#pragma once

#include "exchange/data/cii_fixture.h"

#include <numbers>

namespace cii_test {

inline constexpr double DEG = 180.0 / std::numbers::pi;

// File value per internal value, by quantity.
struct FileScale {
    double length = 1, force = 1, weight = 1, moment = 1, pressure = 1, density = 1, stiffness = 1,
           rot_stiffness = 1;   // per (in-lb/deg)
    double t_scale = 1, t_offset = 0;
    CiiFactors factors;
    double temperature(double f) const { return f * t_scale + t_offset; }
};

inline FileScale english_scale()
{
    return {};
}

inline FileScale celsius_scale()
{
    FileScale s;
    s.length = 25.4;
    s.force = 4.4482216152605;
    s.weight = 0.45359237;
    s.moment = 4.4482216152605 * 0.0254;
    s.pressure = 0.0689475729;
    s.density = 27679.9047;
    s.stiffness = 4.4482216152605 / 25.4;
    s.rot_stiffness = 4.4482216152605 * 0.0254;
    s.t_scale = 5.0 / 9.0;
    s.t_offset = -160.0 / 9.0;
    s.factors = celsius_factors();
    return s;
}

// The model's values, internal units.
inline constexpr double OD_A = 6.625, WALL_A = 0.28, INSULATION_A = 2.0, INSULATION_DENSITY_A = 11.0 / 1728.0,
                        CORROSION_A = 0.0625;
inline constexpr double OD_B = 4.5, WALL_B = 0.237, OD_C = 8.625, WALL_C = 0.322;
inline constexpr double T1 = 300, T2 = 250, P1 = 150, P2 = 100, AMBIENT = 60;
inline constexpr double WATER = 0.03609;   // lb/in3, water as the analysis weighs it: a specific gravity of 1
inline constexpr double BEND_RADIUS = 9.0, FITTING = 0.432;
inline constexpr double RIGID_SHORT = 100, RIGID_LONG = 300, RIGID_JOINED = 50;
inline constexpr double HYDROTEST = 500;
inline constexpr double ANCHOR_K = 10, SKEWED_K = 5000, ROTATIONAL_K = 100 /* in-lb/deg */, SNUBBER_K = 3000;
inline constexpr double GUIDE_GAP = 0.1, GUIDE_MU = 0.2, STOP_GAP = 0.5, LIM_GAP = 0.25, LIM_MU = 0.3;
inline constexpr double COORD_200[3] = {1000, 0, 500};

struct RichElement {
    double from, to, dx, dy, dz;
    char section;   // 'A', 'B', 'C'
    int bend = 0, rigid = 0, joint = 0, reducer = 0;
    double hydrotest = 0;
    bool hot = true;   // T1, T2, P1, P2 given; else every temperature 0
    double material = 106, density = 0.283;
};

// The elements in file order.
inline std::vector<RichElement> rich_elements()
{
    return {
        {10, 20, 120, 0, 0, 'A'},
        {20, 30, 96, 0, 0, 'A', 1},                          // bend, intermediate nodes 28 and 29
        {30, 40, 0, 96, 0, 'A', 0, 0, 0, 0, HYDROTEST},      // a hydrotest row after the bend
        {40, 50, 0, 3, 0, 'A', 0, 1},                        // short rigid: stays, takes its contents
        {50, 60, 0, 24, 0, 'A', 0, 2},                       // long rigid: a valve
        {60, 70, 0, 10, 0, 'A', 0, 0, 1},                    // joint with a diameter: bellows
        {70, 80, 0, 12, 0, 'A', 0, 0, 2},                    // joint without: elastic element
        {80, 90, 0, 0, 0, 'A', 0, 0, 3},                     // joint of no length: ball joint
        {90, 100, 0, 10, 0, 'A', 0, 0, 0, 1},                // reducer to 4.5
        {100, 110, 0, 60, 0, 'B', 0, 0, 0, 0, 0, true, 201, 0.290},
        {110, 120, 0, 8, 0, 'B', 0, 0, 0, 2, 0, true, 201, 0.290},   // reducer, second end from the next
        {120, 130, 0, 50, 0, 'C', 0, 0, 0, 0, HYDROTEST + 0.0005, false},
        {160, 130, 0, 0, -40, 'A'},                           // placed back from its existing end
        {170, 180, 10, 0, 0, 'A'},                            // dangling: joined to the rigid 175-170
        {175, 170, 0, 0, 6, 'A', 0, 3},
        {190, 170, 5, 0, 0, 'A'},                             // an ordinary element ending there stays
        {195, 30, 1, 0, 0, 'A'},                              // ends at a bend's node: joins its far end
        {0, 0, 0, 0, 0, 'A'},
        {200, 210, 20, 0, 0, 'A'},                            // starts at a COORDS point
    };
}

struct RichRestraint {
    double node, type, stiffness, gap, mu, connected;
    std::array<double, 3> cosines;
};

// Stiffness RIGID_K means rigid: 1.0e12 lb/in.
inline constexpr double RIGID_K = 1.0e12;

inline std::vector<RichRestraint> rich_restraints()
{
    std::vector<RichRestraint> r = {
        {10, 1, 0, 0, 0, 0, {}},
        {130, 1, ANCHOR_K, 0, 0, 0, {}},
        {110, 2, RIGID_K, 0, 0, 0, {}},
        {110, 3, RIGID_K, 0, 0, 0, {}},
        {110, 4, RIGID_K, 0, 0, 0, {}},
        {110, 2, SKEWED_K, 0, 0, 0, {}},
        {110, 2, SKEWED_K, 0, 0, 0, {0.6, 0.8, 0}},
        {110, 8, 0, GUIDE_GAP, GUIDE_MU, 0, {}},
        {110, 9, 0, LIM_GAP, LIM_MU, 0, {}},
        {120, 9, 0, GUIDE_GAP, 0, 130, {0, 1, 0}},
        {30, 3, RIGID_K, 0, 0, 0, {}},
    };
    for (int t : {5, 6, 7})
        r.push_back({110, double(t), ROTATIONAL_K, 0, 0, 0, {}});
    for (int t : {10, 11, 12})
        r.push_back({110, double(t), SNUBBER_K, 0, 0, 0, {}});
    for (int t = 13; t <= 35; ++t)
        r.push_back({110, double(t), 0, STOP_GAP, 0, 0, {}});
    return r;
}

// Vector 1 of the force at node 20; 9999.99 marks a free displacement.
inline constexpr std::array<double, 6> FORCE_20 = {100, -200, 300, 10, 20, 30};
inline constexpr std::array<double, 6> DISPLACEMENT_10 = {0.1, -0.2, 0.3, 0.5 /* deg */, 0, 9999.99};
inline constexpr std::array<double, 6> DISPLACEMENT_10_T2 = {1, 0, 0, 0, 0, 0};
inline constexpr std::array<double, 6> DISPLACEMENT_200 = {0.05, 0, 0, 0, 0, 0};

// SIF entries at node 120: type, in-plane, out-of-plane, pad (7), branch radius (8), crotch (9).
struct RichSif {
    double type, in_plane, out_plane, pad, radius, crotch;
};
inline std::vector<RichSif> rich_sifs()
{
    std::vector<RichSif> s = {{0, 1.2, 1.3, 0, 0, 0}, {1, 0, 0, 0.25, 0, 0}, {6, 0, 0, 0, 0, 0.5},
                              {17, 0, 0, 0, 1.0, 0},  {15, 2.0, 2.5, 0, 0, 0}, {0, 0, 0, 0, 0, 0}};
    for (int t : {2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13, 14, 16, 18})
        s.push_back({double(t), 2.0, 2.5, 0, 0, 0});
    return s;
}

// The nozzle at node 200: OD, wall, vessel OD, vessel wall, L1, L2, vessel axis.
inline constexpr double NOZZLE[8] = {6.625, 0.28, 96, 0.5, 48, 60, 0, 1};

inline std::vector<CiiHangerRecord> rich_hangers()
{
    return {{40, 2, 5}, {30, 0, 25}, {110, 3, 20}};
}

// The model written as a file of `version` in the units of `u`.
inline CiiFile rich_file(double version, const FileScale& u)
{
    CiiFile f;
    f.version = version;
    f.title = "Rich model";
    f.units = u.factors;
    f.ambient = u.temperature(AMBIENT);
    f.bourdon = true;
    f.liberal = true;
    f.node_names = 2;
    f.uniform_loads = f.winds = f.offsets = f.allowables = 1;
    f.flanges = f.equipment = 1;
    f.d_exponents = version < 5.0;
    const double l = u.length;
    for (const RichElement& r : rich_elements()) {
        CiiElementRecord e;
        e.from = r.from;
        e.to = r.to;
        e.dx = r.dx * l, e.dy = r.dy * l, e.dz = r.dz * l;
        const double od = r.section == 'A' ? OD_A : r.section == 'B' ? OD_B : OD_C;
        const double wall = r.section == 'A' ? WALL_A : r.section == 'B' ? WALL_B : WALL_C;
        e.od = od * l;
        e.wall = wall * l;
        e.insulation = r.section == 'A' ? INSULATION_A * l : 0;
        e.insulation_density = r.section == 'A' ? INSULATION_DENSITY_A * u.density : 0;
        e.corrosion = r.section == 'A' ? CORROSION_A * l : 0;
        e.mill = r.section == 'C' ? 10 : 0;
        if (r.hot) {
            e.t[0] = u.temperature(T1);
            e.t[1] = u.temperature(T2);
            e.p[0] = P1 * u.pressure;
            e.p[1] = P2 * u.pressure;
            e.fluid_density = WATER * u.density;
        }
        e.hydrotest = r.hydrotest * u.pressure;
        e.bend = r.bend, e.rigid = r.rigid, e.expansion_joint = r.joint, e.reducer = r.reducer;
        e.material = r.material;
        e.density = r.density * u.density;
        f.elements.push_back(e);
    }
    f.bends = {CiiBendRecord{BEND_RADIUS * l, -1, 28, 60, 29, FITTING * l}};
    f.rigids = {RIGID_SHORT * u.force, RIGID_LONG * u.force, RIGID_JOINED * u.force};
    f.joints = {{1000 * u.stiffness, 2000 * u.stiffness, 500 * u.rot_stiffness, 800 * u.rot_stiffness, 7.0 * l},
                {1000 * u.stiffness, 2000 * u.stiffness, 500 * u.rot_stiffness, 800 * u.rot_stiffness, 0},
                {1000 * u.stiffness, 2000 * u.stiffness, 500 * u.rot_stiffness, 800 * u.rot_stiffness, 5.0 * l}};
    f.reducers = {{OD_B * l, WALL_B * l}, {0, 0}};
    const std::size_t blocks = version > 8.0 ? 6 : 4;
    std::vector<CiiRestraintRecordBlock> record;
    for (const RichRestraint& r : rich_restraints()) {
        const bool rotational = r.type >= 5 && r.type <= 7;
        record.push_back({r.node, r.type, rotational ? r.stiffness * u.rot_stiffness : r.stiffness * u.stiffness,
                          r.gap * l, r.mu, r.connected, r.cosines});
        if (record.size() == blocks) {
            f.restraints.push_back(record);
            record.clear();
        }
    }
    if (!record.empty())
        f.restraints.push_back(record);
    auto displacement = [&](const std::array<double, 6>& d) {
        Six v{};
        for (std::size_t c = 0; c < 6; ++c)
            v[c] = d[c] >= 9999.99 ? d[c] : c < 3 ? d[c] * l : d[c];
        return v;
    };
    std::array<CiiVectorBlock, 2> disp{};
    disp[0].node = 10;
    disp[0].vectors[0] = displacement(DISPLACEMENT_10);
    disp[0].vectors[1] = displacement(DISPLACEMENT_10_T2);
    disp[1].node = 200;
    disp[1].vectors[0] = displacement(DISPLACEMENT_200);
    f.displacements.push_back(disp);
    std::array<CiiVectorBlock, 2> force{};
    force[0].node = 20;
    for (std::size_t c = 0; c < 6; ++c)
        force[0].vectors[0][c] = FORCE_20[c] * (c < 3 ? u.force : u.moment);
    force[1].node = 30;
    force[1].vectors[0] = {0, 0, 50 * u.force, 0, 0, 0};
    force[1].vectors[3] = {10 * u.force, 0, 0, 0, 0, 0};
    f.forces.push_back(force);
    std::array<CiiVectorBlock, 2> dropped{};
    dropped[0].node = 999;
    dropped[0].vectors[0] = {1, 0, 0, 0, 0, 0};
    f.forces.push_back(dropped);
    const std::vector<RichSif> sifs = rich_sifs();
    for (std::size_t i = 0; i < sifs.size(); i += 2) {
        std::array<std::array<double, 30>, 2> record_values{};
        for (std::size_t k = 0; k < 2 && i + k < sifs.size(); ++k) {
            const RichSif& s = sifs[i + k];
            auto& v = record_values[k];
            v[0] = 120, v[1] = s.type, v[2] = s.in_plane, v[3] = s.out_plane;
            v[6] = s.pad * l, v[7] = s.radius * l, v[8] = s.crotch * l;
        }
        f.sifs.push_back(record_values);
    }
    std::array<double, 18> nozzle{};
    nozzle[0] = 200;
    nozzle[3] = NOZZLE[0] * l, nozzle[4] = NOZZLE[1] * l, nozzle[5] = NOZZLE[2] * l, nozzle[6] = NOZZLE[3] * l;
    nozzle[9] = NOZZLE[4] * l, nozzle[10] = NOZZLE[5] * l;
    nozzle[11] = NOZZLE[6], nozzle[12] = NOZZLE[6], nozzle[13] = NOZZLE[7];
    f.nozzles.push_back(nozzle);
    f.hangers = rich_hangers();
    f.coords = {{200, COORD_200[0] * l, COORD_200[1] * l, COORD_200[2] * l}};
    return f;
}

}  // namespace cii_test
