#include "qualification/ui/lug_ui.h"

#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/report.h"
#include "framework/units.h"
#include "qualification/ui/qualification_dialogs.h"
#include "qualification/ui/qualification_fields.h"
#include "qualification/ui/qualification_mode.h"
#include "qualification/ui/qualification_report_table.h"

#include <array>

namespace {

constexpr const char* REPORT_TITLE = "Evaluation of Piping at Lug Attachment";

struct LugUi {
    LugQualification data;
    QualificationReportTable table{QualificationReport::Lug, REPORT_TITLE, write_lug_report};
};
LugUi& ui() { return session_part<LugUi>(); }

// The run-pipe stresses and allowables by code: edits 1305..1313 in order,
// with the label of the dialog (also the name in messages), the report's
// label and the field.
struct StressField {
    const char* label;
    const char* report;
    float LugInput::*member;
};
const std::array<StressField, 9> ASME_STRESSES = {{
    {"Sustained Stress at Run Pipe (Eq.8)", "Sustained Stress at Run Pipe (Eq.8):", &LugInput::sustained_stress},
    {"Expansion Stress at Run Pipe (Eq.10)", "Expansion Stress at Run Pipe (Eq.10):", &LugInput::expansion_stress},
    {"Sustained + Occasional Stress at Run Pipe (Eq.9)", "Sustained + Occasional Stress at Run Pipe (Eq.9):",
     &LugInput::occasional_stress},
    {"Settlement Stress at Run Pipe (10a)", "Settlement Stress (Eq.10a):", &LugInput::settlement_stress},
    {"Thermal + Sustained Stress at Run Pipe (Eq. 11)", "Thermal + Sustained Stress (Eq.11):",
     &LugInput::thermal_stress},
    {"Allowable Stress at Maximum Temperature (sh)", "Allowable Stress at Maximum Metal Temperature (sh):",
     &LugInput::sh},
    {"Allowable Stress Range (sa)", "Allowable Stress Range (sa):", &LugInput::sa},
    {"Yield Strength (sy)", "Yield Stress (sy):", &LugInput::sy},
    {nullptr, nullptr, nullptr},
}};
const std::array<StressField, 9> EN_STRESSES = {{
    {"Sustained Stress at Run Pipe (S1)", "Sustained Stress at Run Pipe (S1):", &LugInput::sustained_stress},
    {"Expansion Stress at Run Pipe (S3)", "Expansion Stress at Run Pipe (S3):", &LugInput::expansion_stress},
    {"Sustained + Occasional Stress at Run Pipe (S2)", "Sustained + Occasional Stress at Run Pipe (S2):",
     &LugInput::occasional_stress},
    {"Thermal + Sustained Stress at Run Pipe (S4)", "Thermal + Sustained Stress (S4):", &LugInput::thermal_stress},
    {"Creep Stress at Run Pipe (S5)", "Creep Stress (S5):", &LugInput::settlement_stress},
    {"Allowable Stress at Maximum Temperature (fh)", "Allowable Stress at Maximum Metal Temperature (fh):",
     &LugInput::fh},
    {"Allowable Stress Range (fa)", "Allowable Stress Range (fa):", &LugInput::fa},
    {"Yield Strength (ReHt)", "Yield Strength (ReHt):", &LugInput::ReHt},
    {"Creep Stress (fcr)", "Creep Stress (fcr):", &LugInput::fcr},
}};
const std::array<StressField, 9>& stress_fields(int32_t code)
{
    return lug_code_is_asme(code) ? ASME_STRESSES : EN_STRESSES;
}

// The loads of a set in the dialog's order: W, Q1, Q2, MT, MN, ML.
const std::array<float LugLoads::*, 6> LOAD_ORDER = {&LugLoads::W,  &LugLoads::Q1, &LugLoads::Q2,
                                                     &LugLoads::MT, &LugLoads::MN, &LugLoads::ML};
const std::array<LugLoads LugInput::*, 5> LOAD_SETS = {&LugInput::sustained, &LugInput::occasional,
                                                       &LugInput::thermal, &LugInput::settlement, &LugInput::maxima};
int load_edit(int set, int j) { return LUG_FIRST_LOAD + 6 * set + j; }

class LugDialog final : public DialogProc {
public:
    explicit LugDialog(const LugInput& input) : copy_(input) {}
    const LugInput& result() const { return copy_; }

