#include "qualification/wrc537.h"

#include "framework/errors.h"
#include "framework/text.h"
#include "framework/units.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

// ---- Curves -------------------------------------------------------------------------

double Wrc537Curve::value(double x) const
{
    const std::array<float, 10>& k = coefficients;   // a0 b1 a1 b2 a2 b3 a3 b4 a4 b5
    const double num = k[0] + x * (k[2] + x * (k[4] + x * (k[6] + x * k[8])));
    const double den = 1.0 + x * (k[1] + x * (k[3] + x * (k[5] + x * (k[7] + x * k[9]))));
    return static_cast<float>(num / den);
}

void Wrc537CurveStore::add(const std::string& key, double slot, Wrc537Curve curve)
{
    curves_[{key, slot}] = std::move(curve);
}

const Wrc537Curve* Wrc537CurveStore::find(const std::string& key, double slot) const
{
    const auto it = curves_.find({key, slot});
    return it == curves_.end() ? nullptr : &it->second;
}

namespace {

struct SphereFamily {
    const char* key;
    const char* text;
    bool moment;    // the SM records
    bool bending;
};
const SphereFamily SPHERE_FAMILIES[WRC_SPHERE_FAMILIES] = {
    {"SPHERE-RADIAL-MEMBRANE-P", "radial membrane, radial load", false, false},
    {"SPHERE-RADIAL-BENDING-P", "radial bending, radial load", false, true},
    {"SPHERE-RADIAL-MEMBRANE-M", "radial membrane, moment", true, false},
    {"SPHERE-RADIAL-BENDING-M", "radial bending, moment", true, true},
    {"SPHERE-TANGENTIAL-MEMBRANE-P", "tangential membrane, radial load", false, false},
    {"SPHERE-TANGENTIAL-BENDING-P", "tangential bending, radial load", false, true},
    {"SPHERE-TANGENTIAL-MEMBRANE-M", "tangential membrane, moment", true, false},
    {"SPHERE-TANGENTIAL-BENDING-M", "tangential bending, moment", true, true},
};

const std::vector<double> GAMMAS_5 = {5, 15, 50, 100, 300};
const std::vector<double> GAMMAS_12 = {5, 7.5, 10, 15, 25, 35, 50, 75, 100, 150, 200, 300};

// The words of a line of the store's text: blank-separated, a double-quoted
// word may hold blanks.
std::vector<std::string> words_of(const std::string& line, bool& unclosed)
{
    std::vector<std::string> words;
    unclosed = false;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
            continue;
        }
        if (line[i] == '"') {
            const std::size_t end = line.find('"', i + 1);
            if (end == std::string::npos) {
                unclosed = true;
                return words;
            }
            words.push_back(line.substr(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        std::size_t end = i;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r')
            ++end;
        words.push_back(line.substr(i, end - i));
        i = end;
    }
    return words;
}

bool number_of(const std::string& word, double& value)
{
    if (word.empty() || word.size() > 40)
        return false;
    std::istringstream in(word);
    in.imbue(std::locale::classic());
    in >> value;
    return !in.fail() && in.eof() && std::isfinite(value);
}

// Kn and Kb of Fig. B-2 at the tabulated r/T.
constexpr std::array<double, 14> B2_X = {0.05, 0.1, 0.15, 0.2, 0.25, 0.3, 0.35, 0.5, 1.0, 1.5, 2.0, 2.5, 3.0, 3.5};
constexpr std::array<double, 14> B2_KN = {4.8, 3.4, 2.8, 2.5, 2.3, 2.2, 2.1, 1.9, 1.5, 1.45, 1.4, 1.38, 1.35, 1.3};
constexpr std::array<double, 14> B2_KB = {4.4, 2.9, 2.35, 2.0, 1.9, 1.8, 1.7, 1.6, 1.35, 1.25, 1.2, 1.15, 1.13, 1.1};

double fig_b2(const std::array<double, 14>& y, double x)
{
    if (x <= 0.0)
        return 5.0;
    if (x > B2_X.back())
        return 1.0;
    std::size_t i = 0;
    while (x > B2_X[i])
        ++i;
    const double x0 = i == 0 ? 0.0 : B2_X[i - 1], y0 = i == 0 ? 5.0 : y[i - 1];
    return y0 + (y[i] - y0) * (x - x0) / (B2_X[i] - x0);
}

std::string width5(double v) { return c_format("%5.0f", v); }

// The stress concentration factors: as entered, or from Fig. B-2 at r/T.
void concentration_factors(const NozzleEvaluation& n, Wrc537Result& r)
{
    const double x = n.r / static_cast<double>(n.T);
    r.kn_looked_up = n.Kn == 0.0f;
    r.kb_looked_up = n.Kb == 0.0f;
    r.Kn = r.kn_looked_up ? fig_b2_kn(x) : n.Kn;
    r.Kb = r.kb_looked_up ? fig_b2_kb(x) : n.Kb;
}

// Sign patterns over Au, Al, Bu, Bl, Cu, Cl, Du, Dl.
using Pattern = std::array<int, 8>;
constexpr Pattern ALL_NEGATIVE = {-1, -1, -1, -1, -1, -1, -1, -1};
constexpr Pattern UPPER_NEGATIVE = {-1, 1, -1, 1, -1, 1, -1, 1};
constexpr Pattern C_D_MEMBRANE = {0, 0, 0, 0, -1, -1, 1, 1};
constexpr Pattern C_D_BENDING = {0, 0, 0, 0, -1, 1, 1, -1};
constexpr Pattern A_B_MEMBRANE = {-1, -1, 1, 1, 0, 0, 0, 0};
constexpr Pattern A_B_BENDING = {-1, 1, 1, -1, 0, 0, 0, 0};
constexpr Pattern A_B_UPPER_NEGATIVE = {-1, 1, -1, 1, 0, 0, 0, 0};
constexpr Pattern C_D_UPPER_NEGATIVE = {0, 0, 0, 0, -1, 1, -1, 1};
constexpr Pattern C_D_SHEAR = {0, 0, 0, 0, -1, -1, 1, 1};
constexpr Pattern A_B_SHEAR = {1, 1, -1, -1, 0, 0, 0, 0};
constexpr Pattern EVERYWHERE = {1, 1, 1, 1, 1, 1, 1, 1};

WrcPoints spread(double v, const Pattern& p)
{
    WrcPoints s{};
    for (std::size_t i = 0; i < 8; ++i)
        s[i] = p[i] * v;
    return s;
}

WrcPoints sum_of(const std::vector<WrcStressRow>& rows, std::size_t first, std::size_t count)
{
    WrcPoints s{};
    for (std::size_t k = first; k < first + count; ++k)
        for (std::size_t i = 0; i < 8; ++i)
            s[i] += rows[k].s[i];
    return s;
}

// The shear rows, their sum and the intensities from the two normal sums.
void shear_and_intensity(const NozzleEvaluation& n, Wrc537Result& r, const Pattern& v1, const Pattern& v2,
                         const WrcPoints& a, const WrcPoints& b, const char* intensity_operating)
{
    const double pi = 3.1415927f;
    const double Av = pi * n.ro * n.T;
    std::vector<WrcStressRow>& rows = r.rows;
    const std::size_t first = rows.size();
    rows.push_back({"Shear Stress (V1)", "-", spread(n.V1 / Av, v1)});
    rows.push_back({"Shear Stress (V2)", "-", spread(n.V2 / Av, v2)});
    rows.push_back({"Shear Stress (MT)", "-", spread(n.MT / (2.0 * pi * n.ro * n.ro * n.T), EVERYWHERE)});
    const WrcPoints tau = sum_of(rows, first, 3);
    rows.push_back({});
    rows.push_back({"Shear Stresses (Z)", "-", tau});
    for (std::size_t i = 0; i < 8; ++i) {
        r.intensity[i] = wrc537_intensity(a[i], b[i], tau[i]);
        r.max_intensity = std::max(r.max_intensity, r.intensity[i]);
    }
    const bool operating = n.load_case == WRC_OPERATING;
    r.intensity_label = operating ? intensity_operating : "Combined Stress Intensity (Pl)";
    r.compliance_title = c_format("Stress Compliance as per ASME Section VIII Division 2 - %s Load",
                                  nozzle_load_case_names[static_cast<std::size_t>(std::clamp(n.load_case, 0, 2))]);
    r.compliance_label = operating ? "Stress (Pm+Pb+Pl+Q)" : "Stress (Pm+Pb+Pl)";
    r.calculated = static_cast<double>(n.Pm) + n.Pb + r.max_intensity;
    r.allowed = n.allowable;
}

// Loads and dimensions far outside any vessel can drive a stress beyond the
// range of numbers: such a case gets a message, not an infinity.
void finish(Wrc537Result& r)
{
    bool finite = std::isfinite(r.calculated) && std::isfinite(r.max_intensity);
    for (const WrcStressRow& row : r.rows)
        for (double v : row.s)
            finite = finite && std::isfinite(v);
    if (finite)
        return;
    r.rows.clear();
    r.intensity = {};
    r.max_intensity = r.calculated = 0.0;
    r.problem = "The stresses of these loads and dimensions exceed the range of numbers";
}

}  // namespace

const char* wrc537_sphere_family_key(int family) { return SPHERE_FAMILIES[std::clamp(family, 0, 7)].key; }
const char* wrc537_sphere_family_text(int family) { return SPHERE_FAMILIES[std::clamp(family, 0, 7)].text; }

const std::vector<Wrc537Figure>& wrc537_cylinder_figures()
{
    static const std::vector<Wrc537Figure> figures = {
        {1, "3C", &GAMMAS_5},      {2, "1C", &GAMMAS_12},   {3, "2C-1", &GAMMAS_12}, {4, "3A", &GAMMAS_12},
        {5, "1A", &GAMMAS_5},      {6, "3B", &GAMMAS_12},   {7, "1B-1", &GAMMAS_12}, {11, "4C", &GAMMAS_12},
        {12, "1C-1", &GAMMAS_12},  {13, "2C", &GAMMAS_12},  {14, "4A", &GAMMAS_12},  {15, "2A", &GAMMAS_12},
        {16, "4B", &GAMMAS_12},    {17, "2B-1", &GAMMAS_12},
    };
    return figures;
}

const Wrc537Figure* wrc537_cylinder_figure(int id)
{
    for (const Wrc537Figure& f : wrc537_cylinder_figures())
        if (f.id == id)
            return &f;
    return nullptr;
}

std::string wrc537_cylinder_key(const Wrc537Figure& figure) { return std::string("CYLINDER-") + figure.name; }

Wrc537CurveStore parse_wrc537_curves(const std::string& text, const std::string& origin)
{
    Wrc537CurveStore store;
    std::istringstream in(text);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        auto fail = [&](const std::string& what) {
            throw MessageText(c_format("%s, line %d:\n%s", origin.c_str(), number, what.c_str()));
        };
        const std::size_t start = line.find_first_not_of(" \t\r");
        if (start == std::string::npos || line[start] == '#')
            continue;
        bool unclosed = false;
        const std::vector<std::string> words = words_of(line, unclosed);
        if (unclosed)
            fail("The source text has no closing quote");
        if (words.size() != 14)
            fail("A curve record holds a figure key, a slot, a name, 10 coefficients and its source");
        const std::string& key = words[0];
        bool known = key.rfind("CYLINDER-", 0) == 0;
        for (const SphereFamily& f : SPHERE_FAMILIES)
            known = known || key == f.key;
        if (!known)
            fail("Unknown figure key " + key);
        double slot = 0.0;
        if (!number_of(words[1], slot) || slot <= 0.0)
            fail("The slot " + words[1] + " is not a number above 0");
        Wrc537Curve curve;
        curve.name = words[2];
        if (curve.name.size() > 8)
            fail("The figure name " + curve.name + " is longer than 8 characters");
        for (std::size_t k = 0; k < 10; ++k) {
            double v = 0.0;
            if (!number_of(words[3 + k], v) || std::fabs(v) > 3.0e38)
                fail("The coefficient " + words[3 + k] + " is not a number");
            curve.coefficients[k] = static_cast<float>(v);
        }
        curve.source = words[13];
        if (curve.source.empty())
            fail("A curve record needs its source");
        store.add(key, slot, std::move(curve));
    }
    return store;
}

