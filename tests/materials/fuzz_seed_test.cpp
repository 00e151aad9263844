// The seeds of the fuzz targets (fuzz/corpus/): files the program writes
// (models with every property set and row form, material libraries, the
// settings file) and texts its formatters write, made here and compared byte
// for byte with the committed seeds (KV_UPDATE_GOLDEN=1 rewrites them). Each
// seed is also read back as its target reads it, so that fuzzing starts from
// inputs that are accepted.
#include "framework/text.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/printing_commands.h"
#include "golden.h"
#include "materials/beam_material.h"
#include "materials/beam_section.h"
#include "materials/material_records.h"
#include "materials/pipe_material.h"
#include "materials/pipe_material_merge.h"
#include "materials/pipe_section.h"
#include "materials/property_sets.h"
#include "materials/soil.h"
#include "materials/ui/pipe_material_library.h"
#include "model/load_cases.h"
#include "model/model_file_fixture.h"
#include "model/nodes.h"
#include "model/piping_codes.h"
#include "model/ui/units_dialog.h"
#include "platform/settings.h"
#include "unit_text_pairs.h"

#include <limits>

namespace {

std::string seed_path(const std::string& folder, const std::string& name)
{
    return std::string(KV_SOURCE_DIR) + "/fuzz/corpus/" + folder + "/" + name;
}

void expect_seed(const std::string& folder, const std::string& name, const std::string& bytes)
{
    const std::string path = seed_path(folder, name);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    expect_golden_file_at(path, bytes);
}

PipeMaterial material(const std::string& name, const std::string& type, const std::string& description)
{
    PipeMaterial m = sample_material(name, description,
                                     {PropertyRow{-20, 29.9e6f, 5.9e-6f, 20000, 35000, 60000, 2.0e6f, 0.9e6f},
                                      PropertyRow{70, 29.5e6f, 6.07e-6f, 20000, 35000, 60000, 2.0e6f, 0.9e6f},
                                      PropertyRow{650, 26.6e6f, 7.48e-6f, 16300, 27000, 55000, 1.8e6f, 0.8e6f}},
                                     type);
    m.joint_factor = 0.85f;
    m.strength = 60000.0f;
    return m;
}

class FuzzSeedTest : public ModelFileUiTest {
protected:
    void SetUp() override
    {
        ModelFileUiTest::SetUp();
        // The program's own record classes, not the test ones of the fixture.
        for (int etype : {ET_BEAM, ET_BEND, ET_MITER, ET_JACKETED_BEND, ET_JACKETED_PIPE})
            set_element_factory(etype, nullptr);
        set_data_factory(DT_FLANGE, nullptr);
        install_property_sets();
    }

    // A model with every property set and the row forms the program writes:
    // plain rows, a comment, a beam, kinds whose records the program keeps
    // as bytes, data items, SI units, a piping code, load cases and a QA block.
    static void every_set_model()
    {
        model().title = "Every set";
        qa_block().client = "Client";
        qa_block().prepared_by[0] = "Engineer";
        piping_code() = CODE_EN13480;
        for (int q = 1; q <= NUM_UNIT_QUANTITIES; ++q)
            unit_choice()[static_cast<std::size_t>(q)] = unit_count(q) - 1;
        load_case_list().add(LC_SUSTAINED);

        pipe_materials().push_back(material("CS1", "CS", "Carbon steel"));
        pipe_materials().push_back(material("FRP1", "FR", "Glass fibre"));
        PipeSection s;
        s.name = "S6";
        s.nominal_size = "6\"";
        s.schedule = "STD";
        s.outside_diameter = 6.625f;
        s.thickness = 0.28f;
        s.corrosion_allowance = 0.0625f;
        s.mill_tolerance = 12.5f;
        s.insulation_density = 0.0069f;
        s.insulation_thickness = 2.0f;
        s.lining_density = 0.05f;
        s.lining_thickness = 0.125f;
        s.soil = "SL";
        pipe_sections().push_back(s);
        Soil sand;
        sand.name = "SL";
        sand.density = 0.0694f;
        sand.delta = 0.5f;
        sand.ks = 0.5f;
        sand.ground_level = 120.0f;
        soils().push_back(sand);
        Soil clay = sand;
        clay.name = "CL";
        clay.type = SOIL_COHESIVE;
        clay.strength = 7.0f;
        clay.include_insulation = 1;
        soils().push_back(clay);
        beam_materials().push_back(BeamMaterial{"BM1", "Structural steel", 29e6f, 0.3f, 0.283f, 6.5e-6f});
        BeamSection w;
        w.name = "W8";
        w.description = "W8X31";
        w.values = {9.13f, 110.0f, 37.1f, 0.536f, 2.28f, 6.1f, 8.0f, 8.0f};
        beam_sections().push_back(w);

        from(10, 0, 0, 0);
        auto named = [](int r, const char* m, const char* s) {
            model().rows[r].material = m;
            model().rows[r].section = s;
            return r;
        };
        named(row(20, ET_PIPE, 120), "CS1", "S6");
        named(row(30, ET_BEND, 0, 60, 0, DT_ANCHOR), "FRP1", "S6");
        const int note = row(0, ET_COMMENT);
        static_cast<CommentElement&>(*model().rows[note].element).set_text("A comment");
        named(row(40, ET_VALVE, 0, 0, 24), "CS1", "S6");
        named(row(50, ET_BEAM, 0, -48, 0), "BM1", "W8");
        named(row(60, ET_JACKETED_PIPE, -12.5f, 0, 0), "CS1", "S6");
    }
};

}  // namespace

