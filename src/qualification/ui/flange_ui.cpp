#include "qualification/ui/flange_ui.h"

#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/text.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/frame.h"
#include "framework/ui/messages.h"
#include "framework/ui/report.h"
#include "framework/ui/shell.h"
#include "framework/units.h"
#include "qualification/ui/qualification_dialogs.h"
#include "qualification/ui/qualification_fields.h"
#include "qualification/ui/qualification_mode.h"
#include "qualification/ui/qualification_report_table.h"

namespace {

constexpr const char* REPORT_TITLE = "Flange Stresses Report";

struct FlangeUi {
    FlangeQualification data;
    QualificationReportTable table{QualificationReport::Flange, REPORT_TITLE, write_flange_report};
};
FlangeUi& ui() { return session_part<FlangeUi>(); }

// ---- The input sheet ----------------------------------------------------------------

// Page FLANGE_DATA_DIALOG: the flange.
class FlangePage final : public DialogProc {
public:
    explicit FlangePage(FlangeInput& copy) : copy_(copy) {}

    void init(Dialog&) override
    {
        dialog_list_reset(QUAL_LIST);
        for (const char* name : flange_type_names)
            dialog_list_add(name);
        dialog_list_select(QUAL_LIST, copy_.type);
        float* const values[11] = {&copy_.A,  &copy_.B, &copy_.B_reverse, &copy_.t,  &copy_.g0, &copy_.g1,
                                   &copy_.h,  &copy_.Sf, &copy_.Sfa,      &copy_.E,  &copy_.Ea};
        for (int k = 1; k <= 11; ++k)
            show_quantity(shown_, qual_edit(k), *values[k - 1], QUANTITY[k - 1]);
        enable_reverse();
        if (input_locked()) {
            dialog_disable(QUAL_LIST);
            for (int k = 1; k <= 11; ++k)
                dialog_set_readonly(qual_edit(k));
        }
    }
    void command(Dialog&, int id, int code) override
    {
        if (id == QUAL_LIST && code == NOTIFY_SELCHANGE)
            enable_reverse();
    }
    bool ok(Dialog&) override
    {
        FlangeInput& c = copy_;
        c.type = std::clamp(dialog_list_selection(QUAL_LIST), 0, FLANGE_TYPE_COUNT - 1);
        const bool reverse = c.type == FLANGE_REVERSE;
        c.A = read(1, "Flange Outside Dia.", FieldRule::Above0);
        c.B = read(2, "Flange Inside Dia.", FieldRule::Above0);
        if (!reverse && c.A <= c.B)
            refuse(1, "Flange Outside Dia.", "is invalid: it must exceed the Flange Inside Dia. [B]");
        if (reverse) {
            c.B_reverse = read(3, "Reverse Flange Inside Dia", FieldRule::Above0);
            if (c.A <= c.B_reverse)
                refuse(1, "Flange Outside Dia.", "is invalid: it must exceed the Inside Dia of Reverse Flange [B']");
        } else {
            // Not used by other types: what cannot be read keeps its value.
            try {
                c.B_reverse = read(3, "Reverse Flange Inside Dia", FieldRule::AtLeast0);
            } catch (const MessageText&) {
            }
        }
        c.t = read(4, "Flange Thickness", FieldRule::Above0);
        c.g0 = read(5, "Small End Hub Thk.", FieldRule::Above0);
        c.g1 = read(6, "Large End Hub Thk.", FieldRule::Above0);
        if (c.g1 < c.g0)
            refuse(6, "Large End Hub Thk.", "is invalid: it must not be less than the Small End Hub Thk. [g0]");
        c.h = read(7, "Hub Length", FieldRule::AtLeast0);
        c.Sf = read(8, "Flange All. Design Temp.", FieldRule::Above0);
        c.Sfa = read(9, "Flange All. Ref. Temp.", FieldRule::Above0);
        c.E = read(10, "Flange Modulus @ Design Temp.", FieldRule::Above0);
        c.Ea = read(11, "Flange Modulus @ Ref. Temp.", FieldRule::Above0);
        return true;
    }

private:
    static constexpr int QUANTITY[11] = {DIMENSION, DIMENSION, DIMENSION, DIMENSION, DIMENSION, DIMENSION,
                                         DIMENSION, STRESS,    STRESS,    MODULUS,   MODULUS};
    float read(int k, const std::string& name, FieldRule rule)
    {
        return read_quantity(qual_edit(k), name, QUANTITY[k - 1], rule, &shown_);
    }
    // Refuses a value read before on its own field.
    [[noreturn]] static void refuse(int k, const std::string& name, const std::string& why)
    {
        dialog_get_text(qual_edit(k));
        throw_invalid_text(name, why);
    }
    void enable_reverse()
    {
        dialog_enable_item(qual_edit(3), dialog_list_selection(QUAL_LIST) == FLANGE_REVERSE);
    }

