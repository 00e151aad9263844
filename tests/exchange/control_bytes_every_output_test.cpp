// A model whose title, comment row, material and pump, compressor and
// turbine descriptions hold ESC with the sequences that clear and retitle a
// terminal, BEL, C1 bytes, DEL, the right-to-left override, the
// left-to-right isolate and bytes that are no UTF-8, through every output a
// user can reach: the text report, its CSV form and that of every input
// table, the printed pages and their headers, the printed graphics and the
// four plot files, the PCF, the plant-design files, the hanger interface
// file, the batch export, the messages, and a batch run's report and
// standard error. None holds such a character or byte as it is; each
// writes the codes of its bytes where it can hold them; and the rows of the
// text report read, right of each description, what the rows of the same
// model with plain descriptions read.
#include "batch_runs.h"
#include "control_bytes.h"
#include "exchange_fixture.h"
#include "text_pages.h"
#include "utf16_text.h"

#include "exchange/hanger_interface_export.h"
#include "exchange/pcf_export.h"
#include "exchange/plant_design_export.h"
#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/ui/report.h"
#include "graphics/plot_files.h"
#include "graphics/ui/graphics_dialogs.h"
#include "platform/headless/headless_printing.h"
#include "results/ui/results_report.h"

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The texts a model is written with.
struct ModelTexts {
    HostileText title, comment, material, pump, compressor, turbine;
};

HostileText plain(const std::string& text) { return {text, text}; }
HostileText after(const std::string& start, const HostileText& rest)
{
    return {start + rest.bytes, start + rest.shown};
}

ModelTexts plain_texts()
{
    return {plain("Unit 4 feed line"), plain("feed to the pump"), plain("CARBON STEEL"),
            plain("P-1"),              plain("K-1"),              plain("T-1")};
}

// Within what each field holds: a title 50, a description 16 bytes.
ModelTexts hostile_texts()
{
    return {after("Unit 4 ", hostile_text(40)), after("feed ", hostile_text(30)), after("CS ", hostile_text(20)),
            after("P", hostile_text(15)),       after("K", hostile_text(15)),     after("T", hostile_text(15))};
}

// A pump between anchors at 10 and 20, a compressor at 30 and 40 and a
// turbine at 50 and 60, on 6 in pipe at 300 degF, under a comment row.
std::string model_text(const ModelTexts& t)
{
    return t.title.bytes +
           "\nOPTIONS\nB313,IN\nMATERIAL\nCS,0.283,0.3,1,1,CS," + t.material.bytes +
           "\nCS,70,27.9E6,6.0E-6,20000\nCS,700,27.9E6,8.1E-6,16000\nPIPE\nP6,6.625,0.28\nLOADS\nL1,300,150\n"
           "LAYOUT\n* " + t.comment.bytes +
           "\nF10,MCS,PP6,KA,CL=L1\nT20,X100,KA\nT30,Y100,KA\nT40,X100,KA\nT50,Z100,KA\nT60,X100,KA\n"
           "PUMPS\n" + t.pump.bytes + ",1,10,20\nCOMPRESSORS\n" + t.compressor.bytes +
           ",1,0,0,30,40\nTURBINES\n" + t.turbine.bytes + ",0,0,1,50,60\n";
}

// The line of a table row whose text at `column` (0-based) is the start
// of `text` and that holds something from `tail` on: what stands right of
// its text from there.
std::string right_of(const std::string& report, const std::string& text, std::size_t column, std::size_t tail)
{
    for (const std::string& line : text_lines(report)) {
        if (line.size() <= tail || line.find_first_not_of(' ') != column)
            continue;
        std::string start = line.substr(column, tail - column);
        while (!start.empty() && start.back() == ' ')
            start.pop_back();
        if (!start.empty() && text.rfind(start, 0) == 0)
            return line.substr(tail);
    }
    ADD_FAILURE() << "no row of " << text;
    return {};
}

// Where the equipment tables put a description: from column 4 before a
// pump's type at 18, from 5 before a machine's inlet node at 21.
struct DescriptionColumn {
    HostileText ModelTexts::*text;
    std::size_t column, tail;
};
constexpr DescriptionColumn EQUIPMENT_COLUMNS[] = {
    {&ModelTexts::pump, 3, 16}, {&ModelTexts::compressor, 4, 19}, {&ModelTexts::turbine, 4, 19}};