TEST_F(FuzzSeedTest, ModelsTheProgramWrites)
{
    every_set_model();
    write_model_file(path("every_set.mod"));
    const std::string every_set = read_text_file(path("every_set.mod"));
    expect_seed("models", "every_set.mod", every_set);
    // Older versions: 4-byte names, and a file from before the soils.
    OldRow start;
    start.node = 10;
    start.etype = ET_FROM;
    OldRow pipe = start;
    pipe.node = 20;
    pipe.etype = ET_PIPE;
    pipe.dx = 12.0f;
    pipe.material = "CS1";
    pipe.section = "S6";
    const std::vector<unsigned char> old_679 = old_model_file(679, {start, pipe}, 11);
    const std::vector<unsigned char> old_501 = old_model_file(501, {start, pipe});
    expect_seed("models", "old_679.mod", std::string(old_679.begin(), old_679.end()));
    expect_seed("models", "old_501.mod", std::string(old_501.begin(), old_501.end()));

    // The same under the sample model's names (material A106B, section 6):
    // merged into the sample, they take free numbers.
    rename_material("CS1", "A106B");
    rename_section("S6", "6");
    write_model_file(path("sample_names.mod"));
    expect_seed("models", "sample_names.mod", read_text_file(path("sample_names.mod")));

    for (const char* name : {"every_set.mod", "sample_names.mod", "old_679.mod", "old_501.mod"}) {
        SCOPED_TRACE(name);
        EXPECT_NO_THROW(read_model(seed_path("models", name)));
    }
    EXPECT_EQ(piping_code(), CODE_NONE);
    read_model(seed_path("models", "every_set.mod"));
    EXPECT_EQ(numsoils(), 2);
    EXPECT_EQ(numrows(), 7);
}

TEST_F(FuzzSeedTest, MaterialLibrariesTheProgramReads)
{
    auto library = [&](const char* header, int32_t code, const std::vector<PipeMaterial>& records) {
        BinFile f;
        EXPECT_TRUE(f.open_write(path("lib.mat")));
        f.write_name(header, 16);
        f.write_int(code);
        for (int i = 0; i < MATERIAL_LIBRARY_UNIT_COUNT; ++i)
            f.write_int(i % 2);
        f.write_int(static_cast<int32_t>(records.size()));
        for (const PipeMaterial& m : records)
            m.write(f);
        EXPECT_TRUE(f.close());
        return read_text_file(path("lib.mat"));
    };
    expect_seed("libraries", "materials.mat",
                library(MATERIAL_LIBRARY_MAGIC, CODE_B313,
                        {material("", "CS", "A106 Grade B"), material("", "FR", "Glass fibre")}));
    // Up to version 680 the codes from 11 on were numbered one lower.
    expect_seed("libraries", "old_numbering.mat",
                library("KORVANEWMAT6800", CODE_BS806 - 1, {material("", "AS", "A312 TP304")}));
    for (const char* name : {"materials.mat", "old_numbering.mat"}) {
        MaterialLibraryContents read;
        EXPECT_NO_THROW(read = read_material_library_file(seed_path("libraries", name))) << name;
        EXPECT_GE(read.records.size(), 1) << name;
    }
}

TEST_F(FuzzSeedTest, TheSettingsFileTheProgramWrites)
{
    AppSettings& s = app_settings();
    s.preferences.white_background = true;
    s.preferences.text_font.face = "Courier";
    WindowPlacement p;
    p.left = 10;
    p.top = 20;
    p.right = 810;
    p.bottom = 620;
    s.placements[MAIN_WINDOW_PLACEMENT] = p;
    s.recent_models = {"/home/engineer/models/a.mod", "relative b.mod"};
    unit_choice()[LENGTH] = 4;
    printer_settings().paper = "A4";
    IniFileSettings store("");
    save_app_settings(store);
    save_unit_settings(store);
    save_printer_settings(store);
    expect_seed("settings", "program.ini", store.serialize());

    IniFileSettings back(seed_path("settings", "program.ini"));
    ASSERT_TRUE(back.load());
    reset_app_settings();
    load_app_settings(back);
    EXPECT_EQ(app_settings().recent_models.size(), 2u);
}

TEST_F(FuzzSeedTest, TextsTheFormattersWrite)
{
    // One text a parser: the reader's number, the unit, the text a formatter
    // of its quantity writes in that unit.
    const std::vector<UnitReader>& readers = unit_readers();
    for (std::size_t r = 0; r < readers.size(); ++r) {
        const int q = readers[r].q;
        const int unit = q == 0 ? 0 : static_cast<int>(r) % unit_count(q);
        reset_unit_choice();
        if (q != 0)
            unit_choice()[static_cast<std::size_t>(q)] = unit;
        for (const UnitTextPair& p : unit_text_pairs()) {
            if (p.q != q)
                continue;
            const std::string text = p.format(q == 0 ? 1234.5 : to_internal(q, 12.5));
            expect_seed("unit_texts", c_format("%02zu_%d.txt", r, unit),
                        std::string{static_cast<char>(r), static_cast<char>(unit)} + text);
            float value = 0.0f;
            EXPECT_EQ(readers[r].parse(text, value), 0) << text;
            break;
        }
    }
    reset_unit_choice();
    // The edges: the largest float, the smallest value a table shows (1E-30:
    // below it a value shows as 0), feet and inches.
    expect_seed("unit_texts", "edge_expansion.txt",
                std::string{13, 0} + format_expansion(std::numeric_limits<float>::max()));
    expect_seed("unit_texts", "edge_stress.txt", std::string{15, 0} + format_stress(1.0e-30));
    expect_seed("unit_texts", "edge_length.txt", std::string{1, 0} + format_length_exact(-123456.789f));

    for (int number : {10, 125 + NEAR_TANGENT_OFFSET, 99999 + JACKET_OFFSET})
        expect_seed("node_texts", "node_" + std::to_string(number) + ".txt", node_text(number));
}
