#include "qualification/ui/pump_report.h"

#include "framework/strings.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "framework/units.h"
#include "model/load_cases.h"
#include "qualification/rot_equip.h"
#include "qualification/ui/report_lines.h"

#include <cmath>

namespace {

const char* const NOZZLE_LABEL[2] = {"Suction", "Discharge"};
const char* const NOZZLE_WORD[2] = {"suction", "discharge"};
const char* const FORCE_NAMES[4] = {"FX", "FY", "FZ", "FR"};
const char* const MOMENT_NAMES[4] = {"MX", "MY", "MZ", "MR"};
const char* const HI_NAMES[6] = {"FX", "FY", "FZ", "MX", "MY", "MZ"};

int nozzle_node(const PumpRecord& p, int n) { return n == SUCTION ? p.suction_node : p.discharge_node; }

// The components of an axis, as `format` writes each with three decimals.
std::string axis_line(const char* head, const std::array<double, 3>& v,
                      std::string (*format)(double, int, int) = format_real)
{
    return std::string(head) + format(v[0], 6, 3) + ", Ycomp = " + format(v[1], 6, 3) + ", Zcomp = " +
           format(v[2], 6, 3);
}

void shaft_and_centre_lines(const PumpRecord& p)
{
    // The components as entered: a short axis keeps its digits.
    report_text_line(
        axis_line("Shaft axis: Xcomp = ", {p.shaft_axis[0], p.shaft_axis[1], p.shaft_axis[2]}, format_real_exact));
    report_text_line("Center location: X = " + format_length(p.centre[0]) + ", Y = " + format_length(p.centre[1]) +
                     ", Z = " + format_length(p.centre[2]) + "    " + unit_label(LENGTH));
}

// The horizontal axis of a vertical pump (its Y axis).
void y_axis_line(const PumpRecord& p, const PumpEvaluation& e)
{
    report_text_line(axis_line("Y axis: Xcomp = ", pump_axes(p, e).y));
}

std::string load_case_line(int entry)
{
    return "Load case: " + load_case_names(rot_equip_report().case_code(entry));
}

// The API 610 rows of a nozzle: forces, a gap, moments.
void api610_rows(const PumpLoads& loads, const PumpLoads& allowed)
{
    const ReportTable table = report_table_header();
    for (int i = 0; i < 4; ++i)
        report_force_row(FORCE_NAMES[i], loads[static_cast<std::size_t>(P_FX + i)],
                         allowed[static_cast<std::size_t>(P_FX + i)]);
    report_gap();
    for (int i = 0; i < 4; ++i)
        report_moment_row(MOMENT_NAMES[i], loads[static_cast<std::size_t>(P_MX + i)],
                          allowed[static_cast<std::size_t>(P_MX + i)]);
}

// The nozzle check line and the Table 5 row: false when the nozzle cannot
// be checked.
bool api610_nozzle_checkable(const PumpRecord& p, const PumpNozzleEvaluation& z, int n)
{
    if (!report_nozzle_check(nozzle_node(p, n), NOZZLE_LABEL[n], pump_nozzle_location(p, n), z.anchor_row, z.size))
        return false;
    if (!api610_loads(z.size)) {
        report_text_line(c_format("*** API 610 allowable loads not available for %s inch nozzles ***",
                                  trimmed(format_real(z.size, 10, 3)).c_str()));
        return false;
    }
    return true;
}

void api610_horizontal_report(const PumpRecord& p, const PumpEvaluation& e, int slot)
{
    bool failed = false;
    std::array<bool, 2> checked{};
    for (int n = SUCTION; n <= DISCHARGE; ++n) {
        const PumpNozzleEvaluation& z = e.nozzle[static_cast<std::size_t>(n)];
        if (!api610_nozzle_checkable(p, z, n)) {
            failed = true;
            continue;
        }
        const int node = nozzle_node(p, n);
        report_offsets(z.dx, z.dy, z.dz);
        report_check_of_condition("F.1.1", NOZZLE_WORD[n], node);
        report_rows().largest = 0.0;
        const PumpLoads& l = z.loads[static_cast<std::size_t>(slot)];
        const PumpLoads& w = z.allowed[static_cast<std::size_t>(slot)];
        api610_rows(l, w);
        const double largest = report_rows().largest;
        if (largest <= 1.0) {
            report_condition_passed("F.1.1", NOZZLE_WORD[n], node);
        } else if (largest > 2.0) {
            report_condition_failed("F.1.2.a", NOZZLE_WORD[n], node);
            failed = true;
        } else {
            // F.1.2.b: a combined value of 2.0 or more fails the pump.
            const double combined = std::fabs(l[P_FR] / (1.5 * w[P_FR])) + std::fabs(l[P_MR] / (1.5 * w[P_MR]));
            if (!report_combined_ratio(combined))
                failed = true;
        }
        checked[static_cast<std::size_t>(n)] = true;
    }
    if (failed || !checked[0] || !checked[1])
        return;

    // F.1.2.c: the resultants of both nozzles at the pump centre.
    const PumpNozzleEvaluation& s = e.nozzle[SUCTION];
    const PumpNozzleEvaluation& d = e.nozzle[DISCHARGE];
    const PumpLoads& ls = s.loads[static_cast<std::size_t>(slot)];
    const PumpLoads& ld = d.loads[static_cast<std::size_t>(slot)];
    const PumpLoads& ws = s.allowed[static_cast<std::size_t>(slot)];
    const PumpLoads& wd = d.allowed[static_cast<std::size_t>(slot)];
    const double fxc = ls[P_FX] + ld[P_FX], fyc = ls[P_FY] + ld[P_FY], fzc = ls[P_FZ] + ld[P_FZ];
    const double frc = std::sqrt(fxc * fxc + fyc * fyc + fzc * fzc);
    const double myc = ls[P_MY] + ld[P_MY] + (ls[P_FX] * s.dz + ld[P_FX] * d.dz) - (ls[P_FZ] * s.dx + ld[P_FZ] * d.dx);
    const double mxc = ls[P_MX] + ld[P_MX] - (ls[P_FY] * s.dz + ld[P_FY] * d.dz) + (ls[P_FZ] * s.dy + ld[P_FZ] * d.dy);
    const double mzc = ls[P_MZ] + ld[P_MZ] - (ls[P_FX] * s.dy + ld[P_FX] * d.dy) + (ls[P_FY] * s.dx + ld[P_FY] * d.dx);
    const double mrc = std::sqrt(mxc * mxc + myc * myc + mzc * mzc);
    report_text_line("Check of Condition F.1.2.c:");
    RowState& rows = report_rows();
    rows.f12c = true;
    rows.f12c_failed = false;
    {
        const ReportTable table = report_table_header();
        report_force_row("FRC", frc, 1.5 * (ws[P_FR] + wd[P_FR]));
        report_moment_row("MYC", myc, 2.0 * (ws[P_MY] + wd[P_MY]));
        report_moment_row("MRC", mrc, 1.5 * (ws[P_MR] + wd[P_MR]));
    }
    const bool c_failed = rows.f12c_failed;
    rows.f12c = false;
    report_text_line(c_failed ? "Condition F.1.2.c failed ***" : "Condition F.1.2.c passed");
}

void api610_vertical_report(const PumpRecord& p, const PumpEvaluation& e, int slot)
{
    for (int n = SUCTION; n <= DISCHARGE; ++n) {
        const PumpNozzleEvaluation& z = e.nozzle[static_cast<std::size_t>(n)];
        if (!api610_nozzle_checkable(p, z, n))
            continue;
        const int node = nozzle_node(p, n);
        report_check_of_condition("F.1.1", NOZZLE_WORD[n], node);
        report_rows().largest = 0.0;
        const PumpLoads& l = z.loads[static_cast<std::size_t>(slot)];
        api610_rows(l, z.allowed[static_cast<std::size_t>(slot)]);
        if (report_rows().largest <= 1.0) {
            report_condition_passed("F.1.1", NOZZLE_WORD[n], node);
            continue;
        }
        // F.2: the nozzle stresses of the vertical inline pump.
        report_check_of_condition("F.2", NOZZLE_WORD[n], node);
        const NozzleSection ns = api610_nozzle_section(z.size);
        const double bending = std::hypot(l[P_MX], l[P_MZ]) / ns.modulus;
        const double axial = l[P_FY] / ns.area;
        const double sigma = n == SUCTION ? bending - axial : bending + axial;
        const double tau = std::fabs(l[P_MY]) / (2.0 * ns.modulus) + std::hypot(l[P_FX], l[P_FZ]) / ns.area;
        report_stress_row(sigma / 2.0 + std::hypot(sigma / 2.0, tau));
    }
    report_gap();
}

// ---- ANSI/HI 9.6.2 ---------------------------------------------------------------

// The six loads of a nozzle in a slot: FX, FY, FZ, MX, MY, MZ.
HiLoads hi_loads(const PumpNozzleEvaluation& z, int slot)
{
    const PumpLoads& l = z.loads[static_cast<std::size_t>(slot)];
    return {l[P_FX], l[P_FY], l[P_FZ], l[P_MX], l[P_MY], l[P_MZ]};
}

void hi_row(int component, double load, double allowed)
{
    if (component < 3)
        report_force_row(HI_NAMES[component], load, allowed);
    else
        report_moment_row(HI_NAMES[component], load, allowed);
}

// The heading and the rows of the given components; the largest |ratio|.
double hi_rows(const HiLoads& loads, const HiLoads& allowed, std::initializer_list<int> components)
{
    const ReportTable table = report_table_header();
    report_rows().largest = 0.0;
    for (int c : components)
        hi_row(c, loads[static_cast<std::size_t>(c)], allowed[static_cast<std::size_t>(c)]);
    return report_rows().largest;
}

double ratio_of(double load, double allowed)
{
    if (allowed != 0.0)
        return load / allowed;
    return load == 0.0 ? 0.0 : 1.0e30;
}

const std::string INDIVIDUAL = "Assessment of Individual loading as per Eq.1 of Table 9.6.2.1.4a:";

// The nozzle check line of an ANSI/HI nozzle: it takes part when it passes.
bool hi_takes_part(const PumpRecord& p, const PumpEvaluation& e, int n)
{
    const PumpNozzleEvaluation& z = e.nozzle[static_cast<std::size_t>(n)];
    return report_nozzle_check(nozzle_node(p, n), NOZZLE_LABEL[n], pump_nozzle_location(p, n), z.anchor_row, z.size);
}

void hi_end_suction_report(const PumpRecord& p, const PumpEvaluation& e, int slot)
{
    const HiSlot& h = e.hi[static_cast<std::size_t>(slot)];
    shaft_and_centre_lines(p);
    std::array<bool, 2> part{};
    for (int n = SUCTION; n <= DISCHARGE; ++n) {
        part[static_cast<std::size_t>(n)] = hi_takes_part(p, e, n);
        if (!part[static_cast<std::size_t>(n)])
            continue;
        const PumpNozzleEvaluation& z = e.nozzle[static_cast<std::size_t>(n)];
        const int node = nozzle_node(p, n);
        report_offsets(z.dx, z.dy, z.dz);
        if (n == SUCTION) {
            report_text_line("");
            report_text_line(INDIVIDUAL);
        }
        report_check_of_condition("9.6.2.1.4a Eq.1", NOZZLE_WORD[n], node);
        if (hi_rows(hi_loads(z, slot), h.eq[0][static_cast<std::size_t>(n)], {0, 1, 2, 3, 4, 5}) > 1.0) {
            report_condition_failed("9.6.2.1.4a Eq.1", NOZZLE_WORD[n], node);
            return;
        }
        report_condition_passed("9.6.2.1.4a Eq.1", NOZZLE_WORD[n], node);
    }

    // Eq.2: half the sum of the ratios of both nozzles.
    report_gap();
    report_text_line("Assessment of Nozzle stress, hold-down bolt stress, pumps slippage ");
    report_text_line("as per Eq.2 of Table 9.6.2.1.4a:");
    double eq2 = 0.0;
    for (int n = SUCTION; n <= DISCHARGE; ++n) {
        if (!part[static_cast<std::size_t>(n)])
            continue;
        const HiLoads l = hi_loads(e.nozzle[static_cast<std::size_t>(n)], slot);
        const HiLoads& w = h.eq[1][static_cast<std::size_t>(n)];
        hi_rows(l, w, {0, 1, 2, 3, 4, 5});
        for (std::size_t c = 0; c < 6; ++c)
            eq2 += std::fabs(ratio_of(l[c], w[c]));
    }
    eq2 /= 2.0;
    report_text_line("Condition: Eq.2 = (1/2)x[Sum of (Abs. value of Individual Ratio) above] <= 1.0 ");
    if (eq2 > 1.0) {
        report_text_line(c_format("Eq.2 = %.2f > 1.00. Condition failed ***", eq2));
        return;
    }
    report_text_line(c_format("Eq.2 = %.2f <= 1.00. Condition passed", eq2));
    report_text_line("");

    // Eq.3 and Eq.4: signed sums of the loads over their coefficients.
    RowState& rows = report_rows();
    auto signed_sum = [&](int eq, const std::array<std::initializer_list<int>, 2>& components) {
        rows.signed_ratios = true;
        double sum = 0.0;
        for (int n = SUCTION; n <= DISCHARGE; ++n) {
            if (!part[static_cast<std::size_t>(n)])
                continue;
            const HiLoads l = hi_loads(e.nozzle[static_cast<std::size_t>(n)], slot);
            const HiLoads& w = h.eq[static_cast<std::size_t>(eq)][static_cast<std::size_t>(n)];
            hi_rows(l, w, components[static_cast<std::size_t>(n)]);
            for (int c : components[static_cast<std::size_t>(n)])
                sum += ratio_of(l[static_cast<std::size_t>(c)], w[static_cast<std::size_t>(c)]);
        }
        rows.signed_ratios = false;
        return sum;
    };
    // The condition of Eq. `n` on the sum of its signed ratios; false when it fails (the report ends).
    auto within_one = [](int n, double sum) {
        report_text_line(c_format("Condition: Eq.%d = Sum of above Ratios shall be >= -1.00 and <= 1.00", n));
        if (sum < -1.0 || sum > 1.0) {
            report_text_line(c_format("Eq.%d = %.2f. Condition failed ***", n, sum));
            return false;
        }
        report_text_line(c_format("Eq.%d = %.2f; which is >= -1.0 and <= 1.00. Condition passed", n, sum));
        report_text_line("");
        return true;
    };
    report_text_line("Assessment of y-axis movement as per Eq. 3 of Table 9.6.2.1.4a:");
    const double eq3 = signed_sum(2, {{{1, 3, 4, 5}, {1, 3, 4, 5}}});
    if (!within_one(3, eq3))
        return;
    report_text_line("Assessment of z-axis movement as per Eq. 4 of Table 9.6.2.1.4a:");
    const double eq4 = signed_sum(3, {{{0, 2, 3, 4, 5}, {0, 1, 2, 3, 4, 5}}});
    if (!within_one(4, eq4))
        return;
    report_text_line("Assessment of Combined axis as per Eq.5 of Table 9.6.2.1.4a:");
    report_text_line("Condition:Eq.5 = SQRT(Eq.3^2 + Eq.4^2) <= 1.0");
    const double eq5 = std::hypot(eq3, eq4);
    report_text_line(eq5 > 1.0 ? c_format("Eq.5 = %.2f > 1.00. Condition failed ***", eq5)
                               : c_format("Eq.5 = %.2f <= 1.00. Condition passed", eq5));
}

void hi_inline_report(const PumpRecord& p, const PumpEvaluation& e, int slot)
{
    const HiSlot& h = e.hi[static_cast<std::size_t>(slot)];
    y_axis_line(p, e);
    for (int n = SUCTION; n <= DISCHARGE; ++n) {
        if (!hi_takes_part(p, e, n))
            continue;
        const int node = nozzle_node(p, n);
        report_text_line("");
        report_text_line(INDIVIDUAL);
        report_check_of_condition("9.6.2.2.4a Eq.6", NOZZLE_WORD[n], node);
        if (hi_rows(hi_loads(e.nozzle[static_cast<std::size_t>(n)], slot), h.allowed, {0, 1, 2, 3, 4, 5}) > 1.0) {
            report_condition_failed("9.6.2.2.4a Eq.6", NOZZLE_WORD[n], node);
            return;
        }
        report_condition_passed("9.6.2.2.4a Eq.6", NOZZLE_WORD[n], node);
    }
}

void hi_axial_split_report(const PumpRecord& p, const PumpEvaluation& e, int slot)
{
    const HiSlot& h = e.hi[static_cast<std::size_t>(slot)];
    shaft_and_centre_lines(p);
    double squares = 0.0;
    for (int n = SUCTION; n <= DISCHARGE; ++n) {
        if (!hi_takes_part(p, e, n))
            continue;
        const PumpNozzleEvaluation& z = e.nozzle[static_cast<std::size_t>(n)];
        if (n == SUCTION) {
            report_offsets(z.dx, z.dy, z.dz);
            report_text_line("");
            report_text_line(INDIVIDUAL);
        }
        report_check_of_condition("9.6.2.3.4 Eq.1", NOZZLE_WORD[n], nozzle_node(p, n));
        const HiLoads l = hi_loads(z, slot);
        hi_rows(l, h.allowed, {0, 1, 2, 3, 4, 5});
        for (std::size_t c = 0; c < 6; ++c) {
            const double r = ratio_of(l[c], h.allowed[c]);
            squares += r * r;
        }
    }
    const double eq1 = std::sqrt(squares);
    report_text_line("Condition: Eq.1 of 9.6.2.3.4 should be <= 1.00");
    report_text_line(eq1 > 1.0 ? c_format("Eq.1 = %.2f > 1.00. Condition failed ***", eq1)
                               : c_format("Eq.1 = %.2f <= 1.00. Condition passed", eq1));
}

void hi_vertical_turbine_report(const PumpRecord& p, const PumpEvaluation& e, int slot)
{
    const HiSlot& h = e.hi[static_cast<std::size_t>(slot)];
    y_axis_line(p, e);
    const std::string condition = p.discharge_location == 0 ? "9.6.2.4.2a" : "9.6.2.4.2b";
    static const char* const WHO[2] = {"Suction", "Discharge"};
    for (int n = SUCTION; n <= DISCHARGE; ++n) {
        if (!hi_takes_part(p, e, n))
            continue;
        if (n == SUCTION) {
            report_text_line("");
            report_text_line(INDIVIDUAL);
        }
        report_check_of_condition(condition, NOZZLE_WORD[n], nozzle_node(p, n));
        const HiLoads l = hi_loads(e.nozzle[static_cast<std::size_t>(n)], slot);
        hi_rows(l, h.allowed, {0, 1, 2, 3, 4, 5});
        double eq1 = 0.0;
        for (std::size_t c = 0; c < 6; ++c)
            eq1 += std::fabs(ratio_of(l[c], h.allowed[c]));
        if (eq1 > 1.0) {
            report_text_line(c_format("Eq.1 = %.2f > 1.00. %s condition failed ***", eq1, WHO[n]));
            if (n == SUCTION)
                return;
        } else {
            report_text_line(c_format("Eq.1 = %.2f <= 1.00. %s condition passed", eq1, WHO[n]));
        }
    }
}

void hi_report(const PumpRecord& p, const PumpEvaluation& e, int slot)
{
    KV_ASSERT(p.hi_type >= 0);
    switch (p.hi_type) {
    case HI_B732: hi_inline_report(p, e, slot); break;
    case HI_AXIAL_SPLIT: hi_axial_split_report(p, e, slot); break;
    case HI_VERTICAL_TURBINE: hi_vertical_turbine_report(p, e, slot); break;
    default: hi_end_suction_report(p, e, slot); break;
    }
}

std::string hi_subtitle(int type)
{
    switch (type) {
    case HI_B732: return "ANSI/ASME B73.2 pump Assessment of applied nozzle loads";
    case HI_AXIAL_SPLIT: return "Axial split case pumps Assessment of applied nozzle loads";
    case HI_VERTICAL_TURBINE: return "Vertical Turbine pump Assessment of applied nozzle loads";
    default: return "Horizontal end suction single stage pump";
    }
}

constexpr ReportStandard API610_STANDARD{"API 610 (11th ed.), Sep 2010 / ISO 13709", "API 610 report"};
constexpr ReportStandard ANSI_HI_STANDARD{"ANSI/HI 9.6.2-2011", "ANSI/HI 9.6.2 report"};

}  // namespace

