#include "qualification/ui/nozzle_ui.h"

#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/messages.h"
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "framework/ui/shell.h"
#include "framework/units.h"
#include "qualification/en13445_nozzle.h"
#include "qualification/ui/qualification_dialogs.h"
#include "qualification/ui/qualification_fields.h"
#include "qualification/ui/qualification_mode.h"
#include "qualification/ui/qualification_report_table.h"

#include <array>
#include <optional>

namespace {

constexpr const char* REPORT_TITLE = "Nozzle Evaluation";

struct NozzleUi {
    NozzleQualification data;
    QualificationReportTable table{QualificationReport::Nozzle, REPORT_TITLE, write_nozzle_report};
    std::optional<Wrc537CurveStore> curves;
};
NozzleUi& ui() { return session_part<NozzleUi>(); }

// A field of a layout: the value, its quantity (0: a factor) and its
// labels in a sphere and in a cylinder.
struct LayoutField {
    float NozzleEvaluation::*member;
    int quantity;
    const char* sphere;
    const char* cylinder;
};
using N = NozzleEvaluation;
const std::array<LayoutField, 12> EN_LAYOUT = {{
    {&N::R, DIMENSION, "Mean Shell Radius [R]", "Mean Shell Diameter [D]"},
    {&N::e, DIMENSION, "Nominal Shell Thk (e)", nullptr},
    {&N::de, DIMENSION, "Nozzle OD (de)", nullptr},
    {&N::eb, DIMENSION, "Nozzle Thickness (eb)", nullptr},
    {&N::d, DIMENSION, "Mean Nozzle Dia (d)", nullptr},
    {&N::e2, DIMENSION, "Rein. Pad Thk (e2)", nullptr},
    {&N::d2, DIMENSION, "Rein. Pad OD (d2)", nullptr},
    {&N::ec, DIMENSION, "Shell + Rein. Pad Thk (ec)", nullptr},
    {&N::f, STRESS, "Shell Design Stress (f)", nullptr},
    {&N::fb, STRESS, "Nozzle Design Stress (fb)", nullptr},
    {&N::f2, STRESS, "Rein. Pad Design Stress (f2)", nullptr},
    {&N::c, DIMENSION, "Corrosion Allowance (c)", nullptr},
}};
const std::array<LayoutField, 17> WRC_LAYOUT = {{
    {&N::P, FORCE, "Radial Load (P)", nullptr},
    {&N::V1, FORCE, "Shear Load (V1)", "Shear Load (VC)"},
    {&N::V2, FORCE, "Shear Load (V2)", "Shear Load (VL)"},
    {&N::M1, MOMENT, "Overturning Moment (M1)", "Circumferential Moment (MC)"},
    {&N::M2, MOMENT, "Overturning Moment (M2)", "Longitudinal Moment (ML)"},
    {&N::MT, MOMENT, "Torsional Moment (MT)", nullptr},
    {&N::T, DIMENSION, "Vessel Thickness (T)", nullptr},
    {&N::Rm, DIMENSION, "Vessel Mean Radius (Rm)", "Vessel Radius (Rm)"},
    {&N::ro, DIMENSION, "Nozzle Outside Radius (ro)", "Attachment Radius (ro)"},
    {&N::eb, DIMENSION, "Nozzle Thickness (t)", nullptr},
    {&N::rm, DIMENSION, "Nozzle Mean Radius (rm)", nullptr},
    {&N::r, DIMENSION, "Fillet Radius (r)", nullptr},
    {&N::Pm, STRESS, "Pressure Stress at Shell (Pm)", nullptr},
    {&N::Pb, STRESS, "Bending Stress at Shell (Pb)", nullptr},
    {&N::allowable, STRESS, "Operating Allowable [All]", nullptr},
    {&N::Kn, 0, "Stress Conc. Factor - Tension (Kn)", nullptr},
    {&N::Kb, 0, "Stress Conc. Factor - Bending (Kb)", nullptr},
}};

// Edits 1..12 show unit labels 1601..1612, edits 13..15 labels 1614..1616.
int unit_of_edit(int k) { return k <= 12 ? qual_unit(k) : k <= 15 ? qual_unit(k + 1) : 0; }

const char* label_of(const LayoutField& f, bool sphere) { return sphere || !f.cylinder ? f.sphere : f.cylinder; }

std::string factor_text(double v) { return trimmed(format_real(v, 7, 2)); }

class NozzleDialog final : public DialogProc {
public:
    explicit NozzleDialog(const NozzleEvaluation& data) : stored_(data), result_(data) {}
    const NozzleEvaluation& result() const { return result_; }
    bool changed() const { return changed_; }

