// The dynamic analyses set up through the real windows alone, from the empty
// model the program starts with: the property sets typed into the tables of
// the list window, the rows into the layout, the dynamic inputs given in
// their dialogs and tables, the cases chosen in the Load Cases dialog, and
// the model analysed. A response spectrum picked from the shipped library
// excites a cantilever with a tip mass, whose response is worked by hand;
// each of the other dynamic cases is offered once its input is given.
#include "analysis/ui/analysis_ui.h"
#include "framework/app_state.h"
#include "framework/ui/frame.h"
#include "gui/program_fixture.h"
#include "gui/window_user.h"
#include "loads/pipe_load.h"
#include "loads/response_spectrum.h"
#include "loads/spectrum.h"
#include "loads/time_function.h"
#include "loads/ui/dialogs_loads.h"
#include "model/load_cases.h"
#include "model/model.h"
#include "model/nodes.h"
#include "results/results_reader.h"
#include "results/results_state.h"
#include "results/ui/result_choosers.h"
#include "results/ui/soil_acceleration_tables.h"
#include "supports/support_item.h"
#include "supports/ui/support_dialogs.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr double PI = std::numbers::pi;
constexpr double G = 386.4;   // in/s2, the standard gravity the program takes for a weight's mass

// The first spectrum of the shipped library: ASCE/SEI 7-10 site class B,
// SS = 1.5 g, S1 = 0.6 g, whose plateau SDS = 1 g lies between the periods
// T0 = 0.08 s and TS = 0.4 s (libraries/spectra.txt works it out).
const std::string LIBRARY_SPECTRUM = "ASCE7-10 B SS=1.5 S1=0.6";

class DynamicSetup : public GuiProgramTest {
protected:
    explicit DynamicSetup(std::string name) : GuiProgramTest(std::move(name)) {}
    void SetUp() override
    {
        // The program as main() installs it, with the graphics window's OpenGL.
        MESA_ALLOCATIONS_KEPT;
        GuiProgramTest::SetUp();
        user_.emplace();
        ASSERT_EQ(numrows(), 0);
    }
    void TearDown() override
    {
        user_.reset();
        GuiProgramTest::TearDown();
    }

    static QWidget* layout_keys() { return gui_backend().widget(main_frame().client); }
    static QWidget* list_keys() { return gui_backend().widget(list_frame().client); }

    // Misc > Materials, Sections and Loads: a carbon steel (of density 0
    // for a weightless line), the 6 in schedule 40 pipe (6.625 x 0.280 in)
    // and the pipe load L1 at 70 degF; then back to the layout.
    void property_sets(const std::string& density)
    {
        ASSERT_TRUE(user().menu(main_frame(), {"Misc", "Materials"}));
        WindowUser::cells(list_keys(), {"CS", "Carbon steel", "CS", density, "0.3"}, 0);
        WindowUser::key(list_keys(), Qt::Key_F6);
        WindowUser::cells(list_keys(), {"70", "29.5E6", "6.07E-6", "20000"}, Qt::Key_Return);
        WindowUser::key(list_keys(), Qt::Key_F6);
        ASSERT_TRUE(user().menu(main_frame(), {"Misc", "Sections"}));
        WindowUser::cells(list_keys(), {"6", "6", "40"}, Qt::Key_Return);
        ASSERT_TRUE(user().menu(main_frame(), {"Misc", "Loads"}));
        WindowUser::cells(list_keys(), {"L1", "70", "0"}, Qt::Key_Return);
        ASSERT_TRUE(user().menu(list_frame(), {"Window", "Layout"}));
        ASSERT_EQ(nummats(), 1);
        ASSERT_EQ(numsections(), 1);
        ASSERT_EQ(numloads(), 1);
    }

