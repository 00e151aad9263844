// The library files: the header test shared by every kind, round trips of
// the material, beam-section and valve library files (every field), the
// older versions each reader accepts, the message of every kind of bad
// file, the conversion of both layouts of old material libraries (files
// written here byte by byte) and the valve filter by diameter.
#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/units.h"
#include "materials/beam_library_file.h"
#include "materials/library_file.h"
#include "materials/material_library_file.h"
#include "materials/material_records.h"
#include "materials/old_material_library.h"
#include "materials/valve_library.h"
#include "model/data/model_file_fixture.h"
#include "model/piping_codes.h"

#include <bit>
#include <cstring>
#include <filesystem>
#include <functional>

namespace {

PipeMaterial carbon_steel(const std::string& description)
{
    PipeMaterial m = sample_material("", description,
                                     {PropertyRow{70, 29.5e6f, 6.07e-6f, 20000, 35000, 0, 0, 0},
                                      property_row(400, 27.7e6f, 6.82e-6f, 20000)});
    m.density = 0.2836f;
    m.circ_joint_factor = 0.85f;
    m.strength = 35000.0f;
    return m;
}

ValveRecord gate(const std::string& size, float od, float length, float weight)
{
    ValveRecord v;
    v.description = "GATE 150 RF";
    v.nominal_size = size;
    v.rating = "150  ";
    v.connection = "FL";
    v.length = length;
    v.weight = weight;
    v.outside_diameter = od;
    v.valve_type = 1;
    v.standard = 0;
    return v;
}

struct OldBytes : Bytes {
    void i16(int v)
    {
        b.push_back(static_cast<unsigned char>(v & 0xFF));
        b.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
    }
    void f64(double v)
    {
        const uint64_t u = std::bit_cast<uint64_t>(v);
        for (int i = 0; i < 8; ++i)
            b.push_back(static_cast<unsigned char>(u >> (8 * i)));
    }
};

class LibraryFilesTest : public ModelFileTest {
protected:
    // A material library file as the writer makes it, with the header given.
    void write_material_file(const std::string& file, const char* magic, int32_t code,
                             const std::vector<PipeMaterial>& records, std::size_t name_width = 6,
                             int32_t count = -1, int32_t unit = 0)
    {
        Bytes f;
        f.name(magic, 16);
        f.i32(code);
        for (int i = 0; i < 5; ++i)
            f.i32(i == 2 ? unit : 0);
        f.i32(count >= 0 ? count : static_cast<int32_t>(records.size()));
        for (const PipeMaterial& m : records) {
            f.name(m.name, name_width);
            f.name(m.type, 3);
            f.u8(m.frp);
            f.name(m.description, 32);
            for (float v : {m.nu, m.density, m.joint_factor, m.circ_joint_factor, m.strength})
                f.f32(v);
            f.i32(m.numtemps());
            for (const PropertyRow& r : m.table)
                for (float v : r)
                    f.f32(v);
        }
        put_bytes(file, f.b);
    }