    void init(Dialog&) override
    {
        dialog_list_reset(QUAL_LIST);
        for (const char* name : nozzle_method_names)
            dialog_list_add(name);
        dialog_list_select(QUAL_LIST, stored_.method);
        layout();
        if (input_locked()) {
            for (int item : {QUAL_LIST, QUAL_RADIO1, QUAL_RADIO2})
                dialog_disable(item);
            for (int k = 1; k <= 17; ++k)
                dialog_set_readonly(qual_edit(k));
            dialog_set_focus(IDOK);
        }
    }
    void command(Dialog&, int id, int code) override
    {
        if (id == QUAL_LIST && code == NOTIFY_SELCHANGE)
            layout();
        else if (id == QUAL_LIST2 && code == NOTIFY_SELCHANGE)
            allowable_label();
        else if ((id == QUAL_RADIO1 || id == QUAL_RADIO2) && code == NOTIFY_CLICKED)
            shell_labels();
    }
    bool ok(Dialog&) override
    {
        if (input_locked())
            return true;
        if (method() == NOZZLE_WRC537)
            store_wrc();
        else
            store_en();
        return true;
    }

private:
    int method() const { return dialog_list_selection(QUAL_LIST) == NOZZLE_WRC537 ? NOZZLE_WRC537 : NOZZLE_EN13445; }
    bool sphere() const { return dialog_is_checked(QUAL_RADIO1); }

    // nozzle_dialog_layout: the method's controls, filled from the stored data.
    void layout()
    {
        const int selected = dialog_list_selection(QUAL_LIST);
        if (selected < 0)
            return;
        const bool wrc = selected == NOZZLE_WRC537;
        dialog_set_radio(QUAL_RADIO1, QUAL_RADIO2, stored_.spherical ? QUAL_RADIO1 : QUAL_RADIO2);
        for (int item : {NOZZLE_LOAD_CASE_LABEL, QUAL_LIST2})
            wrc ? dialog_show(item) : dialog_hide(item);
        for (int k = 13; k <= 17; ++k) {
            for (int item : {qual_label(k), qual_edit(k)})
                wrc ? dialog_show(item) : dialog_hide(item);
            if (unit_of_edit(k) != 0)
                wrc ? dialog_show(unit_of_edit(k)) : dialog_hide(unit_of_edit(k));
        }
        if (wrc) {
            dialog_list_reset(QUAL_LIST2);
            for (const char* name : nozzle_load_case_names)
                dialog_list_add(name);
            dialog_list_select(QUAL_LIST2, std::clamp(stored_.load_case, 0, 2));
        }
        for (int k = 1; k <= (wrc ? 17 : 12); ++k) {
            const LayoutField& f = wrc ? WRC_LAYOUT[static_cast<std::size_t>(k - 1)] : EN_LAYOUT[static_cast<std::size_t>(k - 1)];
            const float v = stored_.*(f.member);
            dialog_enable_item(qual_edit(k), true);
            if (f.quantity == 0)
                shown_.show(qual_edit(k), v, factor_text(v));
            else
                show_quantity(shown_, qual_edit(k), v, f.quantity);
            if (unit_of_edit(k) != 0)
                dialog_set_unit_label(unit_of_edit(k), f.quantity);
        }
        dialog_resize(258, wrc ? 361 : 282);
        dialog_move_item(IDOK, 7, wrc ? 340 : 261);
        dialog_move_item(IDCANCEL, 201, wrc ? 340 : 261);
        shell_labels();
        if (wrc)
            allowable_label();
    }

    // The labels that depend on the shell; a cylinder's WRC fields have no
    // nozzle thickness and mean radius.
    void shell_labels()
    {
        const bool wrc = method() == NOZZLE_WRC537;
        const bool s = sphere();
        for (int k = 1; k <= (wrc ? 17 : 12); ++k) {
            const LayoutField& f = wrc ? WRC_LAYOUT[static_cast<std::size_t>(k - 1)] : EN_LAYOUT[static_cast<std::size_t>(k - 1)];
            if (!(wrc && k == 15))
                dialog_set_text(qual_label(k), label_of(f, s));
        }
        if (wrc) {
            dialog_enable_item(qual_edit(10), s);
            dialog_enable_item(qual_edit(11), s);
        }
    }