Wrc537CurveStore read_wrc537_curves(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        Wrc537CurveStore store;
        store.load_error = "The WRC 537 curve file " + path + " cannot be read";
        return store;
    }
    std::ostringstream s;
    s << in.rdbuf();
    try {
        return parse_wrc537_curves(s.str(), path);
    } catch (const MessageText& m) {
        Wrc537CurveStore store;
        store.load_error = m.text;
        return store;
    }
}

double fig_b2_kn(double x) { return fig_b2(B2_KN, x); }
double fig_b2_kb(double x) { return fig_b2(B2_KB, x); }

int wrc537_sphere_figure(double gamma, double rho)
{
    if (gamma <= 5.0) {
        if (rho <= 0.25)
            return 0;
        if (rho <= 1.0)
            return 1;
        if (rho <= 2.0)
            return 2;
        if (rho <= 4.0)
            return 3;
    }
    if (gamma <= 15.0) {
        if (rho <= 1.0)
            return 4;
        if (rho <= 2.0)
            return 5;
        if (rho <= 4.0)
            return 6;
        if (rho <= 10.0)
            return 7;
    }
    if (gamma > 50.0)
        return -1;
    if (rho <= 4.0)
        return 8;
    if (rho > 10.0)
        return -1;
    return 9;
}

int wrc537_curve_index(int figure_id, double gamma)
{
    const Wrc537Figure* f = wrc537_cylinder_figure(figure_id);
    if (!f)
        return -1;
    const std::vector<double>& g = *f->gammas;
    for (std::size_t i = 0; i < g.size(); ++i)
        if (g[i] >= gamma)
            return static_cast<int>(i);
    return -1;
}

