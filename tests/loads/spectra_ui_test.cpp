// Spectra, force spectra and time functions through their tables and
// dialogs: a spectrum read from a text file (command 250) and refused when
// it is not a curve, its options (command 306), its points typed, the CSV
// export read back, deletes refused while in use, time functions and the
// time-history options with "Save results".
#include "loads/curve_text.h"
#include "loads/loads_ui_fixture.h"
#include "loads/ui/spectra_ui.h"

#include <fstream>

using namespace loads_test;

namespace {

class SpectraUiTest : public LoadsUiTest {
protected:
    std::string text_file(const std::string& name, const std::string& text) const
    {
        const std::string file = path(name);
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }
};

}  // namespace

TEST_F(SpectraUiTest, SpectrumReadFromATextFileAndItsOptions)
{
    open_spectra_table();
    const std::string file = text_file("site.txt", "* design spectrum, 5 %\nFreq Accel\n"
                                                   "0.5, 0.1\n1  0.35\r\n\n# peak\n8;0.6\n33\t0.25\n");
    script().answer_file(file);
    run_command(CMD_READ_SPECTRUM);
    ASSERT_EQ(numspectrums(), 1);
    const Spectrum& s = spectra()[1];
    EXPECT_EQ(s.name, "SITE");
    EXPECT_EQ(s.curve, curve({{0.5f, 0.1f}, {1.0f, 0.35f}, {8.0f, 0.6f}, {33.0f, 0.25f}}));
    EXPECT_EQ(s.ordinate, ORDINATE_ACCELERATION);
    EXPECT_TRUE(model_modified());
    // The same file again takes another name.
    script().answer_file(file);
    run_command(CMD_READ_SPECTRUM);
    ASSERT_EQ(numspectrums(), 2);
    EXPECT_EQ(spectra()[2].name, "SITE-2");

    // Files that are not curves are refused with the line, adding nothing.
    const std::vector<std::pair<std::string, std::string>> bad = {
        {"1 0.1\n2 x\n", "Line 2: \"2 x\" is not a pair of numbers"},
        {"1 0.1\n1 0.2\n", "Line 2: the abscissa is not above the one before it"},
        {"1 0.1\n2 nan\n", "Line 2: a value is not a number"},
        {"only words\n", "The file holds no points"},
        {"0 0.1\n", "point 1: the frequency is not above 0"},
    };
    for (const auto& [text, message] : bad) {
        const std::string f = text_file("bad.txt", text);
        script().answer_file(f);
        run_command(CMD_READ_SPECTRUM);
        EXPECT_EQ(script().last_message(), f + "\n" + message);
        EXPECT_EQ(numspectrums(), 2);
    }

    // Options of the current spectrum (306): period, velocity in m/s, log.
    table_goto_row(shown(), 2, 1, false);
    script().once("SPECTRUM_OPTIONS_DIALOG", [](HeadlessDialog& d) {
        d.press(SO_PERIOD);
        d.select(SO_ORDINATE, ORDINATE_VELOCITY);
        EXPECT_EQ(d.list_count(SO_UNIT), 4);
        d.select(SO_UNIT, 2);
        d.press(SO_LOG);
        d.press(IDOK);
    });
    run_command(CMD_SPECTRUM_OPTIONS);
    EXPECT_EQ(spectra()[2].abscissa, ABSCISSA_PERIOD);
    EXPECT_EQ(spectra()[2].ordinate, ORDINATE_VELOCITY);
    EXPECT_EQ(spectra_table().cell_text(2, 3, 0), "Velocity (m/s)");
    EXPECT_EQ(spectra_table().cell_text(2, 4, 0), "Logarithmic");
    EXPECT_NEAR(spectrum_ordinate_to_internal(ORDINATE_VELOCITY, 2, 1.0), 39.3700787, 1e-6);
}

TEST_F(SpectraUiTest, SpectrumDialogTypesPointsAndTheExportReadsBack)
{
    open_spectra_table();
    script().once("SPECTRUM_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Spectrum # 1");
        d.type(SP_NAME, "  Hor. 2% ");
        type_points(d, {{"10", "0.8"}, {"1", "0.2"}, {"1", "0.3"}});
        d.press(IDOK);
        // Two points at 1 Hz: refused; the second one goes.
        const WindowId client = d.control(LOAD_TABLE)->client;
        auto* view = dynamic_cast<TableView*>(headless_backend().window(client)->client_events);
        table_goto_row(*view->table(), 3, 1, false);
        table_delete(*view->table());
        d.press(IDOK);
    });
    EXPECT_TRUE(shown().edit_row(1));
    EXPECT_EQ(script().last_message(), "Spectrum Hor. 2%: point 2: the abscissa is not above the one before it");
    ASSERT_EQ(numspectrums(), 1);
    EXPECT_EQ(spectra()[1].name, "Hor. 2%");
    EXPECT_EQ(spectra()[1].curve, curve({{1.0f, 0.2f}, {10.0f, 0.8f}}));

    // Export, then read the file back: the same points.
    table_goto_row(shown(), 1, 1, false);
    const std::string csv = path("out.csv");
    script().answer_file(csv);
    EXPECT_TRUE(shown().export_csv(list_frame().window));
    EXPECT_EQ(curve_csv_text("Frequency (Hz)", "Acceleration (g)", spectra()[1].curve),
              "Frequency (Hz),Acceleration (g)\n1,0.200000003\n10,0.800000012\n");
    EXPECT_EQ(read_curve_text(csv, MAX_SPECTRUM_POINTS), spectra()[1].curve);
}