    void allowable_label()
    {
        const int load_case = std::clamp(dialog_list_selection(QUAL_LIST2), 0, 2);
        dialog_set_text(qual_label(15), std::string(nozzle_load_case_names[static_cast<std::size_t>(load_case)]) +
                                            " Allowable [All]");
    }

    // A field that must hold a value: its empty-field name, its invalid-value
    // name and the least value taken (none: any value the parser reads).
    float required(int k, const std::string& empty_name, const std::string& name, int quantity,
                   std::optional<float> minimum)
    {
        if (field_empty(qual_edit(k)))
            throw_required(empty_name);
        return optional_value(k, name, quantity, minimum);
    }
    float optional_value(int k, const std::string& name, int quantity, std::optional<float> minimum)
    {
        const float v = read_quantity(qual_edit(k), name, quantity, FieldRule::Any, &shown_);
        if (minimum && v < *minimum)
            throw_invalid(name);
        return v;
    }

    void store_en()
    {
        NozzleEvaluation n = stored_;
        n.method = NOZZLE_EN13445;
        n.spherical = sphere() ? 1 : 0;
        n.R = required(1, "Shell Radius/Shell Dia", "Shell Radius/Shell Dia", DIMENSION, 0.001f);
        n.e = required(2, "Shell Thickness", "Shell Thickness", DIMENSION, 0.0001f);
        n.de = required(3, "Nozze OD", "Nozzle OD", DIMENSION, 0.001f);
        n.eb = required(4, "Nozzle Thickness", "Nozzle Thickness", DIMENSION, 0.0001f);
        n.d = required(5, "Nozzle Mean Dia", "Nozzle Mean Dia", DIMENSION, 0.0001f);
        n.e2 = required(6, "Rein. Pad Thk", "Rein. Pad Thk", DIMENSION, 0.0f);
        n.d2 = required(7, "Rein. Pad OD", "Rein. Pad OD", DIMENSION, 0.0f);
        if (field_empty(qual_edit(8)))
            throw_required("Combined Shell + Pad Thk");
        try {
            n.ec = optional_value(8, "Combined Shell + Pad Thk", DIMENSION, 0.0001f);
        } catch (const MessageText&) {
            throw MessageText("Combined Shell + Pad Thk should be > 0");
        }
        n.f = required(9, "Shell Design Stress", "Shell Design Stress", STRESS, 0.0001f);
        n.fb = required(10, "Nozzle Design Stress", "Nozzle Design Stress", STRESS, 0.0001f);
        n.f2 = required(11, "Pad Desing Stress", "Pad Desing Stress", STRESS, 0.0f);
        n.c = optional_value(12, "Corrosion Allowance", DIMENSION, 0.0f);
        finish(n);
    }

    void store_wrc()
    {
        NozzleEvaluation n = stored_;
        n.method = NOZZLE_WRC537;
        const bool s = sphere();
        n.spherical = s ? 1 : 0;
        n.load_case = std::clamp(dialog_list_selection(QUAL_LIST2), 0, 2);
        for (int k = 1; k <= 6; ++k) {
            const LayoutField& f = WRC_LAYOUT[static_cast<std::size_t>(k - 1)];
            n.*(f.member) = optional_value(k, label_of(f, s), f.quantity, std::nullopt);
        }
        // A vessel thickness of 0 would divide every stress.
        n.T = required(7, "Vessel Thickness", "Vessel Thickness", DIMENSION, std::nullopt);
        if (!(n.T > 0.0f)) {
            dialog_get_text(qual_edit(7));
            throw_invalid_text("Vessel Thickness", "is invalid: it must be above 0");
        }
        n.Rm = required(8, "Vessel Mean Radius", "Vessel Mean Radius", DIMENSION, 0.0001f);
        n.ro = required(9, "Nozzle Outside Radius", "Nozzle Outside Radius", DIMENSION, 0.0001f);
        if (s) {
            n.eb = required(10, "Nozzle_Thk", "Nozzle Thickness", DIMENSION, 0.0001f);
            n.rm = required(11, "Nozzle Mean Radius", "Nozzle Mean Radius", DIMENSION, 0.0001f);
        }
        n.r = optional_value(12, "Fillet Radius", DIMENSION, 0.0001f);
        n.Pm = optional_value(13, "Pressure Stress", STRESS, std::nullopt);
        n.Pb = optional_value(14, "Bending Stress at Shell", STRESS, std::nullopt);
        n.allowable = optional_value(15, "Allowable Stress", STRESS, std::nullopt);
        n.Kn = factor(16, "Kn");
        n.Kb = factor(17, "Kb");
        finish(n);
    }