    FlangeInput& copy_;
    ShownValues shown_;
};

// Page BOLT_GASK_DATA_DIALOG: bolting and gasket.
class BoltPage final : public DialogProc {
public:
    explicit BoltPage(FlangeInput& copy) : copy_(copy) {}

    void init(Dialog&) override
    {
        show_quantity(shown_, qual_edit(1), copy_.C, DIMENSION);
        dialog_set_text(qual_edit(2), std::to_string(copy_.bolts));
        dialog_list_reset(QUAL_LIST);
        for (const BoltSize& b : bolt_sizes)
            dialog_list_add(b.name);
        dialog_list_select(QUAL_LIST, copy_.bolt_size);
        show_quantity(shown_, qual_edit(4), copy_.Sb, STRESS);
        show_quantity(shown_, qual_edit(5), copy_.Sa, STRESS);
        show_quantity(shown_, qual_edit(6), copy_.gasket_od, DIMENSION);
        show_quantity(shown_, qual_edit(7), copy_.gasket_id, DIMENSION);
        shown_.show(qual_edit(8), copy_.m, format_real(copy_.m, 0, 2));
        show_quantity(shown_, qual_edit(9), copy_.y, STRESS);
        dialog_set_text(qual_edit(10), std::to_string(copy_.facing_sketch));
        dialog_set_text(qual_edit(11), std::to_string(copy_.facing_column));
        if (input_locked())
            for (int k : {1, 2, 4, 5, 6, 7, 8, 9, 10, 11})
                dialog_set_readonly(qual_edit(k));
    }
    bool ok(Dialog&) override
    {
        FlangeInput& c = copy_;
        c.C = read_quantity(qual_edit(1), "Bolt Circle Diameter", DIMENSION, FieldRule::Above0, &shown_);
        c.bolts = read_whole(qual_edit(2), "Number of Bolts");
        if (c.bolts < 1)
            throw_invalid("Number of Bolts");
        c.bolt_size = std::clamp(dialog_list_selection(QUAL_LIST), 0, BOLT_SIZE_COUNT - 1);
        c.bolt_diameter = static_cast<float>(bolt_sizes[static_cast<std::size_t>(c.bolt_size)].diameter);
        c.Sb = read_quantity(qual_edit(4), "Bolt All. Design Temp.", STRESS, FieldRule::Above0, &shown_);
        c.Sa = read_quantity(qual_edit(5), "Bolt All. Ref. Temp.", STRESS, FieldRule::Above0, &shown_);
        c.gasket_od = read_quantity(qual_edit(6), "Gasket Outer Diameter", DIMENSION, FieldRule::Above0, &shown_);
        c.gasket_id = read_quantity(qual_edit(7), "Gasket Inner Diameter", DIMENSION, FieldRule::Above0, &shown_);
        if (c.gasket_od < c.gasket_id) {
            dialog_get_text(qual_edit(6));
            throw_invalid_text("Gasket Outer Diameter", "is invalid: it must not be less than the Gasket Inner Diameter");
        }
        c.m = read_quantity(qual_edit(8), "Leak Pressure Ratio", 0, FieldRule::AtLeast0, &shown_);
        c.y = read_quantity(qual_edit(9), "Gasket Seating Stress", STRESS, FieldRule::AtLeast0, &shown_);
        c.facing_sketch = read_index(10, 1, 5, "Facing Sketch should be > 0 and < 6");
        c.facing_column = read_index(11, 1, 2, "Facing Column should be > 0 and <= 2");
        return true;
    }

private:
    static int32_t read_index(int k, int low, int high, const char* text)
    {
        dialog_get_text(qual_edit(k));
        int32_t value = 0;
        if (parse_int_buffer(value) != 0 || value < low || value > high)
            dialog_throw(qual_edit(k), text);
        return value;
    }

    FlangeInput& copy_;
    ShownValues shown_;
};

// Page LOAD_DATA_DIALOG: the loads.
class LoadPage final : public DialogProc {
public:
    explicit LoadPage(FlangeInput& copy) : copy_(copy) {}

    void init(Dialog&) override
    {
        for (int k = 1; k <= 5; ++k) {
            show_quantity(shown_, qual_edit(k), *value(k), QUANTITY[k - 1]);
            if (input_locked())
                dialog_set_readonly(qual_edit(k));
        }
    }
    bool ok(Dialog&) override
    {
        static const char* const NAMES[5] = {"Design Pressure", "Design Temperature", "Axial Force", "Bending Moment",
                                             "Allowable Pressure"};
        for (int k = 1; k <= 5; ++k)
            *value(k) = read_quantity(qual_edit(k), NAMES[k - 1], QUANTITY[k - 1], FieldRule::AtLeast0, &shown_);
        return true;
    }

private:
    static constexpr int QUANTITY[5] = {PRESSURE, TEMPERATURE, FORCE, MOMENT, PRESSURE};
    float* value(int k)
    {
        float* const values[5] = {&copy_.P, &copy_.temperature, &copy_.axial_force, &copy_.moment,
                                  &copy_.allowable_pressure};
        return values[k - 1];
    }

