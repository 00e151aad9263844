// Lengths typed into tables: every column of every table headed with the
// length unit takes feet and inches as the guide writes them (10-6, 10'6)
// when that unit is ft-in, and shows them as every length field does; the
// wind profile's Elevation column, which has a unit of its own, reads and
// shows its lengths so too, and the batch export writes them as it shows
// them.
#include "exchange/batch_export.h"
#include "exchange/batch_import.h"
#include "every_table.h"
#include "exchange_fixture.h"
#include "framework/commands.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/table.h"
#include "framework/units.h"
#include "loads/ui/dialogs_loads.h"
#include "loads/wind.h"
#include "model/model.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"

#include <set>
#include <sstream>

namespace {

// 10 ft 6 in as the guide writes it and as a length cell shows it.
constexpr float TEN_SIX_INCHES = 10 * 12 + 6;

std::string without_blanks(std::string text)
{
    std::erase(text, ' ');
    return text;
}

class LengthColumns : public ExchangeProgramTest {
protected:
    void SetUp() override
    {
        ExchangeProgramTest::SetUp();
        // Dialogs that a stored cell opens are left as they were.
        script().on_any([](HeadlessDialog& d) { d.press(IDCANCEL); });
    }

    // A column is a length column when a line of its heading names the
    // length unit.
    static bool length_column(TableWindow& t, int column)
    {
        for (int line = 0; line < 3; ++line)
            if (t.header_text(column, line).find(unit_label(LENGTH)) != std::string::npos)
                return true;
        return false;
    }

    // Each length column of the table, in the first of its rows that takes
    // typing: both feet-and-inches forms are taken without a word and shown
    // as 10'6.
    void check(TableWindow& t)
    {
        const int rows = std::min(t.record_count(), 6);
        for (int c = 1; c <= t.columns(); ++c) {
            if (!length_column(t, c))
                continue;
            int row = 1;
            while (row <= rows && !t.cell_editable(row, c))
                ++row;
            if (row > rows)
                continue;
            const std::string where = t.title + " column " + std::to_string(c) + " row " + std::to_string(row);
            for (const std::string typed : {"10-6", "10'6"}) {
                table_goto_row(t, row, c);
                ASSERT_TRUE(table_begin_edit(t, true)) << where;
                t.edit.text = typed;
                const std::size_t shown = script().messages().size();
                EXPECT_TRUE(table_end_edit(t)) << where << " refused " << typed;
                EXPECT_EQ(script().messages().size(), shown)
                    << where << " said " << script().last_message() << " to " << typed;
                EXPECT_EQ(without_blanks(t.cell_text(row, c, 0)), "10'6") << where << " typed " << typed;
            }
            checked.insert(t.title);
        }
    }

    void check_every_table(const std::string& batch_file)
    {
        init_model();
        import_batch_file_at(std::string(KV_SOURCE_DIR) + "/tests/data/batch/" + batch_file);
        reset_unit_choice();
        ASSERT_EQ(unit_label(LENGTH), "(ft-in)");
        const auto check_table = [this](TableWindow& t) { check(t); };
        visit_every_table(check_table, check_table);
    }

    // The wind dialog's profile table of load 1: the elevation unit chosen,
    // the points typed (elevation Tab pressure Enter), then `end`. The
    // texts the table painted before it, one a line.
    std::string type_wind_profile(int elevation_unit, const std::vector<std::pair<std::string, std::string>>& points,
                                  int end = IDOK)
    {
        std::string painted;
        script().once("WIND_DIALOG", [&](HeadlessDialog& d) {
            d.type(WI_DX, "1");
            d.press(WI_PRESSURE_PROFILE);
            d.select(WI_ELEVATION_UNIT, elevation_unit);
            const WindowId client = d.control(LOAD_TABLE)->client;
            ClientEvents* events = hb->window(client)->client_events;
            for (const auto& [x, y] : points) {
                for (char c : x)
                    events->on_char(std::string(1, c));
                script().key(client, KEY_TAB);
                for (char c : y)
                    events->on_char(std::string(1, c));
                script().key(client, KEY_RETURN);
            }
            for (const std::string& line : script().paint(client))
                painted += line + "\n";
            d.press(end);
            if (!d.ended())
                d.press(IDCANCEL);
        });
        EXPECT_TRUE(run_command(CMD_WIND));
        return painted;
    }

