// The seeds of the batch-file fuzz targets beyond tests/data/batch and the
// examples (fuzz/corpus/batch) are files the tests import
// (seed_batch_files.h), written here and compared byte for byte with the
// committed seeds (KV_UPDATE_GOLDEN=1 rewrites them). Each is imported: the
// sound ones are taken, the others are refused at the line at fault.
#include "batch_fixture.h"
#include "exchange/data/seed_batch_files.h"
#include "golden.h"
#include "model/model_file.h"

namespace batch_test {
namespace {

std::string seed_path(const std::string& name)
{
    return std::string(KV_SOURCE_DIR) + "/fuzz/corpus/batch/" + name;
}

class BatchFuzzSeeds : public BatchTest {};

}  // namespace

TEST_F(BatchFuzzSeeds, SeedsAreTheTestFilesAndImportAsTheTestsSay)
{
    using namespace seed_batch_files;
    const std::pair<std::string, std::string> taken[] = {
        {"deep_cover.mbf", DEEP_COVER},
        {"pumps.mbf", PUMPS},
        {"few_cycles.mbf", FEW_CYCLES},
        {"deep_sands.mbf", DEEP_SANDS},
        {"section_wall_0_0005.mbf", line_with_row("6.625", "0.0005", "T30,X2-0")},
        {"stop_without_gap.mbf", line_with_row("6.625", "0.28", "T30,X2-0,CLS(0,0),DV(0,1,0)")},
        // A row without a node, which an export leaves out and names.
        {"row_without_node.mbf", line_with_row("6.625", "0.28", "X5")},
    };
    for (const auto& [name, text] : taken) {
        SCOPED_TRACE(name);
        expect_golden_file_at(seed_path(name), text);
        reset_model();
        clear_model_sections();
        EXPECT_EQ(import(text), "");
    }
    const std::string beyond = " is beyond what a piping model can hold (0.001 inch to 1000 inch)";
    struct Refused {
        std::string name, text, line, message;
    };
    const Refused refused[] = {
        {"section_od_1e19.mbf", section_bounds("1E19", "8.625"),
         "Line = 13 :  P6,1E19,0.28", "Section P6: Outside diameter of 1E+19 inch" + beyond},
        {"reducer_od_1e19.mbf", section_bounds("6.625", "1E19"),
         "Line = 17 :  T30,X2-0,JD,COD1=1E19,THK1=0.322,OD2=6.625,THK2=0.28",
         "The reducer at node 30: OD1 of 1E+19 inch" + beyond},
        {"reducer_thk1_4.mbf", reducer_walls("4", "0.237"),
         "Line = 17 :  T30,X2-0,JD,COD1=6.625,THK1=4,OD2=4.5,THK2=0.237", "The reducer at node 30: Thk1 > 0.5*OD1"},
        {"reducer_thk2_3.mbf", reducer_walls("0.28", "3"),
         "Line = 17 :  T30,X2-0,JD,COD1=6.625,THK1=0.28,OD2=4.5,THK2=3", "The reducer at node 30: Thk2 > 0.5*OD2"},
        {"bend_wall_5.mbf", line_with_row("6.625", "0.28", "T30,Y2-0,KI,B9,CBTHK=5"),
         "Line = 17 :  T30,Y2-0,KI,B9,CBTHK=5", "The bend at node 30: Thickness is greater than section radius"},
        {"stop_crossed.mbf", line_with_row("6.625", "0.28", "T30,X2-0,CLS(0,-0.1),DV(0,1,0)"),
         "Line = 17 :  T30,X2-0,CLS(0,-0.1),DV(0,1,0)",
         "Invalid limit stop: LS(0,-0.1)\nUpper limit should be greater than the lower limit, or both limits 0"},
    };
    for (const Refused& r : refused) {
        SCOPED_TRACE(r.name);
        expect_golden_file_at(seed_path(r.name), r.text);
        reset_model();
        clear_model_sections();
        EXPECT_EQ(import(r.text), r.line + "\n" + r.message);
        EXPECT_EQ(numrows(), 0);
    }
}

}  // namespace batch_test