double wrc537_intensity(double a, double b, double tau)
{
    if (tau == 0.0)
        return std::max({std::fabs(a), std::fabs(b), std::fabs(a - b)});
    const double R = std::sqrt((a - b) * (a - b) + 4.0 * tau * tau);
    const double s1 = (a + b + R) / 2.0, s2 = (a + b - R) / 2.0;
    return std::max({std::fabs(s1), std::fabs(s2), R});
}

Wrc537Result wrc537_sphere(const NozzleEvaluation& n, const Wrc537CurveStore& curves)
{
    Wrc537Result r;
    if (!(n.T > 0.0f) || !(n.eb > 0.0f) || !(n.Rm > 0.0f) || !(n.ro > 0.0f) || !(n.rm > 0.0f)) {
        r.problem = "The vessel thickness, nozzle thickness and the radii must be above 0";
        return r;
    }
    const double T = n.T;
    r.gamma = n.rm / static_cast<double>(n.eb);
    r.rho = T / n.eb;
    const double S = std::sqrt(static_cast<double>(n.Rm) * T);
    r.U = n.ro / S;
    r.record = wrc537_sphere_figure(r.gamma, r.rho);
    if (r.record < 0) {
        r.figure_error = c_format("Not able to determine Figure Number for Spherical Shells with r = %s and p = %s. "
                                  "Analysis aborted",
                                  width5(r.gamma).c_str(), width5(r.rho).c_str());
        return r;
    }
    concentration_factors(n, r);

    // Every record the case needs, first.
    const bool operating = n.load_case == WRC_OPERATING;
    std::array<const Wrc537Curve*, WRC_SPHERE_FAMILIES> curve{};
    for (int k = 0; k < WRC_SPHERE_FAMILIES; ++k) {
        const SphereFamily& family = SPHERE_FAMILIES[k];
        if (family.bending && !operating)
            continue;
        curve[static_cast<std::size_t>(k)] = curves.find(family.key, r.record + 1);
        if (!curve[static_cast<std::size_t>(k)])
            r.missing.push_back(c_format("%s-%d (%s)", family.moment ? "SM" : "SP", r.record + 1, family.text));
    }
    if (!r.missing.empty())
        return r;

    const double T2 = T * T;
    auto row = [&](int family, const char* label, double load, double scale, const Pattern& p) {
        const Wrc537Curve* c = curve[static_cast<std::size_t>(family)];
        const std::string figure =
            c ? c->name : c_format("%s-%d", SPHERE_FAMILIES[family].moment ? "SM" : "SP", r.record + 1);
        const double v = c ? c->value(r.U) * scale * load : 0.0;
        r.rows.push_back({label, figure, spread(v, p)});
    };
    const double membrane_p = r.Kn / T2, bending_p = r.Kb * 6.0 / T2;
    const double membrane_m = r.Kn / (T2 * S), bending_m = r.Kb * 6.0 / (T2 * S);
    const char* const direction[2] = {"Radial", "Tangential"};
    const char* const sum_label[2] = {"Radial Stresses (Sx)", "Tangential Stresses (Sy)"};
    std::array<WrcPoints, 2> sums{};
    for (int side = 0; side < 2; ++side) {
        const int base = side == 0 ? WRC_SPHERE_RADIAL_MEMBRANE_P : WRC_SPHERE_TANGENTIAL_MEMBRANE_P;
        const std::string d = direction[side];
        const std::size_t first = r.rows.size();
        row(base, (d + " Membrane (P)").c_str(), n.P, membrane_p, ALL_NEGATIVE);
        row(base + 1, (d + " Bending (P)").c_str(), n.P, bending_p, UPPER_NEGATIVE);
        row(base + 2, (d + " Membrane (M1)").c_str(), n.M1, membrane_m, C_D_MEMBRANE);
        row(base + 3, (d + " Bending (M1)").c_str(), n.M1, bending_m, C_D_BENDING);
        row(base + 2, (d + " Membrane (M2)").c_str(), n.M2, membrane_m, A_B_MEMBRANE);
        row(base + 3, (d + " Bending (M2)").c_str(), n.M2, bending_m, A_B_BENDING);
        // Sustained cases count the membrane stresses only.
        if (!operating)
            for (std::size_t k : {first + 1, first + 3, first + 5})
                r.rows[k].s = {};
        sums[static_cast<std::size_t>(side)] = sum_of(r.rows, first, 6);
        r.rows.push_back({});
        r.rows.push_back({sum_label[side], "-", sums[static_cast<std::size_t>(side)]});
        r.rows.push_back({});
    }
    shear_and_intensity(n, r, C_D_SHEAR, A_B_SHEAR, sums[0], sums[1], "Combined Stress Intensity (Pl+Q)");
    finish(r);
    return r;
}

