// Pipe materials: interpolation over temperature, the record and its
// version gates, merge and rename, the table write-back and the reports.
#include "framework/binfile.h"
#include "framework/ui/report.h"
#include "golden.h"
#include "materials/beam_material.h"
#include "materials/material_records.h"
#include "materials/pipe_material.h"
#include "materials/pipe_material_merge.h"
#include "materials/property_sets.h"
#include "materials/ui/material_props_editor.h"
#include "materials/ui/material_report.h"
#include "materials/ui/pipe_material_library.h"
#include "materials/ui/pipe_material_ui.h"
#include "model/model_file_fixture.h"
#include "model/piping_codes.h"
#include "platform/null_surface.h"

#include <fstream>
#include <sstream>

namespace {

PropertyRow prow(float t, float e, float alpha, float s1 = 0, float s2 = 0, float s3 = 0, float hoop = 0,
                 float shear = 0)
{
    return PropertyRow{t, e, alpha, s1, s2, s3, hoop, shear};
}

PipeMaterial steel(const std::string& name, std::initializer_list<PropertyRow> rows)
{
    PipeMaterial m = sample_material(name, "Carbon steel " + name, rows);
    m.strength = 60000.0f;
    return m;
}

PipeMaterial three_rows(const std::string& name)
{
    return steel(name, {prow(70, 29.5e6f, 6.07e-6f, 20000, 30000, 40000), prow(200, 28.8e6f, 6.38e-6f, 19000),
                        prow(400, 27.7e6f, 6.82e-6f, 18000, 25000, 35000)});
}


void expect_golden(const std::string& name, const std::string& text) { expect_golden_file("materials", name, text); }

class PipeMaterialTest : public ModelFileUiTest {
protected:
    void SetUp() override
    {
        ModelFileUiTest::SetUp();
        set_report_date("1 Jan 2025");
        install_property_sets();
        install_pipe_materials_ui();
    }
    void TearDown() override
    {
        set_report_date("");
        ModelFileUiTest::TearDown();
    }
};

}  // namespace

TEST_F(PipeMaterialTest, InterpolationInsideAtTheEndsAndBeyondTheTable)
{
    const PipeMaterial m = three_rows("CS1");
    // Below and at the first row: the first row, no extrapolation.
    EXPECT_DOUBLE_EQ(material_modulus_at(m, -100.0), 29.5e6f);
    EXPECT_DOUBLE_EQ(material_modulus_at(m, 70.0), 29.5e6f);
    // A row's own temperature gives exactly its value.
    EXPECT_DOUBLE_EQ(material_modulus_at(m, 400.0), 27.7e6f);
    EXPECT_DOUBLE_EQ(material_column2_at(m, 200.0), 6.38e-6f);
    // Halfway between rows 2 and 3: their mean (hand value).
    EXPECT_DOUBLE_EQ(material_modulus_at(m, 300.0), (28.8e6 + 27.7e6) / 2.0);
    EXPECT_NEAR(material_column2_at(m, 135.0), (double(6.07e-6f) + double(6.38e-6f)) / 2.0, 1e-15);
    // Above the last row: the last row.
    EXPECT_DOUBLE_EQ(material_modulus_at(m, 1000.0), 27.7e6f);

    const PipeMaterial one = steel("ONE", {prow(100, 30e6f, 6e-6f)});
    EXPECT_DOUBLE_EQ(material_modulus_at(one, -50.0), 30e6f);
    EXPECT_DOUBLE_EQ(material_modulus_at(one, 900.0), 30e6f);

    // A 0 degF row is stored as the entered-zero marker and orders like any temperature.
    const PipeMaterial zero = steel("Z", {prow(-20, 30e6f, 6e-6f), prow(ENTERED_ZERO, 29e6f, 6e-6f),
                                         prow(100, 28e6f, 6e-6f)});
    EXPECT_NEAR(material_modulus_at(zero, -10.0), 29.5e6, 1.0);
    EXPECT_NEAR(material_modulus_at(zero, 50.0), 28.5e6, 1.0);
}

