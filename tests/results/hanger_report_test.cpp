// The Hanger Report of the results window: a line with two catalogue
// springs, a constant support and a user hanger, saved, with results whose
// design records are written here; the report shows the records, the load
// variation worked out by hand, and prints as text and CSV.
#include "results/ui/hanger_report_ui.h"
#include "results_program_fixture.h"
#include "framework/units.h"
#include "supports/hanger.h"

namespace {

class HangerReportTest : public ResultsProgramTest {
protected:
    void SetUp() override
    {
        ResultsProgramTest::SetUp();
        results_hooks().show[RESULT_HANGER_REPORT] = [] { show_hanger_report(); };
        Model& m = model();
        const int types[] = {0, 16, 16, HANGER_CONSTANT, HANGER_USER};
        for (int i = 0; i <= 4; ++i) {
            const int r = append_layout_row();
            LayoutRow& row = m.rows[r];
            row.node = 10 * (i + 1);
            row.etype = i == 0 ? ET_FROM : ET_PIPE;
            row.dx = i == 0 ? 0.0f : 50.0f;
            row.dtype = i == 0 ? DT_ANCHOR : DT_HANGER;
            row.create_element_object();
            row.create_data_object(r);
            if (i > 0) {
                auto& h = dynamic_cast<Hanger&>(*row.data);
                h.v.type = types[i];
                h.v.tag = i == 1 ? "H-20" : "";
                h.v.count = i == 2 ? 2 : 1;
                if (types[i] == HANGER_USER) {
                    h.v.spring_rate = 100.0f;
                    h.v.load = 50.0f;
                }
            }
        }
        make_model();
        set_model_file_path(path("hangers.mod"));
        ASSERT_TRUE(save_model(0));
        load_case_list().clear();
        load_case_list().add(LC_SUSTAINED);
        // The run's designs of rows 2 to 4; the user hanger has none.
        HangerRunDesign designs;
        designs.resize(m.numrows());
        auto design = [&](int row, HangerDesign d) {
            designs.designed[static_cast<std::size_t>(row)] = 1;
            designs.design[static_cast<std::size_t>(row)] = std::move(d);
        };
        design(2, {"B268", "9", 120.0f, 0.5f, 0.25f, 860.0f, 800.0f});
        design(3, {"F98", "12", 60.0f, -0.4f, 0.0f, 376.0f, 400.0f});
        design(4, {"CONST", "", 0.0f, 2.0f, 0.0f, 1500.0f, 1500.0f});
        const auto n = static_cast<std::size_t>(m.numnodes()), e = static_cast<std::size_t>(m.numelems());
        BinFile file;
        ASSERT_TRUE(file.open_write(path("hangers.res")));
        write_results_header(file);
        write_element_records(file, m);
        write_soil_restraints(file, {});
        write_case_block(file, std::vector<double>(6 * n), {}, std::vector<double>(12 * e),
                         std::vector<double>(static_cast<std::size_t>(support_value_count(m))));
        write_hanger_designs(file, m, &designs);
        write_run_record(file, {});
        write_results_check(file);
        ASSERT_TRUE(file.close());
        open_results();
        hb->run_loop();
    }
    std::string cell(int row, int column) { return hanger_report_table().cell_text(row, column, 0); }
};

}  // namespace

TEST_F(HangerReportTest, HangerReportShowsTheDesignRecordsOfTheResults)
{
    const std::vector<int>& list = result_list();
    ASSERT_NE(std::find(list.begin(), list.end(), RESULT_HANGER_REPORT), list.end());
    EXPECT_STREQ(result_kind_name(RESULT_HANGER_REPORT), "&Hanger report");
    results_hooks().show[RESULT_HANGER_REPORT]();
    EXPECT_EQ(current_result(), RESULT_HANGER_REPORT);
    TableWindow& t = hanger_report_table();
    ASSERT_EQ(t.row_count, 4);
    // Row 1: node 20, tag, Grinnell, 1 hanger, B268 9, 120 lb/in, travel
    // 0.5 in up, 0.25 in across, cold 860 lb, hot 800 lb: variation
    // 120 x 0.5 / 800 = 7.5 %.
    EXPECT_EQ(cell(1, 1), "20");
    EXPECT_EQ(cell(1, 2), "H-20");
    EXPECT_EQ(cell(1, 3), "Grinnell");
    EXPECT_EQ(cell(1, 4), "1");
    EXPECT_EQ(cell(1, 5), "B268");
    EXPECT_EQ(cell(1, 6), "9");
    EXPECT_EQ(cell(1, 7), format_stiffness(120.0));
    EXPECT_EQ(cell(1, 8), format_displacement_g5(0.5));
    EXPECT_EQ(cell(1, 10), format_force(860.0));
    EXPECT_EQ(cell(1, 11), format_force(800.0));
    EXPECT_EQ(cell(1, 12), "7.5");
    // Row 2: two hangers, moving down 0.4 in: 60 x 0.4 / 400 = 6 %.
    EXPECT_EQ(cell(2, 4), "2");
    EXPECT_EQ(cell(2, 12), "6.0");
    // The constant support has no rate and no variation; the user hanger
    // no design.
    EXPECT_EQ(cell(3, 3), "Constant support");
    EXPECT_EQ(cell(3, 7), "");
    EXPECT_EQ(cell(3, 12), "");
    EXPECT_EQ(cell(4, 3), "User hanger");
    EXPECT_EQ(cell(4, 5), "");
    EXPECT_EQ(cell(4, 11), "");
    EXPECT_EQ(t.header_text(11, 0), "Hot Load");
    EXPECT_EQ(t.header_text(11, 1), unit_label(FORCE));
}

TEST_F(HangerReportTest, HangerReportPrintsAsTextAndCsv)
{
    results_hooks().show[RESULT_HANGER_REPORT]();
    TableWindow& t = hanger_report_table();
    const std::string csv = table_report_text(t, true);
    EXPECT_NE(csv.find("Hanger Report"), std::string::npos) << csv;
    EXPECT_NE(csv.find("B268"), std::string::npos) << csv;
    EXPECT_NE(csv.find("CONST"), std::string::npos) << csv;
    const std::string text = table_report_text(t, false);
    // A line per hanger under the headings.
    EXPECT_NE(text.find("H-20"), std::string::npos) << text;
    EXPECT_NE(text.find("Hanger Report"), std::string::npos) << text;
    EXPECT_NE(text.find("F98"), std::string::npos) << text;
}
