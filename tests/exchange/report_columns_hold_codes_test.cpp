// The text report's tables whose rows place a user's text at a fixed column:
// descriptions of pumps, compressors, turbines and beam materials, and
// support tags, of every width up to their column's and past it, plain and
// made of bytes that the report shows as codes. Every row reads, right of
// its text, what the row of a one-letter text reads; the text goes on in
// its own column on the lines under its row, as its codes, whole and in
// order; no line is wider than the page and nothing reaches the file raw.
#include "control_bytes.h"
#include "exchange/data/english_head.h"
#include "exchange_fixture.h"
#include "text_pages.h"

#include "framework/strings.h"
#include "framework/ui/report.h"
#include "materials/beam_material.h"
#include "materials/ui/beam_material_ui.h"
#include "qualification/equipment.h"
#include "qualification/ui/compressor_ui.h"
#include "qualification/ui/pump_ui.h"
#include "supports/anchor.h"

#include <cctype>
#include <sstream>
#include <string>
#include <vector>

namespace {

// 100 in of 4 in pipe from an anchor at 10 to one at 20, then to 30.
const std::string LINE = "Columns\n" + english_head("B313") +
                         "P4,4.5,0.237\nLOADS\nL1,300,150\nLAYOUT\nF10,MA106B,PP4,KA,CL=L1\nT20,X100,KA\n"
                         "T30,X100,KA\n";

// The rows of a table of the text report between the rule under its
// heading (again on every page) and the rule that closes it: each row's
// first line and the lines under it that hold nothing from `tail`
// (0-based) on.
struct TableRow {
    std::string first;
    std::vector<std::string> under;
};
std::vector<TableRow> table_rows(const std::string& text, std::size_t tail)
{
    const std::vector<std::string> lines = text_lines(text);
    const auto rule = [](const std::string& l) { return l.find("--------------------") != std::string::npos; };
    std::vector<TableRow> rows;
    int rules = 0;
    for (const std::string& line : lines) {
        if (line.rfind('\f', 0) == 0)
            rules = 0;   // a page header: the heading follows again
        if (rule(line)) {
            ++rules;
            continue;
        }
        if (rules != 2 || line.empty())
            continue;
        if (line.size() > tail || rows.empty())
            rows.push_back({line, {}});
        else
            rows.back().under.push_back(line);
    }
    return rows;
}

// The text of a row in its column, from `column` (0-based) up to `tail`,
// its lines joined.
std::string column_text(const TableRow& row, std::size_t column, std::size_t tail)
{
    const auto within = [&](const std::string& line) {
        std::string text = line.substr(std::min(line.size(), column), tail - column);
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        return text;
    };
    std::string text = within(row.first);
    for (const std::string& line : row.under) {
        EXPECT_EQ(line.find_first_not_of(' '), column) << line;
        text += within(line);
    }
    return text;
}

HostileText plain(const std::string& text) { return {text, text}; }

// Plain letters and hostile bytes of every width from 1 to `most` bytes.
std::vector<HostileText> descriptions(std::size_t most)
{
    const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklm";
    std::vector<HostileText> out;
    for (std::size_t w = 1; w <= most; ++w) {
        out.push_back({letters.substr(0, w), letters.substr(0, w)});
        out.push_back(hostile_text(w));
    }
    return out;
}

std::string text_report_of(void (*print)())
{
    return report_render_text(ReportJob{"Columns", print, false}, false);
}

// What every row of a table must show: the reference row's tail at each
// row, the text whole in its column, no line past column 88, nothing raw.
void expect_rows(const std::string& report, const std::vector<HostileText>& texts, std::size_t column,
                 std::size_t tail)
{
    EXPECT_EQ(raw_control_bytes(report, "\n\f"), std::vector<std::string>{});
    for (std::string line : text_lines(report)) {
        line.erase(0, line.find_first_not_of('\f'));
        EXPECT_LE(utf8_length(line), 88) << line;
    }
    const std::vector<TableRow> rows = table_rows(report, tail);
    ASSERT_EQ(rows.size(), texts.size() + 1) << report;
    const std::string reference = rows.front().first.substr(tail);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const TableRow& row = rows[i + 1];
        EXPECT_EQ(row.first.substr(std::min(row.first.size(), tail)), reference) << texts[i].shown;
        EXPECT_EQ(column_text(row, column, tail), texts[i].shown);
    }
}

using ReportColumnsHoldCodes = ExchangeProgramTest;

}  // namespace

TEST_F(ReportColumnsHoldCodes, PumpCompressorAndTurbineRowsKeepTheirNodesRightOfEveryDescription)
{
    ASSERT_NO_FATAL_FAILURE(open_saved_batch(LINE, "columns.mod"));
    const std::vector<HostileText> texts = descriptions(EQUIPMENT_DESCRIPTION_LENGTH);
    PumpRecord pump;
    pump.vertical = 1;
    pump.kind = PUMP_VERTICAL_INLINE_API610;
    pump.suction_node = 10;
    pump.discharge_node = 20;
    pump.suction_location = pump.discharge_location = LOCATION_SIDE;
    CompressorRecord machine;
    machine.inlet = 10;
    machine.exhaust = 20;
    machine.extraction1 = 30;
    machine.shaft_axis = {1.0f, 0.0f, 0.0f};
    pump.name = machine.name = "R";
    pumps().push_back(pump);
    compressors().push_back(machine);
    turbines().push_back(machine);
    for (const HostileText& t : texts) {
        pump.name = machine.name = t.bytes;
        pumps().push_back(pump);
        compressors().push_back(machine);
        turbines().push_back(machine);
    }

    // Pumps: the description from column 4 before the type at column 18.
    const std::string pump_report = text_report_of(print_pumps);
    expect_rows(pump_report, texts, 3, 16);
    // Type, nodes and locations at their columns, as a one-letter
    // description leaves them.
    EXPECT_EQ(table_rows(pump_report, 16).front().first.substr(16), " Vertical inline 10    Side 20    Side");

    // Compressors and turbines: from column 5 before the inlet node at column 21.
    for (void (*print)() : {print_compressors, print_turbines}) {
        const std::string report = text_report_of(print);
        expect_rows(report, texts, 4, 19);
        EXPECT_EQ(table_rows(report, 19).front().first.substr(19).substr(0, 20), " 10      20      30 ");
    }
}