TEST_F(PipeMaterialTest, AMaterialWithoutRowsOrWithARefusedNuNeverDivides)
{
    PipeMaterial empty = steel("E", {});
    EXPECT_NE(material_unusable_reason(empty), "");
    EXPECT_THROW(material_modulus_at(empty, 70.0), AssertionExit);

    PipeMaterial m = three_rows("CS1");
    EXPECT_EQ(material_unusable_reason(m), "");
    EXPECT_NEAR(effective_shear_modulus(m, 70.0), 29.5e6 * 0.5 / 1.3, 1.0);
    m.nu = -1.0f;
    EXPECT_NE(material_unusable_reason(m), "");
    EXPECT_EQ(effective_shear_modulus(m, 70.0), 0.0);

    // Rows out of order (a file the editors did not write) would look up the
    // wrong row: the material is refused, and so is such a library record.
    PipeMaterial unsorted = steel("U", {prow(700, 25.0e6f, 7e-6f), prow(70, 29.5e6f, 6e-6f)});
    EXPECT_EQ(material_unusable_reason(unsorted), "Material U: temperatures are not in ascending order");
    unsorted.table[1][PROP_TEMPERATURE] = 70.0f;
    EXPECT_NE(material_unusable_reason(unsorted), "");   // repeated temperature
    unsorted.description = "Twice 70";
    EXPECT_THROW(check_library_material(unsorted), MessageText);

    PipeMaterial frp = steel("F", {prow(70, 1.0e6f, 1e-5f, 1, 1, 1, 2.0e6f, 0.5e6f)});
    frp.set_type("fr");
    EXPECT_EQ(frp.frp, 1);
    EXPECT_DOUBLE_EQ(effective_poisson_ratio(frp, 70.0), 0.3f * 1.0e6 / 2.0e6);
    frp.table[1][PROP_HOOP_MODULUS] = 0.0f;
    EXPECT_NE(material_unusable_reason(frp), "");
    EXPECT_EQ(effective_poisson_ratio(frp, 70.0), 0.0);
}

TEST_F(PipeMaterialTest, NamesAndTypeCodes)
{
    pipe_materials().push_back(three_rows("CS1"));
    pipe_materials().push_back(three_rows("CS2"));
    EXPECT_EQ(pipe_material_index("CS2"), 2);
    EXPECT_EQ(pipe_material_index("cs2"), 0);
    EXPECT_EQ(pipe_material_index(""), 0);
    EXPECT_EQ(material_type_index("FR"), 6);
    EXPECT_EQ(material_type_index("XX"), -1);
    EXPECT_EQ(material_type_index(""), 0);
    EXPECT_TRUE(is_material_type_code("TI"));
    EXPECT_TRUE(is_material_type_code("CI"));
    EXPECT_TRUE(is_material_type_code(""));
    EXPECT_FALSE(is_material_type_code("fr"));
}

TEST_F(PipeMaterialTest, ModelFileRoundTripKeepsEveryField)
{
    PipeMaterial frp = three_rows("FRP1");
    frp.set_type("FR");
    frp.description = std::string(31, 'D');
    pipe_materials().push_back(three_rows("CS1"));
    pipe_materials().push_back(frp);
    model().rows.clear();
    write_model_file(path("m.mod"));
    const OneBased<PipeMaterial> before = pipe_materials();
    clear_pipe_materials();
    read_model(path("m.mod"));
    ASSERT_EQ(nummats(), 2);
    for (int i = 1; i <= 2; ++i) {
        SCOPED_TRACE(i);
        expect_same_material(before[i], pipe_materials()[i]);
    }
}

// Records of versions before 680 carry 4-byte names; 680 and later 6 bytes;
// the writer always writes 6.
TEST_F(PipeMaterialTest, VersionGatesOfTheRecordName)
{
    const PipeMaterial m = three_rows("ABCD");
    for (const int32_t version : {679, 680}) {
        SCOPED_TRACE(version);
        ModelFileVersionScope scope(version);
        const std::string file = path("section.bin");
        {
            BinFile f;
            ASSERT_TRUE(f.open_write(file));
            f.write_int(1);
            // The record as a file of that version holds it.
            f.write_name(m.name, model_file_name_width());
            f.write_name(m.type, 3);
            f.write_byte(0);
            f.write_name(m.description, 32);
            for (float v : {m.nu, m.density, m.joint_factor, m.circ_joint_factor, m.strength})
                f.write_float(v);
            f.write_int(m.numtemps());
            for (const PropertyRow& r : m.table)
                f.write_floats(r.data(), PROPERTY_COLUMNS);
            ASSERT_TRUE(f.close());
        }
        BinFile f;
        ASSERT_TRUE(f.open_read(file));
        const int32_t count = f.read_int();
        ASSERT_EQ(count, 1);
        PipeMaterial back;
        back.read(f, model_file_name_width());
        EXPECT_FALSE(f.error());
        EXPECT_EQ(f.remaining(), 0);
        EXPECT_EQ(back.name, "ABCD");
        EXPECT_EQ(back.description, m.description);
        EXPECT_EQ(back.table[3], m.table[3]);
    }
    // Written records are 66 bytes plus 32 a row whatever was read.
    BinFile f;
    ASSERT_TRUE(f.open_write(path("one.bin")));
    m.write(f);
    EXPECT_EQ(f.size(), static_cast<int64_t>(MATERIAL_RECORD_FIXED_BYTES + 3 * PROPERTY_ROW_BYTES));
    ASSERT_TRUE(f.close());
}