    // An old library: one material with two rows, in the layout of `version`.
    std::vector<unsigned char> old_library(int version, int32_t count = 1, const std::string& description =
                                                                               "CARBON STEEL A106 B",
                                           int32_t frp = 0)
    {
        const bool wide = version >= 382;
        OldBytes f;
        f.name("KORVANE.MDB", 14);
        f.i16(version);
        auto integer = [&](int32_t v) { wide ? f.i32(v) : f.i16(v); };
        auto real = [&](double v) { wide ? f.f64(v) : f.f32(static_cast<float>(v)); };
        integer(count);
        for (int q = 1; q <= (wide ? 25 : 21); ++q)
            integer(q == TEMPERATURE || q == STRESS ? 1 : 0);
        integer(CODE_B311);
        f.name("CS", 4);
        f.name("CS", 3);
        f.name(description, 33);
        for (double v : {0.3, 0.283, 1.0, 0.9, 30000.0})
            real(v);
        integer(frp);
        integer(2);
        for (double t : {70.0, 600.0})
            for (double v : {t, t == 70.0 ? 29.5e6 : 26.7e6, 6.07e-6, 17100.0, 0.0, 0.0})
                real(v);
        return f.b;
    }
};

TEST_F(LibraryFilesTest, HeaderVersionIsItsFirstThreeDigitsAndNeedsAllFour)
{
    EXPECT_EQ(library_header_version("KORVANEWMAT6900", "KORVANEWMAT"), 690);
    EXPECT_EQ(library_header_version("KORVANEWMAT6905", "KORVANEWMAT"), 690);
    EXPECT_EQ(library_header_version("KORVANEWVAL0499", "KORVANEWVAL"), 49);
    EXPECT_EQ(library_header_version("KORVANEWMAT69A0", "KORVANEWMAT"), -1);
    EXPECT_EQ(library_header_version("KORVANEWMAT690 ", "KORVANEWMAT"), -1);
    EXPECT_EQ(library_header_version("KORVANEBEAM6900", "KORVANEWMAT"), -1);
    EXPECT_EQ(library_header_version("KORVANEWMAT69", "KORVANEWMAT"), -1);
}

TEST_F(LibraryFilesTest, MaterialLibraryRoundTripsEveryField)
{
    const std::string file = path("lib.mat");
    OneBased<PipeMaterial> materials;
    materials.push_back(carbon_steel("A106 GRADE B"));
    PipeMaterial frp = carbon_steel("FRP PIPE");
    frp.set_type("FR");
    frp.table[1][PROP_HOOP_MODULUS] = 3.1e6f;
    frp.table[1][PROP_SHEAR_MODULUS] = 1.2e6f;
    materials.push_back(frp);
    write_material_library_file(file, CODE_ASME_CLASS2_2017, {2, 1, 1, 1, 3}, materials);
    const MaterialLibraryContents read = read_material_library_file(file);
    EXPECT_EQ(read.version, 690);
    EXPECT_EQ(read.code, CODE_ASME_CLASS2_2017);
    EXPECT_EQ(read.units, (MaterialLibraryUnits{2, 1, 1, 1, 3}));
    ASSERT_EQ(read.records.size(), 2);
    for (int i = 1; i <= 2; ++i)
        expect_same_material(read.records[i], materials[i]);

    // An empty library: the count 0 and nothing else.
    write_material_library_file(file, CODE_NONE, {}, OneBased<PipeMaterial>{});
    EXPECT_EQ(bytes_of(file).size(), 44u);
    EXPECT_EQ(read_material_library_file(file).records.size(), 0);
}

TEST_F(LibraryFilesTest, OldMaterialLibrariesNumberTheLaterCodesOneLower)
{
    const std::string file = path("old.mat");
    PipeMaterial m = carbon_steel("OLD");
    m.name = "AB";
    write_material_file(file, "KORVANEWMAT6800", 11, {m}, 6);
    EXPECT_EQ(read_material_library_file(file).code, 12);
    write_material_file(file, "KORVANEWMAT6900", 11, {m}, 6);
    EXPECT_EQ(read_material_library_file(file).code, 11);
    write_material_file(file, "KORVANEWMAT6800", 10, {m}, 6);
    EXPECT_EQ(read_material_library_file(file).code, 10);
    // Before version 680 names are four bytes.
    write_material_file(file, "KORVANEWMAT6700", 3, {m}, 4);
    const MaterialLibraryContents read = read_material_library_file(file);
    ASSERT_EQ(read.records.size(), 1);
    expect_same_material(read.records[1], m);
}

TEST_F(LibraryFilesTest, BadMaterialLibrariesSayWhatIsWrong)
{
    const std::string file = path("bad.mat");
    const auto read = [&] { read_material_library_file(file); };
    EXPECT_EQ(thrown_text(read), "Material Library: " + file + "\nDoes not exist.");
    const std::string unreadable = "Unable to read material library:\n" + file;
    const std::string error = "There was an error while reading material library:\n" + file;
    write_material_file(file, "KORVANEBEAM6900", 3, {carbon_steel("A")});
    EXPECT_EQ(thrown_text(read), unreadable);
    write_material_file(file, "KORVANEWMAT6X00", 3, {carbon_steel("A")});
    EXPECT_EQ(thrown_text(read), unreadable);
    write_material_file(file, "KORVANEWMAT6900", 77, {carbon_steel("A")});
    EXPECT_EQ(thrown_text(read), error + "\nPiping code 77 is unknown");
    write_material_file(file, "KORVANEWMAT6900", 3, {carbon_steel("A")}, 6, -1, 9);
    EXPECT_EQ(thrown_text(read), error + "\nUnit choice 9 is out of range");
    write_material_file(file, "KORVANEWMAT6900", 3, {carbon_steel("A")}, 6, 50000000);
    EXPECT_EQ(thrown_text(read), error + "\nCount of materials 50000000 is out of range");
    write_material_file(file, "KORVANEWMAT6900", 3, {carbon_steel("A")}, 6, -1);
    std::vector<unsigned char> bytes = bytes_of(file);
    bytes.resize(bytes.size() - 5);
    put_bytes(file, bytes);
    EXPECT_EQ(thrown_text(read).rfind(error, 0), 0u);
    bytes.resize(20);
    put_bytes(file, bytes);
    EXPECT_EQ(thrown_text(read), error);
}

TEST_F(LibraryFilesTest, BeamLibraryRoundTripsAndRefusesLaterVersions)
{
    const std::string file = path("lib.bli");
    OneBased<BeamSection> sections;
    BeamSection w;
    w.description = "W 14X90";
    w.values = {26.5f, 999.0f, 362.0f, 4.06f, 0, 0, 14.0f, 14.5f};
    sections.push_back(w);
    BeamSection c = w;
    c.description = "C 12X30";
    c.values = {8.81f, 162.0f, 5.12f, 0.861f, 1.1f, 2.2f, 12.0f, 3.17f};
    sections.push_back(c);
    write_beam_library_file(file, {1, 1, 1}, sections);
    BeamLibraryContents read = read_beam_library_file(file);
    EXPECT_EQ(read.version, 690);
    EXPECT_EQ(read.units, (BeamLibraryUnits{1, 1, 1}));
    ASSERT_EQ(read.records.size(), 2);
    EXPECT_EQ(read.records[1], w);
    EXPECT_EQ(read.records[2], c);

    // Version 680: four-byte names; 691 is refused without a version.
    Bytes f;
    f.name("KORVANEBEAM6800", 16);
    for (int i = 0; i < 3; ++i)
        f.i32(0);
    f.i32(1);
    f.name("AB", 4);
    f.name("W 14X90", 16);
    for (float v : w.values)
        f.f32(v);
    put_bytes(file, f.b);
    read = read_beam_library_file(file);
    ASSERT_EQ(read.records.size(), 1);
    EXPECT_EQ(read.records[1].name, "AB");
    EXPECT_EQ(read.records[1].values, w.values);
    f.b[11] = '6';
    f.b[12] = '9';
    f.b[13] = '1';
    put_bytes(file, f.b);
    EXPECT_EQ(thrown_text([&] { read_beam_library_file(file); }), "Unable to read beam library:\n" + file);
    f.b[13] = '0';
    f.b[16] = 7;   // the dimension's unit choice
    put_bytes(file, f.b);
    EXPECT_EQ(thrown_text([&] { read_beam_library_file(file); }),
              "There was an error while reading beam library:\n" + file + "\nUnit choice 7 is out of range");
    EXPECT_EQ(thrown_text([&] { read_beam_library_file(path("none.bli")); }),
              "Beam Library: " + path("none.bli") + "\nDoes not exist.");
}

TEST_F(LibraryFilesTest, ValveLibraryRoundTripsAndReadsItsOlderRecords)
{
    const std::string file = path("lib.val");
    OneBased<ValveRecord> valves;
    valves.push_back(gate("6\"", 6.625f, 10.5f, 210.0f));
    ValveRecord globe = gate("4\"", 4.5f, 11.5f, 0.0f);
    globe.description = "Globe DIN";
    globe.rating = "PN16 ";
    globe.connection = "BW";
    globe.valve_type = 2;
    globe.standard = 1;
    valves.push_back(globe);
    write_valve_library_file(file, {2, 1, 1}, valves);
    EXPECT_EQ(bytes_of(file).size(), 32u + 2 * 63u);
    ValveLibraryContents read = read_valve_library_file(file);
    EXPECT_EQ(read.version, 600);
    EXPECT_EQ(read.units, (ValveLibraryUnits{2, 1, 1}));
    ASSERT_EQ(read.records.size(), 2);
    EXPECT_EQ(read.records[1], valves[1]);
    EXPECT_EQ(read.records[2], valves[2]);

    // Version 510: 59-byte records without a type; 499 is refused with its version.
    std::vector<unsigned char> bytes = bytes_of(file);
    std::vector<unsigned char> old(bytes.begin(), bytes.begin() + 32);
    for (int r = 0; r < 2; ++r)
        old.insert(old.end(), bytes.begin() + 32 + 63 * r, bytes.begin() + 32 + 63 * r + 59);
    std::memcpy(old.data() + 11, "5100", 4);
    put_bytes(file, old);
    read = read_valve_library_file(file);
    ASSERT_EQ(read.records.size(), 2);
    EXPECT_EQ(read.records[2].valve_type, 0);
    EXPECT_EQ(read.records[2].weight, 0.0f);
    EXPECT_EQ(read.records[2].description, "Globe DIN");
    std::memcpy(old.data() + 11, "5000", 4);
    put_bytes(file, old);
    EXPECT_EQ(read_valve_library_file(file).records.size(), 2);
    std::memcpy(old.data() + 11, "4990", 4);
    put_bytes(file, old);
    EXPECT_EQ(thrown_text([&] { read_valve_library_file(file); }),
              "Unable to read valve library:\n" + file + "\nVersion = 4.99");
    std::memcpy(old.data() + 11, "0499", 4);
    put_bytes(file, old);
    EXPECT_EQ(thrown_text([&] { read_valve_library_file(file); }),
              "Unable to read valve library:\n" + file + "\nVersion = 0.49");

    // A standard outside the four, a count beyond the file, a short file.
    const std::string error = "There was an error while reading valve library:\n" + file;
    bytes[32 + 30] = 9;
    put_bytes(file, bytes);
    EXPECT_EQ(thrown_text([&] { read_valve_library_file(file); }), error + "\nValve 1: standard 9 is out of range");
    bytes[32 + 30] = 0;
    bytes[28] = 3;
    put_bytes(file, bytes);
    EXPECT_EQ(thrown_text([&] { read_valve_library_file(file); }), error + "\nCount of valves 3 is out of range");
    bytes.resize(31);
    put_bytes(file, bytes);
    EXPECT_EQ(thrown_text([&] { read_valve_library_file(file); }), error);
}

TEST_F(LibraryFilesTest, ValvesFitADiameterThatPrintsTheSameToAThousandth)
{
    OneBased<ValveRecord> valves;
    valves.push_back(gate("6\"", 6.625f, 10.5f, 0));
    valves.push_back(gate("Non Std", 6.6251f, 11.0f, 0));
    valves.push_back(gate("Non Std", 6.626f, 12.0f, 0));
    valves.push_back(gate("4\"", 4.5f, 9.0f, 0));
    EXPECT_EQ(valves_fitting_diameter(valves, 6.625), (std::vector<int>{1, 2}));
    EXPECT_EQ(valves_fitting_diameter(valves, 4.5), (std::vector<int>{4}));
    EXPECT_TRUE(valves_fitting_diameter(valves, 8.625).empty());

    // The same valve: texts compared without case, numbers exactly.
    ValveRecord like = valves[1];
    like.description = "gate 150 rf";
    EXPECT_EQ(find_valve(valves, like), 1);
    EXPECT_EQ(find_valve(valves, like, 1), 0);
    like.length = 10.51f;
    EXPECT_EQ(find_valve(valves, like), 0);
}

TEST_F(LibraryFilesTest, OldLibrariesOfBothLayoutsConvert)
{
    const std::string file = path("old.mdb");
    for (int version : {382, 410, 381, 300}) {
        put_bytes(file, old_library(version, 1, std::string(40, 'D'), 1));
        EXPECT_EQ(old_material_library_version(file), version);
        const MaterialLibraryContents read = read_old_material_library(file);
        EXPECT_EQ(read.code, CODE_B311) << version;
        EXPECT_EQ(read.units, (MaterialLibraryUnits{0, 1, 0, 0, 1})) << version;
        ASSERT_EQ(read.records.size(), 1) << version;
        const PipeMaterial& m = read.records[1];
        EXPECT_EQ(m.type, "FR") << version;
        EXPECT_EQ(m.frp, 1) << version;
        EXPECT_EQ(m.description, std::string(31, 'D')) << version;
        EXPECT_FLOAT_EQ(m.density, 0.283f) << version;
        EXPECT_FLOAT_EQ(m.circ_joint_factor, 0.9f) << version;
        EXPECT_FLOAT_EQ(m.strength, 30000.0f) << version;
        ASSERT_EQ(m.numtemps(), 2) << version;
        EXPECT_EQ(m.table[2], (PropertyRow{600.0f, 26.7e6f, 6.07e-6f, 17100.0f, 0, 0, 0, 0})) << version;
    }
    put_bytes(file, old_library(382));
    EXPECT_EQ(read_old_material_library(file).records[1].type, "CS");

    const std::string unreadable = "Material library could not be read\n" + file;
    for (int version : {411, 299}) {
        put_bytes(file, old_library(version));
        EXPECT_EQ(thrown_text([&] { read_old_material_library(file); }),
                  unreadable + c_format("\nVersion %d is not known", version));
    }
    put_bytes(file, old_library(390, 0));
    EXPECT_EQ(thrown_text([&] { read_old_material_library(file); }), "There are no materials in the library");
    std::vector<unsigned char> bytes = old_library(390);
    bytes[3] = 'X';
    put_bytes(file, bytes);
    EXPECT_EQ(thrown_text([&] { old_material_library_version(file); }), unreadable);
    bytes = old_library(390);
    bytes.resize(bytes.size() - 8);
    put_bytes(file, bytes);
    EXPECT_EQ(thrown_text([&] { read_old_material_library(file); }),
              unreadable + "\nMaterial 1: count of temperatures 2 is out of range");
    put_bytes(file, old_library(390, 40000));
    EXPECT_EQ(thrown_text([&] { read_old_material_library(file); }),
              unreadable + "\nCount of materials 40000 is out of range");
}

}  // namespace

namespace {

using LibraryMessageText = LibraryFilesTest;

}  // namespace

// A folder named as a library (x.mat made a folder) is no missing file: the
// message of every library says it is a folder.
TEST_F(LibraryMessageText, ALibraryThatIsAFolderSaysItIsAFolder)
{
    const std::pair<std::string, std::function<void(const std::string&)>> libraries[] = {
        {"Material Library", [](const std::string& p) { read_material_library_file(p); }},
        {"Beam Library", [](const std::string& p) { read_beam_library_file(p); }},
        {"Valve Library", [](const std::string& p) { read_valve_library_file(p); }},
    };
    const std::string folder = path("x.mat");
    std::filesystem::create_directories(folder);
    for (const auto& [title, read] : libraries) {
        EXPECT_EQ(thrown_text([&] { read(folder); }), title + ": " + folder + "\nIs a folder, not a file.");
        EXPECT_EQ(thrown_text([&] { read(path("none.lib")); }), title + ": " + path("none.lib") + "\nDoes not exist.");
    }
}