    void init(Dialog&) override
    {
        dialog_list_reset(QUAL_LIST);
        for (const char* name : lug_code_names)
            dialog_list_add(name);
        dialog_list_select(QUAL_LIST, copy_.code);
        code_chosen();
        if (input_locked()) {
            for (int item : {QUAL_LIST, QUAL_LIST2, QUAL_LIST3, QUAL_RADIO1, QUAL_RADIO2})
                dialog_disable(item);
            for (int item = qual_edit(1); item <= qual_edit(44); ++item)
                dialog_set_readonly(item);
        }
    }
    void command(Dialog&, int id, int code) override
    {
        if (input_locked())
            return;
        if (id == QUAL_LIST && code == NOTIFY_SELCHANGE) {
            copy_.code = std::clamp(dialog_list_selection(QUAL_LIST), 0, LUG_CODE_COUNT - 1);
            code_chosen();
        } else if (id == QUAL_RADIO1 && code == NOTIFY_CLICKED) {
            copy_.attachment = LUG_RECTANGULAR;
            attachment_chosen();
        } else if (id == QUAL_RADIO2 && code == NOTIFY_CLICKED) {
            copy_.attachment = LUG_HOLLOW;
            attachment_chosen();
        }
    }
    bool ok(Dialog&) override
    {
        if (input_locked())
            return true;
        store();
        return true;
    }

private:
    void show(int item, float value) { show_quantity(shown_, item, value, quantity_of(item), true); }
    static int quantity_of(int item)
    {
        if (item <= qual_edit(4))
            return DIMENSION;
        if (item <= qual_edit(13))
            return STRESS;
        return (item - LUG_FIRST_LOAD) % 6 < 3 ? FORCE : MOMENT;
    }

    // lug_dialog_code: the labels, lists and values of the chosen code.
    void code_chosen()
    {
        const bool asme = lug_code_is_asme(copy_.code);
        show(qual_edit(1), copy_.Do);
        show(qual_edit(2), copy_.T);
        dialog_set_radio(QUAL_RADIO1, QUAL_RADIO2, copy_.attachment == LUG_HOLLOW ? QUAL_RADIO2 : QUAL_RADIO1);
        attachment_chosen();
        if (asme) {
            dialog_show(LUG_LEVEL_LABEL);
            dialog_show(QUAL_LIST2);
            dialog_list_reset(QUAL_LIST2);
            for (const char* level : lug_level_names)
                dialog_list_add(level);
            dialog_list_select(QUAL_LIST2, std::clamp(copy_.level, 0, 3));
        } else {
            dialog_hide(LUG_LEVEL_LABEL);
            dialog_hide(QUAL_LIST2);
        }
        const std::array<StressField, 9>& fields = stress_fields(copy_.code);
        for (int k = 0; k < 9; ++k) {
            const StressField& f = fields[static_cast<std::size_t>(k)];
            dialog_set_text(qual_label(5 + k), f.label ? f.label : "");
            dialog_enable_item(qual_edit(5 + k), f.member != nullptr);
            show(qual_edit(5 + k), f.member ? copy_.*(f.member) : 0.0f);
        }
        for (int s = 0; s < 5; ++s) {
            for (int j = 0; j < 6; ++j) {
                show(load_edit(s, j), (copy_.*LOAD_SETS[static_cast<std::size_t>(s)]).*LOAD_ORDER[static_cast<std::size_t>(j)]);
                if (s == 3)
                    dialog_enable_item(load_edit(s, j), asme);
            }
        }
    }

