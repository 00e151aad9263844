// The staging store of a CAESAR II neutral file import: everything the file
// gives that the model uses, as read (file units, doubles), each record with
// the number of the line that holds its values, so that a fault found while
// the model is built names that line. Arrays hold their records from 1 in
// file order.
#pragma once

#include "exchange/neutral_text.h"
#include "framework/one_based.h"

#include <array>
#include <map>
#include <string>
#include <vector>

// A value of the file with the line it stands on.
struct CiiValue {
    double value = 0.0;
    int line = 0;
};

struct CiiElement {
    int line = 0;                        // line 1 of the record
    double from = 0.0, to = 0.0;
    std::array<double, 3> offset{};
    double od = 0.0;
    int line2 = 0;                       // wall, insulation, corrosion, T1..T3
    double wall = 0.0, insulation = 0.0, corrosion = 0.0;
    std::array<double, 9> t{};
    int pressure_line = 0;               // line 4: P1..P6
    std::array<double, 9> p{};
    int line5 = 0;                       // P7..P9, Poisson's ratio, pipe density
    double nu = 0.0, density = 0.0;
    int line6 = 0;                       // insulation and fluid density, mill tolerance, hydrotest pressure
    double insulation_density = 0.0, fluid_density = 0.0, mill = 0.0, hydrotest = 0.0;
    int index_line = 0;                  // bend, rigid and expansion-joint indices
    int bend = 0, rigid = 0, expansion_joint = 0;
    int reducer_line = 0;
    int reducer = 0;
    CiiValue material;                   // the material number (MISCEL_1)
};

struct CiiBend {
    int line = 0;
    double radius = 0.0, angle1 = 0.0, node1 = 0.0, angle2 = 0.0, node2 = 0.0;
    int thickness_line = 0;
    double fitting_thickness = 0.0;
};

struct CiiRigid {
    int line = 0;
    double weight = 0.0;
};

struct CiiExpansionJoint {
    int line = 0;
    double axial = 0.0, transverse = 0.0, bending = 0.0, torsional = 0.0, diameter = 0.0;
};

struct CiiRestraintBlock {
    int line = 0;                        // node, type, stiffness, gap, friction, connected node
    double node = 0.0, type = 0.0, stiffness = 0.0, gap = 0.0, mu = 0.0, connected = 0.0;
    int cosine_line = 0;
    std::array<double, 3> cosines{};
};

struct CiiDisplacementBlock {
    int line = 0;                        // the node's line
    double node = 0.0;
    std::array<int, 3> vector_lines{};
    std::array<std::array<double, 6>, 3> vectors{};   // DX, DY, DZ, RX, RY, RZ of vectors 1 to 3
};

struct CiiForceBlock {
    int line = 0;
    double node = 0.0;
    std::array<int, 9> vector_lines{};
    std::array<std::array<double, 6>, 9> vectors{};   // FX, FY, FZ, MX, MY, MZ of vectors 1 to 9
};

struct CiiSifEntry {
    int line = 0;                        // the entry's first line
    std::array<double, 30> values{};     // value k at [k - 1]: 1 node, 2 type, 3 and 4 SIFs, ...
    double operator()(int k) const { return values[static_cast<std::size_t>(k - 1)]; }
};

struct CiiReducer {
    int line = 0;
    double diameter = 0.0, wall = 0.0;
};

struct CiiNozzle {
    int line = 0;
    std::array<double, 18> values{};     // value k at [k - 1]
    double operator()(int k) const { return values[static_cast<std::size_t>(k - 1)]; }
};

struct CiiHanger {
    CiiValue node, count, table;
};

// The UNITS section: a file value divided by its factor is the internal value.
struct CiiUnits {
    CiiValue length, force, weight, moment, stress;
    CiiValue temperature, temperature_offset, pressure, modulus, pipe_density, insulation_density;
    CiiValue fluid_density, stiffness, rot_stiffness;
    CiiValue diameter, wall;
};

struct CiiCoordinate {
    int line = 0;
    std::array<double, 3> xyz{};
};

struct CiiStaging {
    CiiValue version;
    std::string title;

    // CONTROL.
    int control_line = 0;
    int elements = 0, nozzles = 0, hangers = 0, node_names = 0, reducers = 0, flanges = 0;
    int bends = 0, rigids = 0, expansion_joints = 0, restraints = 0, displacements = 0, forces = 0;
    int uniform_loads = 0, winds = 0, offsets = 0, allowables = 0, sifs = 0;
    bool z_vertical = false;
    int equipment = 0;

    OneBased<CiiElement> element;
    OneBased<CiiBend> bend;
    OneBased<CiiRigid> rigid;
    OneBased<CiiExpansionJoint> expansion_joint;
    OneBased<std::vector<CiiRestraintBlock>> restraint;
    OneBased<std::array<CiiDisplacementBlock, 2>> displacement;
    OneBased<std::array<CiiForceBlock, 2>> force;
    OneBased<std::array<CiiSifEntry, 2>> sif;
    OneBased<CiiReducer> reducer;
    OneBased<CiiNozzle> nozzle;
    OneBased<CiiHanger> hanger;

    // MISCEL_1 options.
    bool bourdon = false, liberal = false, pressure_correction = false;
    CiiValue ambient;

    CiiUnits units;
    std::map<int, CiiCoordinate> coordinates;   // COORDS, by node

    // Sections and records read and not used, for the closing note: how
    // many, and what they are called, one and more.
    struct Skipped {
        const char* one;
        const char* many;
        int count;
    };
    std::vector<Skipped> skipped;
    // The lines that held fewer values than were read from them (the
    // missing ones read as 0), for the closing note.
    std::vector<int> short_lines;
};

// Reads the whole file into the store (cii_reader.cpp). False when the
// file holds no model: no line of it is a section head, it ends before the
// first line of an element, or it gives no element. Throws the line error
// text of the first bad line.
bool read_cii_staging(const NeutralLines& lines, CiiStaging& s);

// The error text of a line: "line = %d\n%s\n%s".
std::string cii_error_text(int line_number, const std::string& line, const std::string& message);

// Builds the model from the store (cii_build.cpp, cii_items.cpp); a fault of
// a record names its line.
void build_cii_model(const CiiStaging& s, const NeutralLines& lines, ImportNotes& notes);