    // Kn, Kb: empty is 0 (the factor of Fig. B-2), negative is refused.
    float factor(int k, const std::string& name)
    {
        float v = 0.0f;
        if (shown_.unchanged(qual_edit(k), v))
            return v;
        dialog_get_text(qual_edit(k));
        if (parse_real_buffer(v) != 0 || v < 0.0f)
            throw_invalid_text(name, "Should be >= 1.00");
        return v;
    }

    void finish(const NozzleEvaluation& n)
    {
        changed_ = !(n == stored_);
        result_ = n;
    }

    NozzleEvaluation stored_;
    NozzleEvaluation result_;
    bool changed_ = false;
    ShownValues shown_;
};

// ---- The report ---------------------------------------------------------------------

void value(const std::string& label, double v, int quantity)
{
    report_value_line(label, quantity_text(v, quantity), unit_label(quantity));
}

std::string with_unit(double v, int quantity) { return quantity_with_unit(v, quantity); }

std::string ratio_text(double v) { return trimmed(format_real(v, 8, 3)); }

void print_en13445_input(const NozzleEvaluation& n)
{
    const bool sphere = n.spherical != 0;
    report_title_line("Allowable Loads on Nozzles as per EN 13445-3:2009");
    report_text_line("Input Data:");
    report_text_line(sphere ? "Local Loads on Nozzle attached to Spherical Vessel"
                            : "Local Loads on Nozzle attached to Cylindrical Vessel");
    static const char* const LABELS[12] = {
        nullptr, "Nominal Shell Thk. [e]:", "Nozzle OD [de]:", "Nozzle Thickness [eb]:", "Mean Nozzle Dia. [d]:",
        "Rein. Pad Thk. [e2]:", "Rein. Pad OD [d2]:", "Shell + Rein. Pad Thk. [ec]:", "Shell Design Stress [f]:",
        "Nozzle Design Stress [fb]:", "Rein. Pad Design Stress [f2]:", "Corrosion Allowance [c]:"};
    for (std::size_t k = 0; k < EN_LAYOUT.size(); ++k) {
        const char* label = k == 0 ? (sphere ? "Mean Shell Radius [R]:" : "Mean Shell Diameter [D]:") : LABELS[k];
        value(label, n.*(EN_LAYOUT[k].member), EN_LAYOUT[k].quantity);
    }
}

void print_wrc537_input(const NozzleEvaluation& n)
{
    const bool sphere = n.spherical != 0;
    const std::string load_case = nozzle_load_case_names[static_cast<std::size_t>(std::clamp(n.load_case, 0, 2))];
    report_title_line("Local Shell Stresses at Nozzles");
    report_text_line("Input Data:");
    report_text_line(sphere ? "Local Shell Stresses at Nozzles attached to Spherical Shells"
                            : "Local Shell Stresses at Nozzles attached to Cylindrical Shells");
    report_text_line("Load Case : " + load_case);
    value("Radial Load [P]:", n.P, FORCE);
    value(sphere ? "Shear Load [V1]:" : "Shear Load [VC]:", n.V1, FORCE);
    value(sphere ? "Shear Load [V2]:" : "Shear Load [VL]:", n.V2, FORCE);
    value(sphere ? "Overturning Moment [M1]:" : "Circumferential Moment [MC]:", n.M1, MOMENT);
    value(sphere ? "Overturning Moment [M2]:" : "Longitudinal Moment [ML]:", n.M2, MOMENT);
    value("Torsional Moment [MT]:", n.MT, MOMENT);
    value("Vessel Thickness [T]:", n.T, DIMENSION);
    value(sphere ? "Vessel Mean Radius: [Rm]:" : "Vessel Radius: [Rm]:", n.Rm, DIMENSION);
    if (sphere) {
        value("Nozzle Thickness [t]:", n.eb, DIMENSION);
        value("Nozzle Outside Radius [ro]:", n.ro, DIMENSION);
        value("Nozzle Mean Radius [rm]:", n.rm, DIMENSION);
    } else {
        value("Attachment Radius [ro]:", n.ro, DIMENSION);
    }
    value("Fillet Radius [r]:", n.r, DIMENSION);
    value("Pressure Stress at Shell [Pm]:", n.Pm, STRESS);
    value("Bending Stress at Shell [Pb]:", n.Pb, STRESS);
    value(load_case + " Allowable [All]:", n.allowable, STRESS);
    report_value_line("Stress Conc. Factor - Tension [Kn]:", factor_text(n.Kn), "-");
    report_value_line("Stress Conc. Factor - Bending [Kb]:", factor_text(n.Kb), "-");
}

void en13445_lines(const NozzleEvaluation& n)
{
    const bool sphere = n.spherical != 0;
    const En13445Result r = sphere ? en13445_sphere(n) : en13445_cylinder(n);
    if (sphere) {
        report_title_line("Clause 16.4.3: Conditions of applicability");
        report_title_line("Analysis Shell Thk.[ea]/Mean Shell Radius [R] should be >= 0.001 and <= 0.1");
    } else {
        report_title_line("Clause 16.5.3: Conditions of applicability");
        report_title_line("a) Analysis Shell Thk.[ea]/Mean Shell Diameter [D] should be >= 0.001 and <= 0.1");
    }
    if (!r.problem.empty()) {
        report_text_line("*** " + r.problem + " ***");
        return;
    }
    const char* q = sphere ? "ea/R" : "ea/D";
    if (!r.ratio_passed) {
        report_text_line(c_format("a) %s = %s. Condition failed ***", q, ratio_text(r.ratio).c_str()));
        return;
    }
    report_text_line(c_format("a) %s = %s which is >= 0.001 and <= 0.1. Condition Passed.", q,
                              ratio_text(r.ratio).c_str()));
    if (sphere) {
        report_text_line("b) Distances to any other local load in any direction shall not be less than SQRT(R.ec) = " +
                         with_unit(r.load_distance, DIMENSION));
        report_text_line("c) Nozzle thickness shall be maintained over a distance of SQRT(D.eb) = " +
                         with_unit(r.thickness_distance, DIMENSION));
        report_title_line("Clause 16.4.5: Maximum allowable individual loads");
        report_text_line("Allowable radial nozzle load [Fz.Max]: " + with_unit(r.Fz_max, FORCE));
        report_text_line("");
        report_text_line("Allowable bending moment [Mb.Max]: " + with_unit(r.Mb_max, MOMENT));
        return;
    }
    report_text_line("b) Lambda C should be <= 10.0");
    report_text_line(r.lambda_passed
                         ? c_format("Lambda C = %s which is <= 10.0 Condition Passed.", ratio_text(r.lambda).c_str())
                         : c_format("Lambda C = %s which is <= 10.0 Condition failed ***.", ratio_text(r.lambda).c_str()));
    report_text_line("c) Distances to any other local load in any direction shall not be less than SQRT(D.ec): " +
                     with_unit(r.load_distance, DIMENSION) + " ");
    report_text_line("d) Nozzle thickness shall be maintained over a distance of SQRT(D.eb): " +
                     with_unit(r.thickness_distance, DIMENSION));
    report_title_line("Clause 16.5.5: Maximum allowable individual loads");
    report_text_line("16.4.5.5: Allowable radial nozzle load [Fz.Max]: " + with_unit(r.Fz_max, FORCE));
    report_text_line("");
    report_text_line("16.5.5.5: Allowable circumferential moment [Mx.Max]: " + with_unit(r.Mx_max, MOMENT));
    report_text_line("");
    report_text_line("16.5.5.6: Allowable longitudinal moment [My.Max]: " + with_unit(r.My_max, MOMENT));
}

void wrc537_lines(const NozzleEvaluation& n)
{
    const bool sphere = n.spherical != 0;
    const Wrc537CurveStore& curves = wrc537_curve_store();
    const Wrc537Result r = sphere ? wrc537_sphere(n, curves) : wrc537_cylinder(n, curves);
    if (!r.problem.empty()) {
        report_text_line("*** " + r.problem + " ***");
        return;
    }
    if (sphere && !r.figure_error.empty()) {
        message_error_foreground(r.figure_error);
        return;
    }
    if (r.kn_looked_up || r.kb_looked_up) {
        report_title_line(sphere ? "Stress Concentration Factors Computed as per Fig. B-2"
                                 : "Stress Concentration Factor(s) Computed as per Fig. B-2");
        if (r.kn_looked_up)
            report_value_line("Tension [Kn]:", factor_text(r.Kn), "-");
        if (r.kb_looked_up)
            report_value_line("Bending [Kb]:", factor_text(r.Kb), "-");
    }
    report_title_line(label_with_unit(sphere ? "Calculation of Local Stresses in Spherical Shells as per WRC Bulletin 537"
                                             : "Calculation of Local Stresses in Cylindrical Shells as per WRC Bulletin 537",
                                      STRESS));
    if (!r.figure_error.empty()) {
        report_wrc_stress_header();
        message_error_foreground(r.figure_error);
        return;
    }
    if (!r.missing.empty()) {
        report_text_line("WRC 537 curve data not available");
        for (const std::string& m : r.missing)
            report_text_line("Missing curve: Fig. " + m);
        if (!curves.load_error.empty())
            report_text_line(curves.load_error);
        return;
    }
    {
        const ReportTable table = report_wrc_stress_header();
        for (const WrcStressRow& row : r.rows) {
            if (row.label.empty())
                report_text_line("");
            else
                report_wrc_stress_row(row.label, row.figure, row.s);
        }
        report_text_line("");
        report_wrc_stress_row(r.intensity_label, "-", r.intensity);
    }
    const ReportTable compliance = report_check_header(r.compliance_title);
    report_compliance_row(r.compliance_label, r.calculated, r.allowed);
}

}  // namespace

