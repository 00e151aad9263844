// Material library batch files: options and keywords, SI values converted to
// the internal units (checked against hand conversions), every line error
// with its line, quoted descriptions, and export followed by import giving
// the library back with the user's units untouched.
#include "framework/data/thrown_text.h"
#include "framework/errors.h"
#include "framework/units.h"
#include "materials/material_batch_file.h"
#include "materials/material_records.h"
#include "model/piping_codes.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr MaterialLibraryUnits ENGLISH = MATERIAL_BATCH_ENGLISH_UNITS;

std::string error_of(const std::string& text)
{
    return thrown_text([&] { read_material_batch(text, CODE_NONE, ENGLISH); });
}

TEST(MaterialBatchTest, OptionsAndSiValuesReadIntoInternalUnits)
{
    reset_unit_choice();
    const MaterialBatch b = read_material_batch("options\n"
                                                "b313,si\n"
                                                "material\n"
                                                "a106 grade b,7850,0.3,,0.85,cs,241.3\n"
                                                "A106 GRADE B,21.11,203400,11.7E-6,137.9\n"
                                                "A106 GRADE B,100,200000,,,,,,\n",
                                                CODE_NONE, ENGLISH);
    EXPECT_EQ(b.code, CODE_B313);
    EXPECT_EQ(b.units, MATERIAL_BATCH_SI_UNITS);
    // The program's own units are as they were.
    EXPECT_EQ(current_unit(TEMPERATURE), 0);
    ASSERT_EQ(b.materials.size(), 1);
    const PipeMaterial& m = b.materials[1];
    EXPECT_EQ(m.description, "A106 GRADE B");   // read upper-cased
    EXPECT_EQ(m.type, "CS");
    EXPECT_FLOAT_EQ(m.joint_factor, 1.0f);
    EXPECT_FLOAT_EQ(m.circ_joint_factor, 0.85f);
    // 1 lb/in3 = 27679.9047 kg/m3; 1 psi = 6.894757e-3 MPa; F = C x 1.8 + 32.
    EXPECT_NEAR(m.density, 7850.0 / 27679.9047, 1e-6);
    EXPECT_NEAR(m.strength, 241.3 / 6.894757e-3, 0.05);
    ASSERT_EQ(m.numtemps(), 2);
    EXPECT_NEAR(m.table[1][PROP_TEMPERATURE], 21.11 * 1.8 + 32.0, 1e-4);
    EXPECT_NEAR(m.table[1][PROP_MODULUS], 203400 / 6.894757e-3, 5.0);
    EXPECT_NEAR(m.table[1][PROP_ALPHA], 11.7e-6 / 1.8, 1e-12);
    EXPECT_NEAR(m.table[1][PROP_STRESS1], 137.9 / 6.894757e-3, 0.05);
    EXPECT_NEAR(m.table[2][PROP_TEMPERATURE], 212.0, 1e-4);
    for (int c : {PROP_ALPHA, PROP_STRESS1, PROP_STRESS2, PROP_STRESS3, PROP_HOOP_MODULUS, PROP_SHEAR_MODULUS})
        EXPECT_EQ(m.table[2][static_cast<std::size_t>(c)], 0.0f) << c;

    // Without keywords every line is an options line; "COD" ends the file;
    // a line starting with "*" is a comment and keeps nothing.
    EXPECT_EQ(read_material_batch("B311\nA,1,2\n", CODE_NONE, ENGLISH).materials.size(), 0);
    const MaterialBatch ended =
        read_material_batch("*Comment, MATERIAL\nMATERIAL\nSTEEL\nCOD\nOTHER\n", CODE_B311, ENGLISH);
    EXPECT_EQ(ended.code, CODE_B311);
    EXPECT_EQ(ended.units, ENGLISH);
    ASSERT_EQ(ended.materials.size(), 1);
    EXPECT_FLOAT_EQ(ended.materials[1].nu, 0.3f);
    // A line whose description differs starts a new material.
    EXPECT_EQ(read_material_batch("MATERIAL\nA\nA,70,29.5E6\nB,0.28\n", CODE_NONE, ENGLISH).materials.size(), 2);
    // A quoted description holds a comma and is no keyword.
    const MaterialBatch quoted =
        read_material_batch("MATERIAL\n\"PIPE, SEAMLESS\",0.283\n\"PIPE, SEAMLESS\",70,29.5E6\n\"MATERIAL X\"\n",
                            CODE_NONE, ENGLISH);
    ASSERT_EQ(quoted.materials.size(), 2);
    EXPECT_EQ(quoted.materials[1].description, "PIPE, SEAMLESS");
    EXPECT_EQ(quoted.materials[1].numtemps(), 1);
    EXPECT_EQ(quoted.materials[2].description, "MATERIAL X");
}