    // The anchored From row at node 10, its dialog answered so; then the
    // pipe to node 20, 10 ft along X, with the data item named (its dialog
    // answered so).
    void cantilever(WindowUser::Answer anchor, const std::string& item, const std::string& item_dialog,
                    WindowUser::Answer item_answer)
    {
        user().on("ANCHOR_DIALOG", std::move(anchor));
        WindowUser::cells(layout_keys(), {"10", "", "", "", "", "Anchor"}, Qt::Key_Return);
        if (!item.empty())
            user().on(item_dialog, std::move(item_answer));
        WindowUser::cells(layout_keys(), {"20", "", "10-0", "", "", "CS", "6", "L1", item}, Qt::Key_Return);
        ASSERT_EQ(numrows(), 2);
        ASSERT_FLOAT_EQ(model().rows[2].dx, 120.0f);
    }

    // Loads > Spectra, then File > Library... in the list window: the
    // shipped spectrum library's first spectrum into the model.
    void spectrum_from_library()
    {
        ASSERT_TRUE(user().menu(main_frame(), {"Loads", "Spectra"}));
        user().answer_file((fs::path(KV_PROGRAM_PATH).parent_path() / "spectra.spe").string());
        user().on("LIBRARY_USE_DIALOG", [](QDialog* d) { WindowUser::click(d, IDOK); });
        ASSERT_TRUE(user().menu(list_frame(), {"File", "Library"}));
        ASSERT_EQ(numspectrums(), 1);
        ASSERT_EQ(spectra()[1].name, LIBRARY_SPECTRUM);
    }

    // Loads > Response Spectrum: the library spectrum in Z times `factor`,
    // the modes combined as `modal` says.
    void response_spectrum_in_z(const std::string& factor, const std::string& modal)
    {
        user().on("RESPONSE_SPECTRUM_DIALOG", [factor, modal](QDialog* d) {
            EXPECT_TRUE(WindowUser::choose(d, RS_SPECTRUM_X + 2, LIBRARY_SPECTRUM));
            EXPECT_TRUE(WindowUser::set_text(d, RS_FACTOR_X + 2, factor));
            EXPECT_TRUE(WindowUser::choose(d, RS_MODAL, modal));
            WindowUser::click(d, IDOK);
        });
        ASSERT_TRUE(user().menu(main_frame(), {"Loads", "Response Spectrum"}));
    }

    // Loads > Load Cases: the cases it offers; those named in `choose` are
    // added, then OK (Cancel when none).
    std::vector<std::string> load_cases(const std::vector<std::string>& choose = {})
    {
        std::vector<std::string> offered;
        user().on("LOAD_CASES_DIALOG", [&offered, choose](QDialog* d) {
            offered = WindowUser::entries(d, LOAD_CASES_AVAILABLE);
            auto* list = WindowUser::item<QListWidget>(d, LOAD_CASES_AVAILABLE);
            for (const std::string& name : choose) {
                const auto found = list->findItems(QString::fromStdString(name), Qt::MatchExactly);
                if (found.isEmpty()) {
                    ADD_FAILURE() << name << " is not offered";
                    continue;
                }
                list->setCurrentItem(found.front());
                WindowUser::click(d, LOAD_CASES_ADD);
            }
            WindowUser::click(d, choose.empty() ? IDCANCEL : IDOK);
        });
        EXPECT_TRUE(user().menu(main_frame(), {"Loads", "Load Cases"}));
        return offered;
    }

    // File > Save As, then Misc > Analyze; true when the results file is written.
    bool analyse(const std::string& name)
    {
        user().answer_file((folder / (name + ".mod")).string());
        // Analyze runs to its end before its command returns.
        return user().menu(main_frame(), {"File", "Save As"}) && user().menu(main_frame(), {"Misc", "Analyze"}) &&
               fs::exists(folder / (name + ".res"));
    }

    void expect_no_message_but(const std::vector<std::string>& allowed = {})
    {
        for (const std::string& m : user().messages)
            if (std::none_of(allowed.begin(), allowed.end(),
                             [&m](const std::string& a) { return m.find(a) != std::string::npos; }))
                ADD_FAILURE() << "message: " << m;
        for (const std::string& d : user().unanswered)
            ADD_FAILURE() << "unanswered: " << d;
    }

