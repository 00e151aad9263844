// The model file: round trips of every field, the atomic save, files of
// older versions, the section registry, merge, and the model's life cycle
// and File commands.
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/ui/frame.h"
#include "framework/ui/report.h"
#include "framework/ui/shell.h"
#include "model/analysis_options.h"
#include "model/model_file_fixture.h"
#include "model/ui/dialogs_model_file.h"
#include "model/ui/model_subsystem.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <csignal>
#include <filesystem>
#include <limits>
#include <sys/resource.h>

namespace {

// ---- A registered section: names with a merge that renames clashes ----------

std::vector<std::string> test_names;
int test_names_cleared = 0;

struct NamesContents final : SectionContents {
    std::vector<std::string> names;
    void install(Model&) override { test_names = names; }
    void merge(ModelMerge& merge) override
    {
        for (const std::string& name : names) {
            std::string kept = name;
            while (std::find(test_names.begin(), test_names.end(), kept) != test_names.end())
                kept = kept.substr(0, 4) + std::to_string(test_names.size());
            if (kept != name && merge.rows) {
                for (LayoutRow& r : *merge.rows)
                    if (r.material == name)
                        r.material = kept;
            }
            test_names.push_back(kept);
        }
    }
};

ModelSectionOwner names_owner()
{
    ModelSectionOwner owner;
    owner.read = [](BinFile& f) {
        auto c = std::make_unique<NamesContents>();
        const int32_t count = f.read_int();
        if (count < 0 || count > 100 || !f.fits(count, model_file_name_width()))
            throw MessageText("Count is out of range");
        for (int32_t i = 0; i < count; ++i)
            c->names.push_back(read_row_name(f, model_file_name_width()));
        return std::unique_ptr<SectionContents>(std::move(c));
    };
    owner.write = [](BinFile& f) {
        f.write_int(static_cast<int32_t>(test_names.size()));
        for (const std::string& name : test_names)
            write_row_name(f, name);
    };
    owner.clear = [] {
        test_names.clear();
        ++test_names_cleared;
    };
    return owner;
}

class ModelFileSectionTest : public ModelFileUiTest {
protected:
    void SetUp() override
    {
        ModelFileUiTest::SetUp();
        test_names.clear();
        test_names_cleared = 0;
        register_model_section(SECTION_PIPE_MATERIALS, names_owner());
    }
};

class ModelFileLifeCycleTest : public ModelFileUiTest {};
class ModelFileCommandsTest : public ModelFileUiTest {
protected:
    void SetUp() override
    {
        ModelFileUiTest::SetUp();
        install_model_file_commands();
    }
};

void expect_same_rows(const OneBased<LayoutRow>& a, const OneBased<LayoutRow>& b)
{
    ASSERT_EQ(a.size(), b.size());
    for (int i = 1; i <= a.size(); ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        EXPECT_EQ(a[i].node, b[i].node);
        EXPECT_EQ(a[i].absolute, b[i].absolute);
        EXPECT_EQ(a[i].etype, b[i].etype);
        EXPECT_EQ(a[i].dtype, b[i].dtype);
        EXPECT_EQ(bits(a[i].dx), bits(b[i].dx));
        EXPECT_EQ(bits(a[i].dy), bits(b[i].dy));
        EXPECT_EQ(bits(a[i].dz), bits(b[i].dz));
        EXPECT_EQ(a[i].material, b[i].material);
        EXPECT_EQ(a[i].section, b[i].section);
        EXPECT_EQ(a[i].load, b[i].load);
        EXPECT_EQ(a[i].element != nullptr, b[i].element != nullptr);
        EXPECT_EQ(a[i].data != nullptr, b[i].data != nullptr);
    }
}

// ---- Round trips ------------------------------------------------------------------------

TEST_F(ModelFileUiTest, EveryFieldRoundTripsBitExactly)
{
    // Rows with the extremes a float can hold short of NaN and infinity.
    int first = from(10, FLT_MAX, -FLT_MAX, std::numeric_limits<float>::denorm_min());
    model().rows[first].absolute = 1;
    model().rows[first].material = "ABCDE";
    model().rows[first].section = "S/1-2";
    model().rows[first].load = "L";
    row(20, ET_PIPE, -0.0f, FLT_MIN, 1.0e-30f);
    int comment = row(0, ET_COMMENT);
    static_cast<CommentElement&>(*model().rows[comment].element).set_text(std::string(COMMENT_LENGTH, 'c'));
    int valve = row(30, ET_VALVE, 0.1f, 0.2f, 0.3f, DT_ANCHOR);
    std::vector<uint8_t> element_bytes(25);
    for (std::size_t i = 0; i < element_bytes.size(); ++i)
        element_bytes[i] = static_cast<uint8_t>(255 - i);
    static_cast<NeutralElement&>(*model().rows[valve].element).raw = element_bytes;
    static_cast<NeutralDataItem&>(*model().rows[valve].data).raw = {0, 0xff, 0x7f};
    int beam = row(40, ET_BEAM, 1, 2, 3, DT_FLANGE);
    static_cast<GatedElement&>(*model().rows[beam].element).value = -FLT_MAX;
    static_cast<GatedElement&>(*model().rows[beam].element).name = "W1234";
    static_cast<GatedElement&>(*model().rows[beam].element).extra = std::numeric_limits<int32_t>::min();
    static_cast<GatedData&>(*model().rows[beam].data).weight = FLT_MIN;
    static_cast<GatedData&>(*model().rows[beam].data).flanges = 2;
    row(599999, ET_LOCATION, 0, 0, 0, DT_THREADED_JOINT);
    int force = row(40, ET_NONE, 0, 0, 0, DT_FORCE);
    static_cast<NeutralDataItem&>(*model().rows[force].data).raw = {42};
    model().title = std::string(MODEL_TITLE_WIDTH, 't');
    model().node_increment = 7;

    QABlock& qa = qa_block();
    qa.client = std::string(QA_NAME_LIMIT, 'a');
    qa.project = "Project";
    qa.file_number = std::string(QA_NUMBER_LIMIT, '9');
    qa.report_number = "R-1";
    qa.prepared_by = {"Prepared", std::string(QA_NAME_LIMIT, 'p')};
    qa.checked_by = {"", "Checked"};
    const QABlock qa_written = qa;

    AnalysisOptions& o = analysis_options();
    o.include_axial_force = o.liberal_allowable = o.use_b31j = o.z184_sour_service = true;
    o.service_level = 2;
    o.b318_design_factor_index = 4;
    o.z183_location_factor_index = 1;
    o.z184_class_location = 4;
    o.seismic_coefficient = -0.0f;
    o.reference_temperature = FLT_MAX;
    o.thermal_cycles = std::numeric_limits<int32_t>::max();
    o.numtloads = 10;
    o.solve_thermal_case = o.use_cold_modulus = o.pressure_stress_option = true;
    o.bourdon_effect = o.pressure_correction = false;
    o.peak_pressure_factor = 1.0e38f;
    o.cutoff_frequency = 0;
    o.number_of_modes = std::numeric_limits<int32_t>::max();
    o.include_missing_mass = o.friction_in_dynamics = o.include_hanger_stiffness = false;
    o.z_vertical = true;
    o.default_temperature = -460.0f;
    o.iteration_tolerance = MAX_ITERATION_TOLERANCE;
    o.max_iterations = MAX_MAX_ITERATIONS;
    const AnalysisOptions options_written = o;
    piping_code() = CODE_ASME_CLASS3_2017;
    for (int q = 1; q <= NUM_UNIT_QUANTITIES; ++q)
        unit_choice()[static_cast<std::size_t>(q)] = unit_count(q) - 1;
    const UnitChoices units_written = unit_choice();
    load_case_list().add(LC_SUSTAINED);
    load_case_list().add(LC_OPERATING_1);
    load_case_list().add(LC_COLD_SPRING_DESIGN);
    const LoadCaseList cases_written = load_case_list();

    write_model_file(path("all.mod"));
    OneBased<LayoutRow> rows_written = std::move(model().rows);

    reset_model();
    reset_analysis_options();
    reset_qa_block();
    reset_unit_choice();
    reset_piping_code();
    load_case_list().clear();
    read_model(path("all.mod"));

    const Model& m = model();
    expect_same_rows(rows_written, m.rows);
    EXPECT_EQ(m.title, std::string(MODEL_TITLE_WIDTH, 't'));
    EXPECT_EQ(m.node_increment, 7);
    EXPECT_EQ(m.rows[comment].comment_text(), std::string(COMMENT_LENGTH, 'c'));
    EXPECT_EQ(static_cast<NeutralElement&>(*m.rows[valve].element).raw, element_bytes);
    EXPECT_EQ(static_cast<NeutralDataItem&>(*m.rows[valve].data).raw, (std::vector<uint8_t>{0, 0xff, 0x7f}));
    EXPECT_EQ(static_cast<NeutralDataItem&>(*m.rows[force].data).raw, std::vector<uint8_t>{42});
    const auto& element = static_cast<GatedElement&>(*m.rows[beam].element);
    EXPECT_EQ(bits(element.value), bits(-FLT_MAX));
    EXPECT_EQ(element.name, "W1234");
    EXPECT_EQ(element.extra, std::numeric_limits<int32_t>::min());
    EXPECT_EQ(element.read_at, MODEL_FILE_VERSION);
    const auto& data = static_cast<GatedData&>(*m.rows[beam].data);
    EXPECT_EQ(bits(data.weight), bits(FLT_MIN));
    EXPECT_EQ(data.flanges, 2);

    EXPECT_EQ(qa_block(), qa_written);
    EXPECT_EQ(bits(analysis_options().seismic_coefficient), bits(-0.0f));   // == would pass for +0
    EXPECT_EQ(analysis_options(), options_written);
    EXPECT_EQ(piping_code(), CODE_ASME_CLASS3_2017);
    EXPECT_EQ(unit_choice(), units_written);
    EXPECT_EQ(load_case_list(), cases_written);
    // The model was built from the rows that were read.
    EXPECT_NE(node_index(40), 0);
    EXPECT_EQ(model_file_version(), MODEL_FILE_VERSION);

    // Written again, the file is the same byte for byte.
    write_model_file(path("again.mod"));
    EXPECT_EQ(bytes_of(path("again.mod")), bytes_of(path("all.mod")));
}

TEST_F(ModelFileUiTest, OffsetsBeyondACoordinateStillSaveAReadableFile)
{
    // Each offset is a float; their sum is not. The node is not placed and
    // the file written reads back with its rows.
    from(10, 3e38f);
    row(20, ET_PIPE, 3e38f);
    row(30, ET_PIPE, -3e38f);
    make_model();
    EXPECT_EQ(node_index(20), 0);
    const std::string file = path("huge.mod");
    write_model_file(file);
    reset_model();
    read_model(file);
    ASSERT_EQ(numrows(), 3);
    EXPECT_EQ(model().rows[2].dx, 3e38f);
    EXPECT_EQ(node_index(20), 0);
}

TEST_F(ModelFileUiTest, FailedSaveLeavesThePreviousFile)
{
    small_model();
    write_model_file(path("m.mod"));
    const std::vector<unsigned char> before = bytes_of(path("m.mod"));
    for (int i = 0; i < 200; ++i)
        row(1000 + i, ET_PIPE, 1, 0, 0);

    // A file-size limit makes the system refuse the writes, as a full disk would.
    rlimit old_limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_limit;
    limit.rlim_cur = before.size() + 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    const std::string text = thrown_text([&] { write_model_file(path("m.mod")); });
    ::setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);

