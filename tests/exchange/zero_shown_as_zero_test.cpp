// A stored zero shows as zero in the windows: the wind profile's elevation
// and pressure of 0 that a batch file gives (kept as the entered-zero marker)
// read 0 in the profile table in each of its units, as the export writes
// them; and no cell of any table shows a tiny number in any unit system.
#include "every_table.h"
#include "exchange/batch_export.h"
#include "exchange_fixture.h"
#include "framework/commands.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/table.h"
#include "framework/units.h"
#include "loads/ui/dialogs_loads.h"
#include "loads/wind.h"

#include <algorithm>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A number of a magnitude below 1E-19 written in the exponent form.
const std::regex TINY_NUMBER("[0-9.]+[eE]-([2-9][0-9]|1[0-9][0-9])");

// Wind load 1: a pressure profile over elevations in the model's length
// unit (EUNIT 0) and pressures in psi (PUNIT 0), from 0 at grade.
const char* const ZERO_AT_GRADE = R"(Zero at grade
LAYOUT
F10
T20,X10
WIND1
0,0.6,1,0,0,0,0,0,0
2
0,0
100-0,0.2
)";

class ZeroShownAsZero : public ExchangeProgramTest {
protected:
    // The wind dialog's profile table of load 1 in the elevation and
    // pressure units chosen; the texts it painted, one a line.
    std::string painted_profile(int elevation_unit, int pressure_unit)
    {
        std::string painted;
        script().once("WIND_DIALOG", [&](HeadlessDialog& d) {
            d.select(WI_ELEVATION_UNIT, elevation_unit);
            d.select(WI_PRESSURE_UNIT, pressure_unit);
            for (const std::string& line : script().paint(d.control(LOAD_TABLE)->client))
                painted += line + "\n";
            d.press(IDCANCEL);
        });
        EXPECT_TRUE(run_command(CMD_WIND));
        return painted;
    }
};

}  // namespace

TEST_F(ZeroShownAsZero, WindElevationAndPressureOfZeroReadZeroInEachUnit)
{
    init_model();
    std::istringstream in(ZERO_AT_GRADE);
    import_batch_text(in);
    reset_unit_choice();
    ASSERT_EQ(unit_label(LENGTH), "(ft-in)");
    const XYCurve& profile = wind_load(1).pressure;
    ASSERT_EQ(profile.size(), 2u);
    // 100 ft = 1200 in at 0.2 psi; grade is kept as the marker of a 0 given.
    EXPECT_EQ(profile[0].x, ENTERED_ZERO);
    EXPECT_FLOAT_EQ(profile[1].x, 1200.0f);

    // ft-in and psi, then m with kPa and kg/cm2: grade and its pressure
    // read 0; 100 ft reads 30.48 m (0.3048 m a foot), 0.2 psi 1.37895 kPa
    // (6.894757 kPa a psi).
    const std::string english = painted_profile(0, 0);
    EXPECT_NE(english.find("\"0'0\""), std::string::npos) << english;
    EXPECT_NE(english.find("\"100'0\""), std::string::npos) << english;
    for (const int pressure_unit : {1, 2}) {
        const std::string metric = painted_profile(1, pressure_unit);
        EXPECT_FALSE(std::regex_search(metric, TINY_NUMBER)) << metric;
        EXPECT_NE(metric.find("\"30.48\""), std::string::npos) << metric;
        if (pressure_unit == 1) {
            EXPECT_NE(metric.find("\"1.37895\""), std::string::npos) << metric;
        }
        // Grade: "0" in both columns.
        std::size_t zeros = 0;
        for (std::size_t at = metric.find("\"0\""); at != std::string::npos; at = metric.find("\"0\"", at + 1))
            ++zeros;
        EXPECT_GE(zeros, 2u) << metric;
    }
    EXPECT_FALSE(std::regex_search(english, TINY_NUMBER)) << english;
    // The export writes grade as 0, as shown.
    EXPECT_NE(batch_export_text().find("\n0,0\n"), std::string::npos);
}

TEST_F(ZeroShownAsZero, NoCellOfAnyTableShowsATinyNumberInAnyUnitSystem)
{
    int cells = 0;
    for (const char* file : {"every_element_kind.mbf", "every_keyword.mbf", "every_section.mbf"}) {
        for (int unit = 0; unit < 5; ++unit) {
            init_model();
            import_batch_file_at(std::string(KV_SOURCE_DIR) + "/tests/data/batch/" + file);
            // Each quantity in its unit of that place in its list (the first
            // where the list is shorter).
            for (int q = 1; q <= NUM_UNIT_QUANTITIES; ++q)
                unit_choice()[static_cast<std::size_t>(q)] = unit_choice_valid(q, unit) ? unit : 0;
            const auto check = [&](TableWindow& t) {
                for (int row = 1; row <= std::min(t.row_count, 60); ++row)
                    for (int c = 1; c <= t.columns(); ++c)
                        for (int line = 0; line < t.text_lines; ++line) {
                            const std::string text = t.cell_text(row, c, line);
                            ++cells;
                            EXPECT_FALSE(std::regex_search(text, TINY_NUMBER))
                                << file << " unit " << unit << ": " << t.title << " row " << row << " column " << c
                                << " shows " << text;
                        }
            };
            visit_every_table(check, check);
        }
    }
    EXPECT_GT(cells, 9000);
}