    static bool offers(const std::vector<std::string>& offered, const std::string& name)
    {
        return std::find(offered.begin(), offered.end(), name) != offered.end();
    }
    // The dynamic cases among those offered.
    static std::vector<std::string> dynamic_offered(const std::vector<std::string>& offered)
    {
        std::vector<std::string> out;
        for (int code = LC_MODAL; code <= LC_FORCE_SPECTRUM; ++code)
            if (code != LC_STATIC_ANALYSIS && offers(offered, load_case_names(code)))
                out.push_back(load_case_names(code));
        return out;
    }

    // Made once the application is up, for its timer.
    WindowUser& user() { return *user_; }
    std::optional<WindowUser> user_;
};

class ResponseSpectrumSetup : public DynamicSetup {
protected:
    ResponseSpectrumSetup() : DynamicSetup("korvane_gui_rs_setup") {}
};

class DynamicSetupReach : public DynamicSetup {
protected:
    DynamicSetupReach() : DynamicSetup("korvane_gui_dynamic_reach") {}
    void SetUp() override
    {
        DynamicSetup::SetUp();
        property_sets("0.283");
    }
    static void ok(QDialog* d) { WindowUser::click(d, IDOK); }

    // Loads > Time Functions, Edit > Edit on its input row: a ramp to 1 in
    // 0.1 s, held; then back to the layout.
    void ramp_time_function()
    {
        ASSERT_TRUE(user().menu(main_frame(), {"Loads", "Time Functions"}));
        user().on("TIME_FUNCTION_DIALOG", [](QDialog* d) {
            QWidget* points = WindowUser::table_client(d, LOAD_TABLE);
            ASSERT_NE(points, nullptr);
            for (const auto& [t, factor] : {std::pair{"0", "0"}, {"0.1", "1"}, {"1", "1"}})
                WindowUser::cells(points, {t, factor}, Qt::Key_Return);
            WindowUser::click(d, IDOK);
        });
        ASSERT_TRUE(user().menu(list_frame(), {"Edit", "Edit"}));
        ASSERT_EQ(numtimefunctions(), 1);
        ASSERT_TRUE(user().menu(list_frame(), {"Window", "Layout"}));
    }
    // Loads > Force Spectra, Edit > Edit on its input row: SLUG, a load
    // factor of 1 from 1 Hz to 100 Hz; then back to the layout.
    void slug_force_spectrum()
    {
        ASSERT_TRUE(user().menu(main_frame(), {"Loads", "Force Spectra"}));
        user().on("SPECTRUM_DIALOG", [](QDialog* d) {
            EXPECT_TRUE(WindowUser::set_text(d, SP_NAME, "SLUG"));
            QWidget* points = WindowUser::table_client(d, LOAD_TABLE);
            ASSERT_NE(points, nullptr);
            for (const auto& [hz, factor] : {std::pair{"1", "1"}, {"100", "1"}})
                WindowUser::cells(points, {hz, factor}, Qt::Key_Return);
            WindowUser::click(d, IDOK);
        });
        ASSERT_TRUE(user().menu(list_frame(), {"Edit", "Edit"}));
        ASSERT_EQ(numforcespectra(), 1);
        ASSERT_TRUE(user().menu(list_frame(), {"Window", "Layout"}));
    }
    // The anchor's dialog: 0.5 in along Z in the Seismic set.
    static void moving_in_seismic_set(QDialog* d)
    {
        EXPECT_TRUE(WindowUser::choose(d, SUP_DISPLACEMENT_SET, "Seismic"));
        EXPECT_TRUE(WindowUser::set_text(d, SUP_DISPLACEMENT + 2, "0.5"));
        WindowUser::click(d, IDOK);
    }
    // A nodal load's dialog: its time function or force spectrum, if any, and FY.
    static WindowUser::Answer nodal_load(const std::string& choice, int force_item = NL_FX + 1)
    {
        return [choice, force_item](QDialog* d) {
            if (!choice.empty()) {
                EXPECT_TRUE(WindowUser::choose(d, NL_CHOICE, choice));
            }
            EXPECT_TRUE(WindowUser::set_text(d, force_item, "100"));
            WindowUser::click(d, IDOK);
        };
    }
    static void harmonic_load(QDialog* d)
    {
        EXPECT_TRUE(WindowUser::set_text(d, NL_FREQUENCY, "10"));
        nodal_load("")(d);
    }
};

}  // namespace

