// The batch export against the batch import: random models, every batch
// file of the tests and the sample model are exported in each unit form and
// in the 6.xx form and read back; the model read back must be the one
// exported, record by record (an entered zero and 0 count alike), and a
// second export must give the same text.
#include "batch_fixture.h"
#include "batch_generator.h"
#include "exchange/data/seed_batch_files.h"
#include "exchange/batch_export.h"
#include "exchange/model_image.h"
#include "model/analysis_options.h"
#include "loads/wind.h"
#include "materials/pipe_section.h"
#include "materials/property_set_checks.h"
#include "model/model_file.h"

#include <filesystem>

namespace batch_test {
namespace {

using model_image::image_difference;
using model_image::image_of_model;
using model_image::ModelImage;

// An empty model, as the import command leaves it before reading a file.
void fresh_model()
{
    reset_model();
    clear_model_sections();
    init_model_options();
    analysis_options() = AnalysisOptions{};
    piping_code() = CODE_B313;
}

std::string import_fresh(const std::string& text)
{
    fresh_model();
    return batch_test::import_batch_error(text);
}

// The export's text; a refusal fails the test with its message.
std::string export_text(const BatchExportSettings& settings)
{
    try {
        return batch_export_text(settings);
    } catch (const MessageText& m) {
        ADD_FAILURE() << "the export is refused: " << m.text;
    }
    return {};
}

struct Form {
    BatchExportSettings settings;
    const char* name;
};
const Form FORMS[] = {
    {{BATCH_EXPORT_CURRENT, BATCH_UNITS_FEET_INCH}, "current, feet and inches"},
    {{BATCH_EXPORT_CURRENT, BATCH_UNITS_INCH}, "current, inch"},
    {{BATCH_EXPORT_CURRENT, BATCH_UNITS_SI}, "current, SI"},
    {{BATCH_EXPORT_6XX, BATCH_UNITS_FROM_MODEL}, "6.xx"},
};

// Exports the current model (whose image is `original`) in the form and
// reads it back: "" when the model read back is the same, else what
// differs. The current model is then the one read back.
std::string round_trip(const Form& form, const ModelImage& original, std::string& text)
{
    text = export_text(form.settings);
    if (const std::string error = import_fresh(text); !error.empty())
        return std::string(form.name) + ": the export is refused: " + error;
    if (const std::string d = image_difference(original, image_of_model()); !d.empty())
        return std::string(form.name) + ": " + d;
    return {};
}

// The random models of seeds [first, last]: every form read back as the same
// model (the 6.xx form for models that keep to it; for the others its text
// reads back as a model that exports to the same text).
void random_round_trips(unsigned first, unsigned last, bool form_6xx)
{
    for (unsigned seed = first; seed <= last; ++seed) {
        const std::string source = BatchGenerator(seed, form_6xx).text();
        const std::string refused = import_fresh(source);
        ASSERT_EQ(refused, "") << "seed " << seed << ": the generated file is refused\n" << source;
        const ModelImage original = image_of_model();
        const std::string model_text = export_text(FORMS[0].settings);
        for (const Form& form : FORMS) {
            // Each form starts from the model as generated.
            ASSERT_EQ(import_fresh(model_text), "") << "seed " << seed;
            std::string text;
            if (form.settings.version == BATCH_EXPORT_6XX && !form_6xx) {
                text = export_text(form.settings);
                ASSERT_EQ(import_fresh(text), "") << "seed " << seed << ", 6.xx:\n" << text;
                EXPECT_EQ(export_text(form.settings), text) << "seed " << seed << ", 6.xx";
                continue;
            }
            const std::string d = round_trip(form, original, text);
            ASSERT_EQ(d, "") << "seed " << seed << ", " << d << "\nfile:\n" << source << "\nexport:\n" << text;
        }
    }
}

TEST(BatchExportRoundTrip, RandomModelsOfTheCurrentFormReadBackRecordByRecord)
{
    install_property_sets();
    install_loads();
    install_element_classes();
    install_supports();
    install_equipment();
    random_round_trips(1, 250, false);
}

TEST(BatchExportRoundTrip, RandomModelsOfThe6xxFormReadBackRecordByRecordInEveryForm)
{
    install_property_sets();
    install_loads();
    install_element_classes();
    install_supports();
    install_equipment();
    random_round_trips(1001, 1250, true);
}

class BatchExportFiles : public BatchTest {};

// What the export leaves out of the wind data (and says so): the profile of
// a wind load that takes the ASCE profile, and the profile units when no
// wind load has a profile of its own.
void drop_unplaced_wind()
{
    WindData& d = wind_data();
    bool profiles = false;
    for (int n = 1; n <= NUM_WIND_LOADS; ++n) {
        WindLoad& l = d.loads[static_cast<std::size_t>(n)];
        if (l.asce && d.asce_on) {
            l.velocity.clear();
            l.pressure.clear();
        } else if (std::hypot(l.direction[0], l.direction[1], l.direction[2]) >= MIN_DIRECTION_LENGTH) {
            profiles = true;
        }
    }
    if (!profiles)
        d.units = WindProfileUnits{};
}

// Import, export, import gives the same model; export, import, export the same text.
void file_round_trips(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    ASSERT_EQ(import_fresh(s.str()), "") << path;
    drop_unplaced_wind();
    const ModelImage original = image_of_model();
    const std::string model_text = export_text(FORMS[0].settings);
    for (const Form& form : FORMS) {
        ASSERT_EQ(import_fresh(model_text), "") << path;
        std::string text;
        if (form.settings.version == BATCH_EXPORT_CURRENT) {
            const std::string d = round_trip(form, original, text);
            EXPECT_EQ(d, "") << path << "\n" << text;
        } else {
            text = export_text(form.settings);
            ASSERT_EQ(import_fresh(text), "") << path << ", 6.xx:\n" << text;
        }
        EXPECT_EQ(export_text(form.settings), text) << path << ", " << form.name;
    }
}

TEST_F(BatchExportFiles, EveryTestBatchFileAndTheSampleReadBackAsTheSameModel)
{
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(BATCH_FILES))
        if (entry.path().extension() == ".mbf") {
            file_round_trips(entry.path().string());
            ++files;
        }
    file_round_trips(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf");
    EXPECT_GE(files, 4);
}

}  // namespace
}  // namespace batch_test