    // lug_dialog_rectangular / lug_dialog_hollow.
    void attachment_chosen()
    {
        const bool hollow = copy_.attachment == LUG_HOLLOW;
        const std::vector<std::string>& welds = lug_weld_types(copy_.attachment);
        dialog_list_reset(QUAL_LIST3);
        for (const std::string& w : welds)
            dialog_list_add(w);
        dialog_list_select(QUAL_LIST3, std::clamp(copy_.weld, 0, static_cast<int>(welds.size()) - 1));
        dialog_set_text(qual_label(3), hollow ? "Outside Diameter of Hollow Circular Attachment (od)"
                                              : "Half Length of Attachment in Circumferential Direction (L1)");
        dialog_set_text(qual_label(4), hollow ? "Nominal Wall Thickness of Hollow Circular Attachment (thk)"
                                              : "Half Length of Attachment in Longitudinal Direction (L2)");
        show(qual_edit(3), hollow ? copy_.d_o : copy_.L1);
        show(qual_edit(4), hollow ? copy_.t : copy_.L2);
    }

    float required(int item, const std::string& name, float minimum)
    {
        if (field_empty(item))
            throw_required(name);
        const float v = read_quantity(item, name, DIMENSION, FieldRule::AtLeast0, &shown_);
        if (v < minimum)
            throw_invalid(name);
        return v;
    }

    // lug_dialog_store: every control, then the geometric limits.
    void store()
    {
        LugInput in = copy_;
        in.code = std::clamp(dialog_list_selection(QUAL_LIST), 0, LUG_CODE_COUNT - 1);
        in.attachment = dialog_is_checked(QUAL_RADIO2) ? LUG_HOLLOW : LUG_RECTANGULAR;
        const bool asme = lug_code_is_asme(in.code);
        const bool hollow = in.attachment == LUG_HOLLOW;
        in.Do = required(qual_edit(1), "Outside Diameter of Run Pipe", 0.001f);
        in.T = required(qual_edit(2), "Nominal Wall Thickness of Run Pipe", 0.0001f);
        if (hollow) {
            in.d_o = required(qual_edit(3), "Outside Diameter of Attachment", 0.001f);
            in.t = required(qual_edit(4), "Nominal Wall Thickness of Attachment", 0.001f);
        } else {
            in.L1 = required(qual_edit(3), "Half Length (L1)", 0.001f);
            in.L2 = required(qual_edit(4), "Half Length (L2)", 0.001f);
        }
        for (float LugInput::*m : {&LugInput::sustained_stress, &LugInput::expansion_stress,
                                   &LugInput::occasional_stress, &LugInput::settlement_stress,
                                   &LugInput::thermal_stress, &LugInput::fh, &LugInput::fa, &LugInput::fcr,
                                   &LugInput::ReHt, &LugInput::sh, &LugInput::sy, &LugInput::sa})
            in.*m = 0.0f;
        const std::array<StressField, 9>& fields = stress_fields(in.code);
        for (int k = 0; k < 9; ++k) {
            const StressField& f = fields[static_cast<std::size_t>(k)];
            if (f.member)
                in.*(f.member) = read_quantity(qual_edit(5 + k), f.label, STRESS, FieldRule::AtLeast0, &shown_);
        }
        in.level = asme ? std::clamp(dialog_list_selection(QUAL_LIST2), 0, 3) : in.level;
        in.weld = std::max(0, dialog_list_selection(QUAL_LIST3));
        static const char* const LOADS[6] = {"Thrust Load (W)", "Circumferential Shear Load (Q1)",
                                             "Circumferential Shear Load (Q2)", "Tosional Moment (MT)",
                                             "Circumferential Moment (MN)", "Longitudinal Moment (ML)"};
        static const char* const MAXIMA[6] = {"Thrust Load (W**)", "Circumferential Shear Load (Q1**)",
                                              "Circumferential Shear Load (Q2**)", "Tosional Moment (MT**)",
                                              "Circumferential Moment (MN**)", "Longitudinal Moment (ML**)"};
        static const char* const PREFIX[4] = {"Sustained - ", "Occasional - ", "Thermal - ", ""};
        for (int s = 0; s < 5; ++s) {
            LugLoads& set = in.*LOAD_SETS[static_cast<std::size_t>(s)];
            set = LugLoads{};
            if (s == 3 && !asme)
                continue;
            for (int j = 0; j < 6; ++j) {
                const int item = load_edit(s, j);
                const std::string name = s == 4 ? MAXIMA[j] : std::string(PREFIX[s]) + LOADS[j];
                set.*LOAD_ORDER[static_cast<std::size_t>(j)] = read_quantity(
                    item, name, quantity_of(item), s == 4 ? FieldRule::AtLeast0 : FieldRule::Any, &shown_);
            }
        }
        if (const std::string problem = lug_geometry_problem(in); !problem.empty()) {
            // The limit's own field takes the focus.
            const bool on_wall = problem.rfind("t/T", 0) == 0 || problem.rfind("L2/Ro", 0) == 0;
            const bool on_pipe = problem.rfind("Run Pipe", 0) == 0;
            dialog_throw(on_pipe ? qual_edit(1) : on_wall ? qual_edit(4) : qual_edit(3), problem);
        }
        copy_ = in;
    }