    // The message keeps its text and gives the system's reason after it.
    EXPECT_EQ(text, "Unable to write model file:\n" + path("m.mod") + "\nFile too large.");
    EXPECT_EQ(bytes_of(path("m.mod")), before);
    EXPECT_EQ(folder_names(), std::vector<std::string>{"m.mod"});

    // A folder that is not there: nothing is made.
    EXPECT_EQ(thrown_text([&] { write_model_file(path("none/m.mod")); }),
              "Unable to write model file:\n" + path("none/m.mod") + "\nNo such file or directory.");
    EXPECT_EQ(folder_names(), std::vector<std::string>{"m.mod"});
}

TEST_F(ModelFileTest, ReadOnlyModelFileIsNotReplaced)
{
    // The folder is writable, so the rename of a temporary file could
    // replace the file; a file the user may not write is refused by name.
    small_model();
    write_model_file(path("m.mod"));
    const std::vector<unsigned char> before = bytes_of(path("m.mod"));
    std::filesystem::permissions(path("m.mod"), std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                                    std::filesystem::perms::others_read);
    row(1000, ET_PIPE, 1, 0, 0);
    EXPECT_EQ(thrown_text([&] { write_model_file(path("m.mod")); }),
              "Unable to write model file:\n" + path("m.mod") + "\nThe file is read-only.");
    EXPECT_EQ(bytes_of(path("m.mod")), before);
    EXPECT_EQ(folder_names(), std::vector<std::string>{"m.mod"});
    std::filesystem::permissions(path("m.mod"), std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
}

// ---- Older versions -------------------------------------------------------------------

// The record of a GatedElement as a file of `version` holds it.
std::vector<unsigned char> gated_element_bytes(int version, float value, const std::string& name, int32_t extra)
{
    Bytes b;
    b.f32(value);
    b.name(name, version < 680 ? 4 : 6);
    if (version >= 781)
        b.i32(extra);
    return b.b;
}

TEST_F(ModelFileUiTest, OlderVersionsReadWithTheirGates)
{
    struct Case {
        int version;
        std::size_t width;
    };
    for (Case c : {Case{502, 4}, Case{679, 4}, Case{680, 6}, Case{690, 6}, Case{701, 6}, Case{901, 6}}) {
        SCOPED_TRACE("version " + std::to_string(c.version));
        std::vector<OldRow> rows(5);
        rows[0] = {10, ET_FROM, DT_NONE, 1, 2, 3, "CS", "S8", "L1", {}, {}};
        rows[1] = {20, ET_PIPE, DT_SPIDER, 10, 0, 0, c.width == 4 ? "A106" : "A106B", "S8", "L1", {}, {}};
        Bytes comment;
        comment.name("Old comment", COMMENT_LENGTH);
        rows[2] = {0, ET_COMMENT, DT_NONE, 0, 0, 0, "", "", "", comment.b, {}};
        rows[3] = {30, ET_BEAM, DT_FLANGE, 0, 5, 0, "BM", "W8", "", gated_element_bytes(c.version, 2.5f, "W8X31", 5), {}};
        Bytes flange;
        flange.i32(3);
        flange.f32(75.0f);
        if (c.version >= 781)
            flange.i32(2);
        rows[3].data = flange.b;
        rows[4] = {40, ET_LOCATION, DT_THREADED_JOINT, 0, 0, 0, "", "", "", {}, {}};
        put_bytes(path("old.mod"), old_model_file(c.version, rows));

        reset_model();
        // Files before 1021 have no iteration options: they take the defaults.
        analysis_options().iteration_tolerance = 0.05f;
        analysis_options().max_iterations = 3;
        ASSERT_EQ(thrown_text([&] { read_model(path("old.mod")); }), "<nothing thrown>");
        EXPECT_EQ(analysis_options().iteration_tolerance, DEFAULT_ITERATION_TOLERANCE);
        EXPECT_EQ(analysis_options().max_iterations, DEFAULT_MAX_ITERATIONS);
        const Model& m = model();
        ASSERT_EQ(m.numrows(), 5);
        EXPECT_EQ(m.title, "Old model");
        EXPECT_EQ(m.rows[1].material, "CS");
        EXPECT_EQ(m.rows[2].material, c.width == 4 ? "A106" : "A106B");
        EXPECT_EQ(m.rows[2].dtype, DT_SPIDER);
        EXPECT_EQ(bits(m.rows[2].dx), bits(10.0f));
        EXPECT_EQ(m.rows[3].comment_text(), "Old comment");
        const auto& element = static_cast<GatedElement&>(*m.rows[4].element);
        EXPECT_EQ(element.read_at, c.version);
        EXPECT_EQ(element.value, 2.5f);
        EXPECT_EQ(element.name, c.width == 4 ? "W8X3" : "W8X31");
        EXPECT_EQ(element.extra, c.version >= 781 ? 5 : 0);
        EXPECT_EQ(static_cast<GatedData&>(*m.rows[4].data).flanges, c.version >= 781 ? 2 : 0);
        EXPECT_EQ(static_cast<GatedData&>(*m.rows[4].data).type, 3);
        EXPECT_EQ(static_cast<GatedData&>(*m.rows[4].data).weight, 75.0f);
        EXPECT_EQ(m.rows[5].dtype, DT_THREADED_JOINT);
        EXPECT_EQ(model_file_version(), MODEL_FILE_VERSION);
    }
}

TEST_F(ModelFileUiTest, OldFileRowsOfKindsWithoutAClassAreRefused)
{
    std::vector<OldRow> rows(2);
    rows[0] = {10, ET_FROM, DT_NONE, 0, 0, 0, "", "", "", {}, {}};
    rows[1] = {20, ET_VALVE, DT_NONE, 10, 0, 0, "", "", "", {1, 2, 3, 4}, {}};
    put_bytes(path("old.mod"), old_model_file(901, rows));
    small_model();
    const std::string text = thrown_text([&] { read_model(path("old.mod")); });
    EXPECT_NE(text.find("Row 2: This version of the program cannot read a Valve of a version 9.01 model file"),
              std::string::npos)
        << text;
    EXPECT_EQ(numrows(), 5);
}

TEST_F(ModelFileUiTest, PipingCodesOfOldFilesAreRenumbered)
{
    put_bytes(path("680.mod"), old_model_file(680, {}, CODE_ASME_CLASS2_2015));
    read_model(path("680.mod"));
    EXPECT_EQ(piping_code(), CODE_BS806);
    put_bytes(path("680.mod"), old_model_file(680, {}, CODE_ASME_CLASS2_1992));
    read_model(path("680.mod"));
    EXPECT_EQ(piping_code(), CODE_ASME_CLASS2_1992);
    put_bytes(path("681.mod"), old_model_file(681, {}, CODE_ASME_CLASS2_2015));
    read_model(path("681.mod"));
    EXPECT_EQ(piping_code(), CODE_ASME_CLASS2_2015);
}

TEST_F(ModelFileUiTest, SectionsOfLaterVersionsAreAbsentFromOlderFiles)
{
    int soil_reads = 0, allowable_reads = 0, allowable_clears = 0;
    struct Nothing final : SectionContents {
        void install(Model&) override {}
        void merge(ModelMerge&) override {}
    };
    auto counting = [](int& reads, int* clears) {
        ModelSectionOwner owner;
        owner.read = [&reads](BinFile& f) {
            ++reads;
            f.read_int();
            return std::unique_ptr<SectionContents>(std::make_unique<Nothing>());
        };
        owner.write = [](BinFile& f) { f.write_int(0); };
        if (clears)
            owner.clear = [clears] { ++*clears; };
        return owner;
    };
    register_model_section(SECTION_SOILS, counting(soil_reads, nullptr));
    register_model_section(SECTION_ALLOWABLES, counting(allowable_reads, &allowable_clears));

    for (int version : {501, 502, 690, 691}) {
        put_bytes(path("v.mod"), old_model_file(version, {}));
        EXPECT_EQ(thrown_text([&] { read_model(path("v.mod")); }), "<nothing thrown>") << version;
    }
    EXPECT_EQ(soil_reads, 3);
    EXPECT_EQ(allowable_reads, 1);
    EXPECT_EQ(allowable_clears, 3);   // a file without the section empties it

    // A 690 file that holds an allowables section has bytes left over.
    std::vector<unsigned char> bytes = old_model_file(690, {});
    bytes.insert(bytes.end(), {0, 0, 0, 0});
    put_bytes(path("v.mod"), bytes);
    EXPECT_NE(thrown_text([&] { read_model(path("v.mod")); }).find("unexpected data after its last section"),
              std::string::npos);
}

// ---- Registered sections ------------------------------------------------------------------

TEST_F(ModelFileSectionTest, OwnedSectionRoundTripsAndClears)
{
    test_names = {"CS1", "SS316"};
    small_model();
    write_model_file(path("m.mod"));
    test_names.clear();
    read_model(path("m.mod"));
    EXPECT_EQ(test_names, (std::vector<std::string>{"CS1", "SS316"}));

    init_model();
    EXPECT_TRUE(test_names.empty());
    EXPECT_EQ(test_names_cleared, 1);
}

TEST_F(ModelFileSectionTest, UnownedSectionWithRecordsIsRefusedNotDropped)
{
    test_names = {"CS1"};
    write_model_file(path("m.mod"));
    unregister_model_section(SECTION_PIPE_MATERIALS);
    small_model();
    const std::string text = thrown_text([&] { read_model(path("m.mod")); });
    EXPECT_EQ(text, "Unable to read model file:\n" + path("m.mod") +
                        "\nIt holds pipe materials, which this version of the program cannot read.");
    EXPECT_EQ(numrows(), 5);

    // Without records the section reads as empty; so it does in an old file.
    test_names.clear();
    register_model_section(SECTION_PIPE_MATERIALS, names_owner());
    write_model_file(path("m.mod"));
    unregister_model_section(SECTION_PIPE_MATERIALS);
    EXPECT_EQ(thrown_text([&] { read_model(path("m.mod")); }), "<nothing thrown>");
    put_bytes(path("old.mod"), old_model_file(901, {}, CODE_NONE, {{SECTION_VIEW_SETTINGS, 3}}));
    EXPECT_NE(thrown_text([&] { read_model(path("old.mod")); }).find("It holds view settings"), std::string::npos);
}

TEST_F(ModelFileSectionTest, OwnerThatTakesTheWrongBytesIsCaught)
{
    test_names = {"CS1", "CS2"};
    write_model_file(path("m.mod"));
    ModelSectionOwner short_reader = names_owner();
    short_reader.read = [](BinFile& f) {
        f.read_int();   // the count, but not the names
        return std::unique_ptr<SectionContents>(std::make_unique<NamesContents>());
    };
    register_model_section(SECTION_PIPE_MATERIALS, short_reader);
    EXPECT_EQ(thrown_text([&] { read_model(path("m.mod")); }),
              "Unable to read model file:\n" + path("m.mod") + "\nThe pipe materials section is damaged.");
    EXPECT_EQ(test_names, (std::vector<std::string>{"CS1", "CS2"}));
}

// ---- Merge -------------------------------------------------------------------------------------

TEST_F(ModelFileSectionTest, MergeAppendsRowsAndRenamesClashingNames)
{
    test_names = {"CS1", "SS2"};
    small_model();
    model().rows[2].material = "SS2";
    write_model_file(path("other.mod"));

    reset_model();
    test_names = {"SS2"};
    from(1);
    row(2, ET_PIPE, 5, 0, 0);
    model().rows[2].material = "SS2";
    model().title = "Mine";
    analysis_options().thermal_cycles = 99;
    merge_model(path("other.mod"));

    const Model& m = model();
    ASSERT_EQ(m.numrows(), 7);
    EXPECT_EQ(m.rows[1].node, 1);
    EXPECT_EQ(m.rows[3].node, 10);
    EXPECT_EQ(m.rows[7].etype, ET_BEAM);
    EXPECT_EQ(static_cast<GatedData&>(*m.rows[7].data).flanges, 1);
    EXPECT_EQ(test_names, (std::vector<std::string>{"SS2", "CS1", "SS22"}));
    EXPECT_EQ(m.rows[2].material, "SS2");    // the model's own row keeps its name
    EXPECT_EQ(m.rows[4].material, "SS22");   // the merged row follows the rename
    EXPECT_EQ(m.title, "Mine");
    EXPECT_EQ(analysis_options().thermal_cycles, 99);
    EXPECT_TRUE(model_modified());
    EXPECT_NE(node_index(40), 0);
}

TEST_F(ModelFileUiTest, MergeReadsAtTheMergedFilesVersion)
{
    std::vector<OldRow> rows(2);
    rows[0] = {100, ET_FROM, DT_NONE, 0, 0, 0, "", "", "", {}, {}};
    rows[1] = {110, ET_BEAM, DT_NONE, 1, 0, 0, "", "", "", gated_element_bytes(600, 1.5f, "HEB1", 0), {}};
    put_bytes(path("old.mod"), old_model_file(600, rows));
    small_model();
    merge_model(path("old.mod"));
    ASSERT_EQ(numrows(), 7);
    const auto& merged = static_cast<GatedElement&>(*model().rows[7].element);
    EXPECT_EQ(merged.read_at, 600);
    EXPECT_EQ(merged.name, "HEB1");
    EXPECT_EQ(model_file_version(), MODEL_FILE_VERSION);
}

TEST_F(ModelFileUiTest, MergePastTheRowLimitChangesNothing)
{
    small_model();
    write_model_file(path("five.mod"));
    reset_model();
    for (int i = 0; i < MAXROWS - 4; ++i)
        append_layout_row();
    model_modified() = false;
    EXPECT_EQ(thrown_text([&] { merge_model(path("five.mod")); }),
              "Unable to merge model file:\n" + path("five.mod") + "\n" + TOO_MANY_ROWS);
    EXPECT_EQ(numrows(), MAXROWS - 4);
    EXPECT_FALSE(model_modified());
}

// ---- Life cycle ------------------------------------------------------------------------------

TEST_F(ModelFileLifeCycleTest, InitModelEmptiesTheModelButKeepsTheUsersChoices)
{
    small_model();
    load_case_list().add(LC_SUSTAINED);
    analysis_options().thermal_cycles = 3;
    analysis_options().z_vertical = true;
    analysis_options().use_b31j = true;
    piping_code() = CODE_B313;
    unit_choice()[LENGTH] = 1;
    qa_block().client = "Client";
    model_modified() = true;

    init_model();
    EXPECT_EQ(numrows(), 0);
    EXPECT_EQ(numnodes(), 0);
    EXPECT_EQ(model().title, "");
    EXPECT_TRUE(load_case_list().empty());
    EXPECT_EQ(analysis_options().thermal_cycles, 7000);
    EXPECT_TRUE(analysis_options().z_vertical);
    EXPECT_TRUE(analysis_options().use_b31j);
    EXPECT_EQ(piping_code(), CODE_B313);
    EXPECT_EQ(unit_choice()[LENGTH], 1);
    EXPECT_EQ(qa_block().client, "Client");
    EXPECT_FALSE(model_modified());
}

TEST_F(ModelFileLifeCycleTest, FilePathAndTitles)
{
    set_model_file_path("/models/plant/line1.mod");
    EXPECT_EQ(model_file_path(), "/models/plant/line1.mod");
    EXPECT_EQ(title_file_text(), "line1.mod (/models/plant)");

    int closed = 0;
    model_file_hooks().close_windows = [&] { ++closed; };
    small_model();
    model_modified() = true;
    close_model();
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(model_file_path(), "");
    EXPECT_EQ(title_file_text(), "Untitled");
    EXPECT_EQ(numrows(), 0);
    EXPECT_FALSE(model_modified());
}

TEST_F(ModelFileLifeCycleTest, ReportHeadersNameTheModelByFileAndTitle)
{
    install_model_subsystem();
    EXPECT_EQ(report_model_name(), "Untitled");
    set_model_file_path("/models/plant/line1.mod");
    model_title() = "Boiler feed water";
    EXPECT_EQ(report_model_name(), "line1 - Boiler feed water");
    set_report_date("1 Jan 2025");
    report_begin_text(false);
    report_line("x");
    const std::string text = report_end_text();
    EXPECT_EQ(text.substr(0, text.find('\n')),
              "   line1 - Boiler feed water                                        1 Jan 2025    Page 1");
}

// ---- Commands ---------------------------------------------------------------------------------

TEST_F(ModelFileCommandsTest, SaveWritesTellsAndRemembers)
{
    small_model();
    set_model_file_path(path("m.mod"));
    model_modified() = true;
    ASSERT_TRUE(run_command(CMD_SAVE));
    EXPECT_FALSE(model_modified());
    EXPECT_EQ(script().last_message(), "Model saved.");
    ASSERT_FALSE(app_settings().recent_models.empty());
    EXPECT_EQ(app_settings().recent_models.front(), path("m.mod"));
    EXPECT_FALSE(bytes_of(path("m.mod")).empty());

    // In batch mode nothing is shown.
    script().clear_log();
    batch_mode() = true;
    EXPECT_TRUE(save_model(0));
    EXPECT_EQ(script().last_message(), "");
}

TEST_F(ModelFileCommandsTest, SaveOfAnUntitledModelAsksForAName)
{
    small_model();
    model_modified() = true;
    script().answer_file(std::nullopt);
    EXPECT_FALSE(save_command(0));
    EXPECT_TRUE(model_modified());
    EXPECT_EQ(model_file_path(), "");

    script().answer_file(path("none/x.mod"));
    EXPECT_NE(thrown_text([] { save_command(0); }).find("Unable to write model file"), std::string::npos);
    EXPECT_EQ(model_file_path(), "");   // the name is taken only once the file is written

    script().answer_file(path("named.mod"));
    EXPECT_TRUE(save_command(0));
    EXPECT_EQ(model_file_path(), path("named.mod"));
    EXPECT_EQ(title_file_text(), "named.mod (" + dir.string() + ")");
    EXPECT_FALSE(model_modified());
}

TEST_F(ModelFileCommandsTest, SaveAsGivesTheModelItsExtensionSoThatOpenReadsIt)
{
    small_model();
    // A name with another extension or none becomes a .mod file; .MOD stays.
    const std::pair<const char*, const char*> cases[] = {
        {"pump.txt", "pump.txt.mod"}, {"pump", "pump.mod"}, {"line 1.2", "line 1.2.mod"}, {"LINE.MOD", "LINE.MOD"}};
    for (const auto& [typed, saved] : cases) {
        script().answer_file(path(typed));
        ASSERT_TRUE(save_as_command(0)) << typed;
        EXPECT_EQ(model_file_path(), path(saved));
        EXPECT_FALSE(bytes_of(path(saved)).empty()) << saved;
        // What was saved opens again.
        model_modified() = false;
        open_by_extension(model_file_path());
        EXPECT_EQ(numrows(), 5) << saved;
    }
    EXPECT_FALSE(std::filesystem::exists(path("pump.txt")));

    // The added extension names a file that is there: replaced only on Yes.
    const std::vector<unsigned char> before = bytes_of(path("pump.txt.mod"));
    model().title = "Changed";
    script().answer(IDNO);
    script().answer_file(path("pump.txt"));
    EXPECT_FALSE(save_as_command(0));
    EXPECT_EQ(script().last_message(), path("pump.txt.mod") + " already exists.\nDo you want to replace it?");
    EXPECT_EQ(bytes_of(path("pump.txt.mod")), before);
    script().answer(IDYES);
    script().answer_file(path("pump.txt"));
    EXPECT_TRUE(save_as_command(0));
    EXPECT_NE(bytes_of(path("pump.txt.mod")), before);
}

TEST_F(ModelFileCommandsTest, FlangeWithoutTypeAsksBeforeSaving)
{
    small_model();   // row 5 holds a flange
    int checked = 0;
    model_file_hooks().flange_type = [](int row) { return static_cast<GatedData&>(*model().rows[row].data).type - 2; };
    model_file_hooks().check_branch_sifs = [&](WindowId) { ++checked; };
    set_model_file_path(path("m.mod"));
    model_modified() = true;

    script().answer(IDNO);
    EXPECT_FALSE(save_command(0));
    EXPECT_EQ(script().last_message(), "Flange at row 5 does not have type defined. \nDo you still want to save?");
    EXPECT_FALSE(std::filesystem::exists(path("m.mod")));
    EXPECT_TRUE(model_modified());

    script().answer(IDYES);
    EXPECT_TRUE(save_command(0));
    EXPECT_TRUE(std::filesystem::exists(path("m.mod")));
    EXPECT_EQ(checked, 2);
}

TEST_F(ModelFileCommandsTest, OpenAsksAboutChangesAndReadsOnlyAGoodFile)
{
    small_model();
    write_model_file(path("m.mod"));
    put_bytes(path("bad.mod"), {'K', 'O'});
    reset_model();
    from(1);
    model_modified() = true;

    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDCANCEL); });
    open_by_extension(path("m.mod"));
    EXPECT_EQ(numrows(), 1);

    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDNO); });
    EXPECT_NE(thrown_text([&] { open_by_extension(path("bad.mod")); }).find("It is not a model file."),
              std::string::npos);
    EXPECT_EQ(numrows(), 1);
    EXPECT_EQ(model_file_path(), "");

    int presented = 0;
    model_file_hooks().present_layout_window = [&] { ++presented; };
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDNO); });
    script().answer_file(path("m.mod"));
    ASSERT_TRUE(run_command(CMD_OPEN));
    EXPECT_EQ(script().runs("SAVE_CHANGES_DIALOG"), 3);   // once for the command, not again for the file
    EXPECT_EQ(numrows(), 5);
    EXPECT_EQ(model_file_path(), path("m.mod"));
    EXPECT_FALSE(model_modified());
    EXPECT_EQ(presented, 1);
    EXPECT_EQ(app_settings().recent_models.front(), path("m.mod"));
}