void expect_rows_as_plain(const std::string& report, const std::string& plain_report, const ModelTexts& texts)
{
    const ModelTexts p = plain_texts();
    for (const DescriptionColumn& d : EQUIPMENT_COLUMNS) {
        const std::string right = right_of(plain_report, (p.*d.text).shown, d.column, d.tail);
        EXPECT_FALSE(right.empty());
        EXPECT_EQ(right_of(report, (texts.*d.text).shown, d.column, d.tail), right) << (texts.*d.text).shown;
    }
}

// ---- Independent readers of the plot files' text records ---------------------------------

uint32_t u32_at(const std::string& b, std::size_t at)
{
    uint32_t v = 0;
    for (std::size_t k = 4; k-- > 0;)
        v = (v << 8) | static_cast<unsigned char>(b[at + k]);
    return v;
}

// EMR_EXTTEXTOUTW records (type 84): the count of UTF-16 units at 44 and
// their offset at 48 (MS-EMF 2.3.5.8 and 2.2.5), decoded with their
// surrogate pairs; a lone surrogate stays as its code, which the byte
// check finds.
std::vector<std::string> emf_texts(const std::string& b)
{
    std::vector<std::string> texts;
    for (std::size_t at = 0; at + 8 <= b.size();) {
        const uint32_t type = u32_at(b, at), size = u32_at(b, at + 4);
        if (size < 8 || at + size > b.size())
            break;
        if (type == 84) {
            const uint32_t count = u32_at(b, at + 44), offset = u32_at(b, at + 48);
            texts.push_back(utf16le_text(b, at + offset, count));
        }
        at += size;
    }
    return texts;
}

// The values of group code 1 of the DXF's TEXT entities (pairs of lines,
// CR LF), decoded from code page 1252 (its 0x80 to 0x9F, which hold no
// control, taken as the C1 codes they would be in Latin-1, so that the
// byte check finds them).
std::vector<std::string> dxf_texts(const std::string& b)
{
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < b.size();) {
        const std::size_t end = b.find("\r\n", at);
        lines.push_back(b.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end == std::string::npos ? b.size() : end + 2;
    }
    std::vector<std::string> texts;
    bool in_text = false;
    for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
        const std::string code = lines[i].substr(lines[i].find_first_not_of(' '));
        if (code == "0")
            in_text = lines[i + 1] == "TEXT";
        else if (in_text && code == "1") {
            std::string text;
            for (unsigned char c : lines[i + 1])
                append_utf8(text, c);
            texts.push_back(text);
        }
    }
    return texts;
}

// The strings the EPS shows: "(...) show", with the escapes of PLRM 3.2.2
// (\\, \(, \), \ddd) undone; a byte above 127 is a StandardEncoding glyph
// and is left out of the check as a blank.
std::vector<std::string> eps_texts(const std::string& b)
{
    std::vector<std::string> texts;
    for (const std::string& line : text_lines(b)) {
        const std::string l = line.substr(0, line.find_last_not_of('\r') + 1);
        if (l.size() < 7 || l.front() != '(' || l.compare(l.size() - 6, 6, ") show") != 0)
            continue;
        std::string text;
        for (std::size_t i = 1; i + 6 < l.size(); ++i) {
            if (l[i] != '\\') {
                text.push_back(l[i]);
                continue;
            }
            if (l[i + 1] >= '0' && l[i + 1] <= '7') {
                const int code = (l[i + 1] - '0') * 64 + (l[i + 2] - '0') * 8 + (l[i + 3] - '0');
                text.push_back(code < 128 ? static_cast<char>(code) : ' ');
                i += 3;
            } else {
                text.push_back(l[++i]);
            }
        }
        texts.push_back(text);
    }
    return texts;
}

// The labels of the HP-GL job: "LB" to the terminator ETX (HP-GL/2 LB).
std::vector<std::string> hpgl_texts(const std::string& b)
{
    std::vector<std::string> texts;
    for (std::size_t at = b.find(";LB"); at != std::string::npos; at = b.find(";LB", at + 1)) {
        const std::size_t end = b.find('\x03', at + 3);
        if (end == std::string::npos)
            break;
        texts.push_back(b.substr(at + 3, end - at - 3));
    }
    return texts;
}

