// The seeds of the batch-file fuzz targets beyond tests/data/batch and the
// examples (fuzz/corpus/batch) are files the tests import
// (seed_batch_files.h), written here and compared byte for byte with the
// committed seeds (KV_UPDATE_GOLDEN=1 rewrites them). Each is imported: the
// sound ones are taken, the section of 1E19 in is refused by its name.
#include "batch_fixture.h"
#include "exchange/data/seed_batch_files.h"
#include "golden.h"

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
        {"reducer_od_1e19.mbf", section_bounds("6.625", "1E19")},   // refused by the model check, not the import
    };
    for (const auto& [name, text] : taken) {
        SCOPED_TRACE(name);
        expect_golden_file_at(seed_path(name), text);
        reset_model();
        EXPECT_EQ(import(text), "");
    }
    const std::string huge = section_bounds("1E19", "8.625");
    expect_golden_file_at(seed_path("section_od_1e19.mbf"), huge);
    reset_model();
    EXPECT_EQ(import(huge), "Line = 13 :  P6,1E19,0.28\nSection P6: Outside diameter of 1E+19 inch is beyond what a "
                            "piping model can hold (0.001 inch to 1000 inch)");
}

}  // namespace batch_test