// A weightless 6 in pipe, 10 ft long, anchored at node 10, with 1000 lb at
// its free end (node 20): a single oscillator in each direction across it,
// k = 1 / (L^3 / 3EI + alpha L / GA) (the cantilever's tip deflection,
// Roark's Formulas for Stress and Strain, 7th ed., table 8.1 case 1a, with
// the shear deflection of section 8.10, alpha = 2 for a thin round tube; the
// shear term is 0.5 % of the bending one), m = W / g. Y and Z share the
// frequency f = sqrt(k / m) / 2 pi, 3.75 Hz, a period of 0.27 s on the
// plateau of the library spectrum: Sa = 1 g. Under the spectrum in Z times
// 0.5 the mass moves 0.5 Sa / w^2 in Z (participation factor times mode
// shape is 1 for a single mass) and accelerates at 0.5 g; the anchor takes
// m 0.5 Sa. The two modes of one frequency may come out as any two shapes
// across the pipe: CQC (correlation 1 for equal frequencies) adds them to
// the single oscillator's response whichever they are.
TEST_F(ResponseSpectrumSetup, AnEmptyModelGivenALineASpectrumTheInputAndTheCasesIsAnalysed)
{
    property_sets("0");
    cantilever([](QDialog* d) { WindowUser::click(d, IDOK); }, "Concentrated mass", "CONC_MASS_DIALOG",
               [](QDialog* d) {
                   EXPECT_TRUE(WindowUser::set_text(d, NL_WEIGHT, "1000"));
                   WindowUser::click(d, IDOK);
               });
    ASSERT_EQ(model().rows[2].dtype, DT_CONC_MASS);

    // Without the input the spectrum is no case of its own.
    spectrum_from_library();
    EXPECT_EQ(dynamic_offered(load_cases()), std::vector<std::string>{"Modal analysis"});
    response_spectrum_in_z("0.5", "CQC");
    const ResponseSpectrumInput& input = response_spectrum_input();
    EXPECT_EQ(input.spectrum, (std::array<std::string, 3>{"", "", LIBRARY_SPECTRUM}));
    EXPECT_FLOAT_EQ(input.factor[2], 0.5f);
    EXPECT_EQ(input.modal_combination, 2);
    EXPECT_TRUE(model_modified());
    EXPECT_EQ(dynamic_offered(load_cases({"Modal analysis", "Response spectrum"})),
              (std::vector<std::string>{"Modal analysis", "Response spectrum", "Missing mass"}));
    ASSERT_TRUE(load_case_list().contains(LC_RESPONSE_SPECTRUM));

    ASSERT_TRUE(analyse("cantilever"));

    // Misc > Results, and the chooser's Accelerations.
    std::vector<std::string> results_offered;
    user().on("RESULTS*", [&results_offered](QDialog* d) {
        results_offered = WindowUser::entries(d, RADIO_LIST);
        auto* list = WindowUser::item<QListWidget>(d, RADIO_LIST);
        const auto found = list->findItems("Accelerations", Qt::MatchExactly);
        if (found.isEmpty()) {
            d->reject();
            return;
        }
        list->setCurrentItem(found.front());
        WindowUser::click(d, IDOK);
    });
    ASSERT_TRUE(user().menu(main_frame(), {"Misc", "Results"}));
    // The chooser comes up once the results window is shown.
    TableWindow& table = accelerations_table();
    ASSERT_TRUE(gui_wait_for([&table] { return in_results() && table.row_count > 0; }));
    EXPECT_TRUE(offers(results_offered, "Frequencies"));
    expect_no_message_but({"2 modes are found, not 20"});

    EXPECT_EQ(table.title, "Accelerations: Response spectrum");
    int tip = 0;
    for (int row = 1; row <= table.row_count; ++row)
        if (table.cell_text(row, 1, 0) == "20")
            tip = row;
    ASSERT_NE(tip, 0) << "no row of node 20 among " << table.row_count;
    EXPECT_EQ(table.cell_text(tip, 2, 0), "0.000");
    EXPECT_EQ(table.cell_text(tip, 3, 0), "0.000");
    EXPECT_EQ(table.cell_text(tip, 4, 0), "0.500");

    // The hand values.
    const double ro = 6.625 / 2, ri = ro - 0.28;
    const double area = PI * (ro * ro - ri * ri);
    const double inertia = PI / 4 * (std::pow(ro, 4) - std::pow(ri, 4));
    const double e = 29.5e6, shear_modulus = e / (2 * (1 + 0.3)), l = 120.0;
    const double k = 1.0 / (l * l * l / (3 * e * inertia) + 2.0 * l / (shear_modulus * area));
    const double m = 1000.0 / G;
    const double w2 = k / m, f = std::sqrt(w2) / (2 * PI);
    ASSERT_GT(1.0 / f, 0.08);
    ASSERT_LT(1.0 / f, 0.4);   // on the plateau: Sa = 1 g
    const double sa = 0.5 * 1.0 * G;

    const ResultsState& r = results();
    ASSERT_GE(r.modal.modes, 2);
    EXPECT_NEAR(r.modal.frequencies[1], f, 1e-4 * f);
    EXPECT_NEAR(r.modal.frequencies[2], f, 1e-4 * f);
    int rs_case = 0;
    for (int i = 1; i <= r.load_case_count(); ++i)
        if (r.load_cases[i].code == LC_RESPONSE_SPECTRUM)
            rs_case = i;
    ASSERT_NE(rs_case, 0);
    results().current = rs_case;
    read_load_case_displacements();
    const auto& u = results().displacements[node_index(20)];
    EXPECT_NEAR(u[2], sa / w2, 1e-4 * sa / w2) << "Z at the mass";
    EXPECT_NEAR(u[1], 0.0, 1e-6);
    read_load_case_support_loads();
    const LayoutRow& anchor = model().rows[1];
    ASSERT_EQ(anchor.dtype, DT_ANCHOR);
    const auto* loads = dynamic_cast<const SupportItem*>(anchor.data.get());
    ASSERT_NE(loads, nullptr);
    EXPECT_NEAR(std::fabs(loads->current_loads[2]), m * sa, 1e-5 * m * sa) << "anchor FZ";
    EXPECT_NEAR(std::fabs(loads->current_loads[4]), m * sa * l, 1e-5 * m * sa * l) << "anchor MY";
}