TEST_F(PipeMaterialTest, ADamagedCountIsRefusedBeforeAnythingIsAllocated)
{
    pipe_materials().push_back(three_rows("CS1"));
    write_model_file(path("m.mod"));
    std::vector<unsigned char> bytes = bytes_of(path("m.mod"));
    // Find the record's temperature count (3) right after "Carbon steel CS1".
    const std::string marker = "Carbon steel CS1";
    auto it = std::search(bytes.begin(), bytes.end(), marker.begin(), marker.end());
    ASSERT_NE(it, bytes.end());
    const auto count_at = static_cast<std::size_t>(it - bytes.begin()) + 32 + 20;
    ASSERT_EQ(bytes[count_at], 3);
    for (int32_t bad : {-1, 2000000000, 4}) {
        SCOPED_TRACE(bad);
        std::memcpy(&bytes[count_at], &bad, 4);
        put_bytes(path("bad.mod"), bytes);
        EXPECT_ANY_THROW(read_model(path("bad.mod")));
        ASSERT_EQ(nummats(), 1);
        EXPECT_EQ(pipe_materials()[1].numtemps(), 3);
    }
}

TEST_F(PipeMaterialTest, RenameReachesRowsBendsAndJackets)
{
    pipe_materials().push_back(three_rows("CS1"));
    const int p = row(10, ET_PIPE);
    model().rows[p].material = "CS1";
    const int b = row(20, ET_BEND);
    bend_of(b).material = "CS1";
    const int j = row(30, ET_JACKETED_PIPE);
    jacket_of(j).material = "CS1";
    const int beam = row(40, ET_BEAM);
    model().rows[beam].material = "CS1";   // a beam row names a beam material
    // A place of another kind that names the material registers itself.
    std::string extra = "CS1";
    register_name_reference({PIPE_MATERIALS, "a test's own field", false,
                             [&](const NameVisitor& visit) { visit(extra); }, {}});

    // The jacket alone keeps the material in use.
    model().rows[p].material.clear();
    bend_of(b).material.clear();
    EXPECT_TRUE(material_in_use(pipe_materials()[1]));
    model().rows[p].material = "CS1";
    bend_of(b).material = "CS1";

    rename_material("CS1", "CS9");
    EXPECT_EQ(pipe_materials()[1].name, "CS9");
    EXPECT_EQ(model().rows[p].material, "CS9");
    EXPECT_EQ(bend_of(b).material, "CS9");
    EXPECT_EQ(jacket_of(j).material, "CS9");
    EXPECT_EQ(model().rows[beam].material, "CS1");
    EXPECT_EQ(extra, "CS9");
    EXPECT_TRUE(model_modified());
}

