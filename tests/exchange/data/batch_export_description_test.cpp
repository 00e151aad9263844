// Descriptions through the batch export: one the file can hold goes as it
// is, one it cannot goes with those characters replaced and is named in the
// export's report with its row; a description never stops an export.
#include "batch_fixture.h"
#include "exchange/batch_export.h"
#include "exchange/data/neutral_fixture.h"
#include "exchange/data/neutral_samples.h"
#include "materials/pipe_material.h"

namespace batch_test {
namespace {

class ExportDescription : public BatchTest {
protected:
    // Exports the current model and imports the text into an empty model.
    static std::string round_trip(BatchExportReport& report)
    {
        std::string text;
        try {
            text = batch_export_text({}, &report);
        } catch (const MessageText& m) {
            ADD_FAILURE() << "the export is refused: " << m.text;
        }
        reset_model();
        clear_model_sections();
        import_ok(text);
        return text;
    }
};

const std::string HEAD = "OPTIONS\nIN\nMATERIAL\nCS,0.283\nCS,70,29.5E6,6.07E-6,20000\n"
                         "PIPE\nP6,6.625,0.28\nLAYOUT\nF10,MCS,PP6\nT20,X120\n";

TEST_F(ExportDescription, APipePakDescriptionInParenthesesGoesAsItIs)
{
    // The PipePak file's MATERIAL line: "MATERIAL CS (CARBON STEEL) 0.283 0.29".
    std::istringstream in(neutral_test::every_keyword_pnf("ENGLISH"));
    reset_model();
    clear_model_sections();
    ASSERT_NO_THROW(import_pnf_text(in));
    ASSERT_EQ(pipe_materials()[1].description, "(CARBON STEEL)");
    BatchExportReport report;
    round_trip(report);
    EXPECT_EQ(pipe_materials()[1].description, "(CARBON STEEL)");
    EXPECT_EQ(report.entries[NC_MATERIAL_DESCRIPTION].count, 0) << report.message();
}

TEST_F(ExportDescription, CharactersTheFileCannotHoldAreReplacedAndReportedWithTheRow)
{
    import_ok(HEAD + "PUMPS\nPUMP A,1,10\nPUMP B,1,20\nCOMPRESSORS\nC1,1,0,0,10\nTURBINES\nT1,1,0,0,20\n");
    pipe_materials()[1].description = "STEEL, KILLED (A106";
    pumps()[2].name = "PIPE PUMP";          // begins with a section key
    compressors()[1].name = "";             // a description is required
    turbines()[1].name = "  HP, LP\r\nSET";  // blanks before it, a comma and a line end
    BatchExportReport report;
    const std::string text = round_trip(report);
    EXPECT_EQ(pipe_materials()[1].description, "STEEL; KILLED [A106");
    EXPECT_EQ(pumps()[1].name, "PUMP A");
    EXPECT_EQ(pumps()[2].name, "-PIPE PUMP");
    EXPECT_EQ(compressors()[1].name, "-");
    EXPECT_EQ(turbines()[1].name, "HP; LP  SET");
    EXPECT_EQ(report.entries[NC_MATERIAL_DESCRIPTION].rows, std::vector<int>{1});
    EXPECT_EQ(report.entries[NC_PUMP_DESCRIPTION].rows, std::vector<int>{2});
    EXPECT_EQ(report.entries[NC_COMPRESSOR_DESCRIPTION].rows, std::vector<int>{1});
    EXPECT_EQ(report.entries[NC_TURBINE_DESCRIPTION].rows, std::vector<int>{1});
    EXPECT_NE(report.message().find("characters of pump descriptions that the file cannot hold, replaced (Pumps "
                                    "table): 1 (row 2)"),
              std::string::npos)
        << report.message();
    // What was written reads back and is written again as it stands.
    BatchExportReport again;
    EXPECT_EQ(batch_export_text({}, &again), text);
    EXPECT_TRUE(again.empty()) << again.message();
}

}  // namespace
}  // namespace batch_test