TEST(MaterialBatchTest, EveryBadLineIsNamedWithWhatIsWrong)
{
    const std::string head = "MATERIAL\nSTEEL\n";
    const std::pair<std::string, std::string> cases[] = {
        {"OPTIONS\nB313 NAVY\n", "Line = 2 :  B313 NAVY\nNAVY code is presently not available"},
        {"MATERIAL\n,1\n", "Line = 2 :  ,1\nMaterial desc is required"},
        {"MATERIAL\n" + std::string(32, 'X') + "\n",
         "Line = 2 :  " + std::string(32, 'X') + "\nMaterial name should be <= 31 characters"},
        {"MATERIAL\nA,-1\n", "Line = 2 :  A,-1\nInvalid density :  -1"},
        {"MATERIAL\nA,,0.5\n", "Line = 2 :  A,,0.5\nInvalid Poisson's ratio :  0.5"},
        {"MATERIAL\nA,,,0\n", "Line = 2 :  A,,,0\nInvalid joint factor :  0"},
        {"MATERIAL\nA,,,,1.1\n", "Line = 2 :  A,,,,1.1\nInvalid circ joint factor :  1.1"},
        {"MATERIAL\nA,,,,,,X\n", "Line = 2 :  A,,,,,,X\nInvalid tensile strength :  X"},
        {head + "STEEL,,29.5E6\n", "Line = 3 :  STEEL,,29.5E6\nTemperature is required"},
        {head + "STEEL,7O\n", "Line = 3 :  STEEL,7O\nInvalid temperature :  7O"},
        {head + "STEEL,70\n", "Line = 3 :  STEEL,70\nElastic modulus is required"},
        {head + "STEEL,70,-2\n", "Line = 3 :  STEEL,70,-2\nInvalid elastic modulus :  -2"},
        {head + "STEEL,70,1,A\n", "Line = 3 :  STEEL,70,1,A\nInvalid alpha :  A"},
        {head + "STEEL,70,1,,-5\n", "Line = 3 :  STEEL,70,1,,-5\nInvalid allowable stress :  -5"},
        {head + "STEEL,70,1,,,Y\n", "Line = 3 :  STEEL,70,1,,,Y\nInvalid yield stress :  Y"},
        {head + "STEEL,70,1,,,,R\n", "Line = 3 :  STEEL,70,1,,,,R\nInvalid rupture stress :  R"},
        {head + "STEEL,70,1,,,,,H\n", "Line = 3 :  STEEL,70,1,,,,,H\nInvalid hoop modulus :  H"},
        {head + "STEEL,70,1,,,,,,S\n", "Line = 3 :  STEEL,70,1,,,,,,S\nInvalid shear modulus :  S"},
        {head + "STEEL,70,1\nSTEEL,70,2\n", "Line = 4 :  STEEL,70,2\nTemperatures are not in ascending order"},
    };
    for (const auto& [text, message] : cases)
        EXPECT_EQ(error_of(text), message);
    // A line in lower case is named as it was read.
    EXPECT_EQ(error_of("material\na,-1\n"), "Line = 2 :  a,-1\nInvalid density :  -1");

    // A 41st temperature point.
    std::string text = head;
    for (int t = 1; t <= 41; ++t)
        text += "STEEL," + std::to_string(10 * t) + ",29E6\n";
    EXPECT_EQ(error_of(text), "Line = 43 :  STEEL,410,29E6\nMaximum 40 temperature dependent properties are allowed");
    EXPECT_EQ(error_of("B313\n" + std::string(256, 'A') + "\n").rfind("Line = 2 :", 0), 0u);
}