    LugInput copy_;
    ShownValues shown_;
};

// ---- The report ---------------------------------------------------------------------

void value(const std::string& label, double v, int quantity)
{
    report_value_line(label, quantity_text(v, quantity), unit_label(quantity));
}

void report_lug_input(const LugInput& in)
{
    const bool asme = lug_code_is_asme(in.code);
    const bool hollow = in.attachment == LUG_HOLLOW;
    const char* code = lug_code_names[static_cast<std::size_t>(std::clamp(in.code, 0, LUG_CODE_COUNT - 1))];
    report_title_line(std::string("Evaluation of Piping at Lug Attachment as per ") + code);
    report_text_line("");
    report_text_line("Input Data:");
    report_text_line(std::string("Lug Evaluation Code: ") + code);
    if (asme)
        report_text_line(std::string("Level: ") + lug_level_names[static_cast<std::size_t>(std::clamp(in.level, 0, 3))]);
    report_text_line(std::string("Lug Type: ") + (hollow ? "Hollow Circular" : "Rectangular"));
    const std::vector<std::string>& welds = lug_weld_types(in.attachment);
    report_text_line("Weld Type (Penetration):" +
                     welds[static_cast<std::size_t>(std::clamp(in.weld, 0, static_cast<int>(welds.size()) - 1))]);
    value("Outside Diameter of Run Pipe (OD):", in.Do, DIMENSION);
    value("Nominal Wall Thickness of Run Pipe (Thk):", in.T, DIMENSION);
    if (hollow) {
        value("Outside Diameter of Hollow Circular Attachment (od):", in.d_o, DIMENSION);
        value("Nominal Wall Thickness of Hollow Circular Attachment (thk):", in.t, DIMENSION);
    } else {
        value("Half Length of Attachment in Circumferential Direction (L1):", in.L1, DIMENSION);
        value("Half Length of Attachment in Longitudinal Direction (L2):", in.L2, DIMENSION);
    }
    // The ASME list puts the range before the yield stress, as the dialog.
    for (const StressField& f : stress_fields(in.code))
        if (f.member)
            value(f.report, in.*(f.member), STRESS);
    static const char* const SET_TITLES[5] = {
        "Forces and Moments at Pipe surface: Sustained", "Forces and Moments at Pipe surface: Occasional",
        "Forces and Moments at Pipe surface: Thermal", "Forces and Moments at Pipe surface: Settlement",
        "Abs. Max. Forces and Moments occurring simultaneously at Pipe surface"};
    static const char* const LOADS[6] = {
        "Thrust Load applied to the Attachment (W%s):", "Circumferential Shear Load applied to the Attachment (Q1%s):",
        "Longitudinal Shear Load applied to the Attachment (Q2%s):", "Torsional Moment applied to the Attachment (MT%s):",
        "Circumferential Moment applied to the Attachment (MN%s):",
        "Longitudinal Moment applied to the Attachment (ML%s):"};
    for (int s = 0; s < 5; ++s) {
        if (s == 3 && !asme)
            continue;
        report_title_line(SET_TITLES[s]);
        const LugLoads& set = in.*LOAD_SETS[static_cast<std::size_t>(s)];
        for (int j = 0; j < 6; ++j) {
            std::string label = LOADS[j];
            label.replace(label.find("%s"), 2, s == 4 ? "**" : "");
            value(label, set.*LOAD_ORDER[static_cast<std::size_t>(j)], j < 3 ? FORCE : MOMENT);
        }
    }
    report_text_line("");
}

void report_lug_evaluation(const LugInput& in)
{
    report_title_line(lug_code_title(in.code));
    report_title_line(std::string("Evaluation of Piping at ") +
                      (in.attachment == LUG_HOLLOW ? "Hollow Circular Attachments" : "Rectangular Attachments"));
    const LugEvaluation ev = evaluate_lug(in);
    if (!ev.problem.empty()) {
        report_text_line("*** " + ev.problem + " ***");
        return;
    }
    {
        const ReportTable section = report_check_header(ev.section_title);
        for (const LugCheck& c : ev.checks)
            report_lug_stress_row(c.label, c.calculated, c.allowed);
    }
    const ReportTable weld = report_check_header(ev.weld_title);
    for (const LugCheck& c : ev.weld_checks)
        report_lug_stress_row(c.label, c.calculated, c.allowed);
}

}  // namespace

