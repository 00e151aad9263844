// The bundled sample: the batch file examples/sample.mbf, from which the build
// makes the sample model beside the program (sample.mod) in start-up batch
// mode. The two stay in step: the sample model is the import of the batch
// file as the program imports it, byte for byte. The first run of the
// program opens it.
#include "elements/bend.h"
#include "elements/reducer.h"
#include "elements/valve.h"
#include "exchange/batch_import.h"
#include "exchange/data/batch_fixture.h"
#include "exchange_fixture.h"
#include "loads/pipe_load.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/piping_codes.h"
#include "model/ui/model_commands.h"
#include "supports/anchor.h"
#include "supports/guide.h"
#include "supports/limit_stop.h"
#include "supports/restraint.h"

namespace {

using batch_test::row_of;

const std::string SAMPLE_BATCH = std::string(KV_SOURCE_DIR) + "/examples/sample.mbf";
const std::string BUILT_SAMPLE = (std::filesystem::path(KV_PROGRAM_PATH).parent_path() / "sample.mod").string();

template <typename T>
const T& data_at(int node)
{
    return dynamic_cast<const T&>(*model().rows[row_of(node)].data);
}

}  // namespace

TEST_F(ExchangeProgramTest, BuiltSampleModelIsTheImportOfTheSampleBatchFile)
{
    ASSERT_TRUE(std::filesystem::exists(BUILT_SAMPLE)) << BUILT_SAMPLE;
    import_batch_file_at(SAMPLE_BATCH);
    const std::string written = path("sample.mod");
    write_model_file(written);
    EXPECT_EQ(bytes(written), bytes(BUILT_SAMPLE));
}

TEST_F(ExchangeProgramTest, SampleIsAPumpDischargeLineWithAValveSupportsBendsAndTwoThermalCases)
{
    read_model(BUILT_SAMPLE);
    EXPECT_EQ(model_title(), "Sample: pump discharge line");
    EXPECT_EQ(piping_code(), CODE_B313);
    EXPECT_EQ(numtloads(), 2);
    ASSERT_EQ(nummats(), 1);
    EXPECT_EQ(pipe_materials()[1].numtemps(), 5);
    ASSERT_EQ(numsections(), 2);
    EXPECT_FLOAT_EQ(pipe_sections()[1].outside_diameter, 6.625f);
    EXPECT_FLOAT_EQ(pipe_sections()[2].outside_diameter, 4.5f);
    ASSERT_EQ(numloads(), 1);
    const PipeLoad& oper = pipe_loads()[1];
    EXPECT_EQ(oper.temperature[1], 350.0f);
    EXPECT_EQ(oper.temperature[2], 450.0f);
    EXPECT_EQ(oper.design_temperature, 450.0f);

    // The pump's nozzle and the cooler's, anchored; the cooler's grows
    // upwards by 0.08 in (normal operation) and 0.12 in (upset).
    EXPECT_EQ(model().rows[row_of(10)].dtype, DT_ANCHOR);
    const Anchor& cooler = data_at<Anchor>(60);
    EXPECT_EQ(cooler.v.displacements.given[1], 1);
    EXPECT_EQ(cooler.v.displacements.values[1][1], 0.08f);
    EXPECT_EQ(cooler.v.displacements.values[2][1], 0.12f);
    // A resting support, a guide and a vertical restraint on the rack.
    const LimitStop& rest = data_at<LimitStop>(25);
    EXPECT_EQ(rest.v.lower, 0.0f);
    EXPECT_EQ(rest.v.upper, NO_LIMIT);
    EXPECT_EQ(model().rows[row_of(35)].dtype, DT_GUIDE);
    EXPECT_EQ(data_at<Restraint>(40).v.restrained, (std::array<uint8_t, 3>{0, 1, 0}));
    // Three long-radius elbows and the reducer to 4 in.
    for (const auto& [node, radius] : {std::pair{20, 9.0f}, {30, 9.0f}, {50, 6.0f}}) {
        const Bend& bend = dynamic_cast<const Bend&>(*model().rows[row_of(node)].element);
        EXPECT_EQ(bend.geometry.radius, radius) << node;
    }
    const Reducer& reducer = dynamic_cast<const Reducer&>(*model().rows[row_of(45)].element);
    EXPECT_EQ(reducer.od2, 4.5f);
    EXPECT_EQ(model().rows[row_of(60)].section, "4");
    // The block valve on the riser: 325 lb with a 60 lb operator 18 in off
    // its centre, 16 in long (1 ft 4 in) along the riser.
    const LayoutRow& valve_row = model().rows[row_of(14)];
    const Valve& valve = dynamic_cast<const Valve&>(*valve_row.element);
    EXPECT_EQ(valve.weight, 325.0f);
    EXPECT_EQ(valve.additional_weight, 60.0f);
    EXPECT_EQ(valve.offset_dx, 18.0f);
    EXPECT_EQ(valve.thickness_multiplier, 3.0f);
    EXPECT_EQ(valve_row.dy, 16.0f);
    // Ten element rows; each of the three bends adds its arc to the
    // straight before it.
    make_model();
    EXPECT_EQ(numelems(), 13);
}

TEST_F(ExchangeProgramTest, FirstRunOpensTheSampleBesideTheProgram)
{
    int views = 0;
    model_file_hooks().set_sample_view = [&] { ++views; };

    // None beside the program: nothing happens.
    open_sample_model();
    EXPECT_EQ(numrows(), 0);
    EXPECT_EQ(views, 0);

    // A damaged one: its message, and the model stays as it was.
    const std::string sample = path(SAMPLE_MODEL_NAME);
    const std::string built = bytes(BUILT_SAMPLE);
    write(SAMPLE_MODEL_NAME, built.substr(0, 100));
    script().clear_log();
    open_sample_model();
    EXPECT_NE(script().last_message(), "");
    EXPECT_EQ(numrows(), 0);
    EXPECT_EQ(views, 0);

    write(SAMPLE_MODEL_NAME, built);
    open_sample_model();
    EXPECT_GT(numrows(), 10);
    EXPECT_EQ(model_file_path(), sample);
    EXPECT_FALSE(model_modified());
    EXPECT_EQ(views, 1);
}
