// The input tables of bends, miter bends, reducers and cut pipes: their
// columns by piping code and option, the cells that can be typed with their
// checks, and the printed text and CSV forms.
#include "elements/miter.h"
#include "elements/pipe.h"
#include "elements/reducer.h"
#include "element_ui_fixture.h"
#include "framework/ui/table.h"
#include "model/ui/list_window.h"

#include <sstream>

namespace {

class ElementTablesTest : public ElementUiTest {
protected:
    // Types a whole cell and commits it; false when it was refused (the
    // message has been shown) or cannot be typed.
    static bool type_cell(TableWindow& t, int row, int column, const std::string& text)
    {
        table_cancel_edit(t);   // a refused text stays in its cell's editor
        t.current_row = row;
        t.current_column = column;
        if (!table_begin_edit(t, true))
            return false;
        t.edit.text = text;
        return table_end_edit(t);
    }
    static std::vector<std::string> lines_of(const std::string& text)
    {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    // The line that begins with `start` (after the page header).
    static std::string line_starting(const std::string& text, const std::string& start)
    {
        for (const std::string& line : lines_of(text))
            if (line.compare(0, start.size(), start) == 0)
                return line;
        return "<none>";
    }
    // The character at a 1-based report column of a line.
    static std::string at(const std::string& line, int column, std::size_t length)
    {
        return line.size() >= static_cast<std::size_t>(column) ? line.substr(static_cast<std::size_t>(column - 1), length)
                                                             : std::string();
    }
};

}  // namespace

TEST_F(ElementTablesTest, BendCellsAreCheckedAndStored)
{
    ElementRowsTable& t = bends_table();
    t.load();
    ASSERT_EQ(t.record_count(), 1);
    EXPECT_EQ(t.cell_text(1, 1, 0), "30");
    EXPECT_EQ(t.cell_text(1, 3, 0), "Long");

    // A typed radius makes the bend's radius User and rebuilds the arc: the
    // near tangent point moves to 15 in before the corner at x = 200.
    EXPECT_TRUE(type_cell(t, 1, 2, "15"));
    EXPECT_EQ(bend_at(3).geometry.radius_kind, RADIUS_USER);
    EXPECT_EQ(t.cell_text(1, 3, 0), "User");
    EXPECT_NEAR(model().nodes[node_index(100030)].x, 185.0, 1e-4);
    EXPECT_TRUE(model_modified());

    model_modified() = false;
    EXPECT_FALSE(type_cell(t, 1, 2, "0.01"));
    EXPECT_FALSE(type_cell(t, 1, 4, "4"));
    EXPECT_FALSE(type_cell(t, 1, 5, "XX"));
    EXPECT_FALSE(type_cell(t, 1, 6, "0"));
    EXPECT_EQ(new_messages(), (std::vector<std::string>{"Radius =  0.01  is invalid: it must be at least 0.1 inch",
                                                        "Thickness is greater than section radius",
                                                        "Material is not defined", "Flexibility factor =  0  is invalid"}));
    EXPECT_FALSE(model_modified());
    // The out-of-plane factor is typed only with B31J.
    EXPECT_FALSE(type_cell(t, 1, 7, "2"));
    analysis_options().use_b31j = true;
    EXPECT_TRUE(type_cell(t, 1, 7, "2"));
    EXPECT_FLOAT_EQ(bend_at(3).ff_out, 2.0f);

    model_modified() = false;
    EXPECT_TRUE(type_cell(t, 1, 5, "ss"));
    EXPECT_TRUE(type_cell(t, 1, 6, "3.5"));
    EXPECT_TRUE(type_cell(t, 1, 4, "0.3"));
    EXPECT_EQ(bend_at(3).geometry.material, "SS");
    EXPECT_FLOAT_EQ(bend_at(3).ff_in, 3.5f);
    EXPECT_FLOAT_EQ(bend_at(3).geometry.thickness, 0.3f);
    EXPECT_TRUE(model_modified());
    // An emptied factor is computed again.
    EXPECT_TRUE(type_cell(t, 1, 6, ""));
    EXPECT_FLOAT_EQ(bend_at(3).ff_in, -1.0f);
    // Columns that are not typed.
    EXPECT_FALSE(type_cell(t, 1, 3, "U"));
    EXPECT_FALSE(type_cell(t, 1, 12, "35"));
}

TEST_F(ElementTablesTest, BendColumnsFollowTheCodeAndB31J)
{
    ElementRowsTable& t = bends_table();
    t.load();
    piping_code() = CODE_B311;
    t.measure_needed = true;
    table_ensure_measured(t);
    EXPECT_EQ(t.header_text(8, 0), "SIF");
    for (int c : {7, 9, 10, 11})
        EXPECT_EQ(t.widths[static_cast<std::size_t>(c)], 0) << c;
    EXPECT_GT(t.widths[8], 0);

    piping_code() = CODE_B313;
    analysis_options().use_b31j = true;
    t.measure_needed = true;
    table_ensure_measured(t);
    EXPECT_EQ(t.header_text(8, 0), "In Pln");
    EXPECT_EQ(t.header_text(6, 1), "In Pln");
    EXPECT_EQ(t.header_text(7, 1), "Out Pln");
    for (int c : {7, 9, 10, 11})
        EXPECT_GT(t.widths[static_cast<std::size_t>(c)], 0) << c;
    EXPECT_EQ(t.widths[8], t.widths[9]);
}

TEST_F(ElementTablesTest, BendsPrintAndExport)
{
    Bend& b = bend_at(3);
    b.geometry.thickness = 0.3f;
    b.geometry.material = "SS";
    b.ff_in = 2.5f;
    b.sif_in = 1.5f;
    b.geometry.node1 = 35;
    b.geometry.angle1 = static_cast<float>(std::numbers::pi / 4);
    make_model();
    ElementRowsTable& t = bends_table();

    const std::string text = table_report_text(t, false);
    EXPECT_NE(text.find("Bend   Radius   Thickness  Bend  Flex.   Int.  Angle  Int.  Angle"), std::string::npos);
    const std::string line = line_starting(text, "   30");
    EXPECT_EQ(at(line, 13, 6), "9.9375");
    EXPECT_EQ(at(line, 20, 1), "L");
    EXPECT_EQ(at(line, 23, 6), "0.3000");
    EXPECT_EQ(at(line, 33, 2), "SS");
    EXPECT_EQ(at(line, 39, 3), "2.5");
    EXPECT_EQ(at(line, 47, 2), "35");
    EXPECT_EQ(at(line, 53, 2), "45");

    piping_code() = CODE_B313;
    const std::vector<std::string> csv = lines_of(table_report_text(t, true));
    auto has = [&csv](const std::string& wanted) {
        return std::find(csv.begin(), csv.end(), wanted) != csv.end();
    };
    EXPECT_TRUE(has("Bend,Radius,Thickness,Bend Matl,Int. Node,Angle,Int. Node,Angle,Flex. Fact.,Flex. Fact.,"
                    "In Pln,Out Pln,Axial,Torsion,"));
    EXPECT_TRUE(has("Node,(inch),(inch),,,(deg),,(deg),In Pln,Out Pln,SIF,SIF,SIF,SIF,"));
    // Radius and kind letter, thickness, material, the node and its angle,
    // the factor to 3 decimals, the in-plane SIF and, under B31.3, the
    // out-of-plane one (0: none given); no B31J factor or torsion SIF.
    EXPECT_TRUE(has("30,9.9375 L,0.3000,SS,35,45.0000,,,2.500,,1.50,,,,"));
}

TEST_F(ElementTablesTest, MiterBendsAreViewOnlyAndPrintTheirSpacing)
{
    // Entered outside the B31.3 group: the out-of-plane SIF is the in-plane one.
    piping_code() = CODE_B311;
    script().once("MITER_DIALOG", [](HeadlessDialog& d) { attempt(d, {{MITER_RADIUS, "12"}, {MITER_SIF_IN, "2"}}); });
    ASSERT_TRUE(edit_miter(4));
    ElementRowsTable& t = miters_table();
    t.load();
    ASSERT_EQ(t.record_count(), 1);
    EXPECT_FALSE(type_cell(t, 1, 2, "15"));
    EXPECT_EQ(t.cell_text(1, 11, 0), "Closely spaced");

    std::string line = line_starting(table_report_text(t, false), "   40");
    EXPECT_EQ(at(line, 13, 7), "12.0000");
    EXPECT_EQ(at(line, 48, 4), "2.00");
    EXPECT_EQ(at(line, 57, 14), "Closely spaced");
    // In the B31.3 group the spacing moves right of the out-of-plane SIF.
    piping_code() = CODE_B313;
    line = line_starting(table_report_text(t, false), "   40");
    EXPECT_EQ(at(line, 57, 4), "2.00");
    EXPECT_EQ(at(line, 66, 14), "Closely spaced");

    const std::vector<std::string> csv = lines_of(table_report_text(t, true));
    EXPECT_NE(std::find(csv.begin(), csv.end(),
                        ",Radius,Thickness,Material,Flex. Factor In Plane,Flex. Factor Out Plane,Inplane SIF,"
                        "Outplane SIF,Axial SIF,Torsion SIF,Type,"),
              csv.end());
    EXPECT_NE(std::find(csv.begin(), csv.end(), "40,12.0000,,,,,2.00,2.00,,,Closely spaced,"), csv.end());
}

namespace {

using ReducerBounds = ElementTablesTest;

}  // namespace

// A reducer's cells take each end's values within what a piping model can
// hold, as the model check and the batch reader do, and a bend's own wall
// within its bound and its section's radius.
TEST_F(ReducerBounds, CellsRefuseAnEndBeyondWhatAModelCanHold)
{
    script().once("REDUCER_DIALOG", [](HeadlessDialog& d) { attempt(d, {{REDUCER_OD2, "4.5"}, {REDUCER_THK2, "0.237"}}); });
    ASSERT_TRUE(edit_reducer(4));
    ElementRowsTable& t = reducers_table();
    t.load();
    EXPECT_FALSE(type_cell(t, 1, 3, "1E19"));
    EXPECT_FALSE(type_cell(t, 1, 5, "-4.5"));
    EXPECT_FALSE(type_cell(t, 1, 6, "2000"));
    EXPECT_EQ(new_messages(),
              (std::vector<std::string>{
                  "OD1 of 1E+19 inch is beyond what a piping model can hold (0.001 inch to 1000 inch)",
                  "OD2 =  -4.5  is invalid: it must be at least 0.001 inch",
                  "Thk2 of 2000 inch is beyond what a piping model can hold (0.0001 inch to 1000 inch)"}));
    const auto& r = dynamic_cast<const Reducer&>(*model().rows[4].element);
    EXPECT_FLOAT_EQ(r.od1, 6.625f);
    EXPECT_FLOAT_EQ(r.od2, 4.5f);
    EXPECT_FLOAT_EQ(r.thickness2, 0.237f);
    // At the bounds: taken.
    EXPECT_TRUE(type_cell(t, 1, 5, "1000"));
    EXPECT_TRUE(type_cell(t, 1, 6, "500"));

    ElementRowsTable& bends = bends_table();
    bends.load();
    EXPECT_FALSE(type_cell(bends, 1, 4, "2000"));
    EXPECT_FALSE(type_cell(bends, 1, 4, "-1"));
    EXPECT_EQ(new_messages(),
              (std::vector<std::string>{
                  "Thickness of 2000 inch is beyond what a piping model can hold (0.0001 inch to 1000 inch)",
                  "Thickness =  -1  is invalid: it must be 0 or more"}));
}

TEST_F(ElementTablesTest, ReducerCellsPrintAndExportByCode)
{
    script().once("REDUCER_DIALOG", [](HeadlessDialog& d) { attempt(d, {{REDUCER_OD2, "4.5"}, {REDUCER_THK2, "0.237"}}); });
    ASSERT_TRUE(edit_reducer(4));
    ElementRowsTable& t = reducers_table();
    t.load();
    ASSERT_EQ(t.record_count(), 1);
    EXPECT_FALSE(type_cell(t, 1, 3, ""));
    EXPECT_FALSE(type_cell(t, 1, 3, "0.5"));
    EXPECT_FALSE(type_cell(t, 1, 4, "4"));
    EXPECT_FALSE(type_cell(t, 1, 4, "0.00001"));
    EXPECT_EQ(new_messages(), (std::vector<std::string>{"OD1 is required", "OD1 < 2.0*Thk1", "Thk1 > 0.5*OD1",
                                                        "Thickness =  0.00001  is invalid: it must be at least 0.0001 inch"}));
    EXPECT_TRUE(type_cell(t, 1, 3, "8.625"));
    EXPECT_FLOAT_EQ(dynamic_cast<const Reducer&>(*model().rows[4].element).od1, 8.625f);
    EXPECT_FALSE(type_cell(t, 1, 7, "10"));   // the cone angle is the dialog's

    // Columns by code: none of the cone angle under B31.3.
    piping_code() = CODE_B313;
    t.measure_needed = true;
    table_ensure_measured(t);
    for (int c : {7, 8, 9})
        EXPECT_EQ(t.widths[static_cast<std::size_t>(c)], 0) << c;
    piping_code() = CODE_SWEDISH;
    t.measure_needed = true;
    table_ensure_measured(t);
    EXPECT_GT(t.widths[9], 0);

    auto& r = dynamic_cast<Reducer&>(*model().rows[4].element);
    r.knuckles = 1;
    r.delta = 1.5f;
    const std::string line = line_starting(table_report_text(t, false), "     30");
    EXPECT_EQ(at(line, 14, 2), "40");
    EXPECT_EQ(at(line, 20, 6), "8.6250");
    EXPECT_EQ(at(line, 39, 6), "4.5000");
    EXPECT_EQ(at(line, 68, 1), "Y");
    EXPECT_EQ(at(line, 72, 6), "1.5000");
    const std::vector<std::string> csv = lines_of(table_report_text(t, true));
    EXPECT_NE(std::find(csv.begin(), csv.end(), ",,OD1,Thk1,OD2,Thk2,Cone Angle,Knuckles,Delta,"), csv.end());
    EXPECT_NE(std::find(csv.begin(), csv.end(), "30,40,8.6250,0.2800,4.5000,0.2370,,Y,1.5000,"), csv.end());
    // Outside the Nordic codes the knuckle data stay out.
    piping_code() = CODE_B311;
    const std::vector<std::string> plain = lines_of(table_report_text(t, true));
    EXPECT_NE(std::find(plain.begin(), plain.end(), "30,40,8.6250,0.2800,4.5000,0.2370,,,,"), plain.end());
}

TEST_F(ElementTablesTest, CutPipesPrintOnlyWhenThereAreAny)
{
    ElementRowsTable& t = cut_pipes_table();
    EXPECT_EQ(table_report_text(t, false).find("Cut pipes"), std::string::npos);
    script().once("CUTPIPE_DIALOG", [](HeadlessDialog& d) {
        d.press(CUT_LONG);
        attempt(d, {{CUT_LENGTH, "0.75"}});
    });
    ASSERT_TRUE(edit_cut_pipe(2));
    t.load();
    EXPECT_EQ(t.header_text(3, 0), "Cut (inch)");
    EXPECT_FALSE(type_cell(t, 1, 3, "1"));
    const std::string text = table_report_text(t, false);
    const std::string line = line_starting(text, "     10");
    EXPECT_EQ(at(line, 14, 2), "20");
    EXPECT_EQ(at(line, 21, 6), "0.7500");
    EXPECT_EQ(at(line, 34, 4), "Long");
    const std::vector<std::string> csv = lines_of(table_report_text(t, true));
    EXPECT_NE(std::find(csv.begin(), csv.end(), "From,To,Cut,(inch),Type,"), csv.end());
    EXPECT_NE(std::find(csv.begin(), csv.end(), "10,20,0.7500,Long,"), csv.end());
}

TEST_F(ElementTablesTest, DataListsOfferTheKindsWithRows)
{
    std::vector<std::string> offered;
    for (const DataList* list : offered_data_lists())
        offered.push_back(data_list_entry(*list));
    EXPECT_NE(std::find(offered.begin(), offered.end(), "Bends (1)"), offered.end());
    EXPECT_EQ(std::find(offered.begin(), offered.end(), "Miter bends (0)"), offered.end());
    EXPECT_EQ(std::find(offered.begin(), offered.end(), "Cut pipes (0)"), offered.end());
}
