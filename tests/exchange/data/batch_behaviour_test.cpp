// What the batch import does beyond each line's checks: a refused file
// leaves nothing behind, lines that a record continues stop at the end of
// the file and at a head, the operating condition of the rows and the loads
// it makes, the thermal sets and design values, units, titles, the option
// heads' defaults, the model file beside the batch file, and the values the
// batch export writes.
#include "exchange/batch_reader.h"
#include "exchange/data/batch_fixture.h"
#include "exchange/row_items.h"
#include "loads/pipe_load.h"
#include "loads/seismic.h"
#include "loads/wind.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "model/model_file.h"
#include "supports/anchor.h"
#include "supports/hanger.h"

#include <filesystem>
#include <unistd.h>
#include <numbers>

using namespace batch_test;

namespace {

// The values the items of one row give.
RowItemValues items(const std::string& list, int angle_unit = 0)
{
    std::istringstream in("");
    BatchReader reader(in);
    RowItemValues values;
    OperatingCondition condition;
    unit_choice()[ANGLE] = angle_unit;
    RowItemContext context{reader, values, condition, HANGER_DEFAULT_CATALOGUE};
    read_row_items(context, list);
    return values;
}

template <typename T>
bool same_records(const OneBased<T>& a, const OneBased<T>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

bool same_equipment(const EquipmentData& a, const EquipmentData& b)
{
    return same_records(a.pumps, b.pumps) && same_records(a.compressors, b.compressors) &&
           same_records(a.turbines, b.turbines) && same_records(a.allowables, b.allowables);
}

}  // namespace

TEST_F(BatchTest, RefusedFileLeavesAnEmptyModelAndTheSettingsAsTheyWere)
{
    unit_choice()[LENGTH] = 3;
    piping_code() = CODE_B311;
    const AnalysisOptions before = analysis_options();
    const UnitChoices units = unit_choice();
    const std::string error = import("A title\nOPTIONS\nSI,Z,B318,RAD\nOPPRES\n1,0,0,1.5\nOPCODE\n1,1\n"
                                     "MATERIAL\nCS,7800\nPIPE\nP6,168,7\nLOADS\nL1,100,10\nPUMPS\nP,1,10\n"
                                     "SEISMIC\n0.3\nLAYOUT\nF10,MCS,PP6\nT20,X1000\nT30,X1000,CQ=1\n");
    EXPECT_EQ(error, line_error(21, "T30,X1000,CQ=1", "Unknown comment :  Q=1"));
    EXPECT_EQ(numrows(), 0);
    EXPECT_EQ(model_title(), "");
    EXPECT_EQ(nummats(), 0);
    EXPECT_EQ(numsections(), 0);
    EXPECT_EQ(numloads(), 0);
    EXPECT_EQ(pumps().size(), 0);
    EXPECT_FALSE(seismic_g().any());
    EXPECT_EQ(unit_choice(), units);
    EXPECT_EQ(piping_code(), CODE_B311);
    EXPECT_EQ(analysis_options(), before);
    EXPECT_FALSE(model_modified());
}

TEST_F(BatchTest, ContinuedLinesStopAtTheEndOfTheFileAndAtAHead)
{
    // An item list that ends with a comma goes on in the next line ...
    import_ok("LAYOUT\nT10,CWGT=1,\nTAG=A\nT20,X1\n");
    EXPECT_EQ(numrows(), 2);
    // ... but not past the end of the file, nor into the next section.
    EXPECT_EQ(import("LAYOUT\nT10,CTAG=A,"),
              line_error(2, "T10,CTAG=A,", "The item list ends with a comma, but the file ends after it"));
    EXPECT_EQ(import("LAYOUT\nT10,CTAG=A,\nPUMPS\nP,1,10\n"),
              line_error(3, "PUMPS", "The item list of the row before ends with a comma, but a section head follows it"));
    // A comma and a blank at the end end the list.
    import_ok("LAYOUT\nT10,CTAG=A, \nT20\n");
    EXPECT_EQ(numrows(), 2);

    // A wind profile's size and point lines likewise.
    const std::string header = "WIND2\n0,0.6,1,0,0,0,0,0\n";
    EXPECT_EQ(import(header), line_error(2, "0,0.6,1,0,0,0,0,0", "Wind Profile size is required"));
    // A size given as an empty field is 0: a profile without points.
    import_ok(header + ",\nLAYOUT\nT10\n");
    EXPECT_EQ(wind_load(2).pressure.size(), 0u);
    EXPECT_EQ(numrows(), 1);
    EXPECT_EQ(import(header + "3\n0,1\n"), line_error(4, "0,1", "Wind profile point 2 of 3 is missing"));
    EXPECT_EQ(import(header + "3\n0,1\nLAYOUT\nT10\n"), line_error(5, "LAYOUT", "Wind profile point 2 of 3 is missing"));
    EXPECT_EQ(numrows(), 0);
}

TEST_F(BatchTest, BlankLayoutLinesAreNoRows)
{
    import_ok("LAYOUT\nF10\n\n   \nT20,X1\n");
    EXPECT_EQ(numrows(), 2);
}

TEST_F(BatchTest, RowHeadTokens)
{
    // The last element token of a line wins: a code after the T token.
    import_ok("OPTIONS\nIN\nLAYOUT\nF5\nT10,JC,X12,CSHORT=1\nJC,T20,X12,CSHORT=1\n*" + std::string(100, 'c') +
              "\nL30,Y2\nT40*,X1,Y2,Z3\n");
    EXPECT_EQ(model().rows[2].etype, ET_CUT_PIPE);
    EXPECT_EQ(model().rows[3].etype, ET_PIPE);
    EXPECT_FLOAT_EQ(model().rows[3].dx, 12.0f);
    EXPECT_EQ(model().rows[4].etype, ET_COMMENT);
    EXPECT_EQ(model().rows[4].comment_text(), std::string(79, 'c'));
    EXPECT_EQ(model().rows[5].etype, ET_LOCATION);
    EXPECT_EQ(model().rows[6].absolute, 1);
    EXPECT_EQ(model().rows[6].dz, 3.0f);
}

TEST_F(BatchTest, OperatingConditionOfTheRowsAndTheLoadsItMakes)
{
    // Two thermal sets in use: a load made for a row starts as a new pipe
    // load (every set at the default temperature, the entered-zero pressure)
    // with its design values over both sets.
    import_ok("OPTEMP\n70,7000,2\nLOADS\n2,300,150\nLAYOUT\nF10\n"
              "T20,X1,CP=100\n"           // at 70 degF but with a pressure: a load of its own
              "T30,X1,CT=50,P=0\n"        // colder than the default of set 2
              "T40,X1,CL=2\n"             // an explicit load over the carried condition
              "T50,X1\n"                  // carries the name
              "T60,X1,CT=70,P=100\n");    // the condition again finds the load made for it
    ASSERT_EQ(numloads(), 3);
    const PipeLoad& first = pipe_loads()[2];
    EXPECT_EQ(first.name, "3");   // "2" is taken by the LOADS line
    EXPECT_EQ(first.temperature[1], 70.0f);
    EXPECT_EQ(first.pressure[1], 100.0f);
    EXPECT_EQ(first.pressure[2], ENTERED_ZERO);
    EXPECT_EQ(first.wind, 1);
    EXPECT_EQ(first.design_pressure, 100.0f);
    const PipeLoad& cold = pipe_loads()[3];
    EXPECT_EQ(cold.name, "4");
    EXPECT_EQ(cold.temperature[1], 50.0f);
    EXPECT_EQ(cold.temperature[2], 70.0f);
    EXPECT_EQ(cold.design_temperature, 70.0f);
    EXPECT_EQ(model().rows[2].load, "3");
    EXPECT_EQ(model().rows[3].load, "4");
    EXPECT_EQ(model().rows[4].load, "2");
    EXPECT_EQ(model().rows[5].load, "2");
    EXPECT_EQ(model().rows[6].load, "3");

    // At 70 degF and no other condition the rows take the carried name, or none.
    reset_model();
    clear_model_sections();
    import_ok("LOADS\nL1,300,150\nLAYOUT\nF10\nT20,X1\nT30,X1,CL=L1\nT40,X1,CT=70\n");
    EXPECT_EQ(model().rows[2].load, "");
    EXPECT_EQ(model().rows[3].load, "L1");
    EXPECT_EQ(model().rows[4].load, "L1");
    EXPECT_EQ(numloads(), 1);
}

TEST_F(BatchTest, ThermalSetsAreSettledBeforeTheDesignValues)
{
    // T2 = 400 calls for two sets; the design temperature covers it.
    import_ok("LOADS\nL1,300,150,1.0,400\n");
    EXPECT_EQ(numtloads(), 2);
    EXPECT_EQ(pipe_loads()[1].design_temperature, 400.0f);
    // A design temperature below a set the line gives is refused.
    reset_model();
    clear_model_sections();
    numtloads() = 1;
    EXPECT_EQ(import("LOADS\nL1,300,150,1.0,400,150,70,0,0,350"),
              line_error(2, "L1,300,150,1.0,400,150,70,0,0,350", "Design Temperature should be at least the highest Operating temperature"));
    // A later load never takes a set out that an earlier one calls for.
    numtloads() = 1;
    import_ok("LOADS\nL1,300,150,0,70,0,300\nOPTEMP\n70,7000,1\nLOADS\nL2,300,150,0,200\n");
    EXPECT_EQ(numtloads(), 3);
}

TEST_F(BatchTest, FileUnitsAndTheirConversions)
{
    // SI: degC, MPa, mm, kg/m3. 20 degC = 68 degF; 200000 MPa = 2.0e11 Pa /
    // 6894.757 Pa per psi; 7850 kg/m3 = 7850 / 27679.9 lb/in3; 168.3 mm =
    // 168.3 / 25.4 in.
    import_ok("OPTIONS\nSI\nOPTEMP\n20\nMATERIAL\nCS,7850\nCS,20,200000\nPIPE\nP6,168.3,7.11\n");
    EXPECT_NEAR(analysis_options().reference_temperature, 68.0, 1e-4);
    const PipeMaterial& cs = pipe_materials()[1];
    EXPECT_NEAR(cs.table[1][PROP_TEMPERATURE], 68.0, 1e-4);
    EXPECT_NEAR(cs.table[1][PROP_MODULUS], 2.0e11 / 6894.757, 2.0);
    EXPECT_NEAR(cs.density, 7850 / 27679.9, 1e-5);
    EXPECT_NEAR(pipe_sections()[1].outside_diameter, 168.3 / 25.4, 1e-5);
    EXPECT_EQ(unit_choice()[LENGTH], 4);
    EXPECT_EQ(unit_choice()[ANGLE], 0);   // SI keeps the angle unit
    // SI then IN: lengths in inch, the rest SI.
    reset_model();
    clear_model_sections();
    import_ok("OPTIONS\nSI,IN\n");
    EXPECT_EQ(unit_choice()[LENGTH], 2);
    EXPECT_EQ(unit_choice()[PRESSURE], 1);
}

TEST_F(BatchTest, TitleLines)
{
    import_ok("\n   \n" + std::string(60, 't') + "\nnot the title\nPIPE\n");
    EXPECT_EQ(model_title(), std::string(48, 't'));
    ASSERT_EQ(numrows(), 1);
    EXPECT_EQ(model().rows[1].comment_text(), "Title = " + std::string(48, 't'));
    reset_model();
    // A first word PIPE opens the section; an empty file or COD gives no row.
    EXPECT_EQ(import("PIPE LINE TO THE TANK\nP6\n"), line_error(2, "P6", "Pipe diameter is required"));
    import_ok("");
    EXPECT_EQ(numrows(), 0);
    import_ok("COD\nA title after the end\n");
    EXPECT_EQ(numrows(), 0);
}

TEST_F(BatchTest, OptionHeadsSetTheirDefaultsBeforeTheirLine)
{
    import_ok("OPPRES\n1,0,0,2\nOPMISC\n10,5,0,0,0\nOPPRES\n\nOPMISC\n");
    const AnalysisOptions& o = analysis_options();
    EXPECT_FALSE(o.pressure_stress_option);
    EXPECT_TRUE(o.bourdon_effect);
    EXPECT_TRUE(o.pressure_correction);
    EXPECT_EQ(o.peak_pressure_factor, 1.0f);
    EXPECT_EQ(o.cutoff_frequency, 33);
    EXPECT_EQ(o.number_of_modes, 20);
    EXPECT_TRUE(o.include_missing_mass);
    EXPECT_TRUE(o.friction_in_dynamics);
    EXPECT_TRUE(o.include_hanger_stiffness);
    // B31J only under the codes that have it; an unknown word is passed over.
    import_ok("OPTIONS\nBS806,B31.3\nOPCODE\n0,0,1\n");
    EXPECT_EQ(piping_code(), CODE_BS806);
    EXPECT_FALSE(analysis_options().use_b31j);
}

TEST_F(BatchTest, TupleMembersKeepTheirPlaces)
{
    const RowItemValues v = items("DIS(0.1,,0.2),TRAK(1000,,RIGID),ROTL(,NONE)");
    EXPECT_EQ(v.displacements.values[1][0], 0.1f);
    EXPECT_EQ(v.displacements.values[1][1], 0.0f);
    EXPECT_EQ(v.displacements.values[1][2], 0.2f);
    EXPECT_EQ(v.translational, (std::array<float, 3>{1000, -1, RIGID_STIFFNESS}));
    // A rotation limit left empty is no limit: one of 0 would lock the joint.
    EXPECT_EQ(v.ball_limits, (std::array<float, 2>{1.0e30f, 1.0e30f}));
    // An item that ends at its "=" or "(" has no value: G= is a guide.
    EXPECT_TRUE(items("G=").guide);
    EXPECT_TRUE(items("G(").guide);
    // A stop with one limit beyond 1E29 still has the other.
    const RowItemValues stop = items("LS(-2E29,1)");
    EXPECT_TRUE(stop.limit_stop);
    EXPECT_EQ(stop.lower_limit, -2.0e29f);
    EXPECT_EQ(stop.upper_limit, 1.0f);
    // Lower case and blanks inside the parentheses read the same.
    std::istringstream in("LAYOUT\nT10,KA,C dis(0.1, 0, -0.2)\n");
    import_batch_text(in);
    EXPECT_EQ(data<Anchor>(1).v.displacements.values[1][2], -0.2f);
}

TEST_F(BatchTest, ValuesTheBatchExportWritesReadBack)
{
    // NONE is no limit in every angle unit; the last catalogue; a bend SIF of
    // 1 or less written as an empty member; the seismic combination behind
    // the factors.
    EXPECT_EQ(items("RLIM=NONE", 1).rotation_limit, 1.0e30f);
    EXPECT_EQ(items("ROTL(NONE,NONE)", 1).ball_limits, (std::array<float, 2>{1.0e30f, 1.0e30f}));
    EXPECT_EQ(items("HTYP=35").hanger_kind, 35);
    const RowItemValues sif = items("BSIF(,2.0)");
    EXPECT_EQ(sif.sif_in, 0.0f);
    EXPECT_EQ(sif.sif_out, 2.0f);
    import_ok("SEISMIC\n0.10,0.00,0.05,2\n");
    EXPECT_EQ(seismic_g().combination, SEISMIC_SRSS);
}

TEST_F(BatchTest, AsceSeismicGivesTheComponentForceFactors)
{
    // ASCE/SEI 7-10: site class D at SS = 1.0 gives Fa = 1.1 (table 11.4-1),
    // SMS = 1.1, SDS = 2/3 SMS = 0.7333. Fp / Wp = 0.4 ap SDS Ip (1 + 2 z/h)
    // / Rp = 0.4 x 2.5 x 0.7333 x (1 + 2 x 0.5) / 12 = 0.1222, below the
    // least 0.3 SDS Ip = 0.22, which governs (eq. 13.3-3). With ASD 0.7 the
    // horizontal factor is 0.154 and the vertical 0.7 x 0.2 SDS = 0.10267.
    import_ok("OPTIONS\nIN\nASCES\n1,3,1.0,120,240,2.5,12,1,0.7,2\n");
    const double sds = 2.0 / 3.0 * 1.1;
    EXPECT_TRUE(asce_seismic_on());
    EXPECT_NEAR(seismic_g().g[0], 0.7 * 0.3 * sds, 1e-6);
    EXPECT_NEAR(seismic_g().g[1], 0.7 * 0.2 * sds, 1e-6);
    EXPECT_NEAR(seismic_g().g[2], 0.7 * 0.3 * sds, 1e-6);
    EXPECT_EQ(seismic_g().combination, SEISMIC_SRSS);
    EXPECT_EQ(asce_seismic().component_height, 120.0f);
}

TEST_F(BatchTest, ModelFileBesideTheBatchFile)
{
    EXPECT_EQ(batch_model_path("/d/pipe.mbf", 8), "/d/pipe.mod");
    EXPECT_EQ(batch_model_path("/d/pipe", 7), "/d/pipe.mod");
    EXPECT_EQ(batch_model_path("/d/pipe.", 8), "/d/pipe.mod");
    // Start-up batch mode: the last three characters are the extension.
    EXPECT_EQ(batch_model_path("/d/x.mbf.txt", 9), "/d/x.mbf.mod");
    EXPECT_EQ(batch_model_path("/d/x.MBF", 5), "/d/x.mod");
    EXPECT_TRUE(same_file(batch_model_path("/d/a.mbf.mod", 9), "/d/a.mbf.mod"));
    EXPECT_TRUE(same_file("/d/../d/a.mod", "/d/a.mod"));
    EXPECT_FALSE(same_file("/d/a.mod", "/d/a.mbf"));
    // A file that cannot be opened.
    try {
        import_batch_file_at("/nonexistent/x.mbf");
        FAIL();
    } catch (const MessageText& m) {
        EXPECT_EQ(m.text, "Unable to open import file:\n/nonexistent/x.mbf\nNo such file or directory.");
    }
}

TEST_F(BatchTest, ImportedModelSavesAndReadsBack)
{
    const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                       ("korvane_batch_" + std::to_string(::getpid()) + ".mod");
    auto bytes = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    for (const char* name : {"every_section.mbf", "every_keyword.mbf"}) {
        reset_model();
        clear_model_sections();
        import_ok(file_text(name));
        write_model_file(file.string());
        const int rows = numrows();
        const EquipmentData equipment_before = equipment();
        reset_model();
        clear_model_sections();
        read_model(file.string());
        EXPECT_EQ(numrows(), rows) << name;
        EXPECT_TRUE(same_equipment(equipment(), equipment_before)) << name;
        const std::string again = file.string() + "2";
        write_model_file(again);
        EXPECT_EQ(bytes(file.string()), bytes(again)) << name;
        std::filesystem::remove(file);
        std::filesystem::remove(again);
    }
}

TEST_F(BatchTest, ByteOrderMarkAndEveryLineEndGiveTheSameModelFile)
{
    // A file with SI units in its OPTIONS line: read without them, its values
    // would be taken in English units. With a UTF-8 byte-order mark before
    // the head, and with lines ended by CR alone or CR LF, the model file is
    // the one the plain file gives, byte for byte.
    const std::string whole = file_text("every_element_kind.mbf");
    const std::string plain = whole.substr(whole.find('\n') + 1);   // from its OPTIONS head on
    ASSERT_EQ(plain.rfind("OPTIONS\nSI,", 0), 0u);
    auto with_ends = [&plain](const std::string& end) {
        std::string text;
        for (const char c : plain)
            text += c == '\n' ? end : std::string(1, c);
        return text;
    };
    const std::filesystem::path dir = std::filesystem::temp_directory_path();
    auto model_bytes = [&dir](const std::string& text, const std::string& name) {
        reset_model();
        clear_model_sections();
        import_ok(text);
        const std::string path = (dir / (name + std::to_string(::getpid()) + ".mod")).string();
        write_model_file(path);
        std::ifstream in(path, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::filesystem::remove(path);
        return bytes;
    };
    const std::string expected = model_bytes(plain, "korvane_plain_");
    EXPECT_EQ(model_bytes("\xEF\xBB\xBF" + plain, "korvane_bom_"), expected) << "byte-order mark";
    EXPECT_EQ(model_title(), "");
    EXPECT_EQ(model_bytes(with_ends("\r"), "korvane_cr_"), expected) << "CR";
    EXPECT_EQ(model_bytes(with_ends("\r\n"), "korvane_crlf_"), expected) << "CR LF";
    EXPECT_GT(numrows(), 2);
}
