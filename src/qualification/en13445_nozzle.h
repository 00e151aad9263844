// The maximum allowable individual loads on a nozzle by EN 13445-3:2009
// clause 16: the conditions of applicability and the allowable radial load
// and bending moment of a nozzle in a spherical shell (16.4.3, 16.4.5), the
// allowable radial load and circumferential and longitudinal moments of a
// nozzle in a cylindrical shell (16.5.3, 16.5.5). Nothing is compared with
// applied loads.
#pragma once

#include "qualification/nozzle.h"

#include <string>

struct En13445Result {
    // Why the loads cannot be given for these dimensions (a file edited
    // elsewhere: a radius, diameter, thickness or stress not above 0).
    std::string problem;
    double ea = 0.0;            // e - c
    double ec = 0.0;            // ea + e2 min(f2/f, 1)
    double ratio = 0.0;         // ea/R (sphere) or ea/D (cylinder)
    bool ratio_passed = false;  // 0.001 <= ratio <= 0.1; the loads follow only then
    double load_distance = 0.0;      // sqrt(R ec) or sqrt(D ec)
    double thickness_distance = 0.0; // sqrt(eb d)
    double lambda = 0.0;        // d/sqrt(R ec); cylinder: d/sqrt(D ec as entered)
    bool lambda_passed = false; // cylinder: lambda <= 10
    double nu = 0.0;            // sphere
    double C1 = 0.0, C2 = 0.0, C3 = 0.0;   // cylinder
    double Fz_max = 0.0;
    double Mb_max = 0.0;        // sphere: bending moment
    double Mx_max = 0.0;        // cylinder: circumferential moment
    double My_max = 0.0;        // cylinder: longitudinal moment
};

En13445Result en13445_sphere(const NozzleEvaluation& n);
En13445Result en13445_cylinder(const NozzleEvaluation& n);
// The C3 factor of 16.5.5 for t = eb/ec and lambda: the polynomial of
// t <= 0.2, of t >= 0.5 or the straight-line blend between them, at least 4.9.
double en13445_c3(double t, double lambda);
