// Neutral files that several tests and the fuzz seeds share: a PipePak file
// with every keyword (its numbers read in the units its UNIT line names), a
// PipePak file with a line of most kinds, and a small CAESAR II file.
#pragma once

#include "exchange/data/cii_fixture.h"

#include <algorithm>
#include <string>

namespace neutral_test {

// The same file in every unit system: the numbers are read in the system's units.
inline std::string every_keyword_pnf(const char* units)
{
    return std::string("TITLE every keyword\n"
                       "UNIT ") +
           units +
           "\n"
           "GLOBAL B31.3 80 1.0 1.2 3 25\n"
           "MATERIAL CS (CARBON STEEL) 0.283 0.29\n"
           "ALLOWABLE CS 70 20000 500 18900\n"
           "LOAD L1 300 150 400 100\n"
           "LOAD L2 250 90\n"
           "PIPE S6 6 40 6.625 0.28 0.0625 2 11\n"
           "PIPE S4 4 40 4.5 0.237\n"
           "FROM A 0 0 0 S6 CS L1\n"
           "TO B 10 0 0\n"
           "TO C 0 80 0 LONG\n"
           "TO D 0 0 60\n"
           "TO E 5 0 0 * S4 * L2\n"
           "TO F 5 0 0 * S6\n"
           "TO G 4 0 0\n"
           "TO H 3 0 0\n"
           "TO J 20 0 0 18\n"
           "TO K 0 40 0\n"
           "BSJ X 1000\n"
           "TO M 4 0 0\n"
           "COMMENT a comment line\n"
           "ANCHOR A\n"
           "ANCHOR M * * FREE * 7000 * * * 0.5 -1 * 2 * 0.1\n"
           "RIGID B\n"
           "RIGID C MID\n"
           "GUIDE D *\n"
           "LINESTOP E * 5000\n"
           "INCLINED F * 2000 X Y\n"
           "ROTATIONAL G * 100 0 1 0\n"
           "SPRING H * 500 1200\n"
           "CONSTANT H * X 800\n"
           "HANGER K\n"
           "LIMITSTOP J NEAR 1000 0.5 0.5 0.3\n"
           "ONEWAY K * +Y 0.2\n"
           "SNUBBER B * 3000 1 0 0\n"
           "FLANGE D * SOCKET X 25 10\n"
           "TEE E UNREINFORCED 0.375\n"
           "TEE F EXTRUDED * 0.5\n"
           "SIF G 1.5 2.0\n"
           "FORCE H * 100 -200 300 10 20 30\n"
           "WEIGHT J FAR 50\n"
           "MASS K * 25\n"
           "VALVE A GATE 300 2\n"
           "REDUCER E\n"
           "CUT F 0.5\n"
           "BELLOW G 40 30 FREE 800 * X 60\n";
}

// A PipePak file with a line of most kinds.
inline const std::string HOSTILE_PNF = "TITLE hostile\n"
                        "UNIT METRIC\n"
                        "GLOBAL B31.3 20 1 1.1 2 30\n"
                        "MATERIAL CS (CARBON STEEL) 7833 0.3\n"
                        "ALLOWABLE CS 20 1400 300 1200\n"
                        "LOAD L1 200 10 150 5\n"
                        "PIPE S1 6 40 16.83 0.711 0.1 5 100\n"
                        "FROM A 0 0 0 S1 CS L1\n"
                        "TO B 300 0 0\n"
                        "TO C 0 300 0 LONG\n"
                        "TO D 0 0 300\n"
                        "TO E 200 0 0\n"
                        "TO F 0 200 0 45\n"
                        "TO G 0 0 200\n"
                        "BSJ X 100\n"
                        "TO H 100 0 0\n"
                        "COMMENT the end\n"
                        "ANCHOR A\n"
                        "ANCHOR H * * * * * * * 1 0 0 0 0 0\n"
                        "RIGID C MID\n"
                        "GUIDE D * 500\n"
                        "LIMITSTOP F NEAR 100 1 1\n"
                        "SPRING E * 50 300\n"
                        "FORCE G * 10 20 30\n"
                        "TEE B REINFORCED 0.5\n"
                        "VALVE D GATE 50\n"
                        "BELLOW A 10 20 30\n";

}  // namespace neutral_test