NozzleQualification& nozzle_qualification() { return ui().data; }

void new_nozzle_evaluation()
{
    nozzle_qualification() = NozzleQualification{};
}

bool nozzle_dialog(WindowId owner)
{
    NozzleQualification& q = nozzle_qualification();
    NozzleDialog proc(q.data);
    if (run_dialog(NOZZLE_QUAL, proc, owner) != IDOK || input_locked() || !proc.changed())
        return false;
    q.data = proc.result();
    q.evaluate = false;
    model_modified() = true;
    refresh_nozzle_report();
    return true;
}

void write_nozzle_report()
{
    begin_qualification_report(QualificationReport::Nozzle);
    switch (report_destination()) {
    case ReportDestination::Window: report_clear_window_lines(); break;
    case ReportDestination::Text: report_contents_line("Local loads on nozzle"); break;
    case ReportDestination::Pages: add_contents_entry("Local loads on nozzle", 0); break;
    }
    const NozzleQualification& q = nozzle_qualification();
    const NozzleEvaluation& n = q.data;
    if (n.method == NOZZLE_WRC537)
        print_wrc537_input(n);
    else
        print_en13445_input(n);
    if (!q.evaluate)
        return;
    if (n.method == NOZZLE_WRC537) {
        wrc537_lines(n);
    } else {
        report_title_line(n.spherical ? "Allowable Loads on Nozzles attached to Spherical Shells as per EN 13445-3:2009"
                                      : "Allowable Loads on Nozzles attached to Cylindrical Shells as per EN 13445-3:2009");
        en13445_lines(n);
    }
}