LugQualification& lug_qualification() { return ui().data; }

void set_lug_defaults()
{
    lug_qualification() = LugQualification{};
}

bool lug_dialog(WindowId owner)
{
    LugQualification& q = lug_qualification();
    LugDialog proc(q.input);
    if (run_dialog(LUG_EVAL, proc, owner) != IDOK || input_locked())
        return false;
    if (proc.result() == q.input)
        return false;
    q.input = proc.result();
    q.analyzed = false;
    model_modified() = true;
    refresh_lug_report();
    return true;
}

void write_lug_report()
{
    begin_qualification_report(QualificationReport::Lug);
    if (report_destination() == ReportDestination::Window)
        report_clear_window_lines();
    const LugQualification& q = lug_qualification();
    report_lug_input(q.input);
    if (q.analyzed)
        report_lug_evaluation(q.input);
}

QualificationReportTable& lug_report_table() { return ui().table; }

void refresh_lug_report() { ui().table.refresh(model_modified()); }

void install_lug_evaluation()
{
    QualificationWindow w;
    w.kind = QualificationKind::Lug;
    w.title = "Evaluation of Piping at Lug Attachment";
    w.menu = "LUG_EVALUATION";
    w.accelerators = "LUG_ACCEL";
    w.placement_name = "Lug Evaluation";
    w.extension = "lug";
    w.filter = "Lug Evaluation files (*.lug)";
    w.save_as_title = "Save Data As";
    w.saved_text = "Input data saved";
    w.analyze_command = CMD_LUG_ANALYZE;
    w.edit_command = CMD_LUG_EDIT;
    w.write = [](const std::string& path) { write_lug_file(path, lug_qualification().input, unit_choice()); };
    w.read = [](const std::string& path) {
        const LugFile file = read_lug_file(path);
        return QualificationRead{[input = file.input] { lug_qualification() = LugQualification{input, false}; },
                                 file.units};
    };
    w.defaults = set_lug_defaults;
    w.edit = [](WindowId owner) { lug_dialog(owner); };
    w.analyze = [] { lug_qualification().analyzed = true; };
    w.write_report = write_lug_report;
    w.table = []() -> TableWindow& { return lug_report_table(); };
    w.refresh = refresh_lug_report;
    register_qualification_window(w);
}