namespace cii_test {

// A small English file: 10 - 20 - 30, an anchor at 10, 10 on COORDS.
inline CiiFile small_cii(double version = 10.0)
{
    CiiFile f;
    f.version = version;
    CiiElementRecord e;
    e.from = 10, e.to = 20, e.dx = 120;
    e.t[0] = 300, e.p[0] = 100;
    f.elements.push_back(e);
    e.from = 20, e.to = 30, e.dx = 0, e.dy = 120;
    f.elements.push_back(e);
    f.restraints.push_back({{10, 1, 0, 0, 0, 0, {}}});
    f.coords = {{10, 0, 0, 0}};
    return f;
}

// A component of this value or more is one the file leaves free.
inline constexpr double FREE_DISPLACEMENT = 9999.99;

// A pipe from 10 to 20 along X (6.625 x 0.28 in, 0.283 lb/in3), anchored at
// both ends, with a displacement block at node 20 whose vectors 1 to 3 are
// given.
inline CiiFile anchored_pipe_cii(const std::array<Six, 3>& vectors)
{
    CiiFile f;
    CiiElementRecord e;
    e.from = 10, e.to = 20, e.dx = 120;
    f.elements.push_back(e);
    f.restraints.push_back({{10, 1, 0, 0, 0, 0, {}}, {20, 1, 0, 0, 0, 0, {}}});
    std::array<CiiVectorBlock, 2> block{};
    block[0].node = 20;
    for (std::size_t k = 0; k < 3; ++k)
        block[0].vectors[k] = vectors[k];
    f.displacements.push_back(block);
    f.coords = {{10, 0, 0, 0}};
    return f;
}

// A run of 6 in STD pipe 10 - 20 - 30 along X, 120 in each, anchored at
// both ends, in a version 4.5 file of English units as a converter writes
// it: both elements insulated 2 in thick, the first with the insulation
// density 0.
inline CiiFile insulation_without_density_cii()
{
    CiiFile f;
    f.version = 4.5;
    f.d_exponents = true;
    CiiElementRecord e;
    e.from = 10, e.to = 20, e.dx = 120, e.insulation = 2;
    f.elements.push_back(e);
    e.from = 20, e.to = 30, e.insulation_density = 0.0065;
    f.elements.push_back(e);
    f.restraints.push_back({{10, 1, 0, 0, 0, 0, {}}, {30, 1, 0, 0, 0, 0, {}}});
    f.coords = {{10, 0, 0, 0}};
    return f;
}

// A line of 168.3 x 7.11 mm pipe in a metric file (mm), 10 - 20 - 30 - 40
// along X, 3000 mm apart from node 10 at (1000, 0, 500), anchored at its
// ends; COORDS gives node 10 its place, and 20, 30 and 40 places that lie
// 3 mm (along Y), 50 mm (along X) and 0.5 mm (along Z) from where the
// elements put them. `reversed`: the elements written from 40 back.
inline CiiFile coords_off_line(bool reversed = false)
{
    CiiFile f;
    f.title = "COORDS OFF";
    f.units = celsius_factors();
    for (int k = 0; k < 3; ++k) {
        CiiElementRecord e;
        e.from = 10 + 10 * k, e.to = 20 + 10 * k, e.dx = 3000;
        e.od = 168.3, e.wall = 7.11, e.density = 7833;
        f.elements.push_back(e);
    }
    if (reversed)
        std::reverse(f.elements.begin(), f.elements.end());
    f.restraints = {{{10, 1, 0, 0, 0, 0, {}}, {40, 1, 0, 0, 0, 0, {}}}};
    f.coords = {{10, 1000, 0, 500}, {20, 4000, 3, 500}, {30, 7050, 0, 500}, {40, 10000, 0, 500.5}};
    return f;
}

}  // namespace cii_test
