// The loads at nodes and the hydrotest loads through their dialogs (opened
// as the layout opens them) and their input tables: values shown and read
// back in the chosen units, the checks, the load case of a force limited to
// the sets in use, and typed cells.
#include "framework/units.h"
#include "loads/loads_ui_fixture.h"
#include "loads/ui/nodal_load_ui.h"

using namespace loads_test;

namespace {

class NodalLoadUiTest : public LoadsUiTest {
protected:
    static bool open_data_dialog(int row) { return layout_hooks().data_dialog[static_cast<std::size_t>(model().rows[row].dtype)](row); }
};

}  // namespace

TEST_F(NodalLoadUiTest, ForceDialogRoundTripInTheChosenUnits)
{
    unit_choice()[FORCE] = 1;    // N
    unit_choice()[MOMENT] = 2;   // Nm
    numtloads() = 2;
    const int r = pipe_with(DT_FORCE);
    script().once("FORCE_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Force at node 20");
        EXPECT_EQ(d.text(NL_FX_UNIT), "(N)");
        EXPECT_EQ(d.list_count(NL_CHOICE), 3);   // W+P, T1, T2
        EXPECT_EQ(d.list_text(NL_CHOICE, 0), "W+P");
        d.type(NL_FX, "1000");
        d.type(NL_FX + 2, "-500");
        d.type(NL_FX + 5, "x");
        d.press(IDOK);
        d.type(NL_FX + 5, "250");
        d.select(NL_CHOICE, 2);
        d.press(IDOK);
    });
    EXPECT_TRUE(open_data_dialog(r));
    EXPECT_EQ(script().last_message(), "MZ =  X  is invalid");
    const ForceLoad& f = data_of<ForceLoad>(r);
    EXPECT_NEAR(f.values[0], 1000.0 / 4.4482216152605, 1e-3);
    EXPECT_NEAR(f.values[2], -500.0 / 4.4482216152605, 1e-3);
    EXPECT_NEAR(f.values[5], 250.0 / (4.4482216152605 * 0.0254), 1e-2);
    EXPECT_EQ(f.load_case, 2);
    EXPECT_EQ(f.description(), "FX 1000 N, FZ -500 N, MZ 250 Nm (T2)");

    // Shown again, untouched, it keeps its exact values.
    const std::array<float, 6> before = f.values;
    model_modified() = false;
    script().once("FORCE_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(NL_FX), "1000");
        d.press(IDOK);
    });
    EXPECT_FALSE(open_data_dialog(r));
    EXPECT_EQ(f.values, before);
    EXPECT_FALSE(model_modified());

    // A force of set 2 with one set in use keeps its set.
    numtloads() = 1;
    script().once("FORCE_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.list_count(NL_CHOICE), 3);   // W+P, T1 and the kept T2
        EXPECT_EQ(d.list_selection(NL_CHOICE), 2);
        d.type(NL_FX + 1, "10");
        d.press(IDOK);
    });
    EXPECT_TRUE(open_data_dialog(r));
    EXPECT_EQ(data_of<ForceLoad>(r).load_case, 2);
}