    std::set<std::string> checked;
};

}  // namespace

TEST_F(LengthColumns, EveryLengthColumnOfEveryTableTakesFeetAndInches)
{
    check_every_table("every_element_kind.mbf");
    check_every_table("every_keyword.mbf");
    check_every_table("every_section.mbf");
    // The sweep reached the tables that type lengths.
    EXPECT_EQ(checked, (std::set<std::string>{layout_view().table()->title, "Concentrated masses", "Nozzles", "Pumps"}));
}

TEST_F(LengthColumns, WindElevationsTakeFeetAndInchesAndAreExportedAsShown)
{
    init_model();
    reset_unit_choice();
    // Elevations in the model's length unit (ft-in): 10 ft 6 in, 100 ft and
    // 150 ft typed in the three forms the guide gives.
    const std::string table = type_wind_profile(0, {{"100-0", "0.2"}, {"10'6", "0.1"}, {"150", "0.3"}});
    EXPECT_TRUE(script().messages().empty()) << script().last_message();
    for (const char* shown : {"\"10'6\"", "\"100'0\"", "\"150'0\""})
        EXPECT_NE(table.find(shown), std::string::npos) << shown << " not in\n" << table;
    const XYCurve& profile = wind_load(1).pressure;
    ASSERT_EQ(profile.size(), 3u);
    // 12 inches a foot.
    EXPECT_FLOAT_EQ(profile[0].x, TEN_SIX_INCHES);
    EXPECT_FLOAT_EQ(profile[1].x, 100.0f * 12.0f);
    EXPECT_FLOAT_EQ(profile[2].x, 150.0f * 12.0f);

    // The export writes each elevation as the table shows it, and reads it
    // back the same.
    const std::string exported = batch_export_text();
    for (const char* line : {"\n10'6,0.1", "\n100'0,0.2", "\n150'0,0.3"})
        EXPECT_NE(exported.find(line), std::string::npos) << line << " not in\n" << exported;
    std::istringstream in(exported);
    import_batch_text(in);
    ASSERT_EQ(wind_load(1).pressure.size(), 3u);
    EXPECT_FLOAT_EQ(wind_load(1).pressure[0].x, TEN_SIX_INCHES);
    EXPECT_FLOAT_EQ(wind_load(1).pressure[1].x, 100.0f * 12.0f);
}

TEST_F(LengthColumns, WindElevationsInMetresAndBadTextsRefused)
{
    init_model();
    reset_unit_choice();
    // Metres: a plain number, 30.48 m = 100 ft = 1200 in (0.0254 m an inch).
    const std::string table = type_wind_profile(1, {{"30.48", "0.2"}});
    EXPECT_TRUE(script().messages().empty()) << script().last_message();
    EXPECT_NE(table.find("\"30.48\""), std::string::npos) << table;
    ASSERT_EQ(wind_load(1).pressure.size(), 1u);
    EXPECT_NEAR(wind_load(1).pressure[0].x, 30.48 / 0.0254, 1e-3);

    // A text no length reads is refused with its message.
    const std::size_t before = script().messages().size();
    type_wind_profile(0, {{"10-X", "0.1"}}, IDCANCEL);
    ASSERT_GT(script().messages().size(), before);
    EXPECT_EQ(script().messages()[before], "Elevation =  10-X  is invalid");
    ASSERT_EQ(wind_load(1).pressure.size(), 1u);
    EXPECT_NEAR(wind_load(1).pressure[0].x, 30.48 / 0.0254, 1e-3);
}