const ReportStandard& pump_report_standard(const PumpRecord& pump)
{
    return pump_kind(pump) == PUMP_ANSI_HI ? ANSI_HI_STANDARD : API610_STANDARD;
}

void pump_report(int index, int entry)
{
    const RotEquipReport& r = rot_equip_report();
    if (report_destination() == ReportDestination::Window)
        report_clear_window_lines();
    if (!pumps().valid(index) || !r.pumps.valid(index) || entry < 1 || entry > std::min(r.case_count(), ROT_LOAD_CASES))
        return;
    const PumpRecord& p = pumps()[index];
    const PumpEvaluation& e = r.pumps[index];
    const int slot = entry - 1;
    // Every report sets its own row switches.
    reset_report_rows();
    const RotEquipEntry* listed = r.entry_of(ROT_PUMP, index);
    const std::string standard = pump_report_standard(p).name;
    if (pump_kind(p) == PUMP_ANSI_HI) {
        report_title(standard + " report for pump : " + p.name);
        report_text_line(hi_subtitle(p.hi_type));
        report_text_line(load_case_line(entry));
        if (listed && !listed->fault.empty()) {
            report_text_line("*** " + listed->fault + " ***");
            return;
        }
        hi_report(p, e, slot);
        return;
    }
    const bool vertical = pump_is_vertical(p);
    report_title(standard + " report for " + (vertical ? "vertical inline pump : " : "pump : ") + p.name);
    report_text_line(load_case_line(entry));
    if (listed && !listed->fault.empty()) {
        report_text_line("*** " + listed->fault + " ***");
        return;
    }
    if (vertical) {
        report_rows().dashes_above_2 = true;
        y_axis_line(p, e);
        api610_vertical_report(p, e, slot);
    } else {
        shaft_and_centre_lines(p);
        api610_horizontal_report(p, e, slot);
    }
}