TEST_F(ModelFileCommandsTest, NewOffersOnlyTheKindsThatExist)
{
    small_model();
    set_model_file_path(path("m.mod"));
    int lugs = 0;
    model_file_hooks().new_document[NEW_KIND_LUG] = [&](WindowId) { ++lugs; };

    bool spectrum_enabled = true, lug_enabled = false;
    script().once("NEW_DIALOG", [&](HeadlessDialog& d) {
        spectrum_enabled = d.is_enabled(NEW_SPECTRUM_LIBRARY);
        lug_enabled = d.is_enabled(NEW_LUG_EVALUATION);
        d.press(NEW_LUG_EVALUATION);
        d.press(IDOK);
    });
    ASSERT_TRUE(run_command(CMD_NEW));
    EXPECT_FALSE(spectrum_enabled);
    EXPECT_TRUE(lug_enabled);
    EXPECT_EQ(lugs, 1);
    EXPECT_EQ(numrows(), 5);   // the lug mode closes the model itself

    script().once("NEW_DIALOG", [](HeadlessDialog& d) { d.press(IDOK); });
    ASSERT_TRUE(run_command(CMD_NEW));
    EXPECT_EQ(numrows(), 0);
    EXPECT_EQ(model_file_path(), "");
}

TEST_F(ModelFileCommandsTest, MergeCommandAndResults)
{
    small_model();
    write_model_file(path("m.mod"));
    script().answer_file(path("m.mod"));
    ASSERT_TRUE(run_command(CMD_MERGE));
    EXPECT_EQ(numrows(), 10);
    EXPECT_TRUE(model_modified());

    // Results need the results subsystem.
    EXPECT_EQ(thrown_text([] { run_command(CMD_RESULTS); }),
              "Results are not available in this version of the program.");
    int opened = 0;
    model_file_hooks().open_results = [&](WindowId) { ++opened; };
    set_model_file_path(path("m.mod"));
    model_modified() = false;
    reset_model();
    ASSERT_TRUE(run_command(CMD_RESULTS));
    EXPECT_EQ(numrows(), 5);
    EXPECT_EQ(opened, 1);

    put_bytes(path("m.mod"), {1, 2, 3});
    ASSERT_TRUE(run_command(CMD_RESULTS));
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(numrows(), 5);
    EXPECT_NE(script().last_message().find("It is not a model file."), std::string::npos);
}