// A list holds no more spectra than a model file reads back: a full list
// refuses a new one from the dialog and from a text file, and still takes
// edits of its records.
TEST_F(SpectraUiTest, FullListsTakeNoMoreSpectra)
{
    for (int i = 1; i <= MAXSPECTRA; ++i) {
        Spectrum s;
        s.name = "S" + std::to_string(i);
        spectra().append(s);
        force_spectra().append(make_force_spectrum());
    }
    open_spectra_table();
    script().once("SPECTRUM_DIALOG", [](HeadlessDialog& d) {
        d.type(SP_NAME, "ONE MORE");
        type_points(d, {{"1", "0.5"}});
        d.press(IDOK);
        EXPECT_EQ(script().last_message(), "No more than 999 spectra can be defined");
        d.press(IDCANCEL);
    });
    EXPECT_TRUE(shown().edit_row(MAXSPECTRA + 1));
    script().once("SPECTRUM_DIALOG", [](HeadlessDialog& d) {
        d.type(SP_NAME, "RENAMED");
        d.press(IDOK);
    });
    EXPECT_TRUE(shown().edit_row(1));
    EXPECT_EQ(spectra()[1].name, "RENAMED");
    EXPECT_EQ(numspectrums(), MAXSPECTRA);

    open_force_spectra_table();
    script().answer_file(text_file("dlf.txt", "1 1.5\n"));
    run_command(CMD_READ_SPECTRUM);
    EXPECT_EQ(script().last_message(), "No more than 999 force spectra can be defined");
    EXPECT_EQ(numforcespectra(), MAXSPECTRA);
}

TEST_F(SpectraUiTest, ForceSpectraAndTimeFunctionsInUseStay)
{
    Spectrum s = make_force_spectrum();
    s.name = "SLUG";
    s.curve = curve({{1.0f, 1.2f}});
    force_spectra().append(s);
    time_function().push_back(curve({{0.0f, 0.0f}, {0.1f, 1.0f}}));
    const int r = pipe_with(DT_FORCE_SPECTRUM_LOAD);
    data_of<ForceSpectrumLoad>(r).spectrum = "SLUG";
    make_model();

    open_force_spectra_table();
    EXPECT_EQ(shown().cell_text(1, 3, 0), "Load factor");
    table_goto_row(shown(), 1, 1, false);
    table_delete(shown());
    EXPECT_EQ(script().last_message(), "Force spectrum SLUG is in use, it cannot be deleted");
    EXPECT_EQ(numforcespectra(), 1);
    // Renamed in its dialog, the load follows.
    script().answer(IDYES);
    script().once("SPECTRUM_DIALOG", [](HeadlessDialog& d) {
        d.type(SP_NAME, "SLUG-A");
        d.press(IDOK);
    });
    EXPECT_TRUE(shown().edit_row(1));
    EXPECT_EQ(data_of<ForceSpectrumLoad>(r).spectrum, "SLUG-A");

    // A time function in use cannot go; a new one is typed in its dialog.
    LayoutRow::change_dtype(r, DT_TIME_VARYING_LOAD);
    data_of<TimeVaryingLoad>(r).function = 1;
    make_model();
    open_time_functions_table();
    EXPECT_EQ(shown().cell_text(1, 4, 0), "0.1");
    table_goto_row(shown(), 1, 1, false);
    table_delete(shown());
    EXPECT_EQ(script().last_message(), "Time function 1 is in use, it cannot be deleted");
    script().once("TIME_FUNCTION_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Time Function # 2");
        // A time below 0 is refused in its cell; Escape drops it.
        const WindowId client = d.control(LOAD_TABLE)->client;
        type_into(client, "-1");
        headless_backend().script().key(client, KEY_TAB);
        EXPECT_EQ(headless_backend().script().last_message(), "Time =  -1  is invalid");
        headless_backend().script().key(client, KEY_ESCAPE);
        type_points(d, {{"0", "1"}, {"0.5", "0"}});
        d.press(IDOK);
    });
    EXPECT_TRUE(shown().edit_row(2));
    ASSERT_EQ(numtimefunctions(), 2);
    EXPECT_EQ(time_function()[1], curve({{0.0f, 1.0f}, {0.5f, 0.0f}}));
}

TEST_F(SpectraUiTest, TimeHistoryOptionsWithSaveResults)
{
    script().once("TIME_HISTORY_DIALOG", [](HeadlessDialog& d) {
        EXPECT_FALSE(d.is_checked(TH_SAVE_RESULTS));
        d.type(TH_TIME_STEP, "0.005");
        d.type(TH_OUTPUT_INTERVAL, "0.001");
        d.press(IDOK);
        d.type(TH_OUTPUT_INTERVAL, "0.05");
        d.type(TH_END_TIME, "3");
        d.type(TH_DAMPING, "0.02");
        d.press(TH_SAVE_RESULTS);
        d.press(IDOK);
    });
    EXPECT_EQ(edit_time_history_options(), IDOK);
    EXPECT_EQ(script().last_message(), "Output interval should be >= the time step");
    const TimeHistoryOptions& o = time_history_options();
    EXPECT_FLOAT_EQ(o.time_step, 0.005f);
    EXPECT_FLOAT_EQ(o.end_time, 3.0f);
    EXPECT_FLOAT_EQ(o.output_interval, 0.05f);
    EXPECT_FLOAT_EQ(o.damping, 0.02f);
    EXPECT_EQ(o.save_results, 1);
    EXPECT_TRUE(model_modified());
}