// Each dynamic case is offered once the windows have given what it needs,
// and not before; then every case offered is analysed together.
TEST_F(DynamicSetupReach, SeismicDisplacementOnceTheAnchorMovesInTheSeismicSet)
{
    cantilever(moving_in_seismic_set, "", "", {});
    EXPECT_EQ(dynamic_offered(load_cases()), (std::vector<std::string>{"Modal analysis", "Seismic displacement"}));
    expect_no_message_but();
}

TEST_F(DynamicSetupReach, TimeHistoryOnceATimeVaryingLoadFollowsATimeFunction)
{
    ramp_time_function();
    EXPECT_EQ(dynamic_offered(load_cases()), std::vector<std::string>{"Modal analysis"});
    cantilever(ok, "Time-varying load", "TIME_VARYING_LOAD_DIALOG", nodal_load("Function 1"));
    EXPECT_EQ(model().rows[2].dtype, DT_TIME_VARYING_LOAD);
    EXPECT_EQ(dynamic_offered(load_cases()), (std::vector<std::string>{"Modal analysis", "Time history"}));
    expect_no_message_but();
}

TEST_F(DynamicSetupReach, HarmonicResponseOnceAHarmonicLoadIsGiven)
{
    cantilever(ok, "Harmonic load", "HARMONIC_LOAD_DIALOG", harmonic_load);
    EXPECT_EQ(model().rows[2].dtype, DT_HARMONIC_LOAD);
    EXPECT_EQ(dynamic_offered(load_cases()), (std::vector<std::string>{"Modal analysis", "Harmonic response"}));
    expect_no_message_but();
}