    FlangeInput& copy_;
    ShownValues shown_;
};

// ---- The report ---------------------------------------------------------------------

void line(const std::string& text) { report_text_line(text); }

void line(const std::string& label, double value, int quantity)
{
    report_text_line(label + " = " + quantity_with_unit(value, quantity));
}

void text_rule()
{
    if (report_destination() == ReportDestination::Text)
        report_rule();
}

void report_flange_input(const FlangeInput& in)
{
    report_title("Flange Stress Calculation as per ASME Section VIII. Div. 1 - Appendix 2");
    line("");
    line("Flange Details:");
    line(std::string("Flange Type : ") + flange_type_names[static_cast<std::size_t>(std::clamp(in.type, 0, 4))]);
    line("Flange Outside Diameter [A]", in.A, DIMENSION);
    line("Flange Inside Diameter [B] ", in.B, DIMENSION);
    line("Inside Diameter of Reverse Flange [B'] ", in.B_reverse, DIMENSION);
    line("Flange Thickness [t]", in.t, DIMENSION);
    line("Small End Hub Thickness [g0]", in.g0, DIMENSION);
    line("Large End Hub Thickness [g1]", in.g1, DIMENSION);
    line("Hub Length [h]", in.h, DIMENSION);
    line("Allowable Stress @ Design Temp [sf]", in.Sf, STRESS);
    line("Allowable Stress @ Ref. Temp [sfa]", in.Sfa, STRESS);
    line("Modulus @ Design Temp [E]", in.E, MODULUS);
    line("Modulus @ Ref. Temp [Ea]", in.Ea, MODULUS);
    line("");
    line("Bolting Information:");
    line("Bolt Circle Diameter", in.C, DIMENSION);
    line("Number of Bolts = " + std::to_string(in.bolts));
    line("Bolt Diameter", in.bolt_diameter, DIMENSION);
    line("Allowable Stress @ Ref. Temp [sa]", in.Sa, STRESS);
    line("Allowable Stress @ Design Temp [sb]", in.Sb, STRESS);
    line("");
    line("Gasket Information:");
    line("Gasket Outside Diameter", in.gasket_od, DIMENSION);
    line("Gasket Inner Diameter", in.gasket_id, DIMENSION);
    line("Leak Pressure Ratio [m] = " + format_real(in.m, 0, 2));
    line("Gasket Seating Stress [y]", in.y, STRESS);
    line("Facing Sketch = " + std::to_string(in.facing_sketch));
    line("Facing Column = " + std::to_string(in.facing_column));
    line("");
    line("Load Data:");
    line("Design Pressure", in.P, PRESSURE);
    line("Design Temperature", in.temperature, TEMPERATURE);
    line("Axial Force", in.axial_force, FORCE);
    line("Bending Moment", in.moment, MOMENT);
    line("Allowable Pressure", in.allowable_pressure, PRESSURE);
}

void stress_block(const char* condition, const FlangeStresses& s, double flange_allowed, double bolt_allowed)
{
    line(c_format("Flange Stresses %s - %s", unit_label(STRESS).c_str(), condition));
    const ReportTable table = report_flange_table_header();
    report_flange_stress_row("Longitudinal Hub (SH)", s.SH, 1.5 * flange_allowed);
    report_flange_stress_row("Radial Flange (SR)", s.SR, flange_allowed);
    report_flange_stress_row("Tangential Flange (ST)", s.ST, flange_allowed);
    report_flange_stress_row("0.5(SH + SR)", s.SH_SR, flange_allowed);
    report_flange_stress_row("0.5(SH + ST)", s.SH_ST, flange_allowed);
    report_flange_stress_row("Bolt Stress", s.bolt, bolt_allowed);
}

void report_flange_results(const FlangeInput& in, const FlangeResults& r)
{
    if (report_destination() == ReportDestination::Text)
        report_page_break();
    if (r.loads_valid) {
        report_title("Flange Equivalent Pressure as per NC3658.1 of ASME Section III Class 2");
        line("Equivalent Pressure", r.equivalent_pressure, PRESSURE);
        line("ANSI B16.5 Flange Allowable Pressure Rating", in.allowable_pressure, PRESSURE);
        line("");
        line("Stress Safety Factor: (If greater than one, then joint failure is predicted)");
        if (in.allowable_pressure > 0.0f) {
            line("Equivalent Pressure / Allowable Pressure = " +
                 format_real(r.equivalent_pressure / in.allowable_pressure, 0, 2));
        } else {
            line("Equivalent Pressure / Allowable Pressure = ----");
            line(ALLOWABLE_NOT_GIVEN);
        }
        text_rule();
    }
    report_title("Flange Stresses as per ASME Section VIII. Div. 1 - Appendix 2");
    if (!r.problem.empty()) {
        line("*** " + r.problem + " ***");
        return;
    }
    line("According to S-2(d) of Appendix S, Rigidity factors (J) should be < 1.0.");
    line("");
    line(c_format("ASME Rigidity Factor 'J', Operating Case = %f", r.J_operating));
    line(c_format("ASME Rigidity Factor 'J', Seating Case   = %f", r.J_seating));
    line("");
    line("J < 1.0 minimizes the possibility of flange leakage.");
    text_rule();
    report_title("Calculated Stresses as per ASME Section VIII. Div. 1");
    stress_block("Operating Condition", r.operating, in.Sf, in.Sb);
    line("");
    stress_block("Gasket Seating Condition", r.seating, in.Sfa, in.Sa);
}

}  // namespace

