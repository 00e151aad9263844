// A builder of CAESAR II neutral files for the tests, written from the
// layout of the file: the sections in their order, each line with the count
// of numbers its layout gives for the file's version (the thresholds 5.0,
// 5.2, 5.3 and 8.0), reals in 13-column Fortran fields (which touch where a
// value is negative), whole numbers in 13 columns. Lines the importer skips
// hold filler the importer must not read.
#pragma once

#include "framework/text.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace cii_test {

// A text as its lines, and lines as a text.
inline std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        lines.push_back(l);
    return lines;
}

inline std::string text_of(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& l : lines)
        text += l + "\n";
    return text;
}

// The number (from 1) of the first line at or after `from` that begins with
// `start`; without one the test fails.
inline int line_of(const std::vector<std::string>& lines, const std::string& start, int from = 1)
{
    for (int i = from; i <= static_cast<int>(lines.size()); ++i)
        if (lines[static_cast<std::size_t>(i - 1)].rfind(start, 0) == 0)
            return i;
    ADD_FAILURE() << "no line " << start;
    return 1;
}

using Six = std::array<double, 6>;

struct CiiElementRecord {
    double from = 0, to = 0, dx = 0, dy = 0, dz = 0, od = 6.625;
    double wall = 0.28, insulation = 0, corrosion = 0;
    std::array<double, 9> t{}, p{};
    double nu = 0.3, density = 0.283, insulation_density = 0, fluid_density = 0, mill = 0, hydrotest = 0;
    int bend = 0, rigid = 0, expansion_joint = 0, reducer = 0;
    double material = 106;
};

struct CiiBendRecord {
    double radius = 0, angle1 = 0, node1 = 0, angle2 = 0, node2 = 0, fitting_thickness = 0;
};

struct CiiJointRecord {
    double axial = 0, transverse = 0, bending = 0, torsional = 0, diameter = 0;
};

struct CiiRestraintRecordBlock {
    double node = 0, type = 0, stiffness = 0, gap = 0, mu = 0, connected = 0;
    std::array<double, 3> cosines{};
};

struct CiiVectorBlock {
    double node = 0;
    std::array<Six, 9> vectors{};
};

struct CiiHangerRecord {
    int node = 0, count = 0, table = 0;
};

// The UNITS factors: a file value divided by its factor is the internal
// value (inch, lb, in-lb, psi, degF, lb/in3, lb/in, in-lb/deg).
struct CiiFactors {
    double length = 1, force = 1, weight = 1, moment = 1, stress = 1;
    double temperature = 1, temperature_offset = 0, pressure = 1, modulus = 1, pipe_density = 1,
           insulation_density = 1;
    double fluid_density = 1, stiffness = 1, rot_stiffness = 1;
    double diameter = 1, wall = 1;
};

// English units: every factor 1, temperatures in degF.
inline CiiFactors english_factors()
{
    return {};
}

// Metric units with temperatures in degC: mm, N, kg, N m, MPa, bar, kg/m3,
// N/mm, N m/deg. Each factor is the file unit per internal unit; degC =
// 5/9 degF - 160/9, so the scale is 5/9 and the offset -160/9.
inline CiiFactors celsius_factors()
{
    CiiFactors f;
    f.length = f.diameter = f.wall = 25.4;
    f.force = 4.4482216;
    f.weight = 0.4535924;
    f.moment = 0.112984829;
    f.stress = f.modulus = 0.006894757;
    f.temperature = 0.5555555555555556;
    f.temperature_offset = -17.77777777777778;
    f.pressure = 0.0689476;
    f.pipe_density = f.insulation_density = f.fluid_density = 27679.9;
    f.stiffness = 0.175126835;
    f.rot_stiffness = 0.112984829;
    return f;
}

struct CiiFile {
    double version = 10.0;
    std::string title = "FIXTURE";
    bool z_vertical = false;
    std::vector<CiiElementRecord> elements;
    std::vector<CiiBendRecord> bends;
    std::vector<double> rigids;                         // weights
    std::vector<CiiJointRecord> joints;
    std::vector<std::vector<CiiRestraintRecordBlock>> restraints;   // padded to 4 (6 above 8.0) blocks
    std::vector<std::array<CiiVectorBlock, 2>> displacements;
    std::vector<std::array<CiiVectorBlock, 2>> forces;
    std::vector<std::array<std::array<double, 30>, 2>> sifs;
    std::vector<std::array<double, 2>> reducers;        // second diameter, second wall
    std::vector<std::array<double, 18>> nozzles;
    std::vector<CiiHangerRecord> hangers;
    int node_names = 0, uniform_loads = 0, winds = 0, offsets = 0, allowables = 0, flanges = 0, equipment = 0;
    bool bourdon = false, liberal = false, pressure_correction = false;
    double ambient = 0;
    CiiFactors units;
    bool coords_section = true;
    std::vector<std::array<double, 4>> coords;          // node, X, Y, Z
    // Exponents written with "D" as Fortran may.
    bool d_exponents = false;
    // Laid out as the public exporters write: a version line of three
    // numbers (format version, version, code page), an ambient line of six
    // values in MISCEL_1, reals with six significant digits ("10.0000").
    bool exporter_layout = false;