// The file's "A" clashes and becomes "1"; its own "1" then clashes with that
// and becomes "2". Rows named "A" end at "1", rows named "1" at "2".
TEST_F(PipeMaterialTest, MergeRenamesClashesFromTheOriginalNames)
{
    pipe_materials().push_back(three_rows("A"));
    BeamMaterial beam;
    beam.name = "3";
    beam_materials().push_back(beam);
    OneBased<PipeMaterial> merged;
    merged.push_back(three_rows("A"));
    merged.push_back(three_rows("1"));
    merged.push_back(three_rows("B"));
    merged.push_back(three_rows("2"));
    OneBased<LayoutRow> rows(4);
    rows[1].etype = ET_PIPE;
    rows[1].material = "A";
    rows[2].etype = ET_PIPE;
    rows[2].material = "1";
    rows[3].etype = ET_PIPE;
    rows[3].material = "B";
    rows[4].etype = ET_PIPE;
    rows[4].material = "2";
    EXPECT_NO_THROW(check_merge_materials(merged));
    merge_materials(merged, &rows);
    ASSERT_EQ(nummats(), 5);
    EXPECT_EQ(pipe_materials()[2].name, "1");
    EXPECT_EQ(pipe_materials()[3].name, "2");
    EXPECT_EQ(pipe_materials()[4].name, "B");
    // "2" clashes with the renamed "1"->"2"; "3" is a beam material.
    EXPECT_EQ(pipe_materials()[5].name, "4");
    EXPECT_EQ(rows[1].material, "1");
    EXPECT_EQ(rows[2].material, "2");
    EXPECT_EQ(rows[3].material, "B");
    EXPECT_EQ(rows[4].material, "4");

    OneBased<PipeMaterial> bad;
    bad.push_back(steel("E", {}));
    EXPECT_ANY_THROW(check_merge_materials(bad));
}

TEST_F(PipeMaterialTest, MergeOfAModelFileRenamesItsRowsAndChangesNothingWhenRefused)
{
    pipe_materials().push_back(three_rows("A"));
    from(10);
    const int p = row(20, ET_PIPE, 12.0f);
    model().rows[p].material = "A";
    write_model_file(path("m.mod"));
    merge_model(path("m.mod"));
    ASSERT_EQ(nummats(), 2);
    EXPECT_EQ(pipe_materials()[2].name, "1");
    ASSERT_EQ(numrows(), 4);
    EXPECT_EQ(model().rows[2].material, "A");
    EXPECT_EQ(model().rows[4].material, "1");

    // A merged material without temperature rows refuses the merge.
    pipe_materials()[1].table.clear();
    write_model_file(path("empty.mod"));
    pipe_materials()[1] = three_rows("A");
    EXPECT_ANY_THROW(merge_model(path("empty.mod")));
    EXPECT_EQ(nummats(), 2);
    EXPECT_EQ(numrows(), 4);
}

TEST_F(PipeMaterialTest, WriteBackOrdersRowsAndKeepsTheRowEditedLast)
{
    auto grid_row = [](float t, float e, int64_t edited = 0) { return PropertyGridRow{prow(t, e, 6e-6f), edited}; };
    // Ascending rows are taken as they are.
    PropertyTable t = property_rows_write_back({grid_row(100, 1), grid_row(200, 2)}, false);
    ASSERT_EQ(t.size(), 2);
    // 300, 100, 200 become 100, 200, 300; an empty temperature disappears.
    t = property_rows_write_back({grid_row(300, 3), grid_row(100, 1), grid_row(0, 9), grid_row(200, 2)}, false);
    ASSERT_EQ(t.size(), 3);
    EXPECT_EQ(t[1][0], 100);
    EXPECT_EQ(t[2][0], 200);
    EXPECT_EQ(t[3][0], 300);
    // Equal temperatures: the row changed last wins, wherever it stands.
    t = property_rows_write_back({grid_row(200, 5, 7), grid_row(100, 1), grid_row(200, 6, 3)}, false);
    ASSERT_EQ(t.size(), 2);
    EXPECT_EQ(t[2][PROP_MODULUS], 5);
    // Neither changed: the later row.
    t = property_rows_write_back({grid_row(200, 5), grid_row(200, 6)}, false);
    ASSERT_EQ(t.size(), 1);
    EXPECT_EQ(t[1][PROP_MODULUS], 6);
    // A row without a modulus is dropped, and named so that the editor can say so.
    std::vector<float> dropped;
    t = property_rows_write_back({grid_row(100, 1), grid_row(150, 0)}, false, &dropped);
    EXPECT_EQ(t.size(), 1);
    EXPECT_EQ(dropped, std::vector<float>{150});
    // FRP rows need the hoop and shear moduli.
    t = property_rows_write_back({PropertyGridRow{prow(100, 1, 1, 0, 0, 0, 0, 1), 0}}, true);
    EXPECT_EQ(t.size(), 0);
}