TEST_F(NodalLoadUiTest, MassHarmonicAndTimeVaryingChecks)
{
    const int r = pipe_with(DT_CONC_MASS);
    script().once("CONC_MASS_DIALOG", [](HeadlessDialog& d) {
        d.press(IDOK);
        d.type(NL_WEIGHT, "0");
        d.press(IDOK);
        d.type(NL_WEIGHT, "850");
        d.type(NL_DX + 1, "1.5");   // ft
        d.press(IDOK);
    });
    EXPECT_TRUE(open_data_dialog(r));
    EXPECT_EQ(script().messages(), (std::vector<std::string>{"Weight is required", "Weight =  0  is invalid"}));
    EXPECT_FLOAT_EQ(data_of<ConcentratedMass>(r).weight, 850.0f);
    EXPECT_FLOAT_EQ(data_of<ConcentratedMass>(r).offset[1], 18.0f);

    LayoutRow::change_dtype(r, DT_HARMONIC_LOAD);
    script().clear_log();
    script().once("HARMONIC_LOAD_DIALOG", [](HeadlessDialog& d) {
        d.press(IDOK);
        d.type(NL_FREQUENCY, "-2");
        d.press(IDOK);
        d.type(NL_FREQUENCY, "15");
        d.type(NL_PHASE, "90");
        d.type(NL_FX + 1, "100");
        d.press(IDOK);
    });
    EXPECT_TRUE(open_data_dialog(r));
    EXPECT_EQ(script().messages(), (std::vector<std::string>{"Frequency is required", "Frequency =  -2  is invalid"}));
    const HarmonicLoad& h = data_of<HarmonicLoad>(r);
    EXPECT_FLOAT_EQ(h.frequency, 15.0f);
    EXPECT_NEAR(h.phase, std::numbers::pi / 2, 1e-6);
    EXPECT_FLOAT_EQ(h.values[1], 100.0f);

    // A time-varying load needs a time function to name.
    LayoutRow::change_dtype(r, DT_TIME_VARYING_LOAD);
    script().clear_log();
    script().once("TIME_VARYING_LOAD_DIALOG", [](HeadlessDialog& d) { d.press(IDOK); });
    EXPECT_FALSE(open_data_dialog(r));
    EXPECT_EQ(script().last_message(), "No time function is defined");
    time_function().push_back(curve({{0.0f, 1.0f}}));
    time_function().push_back(curve({{0.0f, 0.5f}}));
    script().once("TIME_VARYING_LOAD_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.list_text(NL_CHOICE, 1), "Function 2");
        d.select(NL_CHOICE, 1);
        d.type(NL_FX + 4, "1200");
        d.press(IDOK);
    });
    EXPECT_TRUE(open_data_dialog(r));
    EXPECT_EQ(data_of<TimeVaryingLoad>(r).function, 2);
    EXPECT_FLOAT_EQ(data_of<TimeVaryingLoad>(r).values[4], 1200.0f * 12.0f);   // ft-lb typed
}

TEST_F(NodalLoadUiTest, TablesShowAndTakeTypedValues)
{
    const int r = pipe_with(DT_FORCE);
    data_of<ForceLoad>(r).values = {100.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    make_model();
    open_nodal_load_table(DT_FORCE);
    TableWindow& t = shown();
    EXPECT_EQ(t.title, "Forces");
    ASSERT_EQ(t.row_count, 1);
    EXPECT_EQ(t.cell_text(1, 1, 0), "20");
    EXPECT_EQ(t.cell_text(1, 2, 0), "100");
    EXPECT_EQ(t.cell_text(1, 3, 0), "");
    EXPECT_EQ(t.cell_text(1, 8, 0), "W+P");
    cell(1, 3, "-25");
    EXPECT_FLOAT_EQ(data_of<ForceLoad>(r).values[1], -25.0f);
    EXPECT_TRUE(model_modified());
    cell(1, 8, "t3");
    EXPECT_EQ(script().last_message(), "Load case =  T3  is invalid");
    table_cancel_edit(t);
    cell(1, 8, "t1");
    EXPECT_EQ(data_of<ForceLoad>(r).load_case, 1);
    const std::string csv = table_report_text(t, true);
    EXPECT_NE(csv.find("Forces (1)"), std::string::npos) << csv;
    EXPECT_NE(csv.find("20,100,-25"), std::string::npos) << csv;

    // Delete takes the data item off its row.
    table_goto_row(t, 1, 1, false);
    table_delete(t);
    EXPECT_EQ(model().rows[r].dtype, DT_NONE);
    EXPECT_EQ(t.row_count, 0);
}

TEST_F(NodalLoadUiTest, HydrotestLoadDialogAndTable)
{
    const int h = row(0, ET_HYDROTEST_LOAD);
    make_model();
    script().once("HYDROTEST_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(HT_SG), "1");
        d.type(HT_PRESSURE, "-5");
        d.press(IDOK);
        d.type(HT_PRESSURE, "1500");
        d.type(HT_SG, "1.02");
        d.press(IDOK);
    });
    EXPECT_TRUE(layout_hooks().element_dialog[ET_HYDROTEST_LOAD](h));
    EXPECT_EQ(script().last_message(), "Hydrotest pressure =  -5  is invalid");
    const HydrotestLoad& load = element_of<HydrotestLoad>(h);
    EXPECT_FLOAT_EQ(load.pressure, 1500.0f);
    EXPECT_FLOAT_EQ(load.specific_gravity, 1.02f);
    EXPECT_EQ(load.temperature, 0.0f);
    EXPECT_EQ(load.description(), "Hydrotest: SG 1.02, P 1500 psi");

    // The Hydrotest command shows the hydrotest loads by their rows.
    run_command(CMD_HYDROTEST);
    TableWindow& t = shown();
    EXPECT_EQ(t.title, "Hydrotest loads");
    ASSERT_EQ(t.row_count, 1);
    EXPECT_EQ(t.cell_text(1, 1, 0), "1");
    cell(1, 4, "50");
    EXPECT_FLOAT_EQ(load.temperature, 50.0f);
    EXPECT_FALSE(t.can_delete(1));
}