FlangeQualification& flange_qualification() { return ui().data; }

void set_flange_defaults()
{
    FlangeQualification& q = flange_qualification();
    q.input = FlangeInput{};
    q.calculated = false;
    q.results = FlangeResults{};
}

bool flange_property_sheet(WindowId owner)
{
    FlangeQualification& q = flange_qualification();
    FlangeInput copy = q.input;
    FlangePage flange(copy);
    BoltPage bolt(copy);
    LoadPage load(copy);
    PropertySheet sheet;
    init_property_pages(sheet, 3);
    set_property_page(sheet, 0, FLANGE_DATA_DIALOG, flange);
    set_property_page(sheet, 1, BOLT_GASK_DATA_DIALOG, bolt);
    set_property_page(sheet, 2, LOAD_DATA_DIALOG, load);
    init_property_sheet(sheet, owner, "Flange Qualification", 0);
    const bool stored = run_property_sheet(sheet) == IDOK;
    if (stored && flange_input_differs(copy, q.input)) {
        // Every field that differs is taken (the others keep their exact value).
        FlangeInput& to = q.input;
        for (const QualificationField<FlangeInput>& f : flange_fields()) {
            if (f.kind == QualificationField<FlangeInput>::Int)
                f.int_ref(to) = f.int_ref(copy);
            else if (std::fabs(f.float_ref(to) - f.float_ref(copy)) > 1.0e-5f)
                f.float_ref(to) = f.float_ref(copy);
        }
        model_modified() = true;
    }
    if (model_modified())
        q.calculated = false;
    refresh_flange_report();
    return stored;
}

void analyze_flange_command()
{
    FlangeQualification& q = flange_qualification();
    q.results = analyze_flange(q.input);
    q.calculated = true;
    info_dialog(list_frame().window ? list_frame().window : command_owner(), "Flange Analyzed");
}

void write_flange_report()
{
    begin_qualification_report(QualificationReport::Flange);
    if (report_destination() == ReportDestination::Window)
        report_clear_window_lines();
    const FlangeQualification& q = flange_qualification();
    report_flange_input(q.input);
    if (q.calculated)
        report_flange_results(q.input, q.results);
}

QualificationReportTable& flange_stresses_table() { return ui().table; }

void refresh_flange_report() { ui().table.refresh(model_modified()); }

void install_flange_qualification()
{
    QualificationWindow w;
    w.kind = QualificationKind::Flange;
    w.title = "Flange Qualification";
    w.menu = "FLANGE_ANALYSIS";
    w.accelerators = "FLANGE_ACCEL";
    w.placement_name = "Flange Qualification";
    w.extension = "flg";
    w.filter = "Flange Qualification files (*.flg)";
    w.save_as_title = "Save As";
    w.saved_text = "Flange Qualification file saved";
    w.analyze_command = CMD_FLANGE_ANALYZE;
    w.edit_command = CMD_FLANGE_EDIT;
    w.write = [](const std::string& path) { write_flange_file(path, flange_qualification().input, unit_choice()); };
    w.read = [](const std::string& path) {
        const FlangeFile file = read_flange_file(path);
        return QualificationRead{[input = file.input] {
                                     FlangeQualification& q = flange_qualification();
                                     q.input = input;
                                     q.calculated = false;
                                     q.results = FlangeResults{};
                                 },
                                 file.units};
    };
    w.defaults = set_flange_defaults;
    w.edit = [](WindowId owner) { flange_property_sheet(owner); };
    w.analyze = analyze_flange_command;
    w.write_report = write_flange_report;
    w.table = []() -> TableWindow& { return flange_stresses_table(); };
    w.refresh = refresh_flange_report;
    register_qualification_window(w);
}