TEST_F(PipeMaterialTest, GridRowChecksAndTheFortyRowLimit)
{
    PropertyGrid grid;
    grid.in_list_window = true;
    grid.load(three_rows("A").table, false);
    ASSERT_EQ(grid.row_count, 4);
    // Under BS 806 a metal shows Design, Proof and Rupture.
    piping_code() = CODE_BS806;
    EXPECT_EQ(grid.header_text(4, 0), "Design");
    EXPECT_EQ(grid.header_text(5, 0), "Proof");
    EXPECT_EQ(grid.header_text(6, 0), "Rupture");
    EXPECT_EQ(grid.header_text(7, 0), "");
    // Columns the code does not use take no room on screen.
    NullSurface screen;
    grid.measure_window(screen);
    EXPECT_GT(grid.widths[6], 0);
    EXPECT_EQ(grid.widths[7], 0);
    EXPECT_EQ(grid.widths[8], 0);
    // Under B31.4 column 4 is the yield stress, field 4.
    piping_code() = CODE_B314;
    grid.store_cell(1, 4, "33000");
    EXPECT_EQ(grid.rows[0].values[PROP_STRESS2], 33000);
    EXPECT_TRUE(grid.modified);
    // A temperature without a modulus cannot be left with Enter.
    grid.store_cell(4, 1, "500");
    try {
        grid.leave_row(4);
        ADD_FAILURE() << "no refusal";
    } catch (const CI& e) {
        EXPECT_EQ(e.message, "Modulus is required");
        EXPECT_EQ(e.column, 2);
    }
    // Fill up to 40 rows; Enter on the 40th reports the limit, Insert beeps.
    PropertyTable full(40);
    for (int i = 1; i <= 40; ++i)
        full[i] = prow(float(i * 10), 29e6f, 6e-6f);
    grid.load(PropertyTable(39), false);
    grid.rows.assign(40, PropertyGridRow{});
    for (int i = 0; i < 40; ++i)
        grid.rows[static_cast<std::size_t>(i)].values = full[i + 1];
    table_set_row_count(grid, 40);
    EXPECT_NO_THROW(grid.leave_row(39));
    EXPECT_EQ(thrown_text([&] { grid.leave_row(40); }), "Maximum number of temperatures exceeded");
    const int beeps = script().beeps();
    grid.insert_row(5);
    EXPECT_EQ(script().beeps(), beeps + 1);
    EXPECT_EQ(grid.row_count, 40);

    // The FRP layout shows eight columns in order.
    grid.load(three_rows("F").table, true);
    std::string headings;
    for (int c = 1; c <= 8; ++c)
        headings += grid.header_text(c, 0) + "|";
    EXPECT_EQ(headings, "Temp|Axial Mod.|Hoop Mod.|Shear Mod.|Alpha|Hoop All.|Torsional All.|Axial All.|");
}

TEST_F(PipeMaterialTest, TextReportAndCsvMatchTheirGoldenFiles)
{
    // A model without materials prints nothing.
    report_begin_text(false);
    print_materials();
    EXPECT_EQ(report_end_text(), "");

    pipe_materials().push_back(three_rows("CS1"));
    PipeMaterial frp = steel("FRP", {prow(70, 1.2e6f, 1.1e-5f, 8000, 4000, 6000, 2.4e6f, 0.6e6f)});
    frp.set_type("FR");
    frp.description = "Fibre pipe";
    pipe_materials().push_back(frp);

    piping_code() = CODE_BS806;
    report_begin_text(false);
    print_materials();
    expect_golden("materials_bs806.txt", report_end_text());
    report_begin_text(true);
    print_materials();
    expect_golden("materials_bs806_report.csv", report_end_text());

    // Codes with a strength: the export writes their strength line.
    piping_code() = CODE_B313;
    expect_golden("materials_b313_export.csv", materials_csv_export_text());
    EXPECT_NE(materials_csv_export_text().find("Yield strength = 60000"), std::string::npos);
    piping_code() = CODE_CODETI;
    EXPECT_NE(materials_csv_export_text().find("Tensile strength = "), std::string::npos);

    // A description with a comma and a quote stays one cell.
    pipe_materials()[1].description = "Carbon steel, 6\" seamless";
    const std::string text = materials_csv_export_text();
    EXPECT_EQ(text.substr(0, text.find('\n')), "\"Material CS1: Carbon steel, 6\"\" seamless\"");
}