TEST_F(NodalLoadUiTest, EveryKindsTableShowsItsValuesAndTakesTypedOnes)
{
    // One row of each kind; each table shows the stored values and stores a
    // typed one, refusing what its dialog refuses.
    Spectrum s = make_force_spectrum();
    s.name = "SLUG";
    force_spectra().append(s);
    time_function().push_back(curve({{0.0f, 1.0f}}));
    time_function().push_back(curve({{0.0f, 2.0f}}));
    from(10);
    const int m = row(20, ET_PIPE, 10, 0, 0, DT_CONC_MASS);
    data_of<ConcentratedMass>(m).weight = 100.0f;
    const int t = row(30, ET_PIPE, 10, 0, 0, DT_TIME_VARYING_LOAD);
    data_of<TimeVaryingLoad>(t).function = 1;
    const int h = row(40, ET_PIPE, 10, 0, 0, DT_HARMONIC_LOAD);
    data_of<HarmonicLoad>(h).frequency = 5.0f;
    const int f = row(50, ET_PIPE, 10, 0, 0, DT_FORCE_SPECTRUM_LOAD);
    make_model();

    open_nodal_load_table(DT_CONC_MASS);
    EXPECT_EQ(shown().cell_text(1, 2, 0), "100");
    cell(1, 2, "0");
    EXPECT_EQ(script().last_message(), "Weight =  0  is invalid");
    table_cancel_edit(shown());
    cell(1, 5, "-6");
    EXPECT_FLOAT_EQ(data_of<ConcentratedMass>(m).offset[2], -72.0f);   // ft

    open_nodal_load_table(DT_TIME_VARYING_LOAD);
    EXPECT_EQ(shown().cell_text(1, 2, 0), "1");
    cell(1, 2, "3");
    EXPECT_EQ(script().last_message(), "Time function =  3  is invalid");
    table_cancel_edit(shown());
    cell(1, 2, "2");
    EXPECT_EQ(data_of<TimeVaryingLoad>(t).function, 2);

    open_nodal_load_table(DT_HARMONIC_LOAD);
    EXPECT_EQ(shown().header_text(2, 1), "(Hz)");
    cell(1, 3, "180");
    EXPECT_NEAR(data_of<HarmonicLoad>(h).phase, std::numbers::pi, 1e-6);

    // The force spectrum load names its spectrum in the dialog.
    script().once("FORCE_SPECTRUM_LOAD_DIALOG", [](HeadlessDialog& d) {
        d.press(IDOK);
        d.select(NL_CHOICE, 0);
        d.type(NL_FX, "250");
        d.press(IDOK);
    });
    open_nodal_load_table(DT_FORCE_SPECTRUM_LOAD);
    table_goto_row(shown(), 1, 1, false);
    EXPECT_TRUE(shown().edit_row(1));
    EXPECT_EQ(script().last_message(), "Force spectrum is required");
    EXPECT_EQ(data_of<ForceSpectrumLoad>(f).spectrum, "SLUG");
    EXPECT_EQ(shown().cell_text(1, 2, 0), "SLUG");
    EXPECT_EQ(shown().cell_text(1, 3, 0), "250");
}