namespace batch_test {
namespace {

class SectionBoundsRoundTrip : public BatchTest {};

}  // namespace

// One bound for every path: a section of a 0.0005 in wall, which the table
// and the model check take (the wall's bound is 0.0001 in), and a reducer
// whose ends stand at the bounds of a diameter and a wall (1000 in with half
// of it, 0.001 in with 0.0001 in) survive their own export in every form;
// a wall below the bound is refused by the reader as by the cells.
TEST_F(SectionBoundsRoundTrip, ValuesAtTheirBoundsSurviveTheirOwnExportInEveryForm)
{
    const std::string source = seed_batch_files::line_with_row(
        "6.625", "0.0005", "T30,X2-0,JD,COD1=1000,THK1=500,OD2=0.001,THK2=0.0001");
    ASSERT_EQ(import_fresh(source), "");
    ASSERT_EQ(numsections(), 1);
    EXPECT_FLOAT_EQ(pipe_sections()[1].thickness, 0.0005f);
    EXPECT_TRUE(pipe_section_problems(pipe_sections()[1]).empty());
    const ModelImage original = image_of_model();
    for (const Form& form : FORMS) {
        ASSERT_EQ(import_fresh(source), "");
        std::string text;
        EXPECT_EQ(round_trip(form, original, text), "") << text;
        EXPECT_FLOAT_EQ(pipe_sections()[1].thickness, 0.0005f) << form.name;
    }
    EXPECT_EQ(import_fresh(seed_batch_files::line_with_row("6.625", "0.00005", "T30,X2-0")),
              "Line = 13 :  P6,6.625,0.00005\nInvalid pipe thickness :  0.00005");
}

// The section dialog's combined checks of the values, which the model check
// makes, are made at the section's line: a corrosion allowance and mill
// tolerance that leave no wall, a lining that fills the bore, are refused
// before anything is written.
TEST_F(SectionBoundsRoundTrip, TheReaderRefusesAtItsLineASectionTheModelCheckRefuses)
{
    const std::pair<std::string, std::string> refused[] = {
        {"0.28,0.2,50", "Section P6: Corrosion allowance + mill tolerance is too large"},
        {"0.28,,,,,0.2,4", "Section P6: Lining thickness > radius"},
    };
    for (const auto& [wall, message] : refused)
        EXPECT_EQ(import_fresh(seed_batch_files::line_with_row("6.625", wall, "T30,X2-0")),
                  "Line = 13 :  P6,6.625," + wall + "\n" + message);
}

}  // namespace batch_test
