// File > Export of the rotating-equipment report writes what the window
// shows: every row of the window a line of the file, and each text the
// window draws in a row (the check rows' label, calculated and allowed
// values, ratio and status, the headings over them) a cell, in the order
// drawn, the headings in the cells of the columns they stand over. The
// window's own paint is the reference: its recorded texts row by row
// against the file's cells.
#include "golden.h"
#include "model/load_cases.h"
#include "qualification/qualification_ui_fixture.h"
#include "qualification/ui/rot_equip_ui.h"
#include "qualification/window_export.h"
#include "scratch_files.h"


namespace {

using namespace qualification_test;
using namespace window_export;

class RotatingReportExport : public QualificationUiTest {
protected:
    void SetUp() override
    {
        QualificationUiTest::SetUp();
        nozzle_lines();
        pumps().push_back(api610_pump("P-101", {1, 0, 0}, {0, 0, 5}));
        compressors().push_back({"K-1", 10, 20, 0, 0, {1, 0, 0}});
        turbines().push_back({"T-1", 10, 20, 0, 0, {1, 0, 0}});
        open_results_frame();
        // Tall enough for every row of a report at once.
        script().resize(results_frame().window, 1200, 4000);
        build_rot_equip_report(results({LC_OPERATING_1}));
    }
    // Exports the report shown as File > Export does and returns the file.
    std::string export_shown()
    {
        TableWindow* shown = results_table_view().table();
        EXPECT_NE(shown, nullptr);
        if (!shown)
            return {};
        script().answer_file(file);
        EXPECT_TRUE(shown->export_csv(results_frame().window));
        return read_text_file(file);
    }
    // The file against a paint of the window: as many rows as the window
    // has, and each row's cells the texts the window draws in it.
    void expect_file_shows_the_window(const std::string& csv)
    {
        expect_export_shows_the_window(csv, *results_table_view().table(), script().paint(results_table_view().window()));
    }
    ScratchFolder scratch{"rot-equip-export"};
    std::string file = scratch.path("report.csv");
};

}  // namespace

TEST_F(RotatingReportExport, PumpReportExportsEveryRowTheWindowShows)
{
    show_rot_equip();
    ASSERT_EQ(results_table_view().table(), &pump_report_window());
    const std::string csv = export_shown();
    expect_file_shows_the_window(csv);
    // The rows of numbers are there, their heading over their columns: the
    // label's cell left free under "Calculated Allowed Ratio Status".
    const std::vector<std::string> heading = row_holding(csv, "Calculated");
    ASSERT_GE(heading.size(), 5u) << csv;
    EXPECT_EQ(std::vector<std::string>(heading.begin(), heading.begin() + 5),
              (std::vector<std::string>{"", "Calculated", "Allowed", "Ratio", "Status"}));
    const std::vector<std::string> fx = row_starting(csv, "FX " + unit_label(FORCE));
    ASSERT_GE(fx.size(), 5u) << csv;
    // FX 1300 lb on 700 lb: a ratio of 1.857, "----" between 1 and 2.
    EXPECT_EQ(fx[index_of(heading, "Calculated")], "1300");
    EXPECT_EQ(fx[index_of(heading, "Allowed")], "700");
    EXPECT_EQ(fx[index_of(heading, "Ratio")], "1.857");
    EXPECT_EQ(fx[index_of(heading, "Status")], "----");
    for (const char* row : {"FY", "FZ", "FR"})
        EXPECT_FALSE(row_starting(csv, std::string(row) + " " + unit_label(FORCE)).empty()) << row;
    for (const char* row : {"MX", "MY", "MZ", "MR"})
        EXPECT_FALSE(row_starting(csv, std::string(row) + " " + unit_label(MOMENT)).empty()) << row;
}

TEST_F(RotatingReportExport, CompressorAndTurbineReportsExportEveryRowTheWindowShows)
{
    for (int entry : {2, 3}) {
        rot_equip_report().current = entry;
        show_rot_equip();
        ASSERT_EQ(results_table_view().table(), &compressor_report_window());
        const std::string csv = export_shown();
        expect_file_shows_the_window(csv);
        // The node, type and six values of each connection, their headings
        // in the same columns.
        const std::vector<std::string> heading = row_starting(csv, "Node");
        const std::vector<std::string> values = row_starting(csv, "10");
        ASSERT_GE(heading.size(), 8u) << csv;
        ASSERT_GE(values.size(), 8u) << csv;
        EXPECT_EQ(index_of(heading, "fx"), 2u);
        EXPECT_FALSE(values[index_of(heading, "fx")].empty());
    }
}

