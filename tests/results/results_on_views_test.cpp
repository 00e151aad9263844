// What the results show and print, reachable and current: the frequencies in
// the results report, the modal run's note of what limited its modes, the
// BS 806 moments of the local pipe forces (through the program's own
// registration, on screen and in the batch report), the code-compliance rows
// of every operating case of the sample, results that stay current when an
// unchanged model is saved, and the time-history element forces in global
// axes with the sign of every other global force table.
//
// Where a test needs the program as a user starts it, it runs the program
// binary in start-up batch mode in the test's folder and reads the report
// it writes; everything else runs on the scripted backend.
#include "analysis/ui/analysis_ui.h"
#include "codes/code_driver.h"
#include "framework/commands.h"
#include "framework/text.h"
#include "framework/ui/frame.h"
#include "framework/units.h"
#include "model/piping_codes.h"
#include "platform/headless/headless_dialog.h"
#include "results/results_reader.h"
#include "results/element_force_values.h"
#include "results/result_tables_fixture.h"
#include "results/time_history.h"
#include "results/ui/element_force_tables.h"
#include "results/ui/modal_results_ui.h"
#include "results/ui/results_report.h"
#include "results/ui/time_history_ui.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <sstream>
#include <sys/wait.h>

namespace {

constexpr double PI = std::numbers::pi;
constexpr double G = 386.4;   // in/s2

// The steel pipe of the tests' own batch models: 6 in, 0.28 in wall, no
// allowance, contents or insulation, steel of 0.283 lb/in3 (the sample's
// A106B). Its weight per inch: density times the metal area.
constexpr double OD = 6.625, WALL = 0.28;
double metal_area()
{
    const double di = OD - 2 * WALL;
    return PI / 4 * (OD * OD - di * di);
}
double steel_weight_per_inch()
{
    return 0.283 * metal_area();
}

// A cantilever along X from anchor 10 to the free end 20, `length_ft` long,
// of that pipe at 300 F, under the piping code named in OPTIONS.
std::string cantilever_batch(const std::string& title, const std::string& code, int length_ft)
{
    return title +
           "\nVERSION\n10.20\nOPTIONS\n" + code +
           "\nOPTEMP\n70,7000,1\nMATERIAL\nCS,0.283,0.3,1.0,1.0,CS,Carbon steel\nCS,70,29.5E6,6.07E-6,20000\n"
           "CS,300,28.3E6,6.60E-6,20000\nPIPE\n6,6.625,0.28\nLOADS\nOPER,300,0\nLAYOUT\nF10,MCS,P6,KA,CL=OPER\nT20,X" +
           std::to_string(length_ft) + "\n";
}

class ResultsOnViews : public ResultTablesTest {
protected:
    void register_higher_subsystems() override
    {
        ResultTablesTest::register_higher_subsystems();
        // The program's own code evaluation, as main() installs it.
        register_subsystem(install_code_evaluation);
    }