TEST_F(ReportColumnsHoldCodes, BeamMaterialRowsKeepTheirValuesRightOfEveryDescription)
{
    ASSERT_NO_FATAL_FAILURE(open_saved_batch(LINE, "columns.mod"));
    // A description holds at most 27 characters; damaged files may hold
    // bytes that show as four each.
    const std::vector<HostileText> texts = descriptions(27);
    BeamMaterial m;
    m.E = 29.0e6f;
    m.nu = 0.3f;
    m.density = 0.283f;
    m.alpha = 6.5e-6f;
    m.name = "R";
    m.description = "R";
    beam_materials().push_back(m);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        m.name = "M" + std::to_string(i);
        m.description = texts[i].bytes;
        beam_materials().push_back(m);
    }
    // The description from column 13 before the modulus at column 48; the
    // name at column 4 differs row by row, the tail is compared from 47.
    const std::string report = text_report_of(print_beam_materials);
    expect_rows(report, texts, 12, 46);
}

// The anchors table of the text report with the tags given to the anchors
// at 10, 20, 30 and 40 in turn (a damaged model file may hold any bytes).
std::string anchors_report(const std::vector<HostileText>& tags)
{
    std::size_t n = 0;
    for (LayoutRow& row : model().rows)
        if (row.dtype == DT_ANCHOR)
            dynamic_cast<Anchor&>(*row.data).v.tag = n < tags.size() ? tags[n++].bytes : std::string();
    EXPECT_EQ(n, tags.size());
    for (const DataList* list : offered_data_lists())
        if (list->name == std::string("Anchors"))
            list->open();
    TableWindow* table = list_window_table();
    EXPECT_NE(table, nullptr);
    return table ? report_render_text(table_report_job(*table), false) : std::string();
}

// The first tier's rows of the anchors table: each line that begins with
// a node number, holds more and `word` but not the axes ("Global") of the
// second tier, and the lines under it that begin further right (the rest
// of a text too wide for its column).
std::vector<TableRow> tier_rows(const std::string& report, const std::string& word)
{
    std::vector<TableRow> rows;
    bool in_row = false;
    for (const std::string& line : text_lines(report)) {
        const std::size_t first = line.find_first_not_of(' ');
        const bool node =
            first != std::string::npos && first < 8 && std::isdigit(static_cast<unsigned char>(line[first]));
        if (node && line.find(word) != std::string::npos && line.find("Global") == std::string::npos &&
            line.find(' ', first) != std::string::npos) {
            rows.push_back({line, {}});
            in_row = true;
        } else if (in_row && first != std::string::npos && first >= 8 && line.find("---") == std::string::npos) {
            rows.back().under.push_back(line);
        } else {
            in_row = false;
        }
    }
    return rows;
}

TEST_F(ReportColumnsHoldCodes, SupportTagsOfEveryWidthGoOnInTheirColumn)
{
    ASSERT_NO_FATAL_FAILURE(open_saved_batch(LINE + "T40,X100,KA\n", "columns.mod"));
    // Tags up to 12 bytes: the tag's column as wide as its widest codes,
    // the stiffnesses right of it in the same place on every row.
    const std::vector<HostileText> narrow = {plain("A"), hostile_text(3), hostile_text(8), hostile_text(12)};
    const std::string report = anchors_report(narrow);
    EXPECT_EQ(raw_control_bytes(report, "\n\f"), std::vector<std::string>{});
    std::vector<TableRow> rows = tier_rows(report, "Rigid");
    ASSERT_EQ(rows.size(), narrow.size()) << report;
    const std::size_t tag = rows.front().first.find('A'), stiffness = rows.front().first.find("Rigid");
    ASSERT_LT(tag, stiffness) << report;
    for (std::size_t i = 0; i < narrow.size(); ++i) {
        EXPECT_EQ(rows[i].first.substr(stiffness), rows.front().first.substr(stiffness)) << report;
        EXPECT_EQ(column_text(rows[i], tag, stiffness), narrow[i].shown) << report;
        EXPECT_TRUE(rows[i].under.empty()) << report;
    }

    // A tag of 40 bytes, 160 characters as codes: wider than the page, it
    // goes on in its column on the lines under its row, its codes whole.
    const std::vector<HostileText> wide = {plain("A"), hostile_text(3), hostile_text(12), hostile_text(40)};
    const std::string wide_report = anchors_report(wide);
    EXPECT_EQ(raw_control_bytes(wide_report, "\n\f"), std::vector<std::string>{});
    for (const std::string& line : text_lines(wide_report))
        EXPECT_LE(utf8_length(line), 88) << line;
    rows = tier_rows(wide_report, "");
    ASSERT_EQ(rows.size(), wide.size()) << wide_report;
    const std::size_t wide_tag = rows.front().first.find('A');
    for (std::size_t i = 0; i < wide.size(); ++i)
        EXPECT_EQ(column_text(rows[i], wide_tag, 88), wide[i].shown) << wide_report;
    EXPECT_FALSE(rows.back().under.empty()) << wide_report;
}