PipeMaterial steel(const std::string& description)
{
    PipeMaterial m = sample_material("", description,
                                     {PropertyRow{70, 29.5e6f, 6.07e-6f, 20000, 35000, 60000, 0, 0},
                                      property_row(500, 27.3e6f, 7.02e-6f, 18900)});
    m.density = 0.2836f;
    m.circ_joint_factor = 0.85f;
    m.strength = 35000.0f;
    return m;
}

TEST(MaterialBatchTest, ExportedLibrariesComeBackWhateverTheUnitsShown)
{
    OneBased<PipeMaterial> materials;
    materials.push_back(steel("A106 GRADE B"));
    materials.push_back(steel("PIPE, WELDED \"X\""));
    materials.push_back(steel("MATERIAL 2"));
    for (const MaterialLibraryUnits shown : {ENGLISH, MaterialLibraryUnits{2, 1, 3, 1, 3}}) {
        reset_unit_choice();
        unit_choice()[LENGTH] = 2;
        const std::string text = write_material_batch(CODE_B313, shown, materials);
        // The user's units are as they were; the file says which units it holds.
        EXPECT_EQ(current_unit(LENGTH), 2);
        EXPECT_EQ(current_unit(TEMPERATURE), 0);
        const bool si = shown[1] == 1;
        EXPECT_EQ(text.substr(0, 22), si ? "OPTIONS\nB313,SI\nMATERI" : "OPTIONS\nB313,ENGLISH\nM");
        // Read into a library shown in other units: the marked units win.
        const MaterialBatch b = read_material_batch(text, CODE_NONE, si ? ENGLISH : MATERIAL_BATCH_SI_UNITS);
        EXPECT_EQ(b.code, CODE_B313);
        EXPECT_EQ(b.units, si ? MATERIAL_BATCH_SI_UNITS : ENGLISH);
        ASSERT_EQ(b.materials.size(), 3);
        EXPECT_EQ(b.materials[2].description, "PIPE, WELDED \"X\"");
        EXPECT_EQ(b.materials[3].description, "MATERIAL 2");
        for (int i = 1; i <= 3; ++i) {
            const PipeMaterial& a = materials[i];
            const PipeMaterial& r = b.materials[i];
            EXPECT_EQ(r.type, a.type);
            EXPECT_NEAR(r.density, a.density, 1e-4 * a.density);
            EXPECT_NEAR(r.strength, a.strength, 1e-4 * a.strength);
            EXPECT_FLOAT_EQ(r.nu, a.nu);
            EXPECT_FLOAT_EQ(r.circ_joint_factor, a.circ_joint_factor);
            ASSERT_EQ(r.numtemps(), a.numtemps());
            for (int row = 1; row <= a.numtemps(); ++row)
                for (std::size_t c = 0; c < PROPERTY_COLUMNS; ++c)
                    EXPECT_NEAR(r.table[row][c], a.table[row][c], 1e-4 * std::fabs(a.table[row][c]) + 1e-3)
                        << i << " " << row << " " << c;
        }
    }

    // Materials whose lines could not be told apart are refused.
    materials.push_back(steel("material 2"));
    try {
        write_material_batch(CODE_B313, ENGLISH, materials);
        ADD_FAILURE() << "exported";
    } catch (const MessageText& m) {
        EXPECT_EQ(m.text, "Materials 3 and 4 have the same description \"material 2\";\n"
                          "a batch file could not tell them apart");
    }
}

}  // namespace