// Whether one of the texts begins with `start`.
bool begins_one(const std::vector<std::string>& texts, const std::string& start)
{
    for (const std::string& t : texts)
        if (t.rfind(start, 0) == 0)
            return true;
    return false;
}

class ControlBytesEveryOutput : public ExchangeResultsTest {
protected:
    // The model of the texts imported, analysed and its results open.
    void open_model(const ModelTexts& texts)
    {
        ASSERT_NO_FATAL_FAILURE(open_analysed(model_text(texts)));
        ASSERT_EQ(model_title(), texts.title.bytes);
        set_report_date("1 Jan 2025");
    }
    static std::string text_report(bool csv)
    {
        return report_render_text(results_report_job(default_report_selection()), csv);
    }
    void expect_messages_clean() const
    {
        for (const std::string& m : script().messages())
            EXPECT_EQ(raw_control_bytes(m), std::vector<std::string>{}) << m;
    }
    void TearDown() override
    {
        set_report_date("");
        ExchangeResultsTest::TearDown();
    }
};

}  // namespace

TEST_F(ControlBytesEveryOutput, ReportsPagesAndTablesHoldCodesAndTheRowsOfThePlainModel)
{
    ASSERT_NO_FATAL_FAILURE(open_model(plain_texts()));
    const std::string plain_report = text_report(false);
    const ModelTexts hostile = hostile_texts();
    ASSERT_NO_FATAL_FAILURE(open_model(hostile));

    // The text report: nothing raw, every page header names the title as
    // codes, the rows read right of each description as the plain ones.
    const std::string report = text_report(false);
    EXPECT_EQ(raw_control_bytes(report, "\n\f"), std::vector<std::string>{});
    EXPECT_NE(report.find(hostile.pump.shown.substr(0, 8)), std::string::npos);
    expect_rows_as_plain(report, plain_report, hostile);
    for (std::string line : text_lines(report)) {
        line.erase(0, line.find_first_not_of('\f'));
        EXPECT_LE(utf8_length(line), 88) << line;
    }
    EXPECT_NE(report.find(hostile.material.shown), std::string::npos);

    // Its CSV form: the descriptions whole as codes in their cells.
    const std::string csv = text_report(true);
    EXPECT_EQ(raw_control_bytes(csv), std::vector<std::string>{});
    for (const HostileText* t : {&hostile.pump, &hostile.compressor, &hostile.turbine})
        EXPECT_NE(csv.find(t->shown + ","), std::string::npos) << t->shown;

    // The CSV of every input table as its window shows it.
    for_every_data_list_table([](const DataList& list, TableWindow& table) {
        TableWindow* shown = &table;
        const std::string cells =
            report_render_text(ReportJob{list.name, [shown] { table_screen_csv(*shown); }, false}, true);
        EXPECT_EQ(raw_control_bytes(cells), std::vector<std::string>{}) << list.name;
    });

    // The printed pages, their headers and contents.
    HeadlessPrintDocument doc(PageSetup{}, 96);
    ASSERT_TRUE(report_render_pages(doc, results_report_job(default_report_selection())));
    for (const auto& page : doc.pages())
        for (const std::string& op : page->lines_starting("text"))
            EXPECT_EQ(raw_control_bytes(op, ""), std::vector<std::string>{}) << op;

    // The printed graphics.
    HeadlessPrintDocument graphics(PageSetup{}, 96);
    print_graphics_page(graphics, false);
    for (const std::string& op : graphics.page_at(1).lines_starting("text"))
        EXPECT_EQ(raw_control_bytes(op, ""), std::vector<std::string>{}) << op;
    expect_messages_clean();
}