    bool above(double v) const { return version > v; }

    std::string text() const
    {
        std::string out;
        auto line = [&out](const std::string& l) { out += l + "\n"; };
        auto reals = [&](std::vector<double> v) {
            std::string l;
            for (double x : v) {
                std::string f = c_format(exporter_layout ? "%#13.6G" : "%13.6E", x);
                if (d_exponents)
                    for (char& c : f)
                        if (c == 'E')
                            c = 'D';
                l += f;
            }
            line(l);
        };
        auto ints = [&](std::vector<int> v) {
            std::string l;
            for (int x : v)
                l += c_format("%13d", x);
            line(l);
        };
        auto filler = [&](int n) {
            for (int i = 0; i < n; ++i)
                line("   SKIPPED LINE  x y z");
        };
        // Values written six to a line, the last line holding the rest.
        auto sixes_int = [&](const std::vector<int>& all) {
            for (std::size_t i = 0; i < all.size(); i += 6)
                ints(std::vector<int>(all.begin() + static_cast<long>(i),
                                      all.begin() + static_cast<long>(std::min(all.size(), i + 6))));
        };
        auto sixes_real = [&](const std::vector<double>& all) {
            for (std::size_t i = 0; i < all.size(); i += 6)
                reals(std::vector<double>(all.begin() + static_cast<long>(i),
                                          all.begin() + static_cast<long>(std::min(all.size(), i + 6))));
        };
        const int blocks = above(8.0) ? 6 : 4;

        line("#$ VERSION");
        if (exporter_layout)
            line(c_format("%11.5f%13.4f%11d", 5.0, version, 1252));
        else
            reals({5.0, version});
        line("    TITLE = " + title);
        filler(59);

        line("#$ CONTROL");
        std::vector<int> first = {static_cast<int>(elements.size()), static_cast<int>(nozzles.size()),
                                  static_cast<int>(hangers.size()), node_names, static_cast<int>(reducers.size())};
        if (above(5.0))
            first.push_back(flanges);
        ints(first);
        ints({static_cast<int>(bends.size()), static_cast<int>(rigids.size()), static_cast<int>(joints.size()),
              static_cast<int>(restraints.size()), static_cast<int>(displacements.size()),
              static_cast<int>(forces.size())});
        ints({uniform_loads, winds, offsets, allowables, static_cast<int>(sifs.size()), z_vertical ? 1 : 0});
        if (above(5.2))
            ints({equipment});

        line("#$ ELEMENTS");
        for (const CiiElementRecord& e : elements) {
            reals({e.from, e.to, e.dx, e.dy, e.dz, e.od});
            reals({e.wall, e.insulation, e.corrosion, e.t[0], e.t[1], e.t[2]});
            reals({e.t[3], e.t[4], e.t[5], e.t[6], e.t[7], e.t[8]});
            reals({e.p[0], e.p[1], e.p[2], e.p[3], e.p[4], e.p[5]});
            reals({e.p[6], e.p[7], e.p[8], 0.0, e.nu, e.density});
            reals({e.insulation_density, e.fluid_density, 0.0, e.mill, 0.0, e.hydrotest});
            if (above(5.0)) {
                reals({0, 0, 0, 0, 0, 0});
                reals(std::vector<double>(version < 5.3 ? 4 : 6, 0.0));
            }
            if (above(5.2))
                reals({0, 0, 0, 0, 0});
            if (above(8.0))
                filler(1);
            ints({e.bend, e.rigid, e.expansion_joint, 0, 0, 0});
            ints({0, 0, 0, 0, 0, 0});
            std::vector<int> last = {e.reducer};
            if (above(5.0))
                last.push_back(0);
            if (above(5.2))
                last.push_back(0);
            ints(last);
        }

        line("#$ AUX_DATA");
        if (node_names != 0) {
            line("#$ NODENAME");
            filler(node_names);
        }
        line("#$ BEND");
        for (const CiiBendRecord& b : bends) {
            reals({b.radius, 0, b.angle1, b.node1, b.angle2, b.node2});
            reals({0, 0, 0, b.fitting_thickness, 0});
            if (version >= 5.3)
                reals({0});
        }
        line("#$ RIGID");
        for (double w : rigids)
            reals({w});
        line("#$ EXPJT");
        for (const CiiJointRecord& j : joints)
            reals({j.axial, j.transverse, j.bending, j.torsional, j.diameter});
        line("#$ RESTRANT");
        for (const auto& record : restraints)
            for (int k = 0; k < blocks; ++k) {
                const CiiRestraintRecordBlock b =
                    k < static_cast<int>(record.size()) ? record[static_cast<std::size_t>(k)] : CiiRestraintRecordBlock{};
                reals({b.node, b.type, b.stiffness, b.gap, b.mu, b.connected});
                reals({b.cosines[0], b.cosines[1], b.cosines[2]});
                if (above(8.0))
                    filler(2);
            }
        line("#$ DISPLMNT");
        for (const auto& record : displacements)
            for (const CiiVectorBlock& b : record) {
                reals({b.node});
                for (int k = 0; k < 3; ++k)
                    reals(std::vector<double>(b.vectors[static_cast<std::size_t>(k)].begin(),
                                              b.vectors[static_cast<std::size_t>(k)].end()));
                filler(6);
            }
        line("#$ FORCMNT");
        for (const auto& record : forces)
            for (const CiiVectorBlock& b : record) {
                reals({b.node});
                for (const Six& v : b.vectors)
                    reals(std::vector<double>(v.begin(), v.end()));
            }
        line("#$ UNIFORM");
        filler(2 * uniform_loads);
        line("#$ WIND");
        filler(winds);
        line("#$ OFFSETS");
        filler(offsets);
        line("#$ ALLOWBLS");
        filler(allowables * (above(5.3) ? 26 : 18));
        line("#$ SIF&TEES");
        for (const auto& record : sifs)
            for (const auto& entry : record)
                for (std::size_t l = 0; l < 5; ++l)
                    reals(std::vector<double>(entry.begin() + static_cast<long>(6 * l),
                                              entry.begin() + static_cast<long>(6 * l + 6)));
        line("#$ REDUCERS");
        for (const auto& r : reducers)
            reals({r[0], r[1], 0, 0, 0});
        if (above(5.0)) {
            line("#$ FLANGES");
            filler(12 * flanges);
        }
        if (above(5.2)) {
            line("#$ EQUIPMNT");
            filler(6 * equipment);
        }

        line("#$ MISCEL_1");
        std::vector<double> materials;
        for (const CiiElementRecord& e : elements)
            materials.push_back(e.material);
        sixes_real(materials);
        for (const auto& n : nozzles) {
            reals(std::vector<double>(n.begin(), n.begin() + 6));
            reals(std::vector<double>(n.begin() + 6, n.begin() + 12));
            if (above(8.0)) {
                reals(std::vector<double>(n.begin() + 12, n.begin() + 18));
                reals({0, 0, 0, 0});
            } else {
                reals(std::vector<double>(n.begin() + 12, n.begin() + 16));
            }
        }
        if (!hangers.empty()) {
            const int h = static_cast<int>(hangers.size());
            const int lines6 = (h + 5) / 6;
            filler(2);
            std::vector<int> nodes, counts, tables;
            for (const CiiHangerRecord& r : hangers) {
                nodes.push_back(r.node);
                counts.push_back(r.count);
                tables.push_back(r.table);
            }
            sixes_int(nodes);
            filler(h * (above(8.0) ? 4 : 2));
            filler(h);
            sixes_int(counts);
            sixes_int(tables);
            filler(2 * lines6);
        }
        line(c_format("%13d%13d%13d%13d%13.6E%13d", 0, 0, bourdon ? 1 : 0, 0, 0.0, liberal ? 1 : 0));
        if (exporter_layout)
            line(c_format("%13d%13d%#13.6G%#13.6G%13d%13d", 0, pressure_correction ? 1 : 0, ambient, ambient, 0, 0));
        else
            line(c_format("%13d%13d%13.6E", 0, pressure_correction ? 1 : 0, ambient));
        filler(above(8.0) ? 2 : 1);

        line("#$ UNITS");
        reals({units.length, units.force, units.weight, units.moment, 1.0, units.stress});
        reals({units.temperature, units.temperature_offset, units.pressure, units.modulus, units.pipe_density,
               units.insulation_density});
        reals({units.fluid_density, units.stiffness, units.rot_stiffness, 1.0, 1.0, 1.0});
        reals({1.0, 1.0, units.diameter, units.wall});
        filler(24);

        if (coords_section) {
            line("#$ COORDS");
            ints({static_cast<int>(coords.size())});
            for (const auto& c : coords)
                line(c_format("%13d", static_cast<int>(c[0])) + c_format("%13.6E%13.6E%13.6E", c[1], c[2], c[3]));
        }
        return out;
    }
};

}  // namespace cii_test