Wrc537Result wrc537_cylinder(const NozzleEvaluation& n, const Wrc537CurveStore& curves)
{
    Wrc537Result r;
    if (!(n.T > 0.0f) || !(n.Rm > 0.0f) || !(n.ro > 0.0f)) {
        r.problem = "The vessel thickness, the vessel radius and the attachment radius must be above 0";
        return r;
    }
    const double T = n.T, Rm = n.Rm;
    r.beta = 0.875 * n.ro / Rm;
    r.gamma = Rm / T;
    concentration_factors(n, r);

    // The figures in the order they are looked up, with the row each gives.
    struct Use {
        int id;
        const char* label;
        bool bending;
    };
    static const Use USES[14] = {
        {1, "Circumferential Membrane (P)", false}, {3, "Circumferential Bending (P)", true},
        {2, "Circumferential Bending (P)", true},   {4, "Circumferential Membrane (MC)", false},
        {5, "Circumferential Bending (MC)", true},  {6, "Circumferential Membrane (ML)", false},
        {7, "Circumferential Bending (ML)", true},  {11, "Longitudinal Membrane (P)", false},
        {12, "Longitudinal Bending (P)", true},     {13, "Longitudinal Bending (P)", true},
        {14, "Longitudinal Membrane (MC)", false},  {15, "Longitudinal Bending (MC)", true},
        {16, "Longitudinal Membrane (ML)", false},  {17, "Longitudinal Bending (ML)", true},
    };
    const bool operating = n.load_case == WRC_OPERATING;
    std::array<const Wrc537Curve*, 14> curve{};
    std::array<std::string, 14> figure_name{};
    for (std::size_t k = 0; k < 14; ++k) {
        const Wrc537Figure& figure = *wrc537_cylinder_figure(USES[k].id);
        const int index = wrc537_curve_index(figure.id, r.gamma);
        std::string name = figure.name;
        if (index < 0) {
            // The messages name 1B-1 and 2B-1 as "1B" and "2B".
            if (name == "1B-1" || name == "2B-1")
                name.resize(2);
            r.figure_error =
                c_format("No curve available for Fig. %s with Rm/T = %s", name.c_str(), width5(r.gamma).c_str());
            return r;
        }
        figure_name[k] = figure.name;
        if (USES[k].bending && !operating)
            continue;
        const double tabulated = (*figure.gammas)[static_cast<std::size_t>(index)];
        curve[k] = curves.find(wrc537_cylinder_key(figure), tabulated);
        if (!curve[k])
            r.missing.push_back(c_format("%s (Rm/T = %s)", figure.name, format_g5(tabulated).c_str()));
    }
    if (!r.missing.empty())
        return r;

    const double T2 = T * T, beta = r.beta;
    const double membrane_p = r.Kn / (Rm * T), bending_p = r.Kb * 6.0 / T2;
    const double membrane_m = r.Kn / (Rm * Rm * beta * T), bending_m = r.Kb * 6.0 / (Rm * beta * T2);
    const Pattern* const PATTERNS[7] = {&ALL_NEGATIVE, &A_B_UPPER_NEGATIVE, &C_D_UPPER_NEGATIVE, &C_D_MEMBRANE,
                                        &C_D_BENDING,  &A_B_MEMBRANE,       &A_B_BENDING};
    const double SCALES[7] = {membrane_p * n.P, bending_p * n.P, bending_p * n.P, membrane_m * n.M1,
                              bending_m * n.M1,  membrane_m * n.M2, bending_m * n.M2};
    const char* const sum_label[2] = {"Circumferential Stresses (Sp)", "Longitudinal Stresses (Sx)"};
    std::array<WrcPoints, 2> sums{};
    for (std::size_t side = 0; side < 2; ++side) {
        const std::size_t first = r.rows.size();
        for (std::size_t j = 0; j < 7; ++j) {
            const std::size_t k = side * 7 + j;
            const double v = curve[k] ? curve[k]->value(beta) * SCALES[j] : 0.0;
            r.rows.push_back({USES[k].label, curve[k] ? curve[k]->name : figure_name[k], spread(v, *PATTERNS[j])});
        }
        sums[side] = sum_of(r.rows, first, 7);
        r.rows.push_back({});
        r.rows.push_back({sum_label[side], "-", sums[side]});
        r.rows.push_back({});
    }
    shear_and_intensity(n, r, A_B_SHEAR, C_D_SHEAR, sums[0], sums[1], "Combined Stress Intensity (PL+Q)");
    finish(r);
    return r;
}
