// The sample model that scripts/run.sh opens (examples/sample.mod): made here
// from its rows and property sets, written, and compared byte for byte with
// the committed file (KV_UPDATE_GOLDEN=1 rewrites it); then the committed
// file is read back as the program reads it.
#include "golden.h"
#include "materials/material_records.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/size_tables.h"
#include "materials/ui/materials_subsystem.h"
#include "model/model_file_fixture.h"

namespace {

const std::string SAMPLE_PATH = std::string(KV_SOURCE_DIR) + "/examples/sample.mod";

PipeMaterial carbon_steel()
{
    return sample_material("A106B", "Carbon steel A106 Grade B",
                           {property_row(70, 29.5e6f, 6.07e-6f, 20000), property_row(200, 28.8e6f, 6.38e-6f, 20000),
                            property_row(300, 28.3e6f, 6.60e-6f, 20000), property_row(400, 27.7e6f, 6.82e-6f, 20000),
                            property_row(500, 27.3e6f, 7.02e-6f, 18900)});
}

PipeSection ansi_std(const std::string& name, const std::string& size, float od, float wall)
{
    PipeSection s;
    s.name = name;
    s.nominal_size = size;
    s.schedule = "STD";
    s.outside_diameter = od;
    s.thickness = wall;
    s.corrosion_allowance = 0.0625f;
    s.mill_tolerance = 12.5f;
    return s;
}

class SampleModelTest : public ModelFileUiTest {
protected:
    void SetUp() override
    {
        ModelFileUiTest::SetUp();
        install_materials_subsystem();
    }
    void TearDown() override
    {
        ModelFileUiTest::TearDown();
    }

    void make_sample()
    {
        model().title = "Sample: pump discharge line";
        piping_code() = CODE_B313;
        pipe_materials().push_back(carbon_steel());
        pipe_sections().push_back(ansi_std("6", "6\"", 6.625f, 0.280f));
        pipe_sections().push_back(ansi_std("4", "4\"", 4.5f, 0.237f));

        auto named = [](int r, const char* section) {
            model().rows[r].material = "A106B";
            model().rows[r].section = section;
            return r;
        };
        named(from(10), "6");
        named(row(20, ET_PIPE, 0, 72), "6");
        named(row(30, ET_PIPE, 120), "6");
        named(row(40, ET_PIPE, 0, 0, 96), "6");
        int note = row(0, ET_COMMENT);
        static_cast<CommentElement&>(*model().rows[note].element).set_text("Reduced run to the cooler");
        named(row(50, ET_PIPE, 60), "4");
        named(row(60, ET_PIPE, 0, -48), "4");
        make_model();
    }
};

}  // namespace

TEST_F(SampleModelTest, CommittedSampleIsTheOneTheseRowsMake)
{
    make_sample();
    const std::string written = path("sample.mod");
    write_model_file(written);
    expect_golden_file_at(SAMPLE_PATH, read_text_file(written));
}

TEST_F(SampleModelTest, SampleSectionsNameTheirTableSizes)
{
    // The section dialog finds the sample's sizes and schedules in the ANSI
    // table, so OK in it changes nothing.
    make_sample();
    for (const PipeSection& s : pipe_sections()) {
        const PipeSizeTable& table = pipe_size_table(SIZE_ANSI);
        const int row = table.find_row(s.nominal_size);
        ASSERT_GT(row, 0) << s.nominal_size;
        EXPECT_GE(table.find_schedule(row, s.schedule), 0) << s.nominal_size;
        EXPECT_FLOAT_EQ(table.rows[static_cast<std::size_t>(row)].outside_diameter, s.outside_diameter);
    }
}

TEST_F(SampleModelTest, CommittedSampleReadsBack)
{
    read_model(SAMPLE_PATH);
    EXPECT_EQ(model().title, "Sample: pump discharge line");
    EXPECT_EQ(piping_code(), CODE_B313);
    ASSERT_EQ(numrows(), 7);
    ASSERT_EQ(nummats(), 1);
    EXPECT_EQ(pipe_materials()[1].numtemps(), 5);
    ASSERT_EQ(numsections(), 2);
    EXPECT_EQ(model().rows[7].section, "4");
    make_model();
    build_element_records();
    EXPECT_EQ(numelems(), 5);
    EXPECT_NODE_AT(60, 180, 24, 96);
}

TEST_F(SampleModelTest, FirstRunOpensTheSampleBesideTheProgram)
{
    set_program_folder(dir.string());
    int views = 0;
    model_file_hooks().set_sample_view = [&] { ++views; };

    // None beside the program: nothing happens.
    open_sample_model();
    EXPECT_EQ(numrows(), 0);
    EXPECT_EQ(views, 0);

    // A damaged one: its message, and the model stays as it was.
    const std::string sample = path(SAMPLE_MODEL_NAME);
    std::vector<unsigned char> bytes = bytes_of(SAMPLE_PATH);
    put_bytes(sample, {bytes.begin(), bytes.begin() + 100});
    script().clear_log();
    open_sample_model();
    EXPECT_NE(script().last_message(), "");
    EXPECT_EQ(numrows(), 0);
    EXPECT_EQ(views, 0);

    put_bytes(sample, bytes);
    open_sample_model();
    EXPECT_EQ(numrows(), 7);
    EXPECT_EQ(model_file_path(), sample);
    EXPECT_FALSE(model_modified());
    EXPECT_EQ(views, 1);
    set_program_folder("");
}