    // Runs the program binary in start-up batch mode on a file of the
    // test's folder, without a display; its exit code.
    int run_batch(const std::string& name) const
    {
        const std::string command = "cd '" + folder.string() +
                                    "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ASAN_OPTIONS=detect_leaks=0 '" +
                                    KV_PROGRAM_PATH + "' '" + name + "' </dev/null >/dev/null 2>'" +
                                    path("stderr.txt") + "'";
        const int status = std::system(command.c_str());
        return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    void write_file(const std::string& name, const std::string& text) const
    {
        std::ofstream(path(name), std::ios::binary) << text;
    }
    static std::string read_file(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static std::vector<std::string> lines_of(const std::string& text)
    {
        std::vector<std::string> out;
        std::istringstream in(text);
        std::string line;
        while (std::getline(in, line))
            out.push_back(line);
        return out;
    }
    // The lines from the first that holds `heading` on (none: empty).
    static std::vector<std::string> from_heading(const std::vector<std::string>& lines, const std::string& heading)
    {
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (lines[i].find(heading) != std::string::npos)
                return {lines.begin() + static_cast<std::ptrdiff_t>(i), lines.end()};
        return {};
    }
    // The blank-separated words of a line.
    static std::vector<std::string> words(const std::string& line)
    {
        std::istringstream in(line);
        std::vector<std::string> out;
        std::string w;
        while (in >> w)
            out.push_back(w);
        return out;
    }
    std::vector<std::string> messages() const { return script().messages(); }

    // A cantilever along X typed on the sample's material, section and
    // load, saved as sample.mod, run in the load cases.
    void typed_cantilever(std::initializer_list<int> cases)
    {
        start_model();
        add(10, ET_FROM, 0, 0, 0, DT_ANCHOR);
        add(20, ET_PIPE, 120);
        make_model();
        LoadCaseList list;
        for (int code : cases)
            list.add(code);
        load_case_list() = list;
        ASSERT_TRUE(save_model(0));
    }
};

}  // namespace

// ---- Frequencies -----------------------------------------------------------------------------

TEST_F(ResultsOnViews, FrequenciesPrintWhileTheModalResultsAreShown)
{
    // A pipe from an anchor with results of Sustained and three modes of
    // 1.5, 3.25 and 7 Hz written here.
    start_model();
    add(10, ET_FROM, 0, 0, 0, DT_ANCHOR);
    add(20, ET_PIPE, 60);
    make_model();
    LoadCaseList list;
    list.add(LC_SUSTAINED);
    list.add(LC_MODAL);
    load_case_list() = list;
    const Model& m = model();
    const auto n = static_cast<std::size_t>(m.numnodes()), e = static_cast<std::size_t>(m.numelems());
    ModalBlock modal;
    modal.frequencies = {1.5, 3.25, 7.0};
    for (int mode = 1; mode <= 3; ++mode)
        modal.shapes.push_back(std::vector<double>(6 * n, 0.0));
    modal.participation = {{2.0, -1.0, 0.5}, {0.25, 3.0, -1.5}, {-4.0, 0.5, 2.5}};
    modal.total_mass = 40.0;
    {
        BinFile file;
        ASSERT_TRUE(file.open_write(path("sample.res")));
        write_results_header(file);
        write_element_records(file, m);
        write_soil_restraints(file, {});
        write_case_block(file, std::vector<double>(6 * n), {}, std::vector<double>(12 * e),
                         std::vector<double>(static_cast<std::size_t>(support_value_count(m))));
        write_modal_block(file, modal);
        write_hanger_designs(file, m);
        write_run_record(file, {});
        write_results_check(file);
        ASSERT_TRUE(file.close());
    }
    model_modified() = false;
    std::filesystem::last_write_time(path("sample.mod"),
                                     std::filesystem::last_write_time(path("sample.res")) - std::chrono::seconds(5));
    ASSERT_NO_FATAL_FAILURE(open_written());
    results_hooks().show[RESULT_FREQUENCIES]();
    ASSERT_EQ(current_result(), RESULT_FREQUENCIES);

    // The sheet offers the frequencies, chosen; printed to a CSV file.
    EXPECT_TRUE(report_part_present(PART_FREQUENCIES));
    EXPECT_TRUE(default_report_selection().parts[PART_FREQUENCIES]);
    bool offered = false;
    script().once("PRINT_RESULTS_DIALOG", [&offered](HeadlessDialog& d) {
        offered = d.is_enabled(1102 + PART_FREQUENCIES) && d.is_checked(1102 + PART_FREQUENCIES);
        d.check(1101, false);
        for (int part = 0; part < REPORT_PARTS; ++part)
            d.check(1102 + part, part == PART_FREQUENCIES);
        d.check(1501, false);
        d.check(1505, true);
        d.press(IDOK);
    });
    const std::string file = path("frequencies.csv");
    script().answer_file(file);
    frame_command(results_frame(), CMD_PRINT);
    EXPECT_TRUE(offered);
    // The periods 1 / f: 0.6667, 0.3077, 0.1429 s; the mass shares G^2 / 40
    // in per cent (mode 1 in X: 4 / 40 = 10 %), the totals of the three; the
    // heading counts the three modes, not the Total row.
    const std::vector<std::string> csv = lines_of(read_file(file));
    const std::vector<std::string> expected = {
        "Natural Frequencies (3),",
        "Mode,Frequency,Period,Particip. X,Particip. Y,Particip. Z,Mass X,Mass Y,Mass Z,",
        ",(Hz),(sec),factor,factor,factor,(%),(%),(%),",
        "1,1.500,0.6667,2,-1,0.5,10.00,2.50,0.62,",
        "2,3.250,0.3077,0.25,3,-1.5,0.16,22.50,5.62,",
        "3,7.000,0.1429,-4,0.5,2.5,40.00,0.62,15.62,",
        "Total,,,,,,50.16,25.62,21.88,",
    };
    const std::vector<std::string> table = from_heading(csv, "Natural Frequencies");
    ASSERT_GE(table.size(), expected.size()) << read_file(file);
    EXPECT_EQ(std::vector<std::string>(table.begin(), table.begin() + static_cast<std::ptrdiff_t>(expected.size())),
              expected);
    // The shown table stays the one on screen.
    EXPECT_EQ(current_result(), RESULT_FREQUENCIES);
}

// ---- Modal run ---------------------------------------------------------------------------------

TEST_F(ResultsOnViews, ModalRunSaysWhatLimitsTheModesItFinds)
{
    // A cantilever of 10 ft: two mass points, the tip and the anchor's node
    // on its stiff springs, six degrees of freedom with mass for the 20
    // modes asked. The anchor's node moves only in modes far above any
    // cutoff of a piping model (its springs of 1e12 lb/in). The tip bends at
    // f = sqrt(k / m) / 2 pi with k = 3 E I / L^3 (Roark, table 8.1 case 1a)
    // and stretches at sqrt(E A / L / m) / 2 pi. Bounds of m: at least
    // 33/140 of the steel alone (Rayleigh's effective tip mass of a uniform
    // cantilever, Blevins, "Formulas for Natural Frequency and Mode Shape",
    // table 8-8; lumping the span at its ends only adds), at most the whole
    // pipe with its water and 2 in of insulation at 7.5 lb/ft3: the bending
    // pair lies below the 33 Hz cutoff and the stretch above it whatever
    // the lumping.
    ASSERT_NO_FATAL_FAILURE(typed_cantilever({LC_SUSTAINED, LC_MODAL}));
    const double e = 29.5e6, l = 120.0;
    const double di = OD - 2 * WALL, inertia = PI / 64 * (std::pow(OD, 4) - std::pow(di, 4));
    const double light = 33.0 / 140.0 * steel_weight_per_inch() * l / G;
    const double heavy = (steel_weight_per_inch() + 0.0361 * PI / 4 * di * di +
                          7.5 / 1728.0 * PI / 4 * (std::pow(OD + 4.0, 2) - OD * OD)) * l / G;
    auto hertz = [](double k, double mass) { return std::sqrt(k / mass) / (2 * PI); };
    ASSERT_LT(hertz(3 * e * inertia / std::pow(l, 3), light), 33.0);
    ASSERT_GT(hertz(e * metal_area() / l, heavy), 33.0);

    ASSERT_EQ(analysis_options().cutoff_frequency, 33);
    ASSERT_EQ(analysis_options().number_of_modes, 20);
    ASSERT_TRUE(analyze_command(main_frame().window));
    std::vector<std::string> said = messages();
    ASSERT_FALSE(said.empty());
    EXPECT_EQ(said.back(), "The modal analysis:\n2 modes are found, not 20: the cutoff frequency of 33 Hz limits "
                           "the count (the mass points give 6 degrees of freedom)");
    for (const std::string& m : said)
        EXPECT_EQ(m.find("hanger"), std::string::npos) << m;

    // Without the cutoff all six are found, and the mass points limit them.
    analysis_options().cutoff_frequency = 0;
    model_modified() = true;
    ASSERT_TRUE(analyze_command(main_frame().window));
    said = messages();
    EXPECT_EQ(said.back(), "The modal analysis:\n6 modes are found, not 20: the mass points limit the count (the "
                           "model has 6 degrees of freedom with mass)");
    open_results();
    hb->run_loop();
    ASSERT_TRUE(in_results());
    EXPECT_EQ(results().modal.modes, 6);
}

// ---- BS 806 ------------------------------------------------------------------------------------

TEST_F(ResultsOnViews, Bs806BatchReportPrintsTheMomentsOfItsLocalPipeForces)
{
    // A 10 ft cantilever of bare steel under BS 806. The anchor end carries
    // the moment of the whole span's weight, w L^2 / 2, bending the pipe in
    // the vertical plane (Mi, local z); no out-of-plane moment or torsion;
    // the free end none. In ft-lb, the batch file's units.
    write_file("bs806.mbf", cantilever_batch("BS 806 cantilever", "BS806", 10));
    ASSERT_EQ(run_batch("bs806.mbf"), 0) << read_file(path("stderr.txt"));
    const std::vector<std::string> report = lines_of(read_file(path("bs806.txt")));
    const double moment_ft_lb = steel_weight_per_inch() * 120.0 * 120.0 / 2 / 12.0;   // 947.7
    const std::string mi = int_text(static_cast<int>(std::lround(moment_ft_lb)));
    ASSERT_EQ(mi, "948");
    const std::vector<std::string> sustained =
        from_heading(report, "Pipe element forces in local coordinates: Sustained (W+P)");
    ASSERT_GE(sustained.size(), 7u);
    EXPECT_EQ(sustained[2], std::string(TextLine().at(14, "Mi      Mo      Mt    FTi   FTo   FLi   FLo   F,fB    fs     fc")));
    // The section force of the anchor end, as the analysis stores it: the
    // moment that holds the span, negative about local z.
    EXPECT_EQ(sustained[5], std::string(TextLine().at(5, "10").right(16, "-" + mi).right(24, "0").right(32, "0")));
    EXPECT_EQ(sustained[6], std::string(TextLine().at(5, "20").right(16, "0").right(24, "0").right(32, "0")));
    // The stress columns stay empty, and the report says why.
    const std::vector<std::string> operating =
        from_heading(report, "Pipe element forces in local coordinates: Operating (W+P1+T1)");
    ASSERT_GE(operating.size(), 10u);
    EXPECT_EQ(operating[5], std::string(TextLine().at(5, "10").right(16, "-" + mi).right(24, "0").right(32, "0")));
    EXPECT_EQ(operating[8], std::string(TextLine().at(5, "Code stresses are not available for BS 806 (1986)")));
}

TEST_F(ResultsOnViews, Bs806TableShowsTheMomentsThroughTheProgramsOwnRegistration)
{
    // The batch model opened in the program (no stand-in of the moments).
    write_file("bs806.mbf", cantilever_batch("BS 806 cantilever", "BS806", 10));
    ASSERT_EQ(run_batch("bs806.mbf"), 0) << read_file(path("stderr.txt"));
    open_by_extension(path("bs806.mod"));
    ASSERT_EQ(piping_code(), CODE_BS806);
    ASSERT_TRUE(static_cast<bool>(bs806_element_stress()));
    ASSERT_NO_FATAL_FAILURE(open_written());
    set_results_load_case(LC_SUSTAINED);
    show_pipe_forces();
    TableWindow& t = pipe_force_table();
    EXPECT_NE(results_title().find("Pipe Forces in Local Coordinates"), std::string::npos) << results_title();
    // w L^2 / 2 at the anchor in the model's ft-lb.
    const double moment = steel_weight_per_inch() * 120.0 * 120.0 / 2;
    EXPECT_EQ(t.cell_text(1, 2, 0), format_moment_integer(-moment));
    EXPECT_EQ(t.cell_text(1, 2, 0), "-948");
    EXPECT_EQ(t.cell_text(1, 3, 0), "0");
    EXPECT_EQ(t.cell_text(1, 4, 0), "0");
    EXPECT_EQ(t.cell_text(1, 2, 1), "0");
    for (int column = 5; column <= 11; ++column)
        EXPECT_EQ(t.cell_text(1, column, 0), "") << column;
    // Showing the table says once why its stresses are empty.
    const std::vector<std::string> said = messages();
    EXPECT_EQ(std::count(said.begin(), said.end(), "Code stresses are not available for BS 806 (1986)"), 1);
    show_pipe_forces();
    EXPECT_EQ(messages().size(), said.size());
    // The CSV form: the moments as cells, the note under the rows.
    const std::vector<std::string> csv = report_lines(print_local_element_forces, true);
    ASSERT_GE(csv.size(), 6u);
    EXPECT_EQ(csv[0], "Sustained (W+P): Pipe element forces (local),");
    // (A zero value is an empty cell.)
    EXPECT_EQ(csv[3], "10,-948,,,,,,,,,,");
    EXPECT_EQ(csv[4], "20,,,,,,,,,,,");
    EXPECT_EQ(csv[5], "Code stresses are not available for BS 806 (1986),");
}

// ---- Every operating case ------------------------------------------------------------------------

TEST_F(ResultsOnViews, SampleBatchReportListsComplianceRowsOfEveryOperatingCase)
{
    std::filesystem::copy_file(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf", path("sample.mbf"),
                               std::filesystem::copy_options::overwrite_existing);
    ASSERT_EQ(run_batch("sample.mbf"), 0) << read_file(path("stderr.txt"));
    const std::vector<std::string> report = lines_of(read_file(path("sample.txt")));
    const std::vector<std::string> compliance = from_heading(report, "Code compliance: B31.3 (2018)");
    ASSERT_FALSE(compliance.empty());
    // Node 10 (the anchor end of the riser) in both operating cases.
    std::map<std::string, double> node10;
    for (std::size_t i = 0; i + 1 < compliance.size(); ++i) {
        const std::vector<std::string> w = words(compliance[i]);
        // "Not checked: the code sets no allowable for this stress" under the row.
        if (w.size() == 4 && w[0] == "10" && w[1] == "Operating") {
            EXPECT_NE(compliance[i + 1].find("Not checked: the code sets no allowable for this stress"),
                      std::string::npos)
                << compliance[i + 1];
            node10.emplace(w[2], std::stod(w[3]));
        }
    }
    ASSERT_EQ(node10.size(), 2u) << "no compliance rows of both operating cases";
    ASSERT_TRUE(node10.contains("(W+P2+T2)"));

    // The local forces of Operating (W+P2+T2) at node 10 show the same Sopr.
    const std::vector<std::string> forces =
        from_heading(report, "Pipe element forces in local coordinates: Operating (W+P2+T2)");
    ASSERT_GE(forces.size(), 7u);
    EXPECT_NE(forces[3].find("Sopr"), std::string::npos) << forces[3];
    const std::vector<std::string> w = words(forces[6]);
    ASSERT_EQ(w.size(), 8u) << forces[6];
    ASSERT_EQ(w[0], "10");
    const double axial = std::stod(w[1]), torsion = 12 * std::stod(w[4]), in_plane = 12 * std::stod(w[5]),
                 out_plane = 12 * std::stod(w[6]);
    EXPECT_NEAR(std::stod(w[7]), node10["(W+P2+T2)"], 1.0);

    // By hand, B31.3 (2018) para. 320.2 on the corroded wall (T - c = 0.28 -
    // 0.0625 in): Sa = Fa / Ap + P Do / 4t, Sb = sqrt(Mi^2 + Mo^2) / Z, St =
    // Mt / 2Z, Sopr = sqrt((|Sa| + Sb)^2 + (2 St)^2) with the indices 1 of a
    // straight pipe at an anchor; P2 = 150 psi (the sample's OPER load).
    const double t = 0.28 - 0.0625, di = 6.625 - 2 * t;
    const double ap = PI / 4 * (6.625 * 6.625 - di * di);
    const double z = PI / 32 * (std::pow(6.625, 4) - std::pow(di, 4)) / 6.625;
    const double sa = axial / ap + 150.0 * 6.625 / (4 * t);
    const double sb = std::hypot(in_plane, out_plane) / z, st = torsion / (2 * z);
    const double sopr = std::sqrt(std::pow(std::fabs(sa) + sb, 2) + 4 * st * st);
    // The forces are printed to the pound and foot-pound.
    EXPECT_NEAR(node10["(W+P2+T2)"], sopr, 2e-4 * sopr);
}

// ---- Saving keeps current results current ----------------------------------------------------------

TEST_F(ResultsOnViews, SavingAnUnchangedModelKeepsItsResultsCurrent)
{
    ASSERT_NO_FATAL_FAILURE(typed_cantilever({LC_SUSTAINED}));
    ASSERT_TRUE(analyze_command(main_frame().window));
    ASSERT_FALSE(model_modified());
    // Save with nothing changed: the file is written again, the results stay current.
    ASSERT_TRUE(run_command(CMD_SAVE));
    open_results();
    hb->run_loop();
    ASSERT_TRUE(in_results());
    EXPECT_FALSE(results_out_of_date());
    EXPECT_EQ(results_title().find("(out of date)"), std::string::npos) << results_title();
    terminate_results();
    // Results already of another model file stay marked.
    restamp_results_fingerprint(path("sample.res"), sha256("another model file"));
    ASSERT_TRUE(run_command(CMD_SAVE));
    open_results();
    hb->run_loop();
    EXPECT_TRUE(results_out_of_date());
    terminate_results();
    // A changed model saved: its results are older.
    ASSERT_TRUE(analyze_command(main_frame().window));
    model().rows[2].dx += 12.0f;
    model_changed();
    ASSERT_TRUE(run_command(CMD_SAVE));
    open_results();
    hb->run_loop();
    EXPECT_TRUE(results_out_of_date());
}

// ---- Time history in global axes ---------------------------------------------------------------

TEST_F(ResultsOnViews, TimeHistoryGlobalForcesTakeTheFirstEndSignOfEveryGlobalTable)
{
    // The analysis's own end forces of a 10 ft bare-steel cantilever under
    // its weight (Sustained), as the time history's steps 1 and 2 (twice).
    write_file("sample.mbf", cantilever_batch("Cantilever", "B311", 10));
    ASSERT_EQ(run_batch("sample.mbf"), 0) << read_file(path("stderr.txt"));
    open_by_extension(path("sample.mod"));
    ASSERT_NO_FATAL_FAILURE(open_written());
    set_results_load_case(LC_SUSTAINED);
    read_load_case_forces();
    ASSERT_EQ(results().numelems(), 1);
    const ElementForceRecord stored = results().forces[1];
    terminate_results();

    Values v;
    v.force = [&stored](int, int, int k) { return static_cast<double>(stored[static_cast<std::size_t>(k)]); };
    ASSERT_NO_FATAL_FAILURE(write_results({LC_SUSTAINED, LC_TIME_HISTORY}, v));
    time_history_options().save_results = 1;
    const Model& m = model();
    std::vector<TimeHistoryStep> history;
    for (int step = 1; step <= 2; ++step) {
        TimeHistoryStep s;
        s.displacements.assign(6 * static_cast<std::size_t>(m.numnodes()), 0.0);
        for (float f : stored)
            s.forces.push_back(step * static_cast<double>(f));
        s.support_loads.assign(static_cast<std::size_t>(support_value_count(m)), 0.0);
        history.push_back(s);
    }
    write_time_history_file(path("sample.rth"), 0.1, history);
    ASSERT_NO_FATAL_FAILURE(open_written());
    ASSERT_TRUE(time_history_available());

    // By hand: on the element at its anchor end act the anchor's upward
    // force, the span's weight W = w L, and the moment that holds the span,
    // r x F = (L/2, 0, 0) x (0, -W, 0) reversed: +W L / 2 about Z. At the
    // free end nothing.
    const double weight = steel_weight_per_inch() * 120.0;
    show_element_force_history(1);
    frame_command(results_frame(), CMD_LOCAL_GLOBAL);
    TableWindow* t = current_time_history_table();
    ASSERT_NE(t, nullptr);
    ASSERT_NE(t->title.find("in global coordinates"), std::string::npos) << t->title;
    // Rows: time 0, the two steps, the maximum.
    EXPECT_EQ(t->cell_text(2, 3, 0), format_force_integer(weight));
    EXPECT_EQ(t->cell_text(2, 3, 0), "190");
    EXPECT_EQ(t->cell_text(3, 3, 0), format_force_integer(2 * weight));
    EXPECT_EQ(t->cell_text(2, 7, 0), format_moment_integer(weight * 60.0));
    EXPECT_EQ(t->cell_text(2, 7, 0), "948");
    EXPECT_EQ(t->cell_text(4, 3, 0), format_force_integer(2 * weight));
    // The same as the global pipe forces of the Time history case.
    set_results_load_case(LC_TIME_HISTORY);
    read_load_case_forces();
    const ElementForceRecord shown = forces_on_element(results_global_forces(1), false);
    EXPECT_EQ(format_force_integer(shown[1]), format_force_integer(weight));
    EXPECT_EQ(format_moment_integer(shown[5]), format_moment_integer(weight * 60.0));
    // The free end: no force.
    show_element_force_history(2);
    t = current_time_history_table();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->cell_text(2, 3, 0), "0");
    EXPECT_EQ(t->cell_text(2, 7, 0), "0");
}