void api610_report()
{
    const RotEquipReport& r = rot_equip_report();
    const int cases = std::min(r.case_count(), ROT_LOAD_CASES);
    // On printed pages the pumps stand under the entry of their standard,
    // a new one where the standard changes from the pump before.
    std::string group;
    for (int i = 1; i <= pumps().size(); ++i) {
        const ReportStandard& standard = pump_report_standard(pumps()[i]);
        if (report_destination() == ReportDestination::Pages && group != standard.group) {
            if (gdi_lines_left() < 2)
                gdi_new_page();
            add_contents_entry(standard.group, 0);
            group = standard.group;
        }
        for (int j = 1; j <= cases; ++j) {
            const std::string case_name = load_case_names(r.case_code(j));
            if (report_destination() == ReportDestination::Text) {
                if (report_current_line() != REPORT_FIRST_LINE)
                    report_page_break();
                report_contents_line(c_format("%s report for pump %s, %s", standard.name, pumps()[i].name.c_str(),
                                              case_name.c_str()));
            } else if (report_destination() == ReportDestination::Pages) {
                if (gdi_lines_left() < 2)
                    gdi_new_page();
                if (j == 1)
                    add_contents_entry("Pump : " + pumps()[i].name, 1);
                add_contents_entry("Load case: " + case_name, 2);
            }
            pump_report(i, j);
        }
    }
}
