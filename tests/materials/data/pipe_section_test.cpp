// Pipe sections: the model-file record and its version gates, look-up,
// rename and in-use rules, jacket clearance, copy and paste, merge.
#include "materials/beam_section.h"
#include "framework/units.h"
#include "materials/pipe_section.h"
#include "materials/pipe_section_checks.h"
#include "materials/property_sets.h"
#include "materials/size_tables.h"
#include "materials/soil.h"
#include "model/data/model_file_fixture.h"
#include "model/element_data.h"

#include <gtest/gtest.h>

namespace {

class PipeSectionTest : public ModelFileTest {
protected:
    void SetUp() override
    {
        ModelFileTest::SetUp();
        install_property_sets();
    }
    void TearDown() override
    {
        ModelFileTest::TearDown();
    }

    static int add(const std::string& name, float od = 4.5f, float t = 0.237f)
    {
        PipeSection s;
        s.name = name;
        s.nominal_size = NON_STANDARD_SIZE;
        s.outside_diameter = od;
        s.thickness = t;
        return pipe_sections().push_back(s);
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    void write_bytes(const std::string& file, const std::vector<unsigned char>& bytes) const
    {
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    // Reads one record of the given version from the bytes, returning it and
    // the bytes it took.
    std::pair<PipeSection, int64_t> read_record(int version, const Bytes& bytes)
    {
        const std::string file = path("record.bin");
        write_bytes(file, bytes.b);
        BinFile f;
        EXPECT_TRUE(f.open_read(file));
        ModelFileVersionScope scope(version);
        PipeSection s;
        s.read(f);
        EXPECT_FALSE(f.error());
        return {s, f.tell()};
    }
    static Bytes record_bytes(std::size_t name_width, bool soil, int32_t standard = SIZE_ANSI)
    {
        Bytes b;
        b.name("P1", name_width);
        b.i32(standard);
        b.name("3\"", 8);
        b.name("40", 4);
        for (float v : {3.5f, 0.216f, 0.05f, 12.5f, 0.005f, 2.0f, 0.03f, 0.1f})
            b.f32(v);
        if (soil)
            b.name("S1", 4);
        return b;
    }
};

}  // namespace

TEST_F(PipeSectionTest, RecordVersionGates)
{
    // 501: 4-byte name, no soil, 52 bytes.
    auto [s501, n501] = read_record(501, record_bytes(4, false));
    EXPECT_EQ(n501, 52);
    EXPECT_EQ(s501.name, "P1");
    EXPECT_EQ(s501.soil, "");
    EXPECT_FLOAT_EQ(s501.lining_thickness, 0.1f);
    // 600: 4-byte name and a soil, 56 bytes.
    auto [s600, n600] = read_record(600, record_bytes(4, true));
    EXPECT_EQ(n600, 56);
    EXPECT_EQ(s600.soil, "S1");
    EXPECT_EQ(s600.nominal_size, "3\"");
    EXPECT_EQ(s600.schedule, "40");
    // 680: 6-byte name, 58 bytes.
    auto [s680, n680] = read_record(680, record_bytes(6, true));
    EXPECT_EQ(n680, 58);
    EXPECT_EQ(s680.name, "P1");
    EXPECT_FLOAT_EQ(s680.mill_tolerance, 12.5f);
    EXPECT_FLOAT_EQ(s680.insulation_density, 0.005f);
}

TEST_F(PipeSectionTest, UnknownStandardReadsAsNonStandard)
{
    for (int32_t standard : {4, -1, 1000000}) {
        auto [s, n] = read_record(MODEL_FILE_VERSION, record_bytes(6, true, standard));
        EXPECT_EQ(n, 58);
        EXPECT_EQ(s.size_standard, SIZE_ANSI);
        EXPECT_EQ(s.nominal_size, NON_STANDARD_SIZE);
        EXPECT_EQ(s.schedule, "");
        EXPECT_FLOAT_EQ(s.outside_diameter, 3.5f);   // typed values kept
        EXPECT_FLOAT_EQ(section_bend_radius(s, false), 5.25f);
    }
}

TEST_F(PipeSectionTest, ModelFileRoundTripAndBadCounts)
{
    PipeSection s;
    s.name = "ABCDE";
    s.size_standard = SIZE_JIS;
    s.nominal_size = "1000A";
    s.schedule = "XS";
    s.outside_diameter = 40.0f;
    s.thickness = 0.5f;
    s.corrosion_allowance = 0.0625f;
    s.mill_tolerance = 12.5f;
    s.insulation_density = 0.01f;
    s.insulation_thickness = 3.0f;
    s.lining_density = 0.02f;
    s.lining_thickness = 0.25f;
    s.soil = "S1";
    pipe_sections().push_back(s);
    add("B");
    soils().push_back(Soil{"S1", SOIL_COHESIVE, 0.07f, 5.0f, 0.0f, 0.0f, -12.0f, 1});
    write_model_file(path("a.mod"));
    reset_pipe_sections();
    reset_soils();
    read_model(path("a.mod"));
    ASSERT_EQ(numsections(), 2);
    EXPECT_EQ(pipe_sections()[1], s);
    EXPECT_EQ(pipe_sections()[2].name, "B");
    ASSERT_EQ(numsoils(), 1);
    EXPECT_EQ(soils()[1], (Soil{"S1", SOIL_COHESIVE, 0.07f, 5.0f, 0.0f, 0.0f, -12.0f, 1}));

    // Absurd counts in an old file are refused before anything is allocated,
    // and the model keeps what it had.
    for (int32_t count : {-1, 2000000000, 3}) {
        write_bytes(path("bad.mod"), old_model_file(700, {}, CODE_NONE, {{SECTION_PIPE_SECTIONS, count}}));
        EXPECT_THROW(read_model(path("bad.mod")), MessageText) << count;
        EXPECT_EQ(numsections(), 2);
        EXPECT_EQ(pipe_sections()[1], s);
    }
    // A 501 file has no soil section: soils are emptied.
    write_bytes(path("old.mod"), old_model_file(501, {}));
    read_model(path("old.mod"));
    EXPECT_EQ(numsections(), 0);
    EXPECT_EQ(numsoils(), 0);
}

TEST_F(PipeSectionTest, IndexRenameAndInUse)
{
    add("A");
    pipe_sections().push_back(PipeSection{});   // a free record
    add("B");
    EXPECT_EQ(section_index(""), 0);
    EXPECT_EQ(section_index("B"), 3);
    EXPECT_EQ(section_index("b"), 0);

    from(10);
    const int pipe = row(20, ET_PIPE, 10);
    model().rows[pipe].section = "A";
    const int jb = row(30, ET_JACKETED_BEND, 10);
    model().rows[jb].section = "B";
    model().rows[jb].element->jacket_geometry()->section = "A";
    const int jp = row(40, ET_JACKETED_PIPE, 10);
    model().rows[jp].element->jacket_geometry()->section = "B";

    EXPECT_TRUE(section_in_use(pipe_sections()[1]));
    model().rows[pipe].section = "";
    EXPECT_TRUE(section_in_use(pipe_sections()[1]));   // still the jacket of the jacketed bend
    EXPECT_FALSE(section_in_use(pipe_sections()[2]));
    model().rows[pipe].section = "A";

    // A place of another kind that names sections registers itself.
    std::string extra = "A";
    register_name_reference({PIPE_SECTIONS, "a test's own field", false,
                             [&](const NameVisitor& visit) { visit(extra); }, {}});
    model_modified() = false;
    rename_section("A", "Z");
    EXPECT_EQ(extra, "Z");
    EXPECT_TRUE(model_modified());
    EXPECT_EQ(pipe_sections()[1].name, "Z");
    EXPECT_EQ(model().rows[pipe].section, "Z");
    EXPECT_EQ(model().rows[jb].element->jacket_geometry()->section, "Z");
    EXPECT_EQ(model().rows[jb].section, "B");
    EXPECT_EQ(model().rows[jp].element->jacket_geometry()->section, "B");
}

TEST_F(PipeSectionTest, JacketClearance)
{
    const int core = add("C", 4.5f, 0.237f);
    pipe_sections()[core].insulation_thickness = 0.5f;
    pipe_sections()[core].insulation_density = 0.01f;
    add("J", 8.0f, 0.25f);
    from(10);
    const int r = row(20, ET_JACKETED_PIPE, 10);
    model().rows[r].section = "C";
    model().rows[r].element->jacket_geometry()->section = "J";
    // Core edited: jacket ID less lining (8 - 0.5 = 7.5) against OD + 2 insulation.
    EXPECT_FALSE(jacket_clearance_violated("C", 6.5, 0.2, 0.5, 0.0));   // 7.5 == 7.5 passes
    EXPECT_TRUE(jacket_clearance_violated("C", 6.5, 0.2, 0.51, 0.0));
    // Jacket edited: core OD + 2 insulation = 5.5 against D - 2 (t + lining).
    EXPECT_FALSE(jacket_clearance_violated("J", 6.0, 0.1, 0.0, 0.15));  // 6 - 0.5 = 5.5 passes
    EXPECT_TRUE(jacket_clearance_violated("J", 6.0, 0.1, 0.0, 0.16));
    // Other sections and rows without both sections are not concerned.
    EXPECT_FALSE(jacket_clearance_violated("X", 0.1, 0.01, 9.0, 9.0));
    model().rows[r].element->jacket_geometry()->section = "NONE";
    EXPECT_FALSE(jacket_clearance_violated("C", 100.0, 0.2, 9.0, 0.0));
}

TEST_F(PipeSectionTest, CopyKeepsACopyAndPasteKeepsNameAndSoil)
{
    const int a = add("A", 6.625f, 0.28f);
    pipe_sections()[a].size_standard = SIZE_ANSI;
    pipe_sections()[a].nominal_size = "6\"";
    pipe_sections()[a].schedule = "40";
    pipe_sections()[a].corrosion_allowance = 0.1f;
    pipe_sections()[a].mill_tolerance = 12.5f;
    pipe_sections()[a].soil = "S1";
    const int b = add("B", 1.0f, 0.1f);
    pipe_sections()[b].soil = "S2";
    copy_section_values(a);
    const PipeSection copied = pipe_sections()[a];
    // The array grows and the source changes after the copy: the paste uses
    // the values as they were copied.
    for (int i = 0; i < 100; ++i)
        add("X" + std::to_string(i));
    pipe_sections()[a].thickness = 9.0f;
    EXPECT_TRUE(paste_section_values(b));
    const PipeSection& target = pipe_sections()[b];
    EXPECT_EQ(target.name, "B");
    EXPECT_EQ(target.soil, "S2");
    EXPECT_EQ(target.nominal_size, "6\"");
    EXPECT_EQ(target.schedule, "40");
    EXPECT_FLOAT_EQ(target.thickness, copied.thickness);
    EXPECT_FLOAT_EQ(target.mill_tolerance, 12.5f);
    EXPECT_FALSE(section_values_copied());
    EXPECT_FALSE(paste_section_values(b));
}

TEST_F(PipeSectionTest, MergeRenamesFromOriginalNames)
{
    add("A");
    add("1");
    beam_sections().push_back(BeamSection{"W", "", {}});
    OneBased<PipeSection> merged;
    for (const char* name : {"A", "1", "W", "K"}) {
        PipeSection s;
        s.name = name;
        merged.push_back(s);
    }
    OneBased<LayoutRow> rows;
    for (const char* name : {"A", "1", "W", "K"}) {
        LayoutRow r;
        r.etype = ET_PIPE;
        r.section = name;
        rows.push_back(std::move(r));
    }
    LayoutRow jacketed;
    jacketed.etype = ET_JACKETED_PIPE;
    jacketed.section = "K";
    jacketed.create_element_object();
    jacketed.element->jacket_geometry()->section = "A";
    rows.push_back(std::move(jacketed));

    check_merge_pipe_sections(merged);
    const auto renames = merge_pipe_sections(merged, &rows);
    // "A" gets neither the model's "1" nor the "1" the file brings along;
    // the file's own "1" clashes too and moves on; "W" clashes with a beam.
    EXPECT_EQ(renames.at("A"), "2");
    EXPECT_EQ(renames.at("1"), "3");
    EXPECT_EQ(renames.at("W"), "4");
    EXPECT_EQ(renames.count("K"), 0u);
    ASSERT_EQ(numsections(), 6);
    EXPECT_EQ(pipe_sections()[3].name, "2");
    EXPECT_EQ(pipe_sections()[4].name, "3");
    EXPECT_EQ(pipe_sections()[5].name, "4");
    EXPECT_EQ(pipe_sections()[6].name, "K");
    EXPECT_EQ(rows[1].section, "2");
    EXPECT_EQ(rows[2].section, "3");   // not carried on to "3" -> ... a second time
    EXPECT_EQ(rows[3].section, "4");
    EXPECT_EQ(rows[4].section, "K");
    EXPECT_EQ(rows[5].element->jacket_geometry()->section, "2");

    OneBased<PipeSection> too_many(MAXSECTIONS);
    EXPECT_THROW(check_merge_pipe_sections(too_many), MessageText);
}

TEST_F(PipeSectionTest, MergeModelFile)
{
    // The merged file's section "A" clashes: it comes in as "1" and its rows follow.
    add("A");
    from(10);
    model().rows[row(20, ET_PIPE, 10)].section = "A";
    write_model_file(path("other.mod"));
    reset_model();
    reset_pipe_sections();
    add("A", 2.0f, 0.1f);
    merge_model(path("other.mod"));
    ASSERT_EQ(numsections(), 2);
    EXPECT_EQ(pipe_sections()[2].name, "1");
    EXPECT_FLOAT_EQ(pipe_sections()[2].outside_diameter, 4.5f);
    EXPECT_EQ(model().rows[2].section, "1");
}

TEST_F(PipeSectionTest, CombinedChecksAndTheirMessages)
{
    auto check = [](float od, float t, float ca = 0, float mill = 0) {
        PipeSection s;
        s.name = "S";
        s.outside_diameter = od;
        s.thickness = t;
        s.corrosion_allowance = ca;
        s.mill_tolerance = mill;
        return s;
    };
    EXPECT_TRUE(check_section_values(check(1.0f, 0.5f)).ok());
    EXPECT_EQ(check_section_values(check(1.0f, 0.5001f)).message, "Thickness is greater than radius");
    EXPECT_EQ(check_section_values(check(4.0f, 0.2f, 0.2f)).message, "Corrosion allowance >= Thickness");
    const SectionCheck mill = check_section_values(check(4.0f, 0.2f, 0.175f, 12.5f));
    EXPECT_EQ(mill.message, "Corrosion allowance + mill tolerance is too large");
    EXPECT_EQ(mill.field, SectionField::MillTolerance);
    EXPECT_TRUE(check_section_values(check(4.0f, 0.2f, 0.1f, 12.5f)).ok());
    EXPECT_TRUE(mill_tolerance_in_range(75.0));
    EXPECT_FALSE(mill_tolerance_in_range(75.1));
    EXPECT_FALSE(mill_tolerance_in_range(-0.1));

    PipeSection s = check(4.0f, 0.2f);
    s.insulation_thickness = 1.0f;
    EXPECT_EQ(check_section_values(s).message, "Insulation thickness defined without Insulation density");
    s.insulation_thickness = 0.0f;
    s.insulation_density = 0.01f;
    EXPECT_EQ(check_section_values(s).field, SectionField::InsulationThickness);
    // A density typed or imported as 0 is kept as the entered-zero marker:
    // no insulation or lining, and no thickness wanted for it.
    s.insulation_density = ENTERED_ZERO;
    s.lining_density = ENTERED_ZERO;
    EXPECT_TRUE(check_section_values(s).ok());
    s.insulation_thickness = 1.0f;
    EXPECT_EQ(check_section_values(s).field, SectionField::InsulationDensity);
    s.insulation_thickness = 0.0f;
    s.lining_density = 0.0f;
    s.insulation_density = 0.0f;
    s.lining_thickness = 1.81f;
    EXPECT_EQ(check_section_values(s).message, "Lining thickness > radius");
    s.lining_thickness = 0.1f;
    EXPECT_EQ(check_section_values(s).message, "Lining thickness defined without Lining density");
    s.lining_density = 0.03f;
    EXPECT_TRUE(check_section_values(s).ok());

    // A table edit of the core's insulation meets the jacket clearance too.
    pipe_sections().push_back(s);
    add("J", 5.0f, 0.25f);
    from(10);
    const int r = row(20, ET_JACKETED_PIPE, 10);
    model().rows[r].section = "S";
    model().rows[r].element->jacket_geometry()->section = "J";
    s.insulation_density = 0.01f;
    s.insulation_thickness = 0.25f;   // 4 + 0.5 = 4.5 == 5 - 0.5 passes
    EXPECT_TRUE(check_section_values(s).ok());
    s.insulation_thickness = 0.26f;
    EXPECT_EQ(check_section_values(s).message, "(Jacket I.D. - lining) < (core O.D. + insulation)");
}