TEST_F(ControlBytesEveryOutput, PlotAndExportFilesWriteCodesOrRefuseWithAMessageThatShowsThem)
{
    const ModelTexts hostile = hostile_texts();
    ASSERT_NO_FATAL_FAILURE(open_model(hostile));
    graphics_window_show();
    // File > Print to File of the graphics window: the title line begins with the title's codes, as far as the page
    // has room for them.
    const std::string start = hostile.title.shown.substr(0, 24);
    struct Format {
        PlotFormat format;
        std::vector<std::string> (*texts)(const std::string&);
        bool ascii;
    };
    for (const Format& f : {Format{PlotFormat::Emf, emf_texts, false}, Format{PlotFormat::Dxf, dxf_texts, false},
                            Format{PlotFormat::Eps, eps_texts, true}, Format{PlotFormat::Hpgl, hpgl_texts, true}}) {
        StringPlotSink sink;
        write_plot(f.format, sink);
        const std::vector<std::string> texts = f.texts(sink.bytes);
        ASSERT_FALSE(texts.empty()) << plot_format_name(f.format);
        for (const std::string& t : texts) {
            EXPECT_EQ(raw_control_bytes(t, ""), std::vector<std::string>{}) << plot_format_name(f.format) << ": " << t;
            if (f.ascii) {
                for (unsigned char c : t)
                    EXPECT_TRUE(c >= 0x20 && c < 0x7F) << plot_format_name(f.format) << ": " << t;
            }
        }
        EXPECT_TRUE(begins_one(texts, start)) << plot_format_name(f.format) << ": " << start;
    }

    // The exports of File > Export, as a user chooses them.
    for (const auto& [command, file] : {std::pair{CMD_EXPORT_PCF, "model.pcf"},
                                        std::pair{CMD_EXPORT_PLANT_DESIGN, "model.mac"}}) {
        script().answer_file(path(file));
        ASSERT_TRUE(run_command(command)) << file;
        const std::string written = bytes(path(file));
        ASSERT_FALSE(written.empty()) << file;
        EXPECT_EQ(raw_control_bytes(written), std::vector<std::string>{}) << file;
    }
    EXPECT_NE(bytes(path("model.pcf")).find(hostile.title.shown), std::string::npos);
    EXPECT_EQ(raw_control_bytes(plant_design_text(PLANT_CADMATIC)), std::vector<std::string>{});
    EXPECT_EQ(raw_control_bytes(hanger_interface_text()), std::vector<std::string>{});
    // The batch file, which the program reads back, refuses the title; its
    // message shows the title's codes, and no file is left.
    script().clear_log();
    script().answer_file(path("model export.mbf"));
    run_command(CMD_EXPORT);
    ASSERT_EQ(script().messages().size(), 1u);
    EXPECT_NE(script().last_message().find(hostile.title.shown.substr(0, 30)), std::string::npos)
        << script().last_message();
    EXPECT_FALSE(std::filesystem::exists(path("model export.mbf")));
    expect_messages_clean();
}

TEST_F(ControlBytesEveryOutput, ABatchRunsReportAndStandardErrorHoldCodesAndThePlainRows)
{
    // The program run on each model as a user runs a batch file.
    const auto run = [this](const std::string& name, const ModelTexts& texts, std::string& err) {
        write(name + ".mbf", model_text(texts));
        const std::string err_file = path(name + ".err");
        const int code = batch_runs::finish_program(
            batch_runs::start_program(folder, name + ".mbf", err_file));
        err = bytes(err_file);
        EXPECT_EQ(code, 0) << err;
        return bytes(path(name + ".txt"));
    };
    std::string err;
    const std::string plain_report = run("plain", plain_texts(), err);
    const ModelTexts hostile = hostile_texts();
    const std::string report = run("hostile", hostile, err);
    EXPECT_EQ(raw_control_bytes(err), std::vector<std::string>{}) << err;
    ASSERT_FALSE(report.empty());
    EXPECT_EQ(raw_control_bytes(report, "\n\f"), std::vector<std::string>{});
    expect_rows_as_plain(report, plain_report, hostile);
    // Every page header names the title as codes.
    const std::size_t pages = static_cast<std::size_t>(std::count(report.begin(), report.end(), '\f')) + 1;
    std::size_t headers = 0;
    for (const std::string& line : text_lines(report))
        headers += line.find(hostile.title.shown.substr(0, 20)) != std::string::npos &&
                   line.find("Page") != std::string::npos;
    EXPECT_EQ(headers, pages);
}