QualificationReportTable& nozzle_report_table() { return ui().table; }

void refresh_nozzle_report() { ui().table.refresh(model_modified()); }

const Wrc537CurveStore& wrc537_curve_store()
{
    std::optional<Wrc537CurveStore>& curves = ui().curves;
    if (!curves)
        curves = read_wrc537_curves(shell_program_folder() + "/" + WRC537_CURVES_FILE);
    return *curves;
}

void set_wrc537_curve_store(Wrc537CurveStore store) { ui().curves = std::move(store); }

void install_nozzle_qualification()
{
    QualificationWindow w;
    w.kind = QualificationKind::Nozzle;
    w.title = "Local loads on nozzle";
    w.menu = "NOZZLE_QUALIFICATION";
    w.accelerators = "NOZZLE_ACCEL";
    w.placement_name = "Nozzle Qualification";
    w.extension = "noz";
    w.filter = "Nozzle Evaluation files (*.noz)";
    w.save_as_title = "Save Data As";
    w.saved_text = "Input data saved";
    w.analyze_command = CMD_NOZZLE_ANALYZE;
    w.edit_command = CMD_NOZZLE_EDIT;
    w.write = [](const std::string& path) { write_nozzle_file(path, nozzle_qualification().data, unit_choice()); };
    w.read = [](const std::string& path) {
        const NozzleFile file = read_nozzle_file(path);
        return QualificationRead{[data = file.data] { nozzle_qualification() = NozzleQualification{data, false}; },
                                 file.units};
    };
    w.defaults = new_nozzle_evaluation;
    w.edit = [](WindowId owner) { nozzle_dialog(owner); };
    w.analyze = [] { nozzle_qualification().evaluate = true; };
    w.write_report = write_nozzle_report;
    w.table = []() -> TableWindow& { return nozzle_report_table(); };
    w.refresh = refresh_nozzle_report;
    register_qualification_window(w);
}