TEST_F(ModelFileCommandsTest, ResultsReadTheModelAgainWithItsRowsAsShownWhereTheRowsAreTheSame)
{
    small_model();
    set_model_file_path(path("m.mod"));
    write_model_file(path("m.mod"));
    model_modified() = false;
    int opened = 0;
    model_file_hooks().open_results = [&](WindowId) { ++opened; };
    // The view hides the bend row and shows row 4 transparent; row 5 is current.
    model().rows[3].shown = 0;
    model().rows[4].transparent = 1;
    model().current_row = 5;
    ASSERT_TRUE(run_command(CMD_RESULTS));
    ASSERT_EQ(opened, 1);
    EXPECT_EQ(model().rows[3].shown, 0);
    EXPECT_EQ(model().rows[4].transparent, 1);
    EXPECT_EQ(model().current_row, 5);
    for (int row : {1, 2, 4, 5})
        EXPECT_EQ(model().rows[row].shown, 1) << row;

    // The file now holds other rows (node 40 is 45 there): they are read as
    // a model read afresh, every row shown and the first current.
    model().rows[4].node = 45;
    write_model_file(path("m.mod"));
    model().rows[4].node = 40;
    model_modified() = false;
    ASSERT_TRUE(run_command(CMD_RESULTS));
    ASSERT_EQ(opened, 2);
    ASSERT_EQ(model().rows[4].node, 45);
    for (int row = 1; row <= numrows(); ++row) {
        EXPECT_EQ(model().rows[row].shown, 1) << row;
        EXPECT_EQ(model().rows[row].transparent, 0) << row;
    }
    EXPECT_EQ(model().current_row, 1);
}

}  // namespace

TEST_F(ModelFileUiTest, ReadForTheOwnerShowsTheMessageOfABadFile)
{
    from(7, 1, 1, 1);
    row(8, ET_PIPE, 2, 0, 0);
    put_bytes(path("bad.mod"), {'K', 'O', 'R'});
    set_model_file_path(path("bad.mod"));
    EXPECT_FALSE(read_model(WindowId{0}));
    EXPECT_EQ(script().last_message(), "Unable to read model file:\n" + path("bad.mod") + "\nIt is not a model file.");
    EXPECT_EQ(numrows(), 2);
}
