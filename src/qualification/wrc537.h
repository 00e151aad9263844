// Local shell stresses at a nozzle by WRC Bulletin 537 (the WRC 107 method)
// at the eight points Au, Al, Bu, Bl, Cu, Cl, Du, Dl around the attachment,
// their stress intensities and the check of the largest, with the shell's
// primary stresses added, against the allowable stress of the load case in
// the manner of ASME Section VIII Division 2.
//
// The bulletin's figures enter as curve fits, one record each:
//   f(x) = (a0 + a1 x + a2 x^2 + a3 x^3 + a4 x^4) / (1 + b1 x + b2 x^2 + b3 x^3 + b4 x^4 + b5 x^5)
// kept in a curve store read from a text file (libraries/wrc537_curves.txt),
// each record with the source it was taken from. Every record a case needs
// is looked up before any stress is computed; a case whose records are not
// all in the store gives the list of the missing figures and no stresses.
#pragma once

#include "qualification/nozzle.h"

#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

// One curve fit: the figure name printed in the "Fig. No" column and the
// coefficients a0, b1, a1, b2, a2, b3, a3, b4, a4, b5.
struct Wrc537Curve {
    std::string name;
    std::array<float, 10> coefficients{};
    std::string source;
    // The curve at x, evaluated in double precision and rounded to float.
    double value(double x) const;
};

// The families of the spherical shell, in the order they are used: the
// P families hold the records "SP-1".."SP-10", the M families "SM-1".."SM-10".
enum Wrc537SphereFamily : int {
    WRC_SPHERE_RADIAL_MEMBRANE_P = 0,
    WRC_SPHERE_RADIAL_BENDING_P,
    WRC_SPHERE_RADIAL_MEMBRANE_M,
    WRC_SPHERE_RADIAL_BENDING_M,
    WRC_SPHERE_TANGENTIAL_MEMBRANE_P,
    WRC_SPHERE_TANGENTIAL_BENDING_P,
    WRC_SPHERE_TANGENTIAL_MEMBRANE_M,
    WRC_SPHERE_TANGENTIAL_BENDING_M,
};
inline constexpr int WRC_SPHERE_FAMILIES = 8;
// The store key of a family ("SPHERE-RADIAL-MEMBRANE-P") and its words for
// messages ("radial membrane, radial load").
const char* wrc537_sphere_family_key(int family);
const char* wrc537_sphere_family_text(int family);

// The figures of the cylindrical shell by their ids (8 to 10 unused).
struct Wrc537Figure {
    int id;
    const char* name;                  // "3C", "2C-1"...
    const std::vector<double>* gammas; // the tabulated Rm/T of its curves
};
const std::vector<Wrc537Figure>& wrc537_cylinder_figures();
const Wrc537Figure* wrc537_cylinder_figure(int id);
// The store key of a cylinder figure ("CYLINDER-3C").
std::string wrc537_cylinder_key(const Wrc537Figure& figure);

// The curve records, by store key and slot (the record number 1..10 of a
// sphere family, the tabulated Rm/T of a cylinder figure).
class Wrc537CurveStore {
public:
    void add(const std::string& key, double slot, Wrc537Curve curve);
    const Wrc537Curve* find(const std::string& key, double slot) const;
    std::size_t size() const { return curves_.size(); }
    // Why the store's file could not be read; empty when it was.
    std::string load_error;

private:
    std::map<std::pair<std::string, double>, Wrc537Curve> curves_;
};

// The store of a text: lines "<key> <slot> <name> <10 coefficients> <source>"
// with the source in double quotes; blank lines and lines starting with "#"
// are skipped. A line that cannot be read throws a message naming `origin`
// and the line number.
Wrc537CurveStore parse_wrc537_curves(const std::string& text, const std::string& origin);
// The store of a file; a missing or unreadable file gives an empty store
// whose load_error says why.
Wrc537CurveStore read_wrc537_curves(const std::string& path);
inline constexpr const char* WRC537_CURVES_FILE = "wrc537_curves.txt";

// Fig. B-2: the stress concentration factors in tension and bending at
// x = r/T: 5.0 for x <= 0, 1.0 above 3.5, linear between the tabulated
// points and, below the first (0.05), from (0, 5.0).
double fig_b2_kn(double x);
double fig_b2_kb(double x);

// The record index 0..9 of the spherical shell for gamma = rm/t and
// rho = T/t, or -1 when no figure applies.
int wrc537_sphere_figure(double gamma, double rho);
// The record of a cylinder figure for gamma = Rm/T: the first tabulated
// Rm/T not below gamma; -1 above the last or for an unknown figure.
int wrc537_curve_index(int figure_id, double gamma);

// The stresses at Au, Al, Bu, Bl, Cu, Cl, Du, Dl.
using WrcPoints = std::array<double, 8>;

// A stress row of the report, or an empty line (empty label).
struct WrcStressRow {
    std::string label;
    std::string figure;
    WrcPoints s{};
};

struct Wrc537Result {
    // No sphere figure or cylinder curve for the shell ratios: the message
    // the report shows; nothing after it is computed.
    std::string figure_error;
    // Dimensions that leave a stress undefined (a thickness or radius not
    // above 0): the report says so and stops.
    std::string problem;
    // The records of the case that the store lacks ("SP-2 (radial bending,
    // radial load)", "1C (Rm/T = 15)"); no stresses when any.
    std::vector<std::string> missing;

    double gamma = 0.0, rho = 0.0, U = 0.0, beta = 0.0;
    int record = -1;                     // sphere: the record index 0..9
    bool kn_looked_up = false, kb_looked_up = false;
    double Kn = 0.0, Kb = 0.0;

    std::vector<WrcStressRow> rows;      // the stress table, empty lines included
    WrcPoints intensity{};
    std::string intensity_label;         // "Combined Stress Intensity (Pl)"...
    double max_intensity = 0.0;
    std::string compliance_title;        // "Stress Compliance as per ASME Section VIII Division 2 - ... Load"
    std::string compliance_label;        // "Stress (Pm+Pb+Pl)"...
    double calculated = 0.0;             // Pm + Pb + the largest intensity
    double allowed = 0.0;
};

Wrc537Result wrc537_sphere(const NozzleEvaluation& n, const Wrc537CurveStore& curves);
Wrc537Result wrc537_cylinder(const NozzleEvaluation& n, const Wrc537CurveStore& curves);

// The stress intensity of two normal stresses and a shear stress.
double wrc537_intensity(double a, double b, double tau);