TEST_F(DynamicSetupReach, ForceSpectrumOnceAForceSpectrumLoadNamesAForceSpectrum)
{
    slug_force_spectrum();
    EXPECT_EQ(dynamic_offered(load_cases()), std::vector<std::string>{"Modal analysis"});
    cantilever(ok, "Force spectrum load", "FORCE_SPECTRUM_LOAD_DIALOG", nodal_load("SLUG"));
    EXPECT_EQ(model().rows[2].dtype, DT_FORCE_SPECTRUM_LOAD);
    EXPECT_EQ(dynamic_offered(load_cases()), (std::vector<std::string>{"Modal analysis", "Force spectrum"}));
    expect_no_message_but();
}

TEST_F(DynamicSetupReach, ResponseSpectrumAndMissingMassOnceADirectionHasASpectrum)
{
    cantilever(ok, "", "", {});
    spectrum_from_library();
    EXPECT_EQ(dynamic_offered(load_cases()), std::vector<std::string>{"Modal analysis"});
    response_spectrum_in_z("1", "SRSS");
    EXPECT_EQ(dynamic_offered(load_cases({"Response spectrum"})),
              (std::vector<std::string>{"Modal analysis", "Response spectrum", "Missing mass"}));
    expect_no_message_but();

    // The case chosen and the input taken away again: the model check says
    // where the input is given, and that menu item opens it.
    user().on("RESPONSE_SPECTRUM_DIALOG", [](QDialog* d) {
        WindowUser::choose(d, RS_SPECTRUM_X + 2, "None");
        WindowUser::click(d, IDOK);
    });
    ASSERT_TRUE(user().menu(main_frame(), {"Loads", "Response Spectrum"}));
    EXPECT_FALSE(response_spectrum_input().any());
    EXPECT_FALSE(analyse("refused"));
    ASSERT_EQ(user().messages.size(), 1u);
    const std::string& refusal = user().messages.front();
    EXPECT_NE(refusal.find("Load case Response spectrum: no direction names a spectrum"), std::string::npos)
        << refusal;
    const std::size_t open = refusal.find('('), gt = refusal.find(" > ", open);
    ASSERT_NE(gt, std::string::npos) << refusal;
    const std::string top = refusal.substr(open + 1, gt - open - 1);
    const std::string item = refusal.substr(gt + 3, refusal.find(')', gt) - gt - 3);
    bool opened = false;
    user().on("RESPONSE_SPECTRUM_DIALOG", [&opened](QDialog* d) {
        opened = true;
        WindowUser::click(d, IDCANCEL);
    });
    EXPECT_TRUE(user().menu(main_frame(), {top, item})) << top << " > " << item;
    EXPECT_TRUE(opened);
}

// Every input at once, on four rows, and every dynamic case offered chosen:
// the run takes them all.
TEST_F(DynamicSetupReach, EveryCaseOfferedIsChosenAndAnalysed)
{
    spectrum_from_library();
    response_spectrum_in_z("1", "Ten percent");
    ramp_time_function();
    slug_force_spectrum();
    cantilever(moving_in_seismic_set, "Time-varying load", "TIME_VARYING_LOAD_DIALOG", nodal_load("Function 1"));
    user().on("HARMONIC_LOAD_DIALOG", harmonic_load);
    WindowUser::cells(layout_keys(), {"30", "", "10-0", "", "", "", "", "", "Harmonic load"}, Qt::Key_Return);
    user().on("FORCE_SPECTRUM_LOAD_DIALOG", nodal_load("SLUG", NL_FX + 2));
    WindowUser::cells(layout_keys(), {"40", "", "10-0", "", "", "", "", "", "Force spectrum load"}, Qt::Key_Return);
    ASSERT_EQ(numrows(), 4);

    const std::vector<std::string> all = {"Modal analysis", "Response spectrum", "Seismic displacement",
                                          "Missing mass",   "Time history",      "Harmonic response",
                                          "Force spectrum"};
    EXPECT_EQ(dynamic_offered(load_cases(all)), all);
    ASSERT_TRUE(analyse("every"));
    expect_no_message_but({"modes are found"});
    read_results((folder / "every.res").string());
    EXPECT_GT(results().modal.modes, 0);
    for (int code : {LC_RESPONSE_SPECTRUM, LC_TIME_HISTORY, LC_HARMONIC, LC_FORCE_SPECTRUM})
        EXPECT_TRUE(results().available.has(code)) << load_case_names(code);
}
