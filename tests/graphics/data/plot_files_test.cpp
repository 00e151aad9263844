// The plot files: their text encodings and numbers, the paper table and the
// page fitting, golden files of each format (byte for byte), the records of
// HP-GL, DXF and EPS read back by small readers written here from the
// formats' rules, clipping at the page, and failures that keep the file
// that was there.
#include "codes/stress_display.h"
#include "golden.h"
#include "graphics/data/plot_fixture.h"
#include "graphics/plot_device.h"
#include "graphics/plot_text.h"
#include "graphics/stress_view.h"
#include "graphics/triads.h"
#include "utf16_text.h"

#include <filesystem>
#include <regex>

namespace {

constexpr const char* PLOTS = "plots";

// A sink that takes `budget` bytes and refuses the rest.
class FailingSink final : public PlotSink {
public:
    FailingSink(PlotSink& inner, std::size_t budget) : inner_(inner), budget_(budget) {}
    bool write(const char* data, std::size_t size) override
    {
        if (size > budget_) {
            inner_.write(data, budget_);
            budget_ = 0;
            return false;
        }
        budget_ -= size;
        return inner_.write(data, size);
    }

private:
    PlotSink& inner_;
    std::size_t budget_;
};

std::vector<double> numbers_in(const std::string& text)
{
    std::vector<double> out;
    static const std::regex number(R"(-?\d+\.\d+|-?\d+)");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), number); it != std::sregex_iterator(); ++it)
        out.push_back(std::stod(it->str()));
    return out;
}

// The lines of a DXF file as (group code, value) pairs.
std::vector<std::pair<std::string, std::string>> dxf_pairs(const std::vector<std::string>& lines)
{
    std::vector<std::pair<std::string, std::string>> out;
    for (std::size_t i = 0; i + 1 < lines.size(); i += 2)
        out.emplace_back(lines[i], lines[i + 1]);
    return out;
}

}  // namespace

// ---- Texts and numbers ------------------------------------------------------------------------

TEST_F(PlotTest, PlotTextNumbersAreFixedPointWithoutSignOnZero)
{
    EXPECT_EQ(plot_number(1234.5678, 2), "1234.57");
    EXPECT_EQ(plot_number(-0.001, 2), "0.00");
    EXPECT_EQ(plot_number(-0.006, 2), "-0.01");
    EXPECT_EQ(plot_number(10.6, 4), "10.6000");
    EXPECT_EQ(plot_number(std::nan(""), 3), "0.000");
    EXPECT_EQ(plot_number(2.5e-7, 6), "0.000000");
}

TEST_F(PlotTest, PlotTextKeepsControlCharactersAndNonAsciiOutOfTheFormats)
{
    // HP-GL labels end at byte 3, so neither it nor a line end may stay in one.
    EXPECT_EQ(hpgl_label_text("a\nb\x03" "c"), "a b c");
    EXPECT_EQ(hpgl_label_text("Tête (1)"), "Tete (1)");
    EXPECT_EQ(hpgl_label_text("Δp"), "?p");
    // DXF R12 texts are code page 1252; a control character is a blank.
    EXPECT_EQ(dxf_text_value("é\r\n€"), std::string("\xE9  \x80"));
    // A byte that is not UTF-8 is taken as already being code page 1252.
    EXPECT_EQ(dxf_text_value(std::string("\xE9t\xE9")), std::string("\xE9t\xE9"));
    // PostScript strings: the three special characters escaped, StandardEncoding
    // glyphs as octal escapes, accented letters plain.
    EXPECT_EQ(postscript_string_text("(a) \\ b"), "\\(a\\) \\\\ b");
    EXPECT_EQ(postscript_string_text("ß—é"), "\\373\\320e");
    EXPECT_EQ(postscript_string_text("x\ty"), "x y");
}

TEST_F(PlotTest, PlotTextHelveticaWidthsFollowTheFontMetrics)
{
    // Adobe Helvetica: H 722, e 556, l 222, o 556; "1234" four digits of 556.
    EXPECT_EQ(helvetica_width("Hello"), 722 + 556 + 222 + 222 + 556);
    EXPECT_EQ(helvetica_width("1234"), 4 * 556);
    // An escaped parenthesis is one character of 333.
    EXPECT_EQ(helvetica_width("()"), 666);
    // The lower-case letters of Helvetica sum to 12726 units: 489.5 a letter.
    EXPECT_EQ(helvetica_average_width(), 489);
}

// ---- Paper and page ---------------------------------------------------------------------------

TEST_F(PlotTest, PlotPaperTableGivesEachFormatsAreaAndPortraitTurnsIt)
{
    float w = 0, h = 0;
    plot_page_size(PlotFormat::Hpgl, DrawingSize{0, false}, w, h);
    EXPECT_FLOAT_EQ(w, 9.8f);
    EXPECT_FLOAT_EQ(h, 6.9f);
    plot_page_size(PlotFormat::Dxf, DrawingSize{9, true}, w, h);
    EXPECT_FLOAT_EQ(w, 31.9f);
    EXPECT_FLOAT_EQ(h, 45.8f);
    // An unknown paper is paper A; EPS is always 6.5 by 9 in.
    plot_page_size(PlotFormat::Dxf, DrawingSize{42, false}, w, h);
    EXPECT_FLOAT_EQ(w, 10.0f);
    EXPECT_FLOAT_EQ(h, 7.3f);
    plot_page_size(PlotFormat::Eps, DrawingSize{3, true}, w, h);
    EXPECT_FLOAT_EQ(w, 6.5f);
    EXPECT_FLOAT_EQ(h, 9.0f);
    EXPECT_STREQ(paper_size(-1).name, "A Size (8.5 in x 11 in)");
    EXPECT_STREQ(paper_size(9).name, "A0 Size (841 mm x 1189 mm)");
}

TEST_F(PlotTest, PlotPageFitWidensTheViewToThePageAndSetsInchSizes)
{
    // A window of 100 by 100 on a 10 by 5 in page: the height governs
    // (0.05 in a unit), the width grows to 200 about its middle.
    graphics_view().view_window = ViewWindow{0, 0, 100, 100};
    const double scale = fit_inch_page(10.0f, 5.0f);
    const ViewWindow& w = graphics_view().view_window;
    EXPECT_NEAR(scale, 0.05, 1e-9);
    EXPECT_NEAR(w.xmin, -50, 1e-4);
    EXPECT_NEAR(w.xmax, 150, 1e-4);
    EXPECT_NEAR(w.ymin, 0, 1e-4);
    const ViewState& v = view_state();
    EXPECT_NEAR(v.scale_90dpi, 4.5, 1e-9);
    EXPECT_NEAR(v.symbol_sizes[3], 12.0 / 4.5, 1e-9);
    EXPECT_NEAR(v.text_margin_x, 0.05 / 0.05, 1e-9);
    EXPECT_DOUBLE_EQ(v.arrow_head_length, 0.105);
    EXPECT_DOUBLE_EQ(v.triad_arrow_length, 0.35);
    EXPECT_DOUBLE_EQ(v.element_half_width, 0.0);
}

// ---- Golden files -----------------------------------------------------------------------------

TEST_F(PlotTest, PlotGoldenFilesOfEveryFormatLandscapeAndPortrait)
{
    plotted_model();
    displaced_shape();
    for (bool portrait : {false, true}) {
        drawing_size() = DrawingSize{0, portrait};
        const std::string side = portrait ? "portrait" : "landscape";
        expect_golden_file(PLOTS, "a_" + side + ".plt", plot(PlotFormat::Hpgl));
        expect_golden_file(PLOTS, "a_" + side + ".dxf", plot(PlotFormat::Dxf));
    }
    // EPS pages do not follow the drawing size.
    const std::string eps = plot(PlotFormat::Eps);
    drawing_size().portrait = false;
    EXPECT_EQ(plot(PlotFormat::Eps), eps);
    expect_golden_file(PLOTS, "page.eps", eps);
    expect_golden_file(PLOTS, "client.emf", plot(PlotFormat::Emf));
}

TEST_F(PlotTest, PlotWritingPutsTheViewAndScreenTextSizesBack)
{
    plotted_model();
    set_text_metrics(7, 12, 2, 28, 15);
    const ViewWindow window = graphics_view().view_window;
    const ViewState before = view_state();
    for (PlotFormat f : {PlotFormat::Hpgl, PlotFormat::Dxf, PlotFormat::Eps, PlotFormat::Emf}) {
        plot(f);
        EXPECT_EQ(graphics_view().view_window, window);
        const ViewState& v = view_state();
        EXPECT_DOUBLE_EQ(v.scale, before.scale);
        // The EPS page measures its own 90-unit Helvetica: the screen's
        // metrics (and the label sizes made from them) stay.
        EXPECT_EQ(v.font_average_width, 7);
        EXPECT_EQ(v.font_ascent, 12);
        EXPECT_DOUBLE_EQ(v.text_margin_x, before.text_margin_x);
        EXPECT_DOUBLE_EQ(v.number_width, before.number_width);
        EXPECT_EQ(v.dot_size, before.dot_size);
        EXPECT_FALSE(graphics_view().plt_output || graphics_view().dxf_output || graphics_view().eps_output);
    }
}

// ---- HP-GL ------------------------------------------------------------------------------------

TEST_F(PlotTest, PlotHpglRecordsFollowTheirFormsInTheJob)
{
    plotted_model();
    displaced_shape();
    for (bool portrait : {false, true}) {
        drawing_size() = DrawingSize{0, portrait};
        const std::string file = plot(PlotFormat::Hpgl);
        // The PCL job around the plot, byte for byte.
        ASSERT_EQ(file.substr(0, 13), "\x1b" "E\x1b&l1O\x1b%0B\r\n");
        ASSERT_EQ(file.substr(file.size() - 14), "SP;PG;IN;\r\n\f\x1b" "E");
        std::vector<std::string> lines;
        ASSERT_TRUE(crlf_lines(file.substr(0, file.size() - 3), lines));
        ASSERT_GE(lines.size(), 6u);
        EXPECT_EQ(lines[1], "IN;IP500,500,1500,1500;");
        EXPECT_EQ(lines[2], "SC0,1000,0,1000;SI0.16,0.25;");
        std::size_t at = 3;
        if (portrait)
            EXPECT_EQ(lines[at++], "RO90;");
        else
            EXPECT_NE(lines[at], "RO90;");
        static const std::regex pen(R"(LT(2,1,1)?;)");
        static const std::regex line(R"(SP1;PU-?\d+\.\d\d,-?\d+\.\d\d;PD-?\d+\.\d\d,-?\d+\.\d\dPU;)");
        static const std::regex label(R"(SP1;PU-?\d+\.\d\d,-?\d+\.\d\d;LB[ -~]*\x03)");
        static const std::regex window(R"(IW10,10,(\d+),(\d+);)");
        int windows = 0, labels_before_window = 0;
        bool dashed = false, solid_after_dashed = false, dashed_seen = false;
        for (std::size_t i = at; i + 1 < lines.size(); ++i) {
            const std::string& l = lines[i];
            std::smatch m;
            if (std::regex_match(l, m, window)) {
                ++windows;
                // The window is the page less the frame's inset, in thousandths.
                EXPECT_EQ(std::stoi(m[1]), portrait ? 6890 : 9790);
                EXPECT_EQ(std::stoi(m[2]), portrait ? 9790 : 6890);
                continue;
            }
            if (std::regex_match(l, pen)) {
                const bool now = l == "LT2,1,1;";
                dashed_seen = dashed_seen || now;
                if (dashed && !now)
                    dashed = false;
                else if (now)
                    dashed = true;
                continue;
            }
            if (std::regex_match(l, label)) {
                labels_before_window += windows == 0 ? 1 : 0;
                continue;
            }
            ASSERT_TRUE(std::regex_match(l, line)) << "line " << i << ": " << l;
            solid_after_dashed = solid_after_dashed || (dashed_seen && !dashed);
        }
        EXPECT_EQ(windows, 1);
        // The title and the file name come before the window, unclipped.
        EXPECT_EQ(labels_before_window, 2);
        EXPECT_TRUE(dashed_seen);
        EXPECT_TRUE(solid_after_dashed);
        EXPECT_EQ(lines.back(), "SP;PG;IN;");
    }
}

// ---- DXF --------------------------------------------------------------------------------------

TEST_F(PlotTest, PlotDxfHasItsSectionsLayersAndEntitiesInOrder)
{
    plotted_model();
    displaced_shape();
    std::vector<std::string> lines;
    ASSERT_TRUE(crlf_lines(plot(PlotFormat::Dxf), lines));
    const auto pairs = dxf_pairs(lines);
    // HEADER: the limits of an A page (10.0 by 7.3 in) and the text size.
    const std::vector<std::pair<std::string, std::string>> header = {
        {"  0", "SECTION"}, {"  2", "HEADER"},   {"  9", "$LIMMIN"},  {" 10", "0.4"},     {" 20", "0.4"},
        {"  9", "$LIMMAX"}, {" 10", "10.6000"},  {" 20", "8.1000"},   {"  9", "$TEXTSIZE"}, {" 40", "0.0900"},
        {"  0", "ENDSEC"}};
    ASSERT_GE(pairs.size(), header.size());
    for (std::size_t i = 0; i < header.size(); ++i)
        EXPECT_EQ(pairs[i], header[i]) << i;
    // The layer table: 23 layers in order, four of them off (colour -7).
    std::vector<std::string> layers;
    std::vector<std::string> off;
    for (std::size_t i = 0; i + 3 < pairs.size(); ++i)
        if (pairs[i] == std::make_pair(std::string("  0"), std::string("LAYER"))) {
            layers.push_back(pairs[i + 1].second);
            if (pairs[i + 3].second == "-7")
                off.push_back(pairs[i + 1].second);
        }
    const std::vector<std::string> expected = {
        "0",        "BORDER",   "TITLE",     "AXES",       "ELEMENTS",  "ANCHORS",           "RESTRAINTS",
        "SKEWED_RESTRAINTS",    "HANGERS",   "GUIDES",     "LIMIT_STOPS", "NOZZLES",         "SNUBBERS",
        "SPIDERS",  "END_CAPS", "FLANGES",   "FORCES",     "CMASSES",   "OTHER",             "NODES",
        "NODE-DOTS", "LENGTHS", "ROW_NUMBERS"};
    EXPECT_EQ(layers, expected);
    EXPECT_EQ(off, (std::vector<std::string>{"FORCES", "OTHER", "LENGTHS", "ROW_NUMBERS"}));
    // The entities' layers follow the drawing order; the generic support
    // (data type 21) lands on OTHER; the shape is not drawn in DXF.
    std::vector<std::string> order;
    bool dashed = false;
    for (std::size_t i = 0; i + 1 < pairs.size(); ++i) {
        if (pairs[i].first != "  0" || (pairs[i].second != "LINE" && pairs[i].second != "TEXT" &&
                                        pairs[i].second != "SOLID"))
            continue;
        ASSERT_EQ(pairs[i + 1].first, "  8");
        const std::string& layer = pairs[i + 1].second;
        if (order.empty() || order.back() != layer)
            order.push_back(layer);
        dashed = dashed || pairs[i + 2] == std::make_pair(std::string("  6"), std::string("DASHED"));
    }
    EXPECT_FALSE(dashed);
    const std::vector<std::string> layer_order = {"BORDER",  "TITLE",     "AXES",       "ELEMENTS", "ANCHORS",
                                                  "RESTRAINTS", "GUIDES", "LIMIT_STOPS", "HANGERS",
                                                  "SNUBBERS", "SKEWED_RESTRAINTS", "OTHER", "NOZZLES",
                                                  "LENGTHS",  "NODE-DOTS", "NODES",     "ROW_NUMBERS"};
    EXPECT_EQ(order, layer_order);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 4, lines.end()),
              (std::vector<std::string>{"  0", "ENDSEC", "  0", "EOF"}));
}

// ---- EPS --------------------------------------------------------------------------------------

TEST_F(PlotTest, PlotEpsHeaderBoundingBoxClipAndEscapedTitle)
{
    plotted_model();
    const std::string file = plot(PlotFormat::Eps);
    std::vector<std::string> lines;
    ASSERT_TRUE(crlf_lines(file, lines));
    ASSERT_GT(lines.size(), 20u);
    EXPECT_EQ(lines[0], "%!PS-Adobe-3.0 EPSF-3.0");
    EXPECT_EQ(lines[1], "%%Creator:Korvane");
    EXPECT_EQ(lines[2], "%%DocumentProcessColors: Black");
    EXPECT_EQ(lines[3], "%%DocumentFonts: Helvetica");
    // The box: the page's frame at 72 points plus the margins of the format.
    const ViewWindow& w = graphics_view().view_window;
    const double s = std::min(72 * 6.5 / w.width(), 72 * 9.0 / w.height());
    EXPECT_EQ(lines[4], "%%BoundingBox:70 70 " + std::to_string(int(w.width() * s + 0.5) + 74) + " " +
                            std::to_string(int(w.height() * s + 0.5) + 90));
    const std::vector<std::string> prologue = {"%%EndComments", "/Helvetica findfont", "9 scalefont", "setfont",
                                               "0.65 setlinewidth", "0 setgray"};
    for (std::size_t i = 0; i < prologue.size(); ++i)
        EXPECT_EQ(lines[5 + i], prologue[i]);
    // The title is shown escaped; a new path follows the clip.
    EXPECT_NE(std::find(lines.begin(), lines.end(), "(Line \\(A\\) \\\\ B) show"), lines.end());
    const auto clip = std::find(lines.begin(), lines.end(), "clip");
    ASSERT_NE(clip, lines.end());
    EXPECT_EQ(*(clip + 1), "newpath");
    EXPECT_EQ(*(clip - 1), "closepath");
    EXPECT_EQ(lines.back(), "%%EOF");
}

// ---- Clipping ---------------------------------------------------------------------------------

TEST_F(PlotTest, PlotClippingCutsLinesAtThePageButEpsWritesThemWhole)
{
    plotted_model();
    // A window over the first part of the line only: the element from 30 to
    // 40 crosses its right edge, the later ones lie wholly outside.
    const Point2 n30 = node_view_point(node_index(30)), n40 = node_view_point(node_index(40));
    const Point2 n10 = node_view_point(node_index(10));
    const float right = (n30.x + n40.x) / 2;
    ViewWindow& w = graphics_view().view_window;
    w = ViewWindow{n10.x - 40, std::min(n10.y, n40.y) - 200, right, std::max(n10.y, n40.y) + 200};
    graphics_settings().axes_corner = 0;
    // HP-GL: every line end on the page, one of them on its right edge.
    std::vector<std::string> lines;
    ASSERT_TRUE(crlf_lines(plot(PlotFormat::Hpgl), lines));
    double largest = 0;
    int element_lines = 0;
    bool after_window = false;
    for (const std::string& l : lines) {
        after_window = after_window || l.rfind("IW", 0) == 0;
        if (!after_window || l.find(";PD") == std::string::npos)
            continue;
        const std::vector<double> v = numbers_in(l.substr(l.find("PU")));
        ASSERT_EQ(v.size(), 4u);
        // The edges of dots and arrow heads are written as given; lines are cut.
        if (std::hypot(v[2] - v[0], v[3] - v[1]) < 100)
            continue;
        for (int k = 0; k < 4; k += 2) {
            EXPECT_GE(v[k], -0.01);
            EXPECT_LE(v[k], 9800.01);
            largest = std::max(largest, v[k]);
        }
        ++element_lines;
    }
    EXPECT_NEAR(largest, 9800.0, 0.01);
    // EPS: a line runs past the frame (the page's clip path cuts it).
    ASSERT_TRUE(crlf_lines(plot(PlotFormat::Eps), lines));
    double frame_right = 0, farthest = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == "clip")
            frame_right = numbers_in(lines[i - 4])[0];
        if (frame_right > 0 && lines[i].find("lineto") != std::string::npos)
            farthest = std::max(farthest, numbers_in(lines[i])[0]);
    }
    EXPECT_GT(farthest, frame_right + 1.0);
    EXPECT_GT(element_lines, 0);
}

// ---- Failures ---------------------------------------------------------------------------------

TEST_F(PlotTest, PlotFileUnwritablePathFailsAndLeavesNothing)
{
    plotted_model();
    const std::string folder_missing = file_path("no such folder");
    for (PlotFormat f : {PlotFormat::Hpgl, PlotFormat::Dxf, PlotFormat::Eps}) {
        const std::string path = folder_missing + "/plot." + std::string(plot_format_name(f));
        EXPECT_EQ(thrown_text([&] { write_plot_file(f, path); }),
                  std::string("Unable to open ") + plot_format_name(f) + " file for output\nNo such file or directory.");
    }
    EXPECT_FALSE(std::filesystem::exists(folder_missing));
    // Nothing is left in the folder either.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()),
              0);
}

TEST_F(PlotTest, PlotFileWriteFailingMidwayKeepsTheOldFile)
{
    plotted_model();
    for (PlotFormat f : {PlotFormat::Hpgl, PlotFormat::Dxf, PlotFormat::Eps}) {
        const std::string path = file_path(std::string("plot.") + plot_format_name(f));
        std::ofstream(path, std::ios::binary) << "the file that was there";
        const PlotSinkFilter fail_after_100 = [](PlotSink& file) { return std::make_unique<FailingSink>(file, 100); };
        EXPECT_EQ(thrown_text([&] { write_plot_file(f, path, fail_after_100); }),
                  std::string("Unable to write ") + plot_format_name(f) + " file");
        EXPECT_EQ(read_file(path), "the file that was there");
        // The same path written whole replaces it.
        write_plot_file(f, path);
        EXPECT_EQ(read_file(path), plot(f));
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 3);
}

// ---- The caption of the results -----------------------------------------------------------------

TEST_F(PlotTest, PlotTitleNamesTheShapeOrStressViewShown)
{
    every_support_model();
    analyse();
    load_results(results_path, "");
    EXPECT_EQ(graphics_plot_title(), "");
    graphics_hooks().plot_title = results_plot_title;
    EXPECT_EQ(graphics_plot_title(), "");
    shape_state().deflected_shape_shown = true;
    magnification() = 1234.56f;
    EXPECT_EQ(graphics_plot_title(), "Deflected shape: " + results_loadcase_name() + ", Magnification factor = 1234.6");
    shape_state().deflected_shape_shown = false;
    results().modal.modes = 2;
    results().modal.frequencies = OneBased<float>(2);
    results().modal.frequencies[2] = 12.345f;
    results().current_mode = 2;
    shape_state().mode_shape_shown = true;
    EXPECT_EQ(graphics_plot_title(), "Mode 2: 12.35 Hz");
    shape_state().mode_shape_shown = false;
    show_stress_ratios();
    EXPECT_EQ(graphics_plot_title(), stress_ratio_view_caption(piping_code(), stress_display_flags().ratio_kind));
    hide_stress_ratios();
    EXPECT_EQ(graphics_plot_title(), "");
}

// ---- Enhanced metafile ------------------------------------------------------------------------

namespace {

uint32_t u32_at(const std::string& b, std::size_t at)
{
    return uint32_t(static_cast<unsigned char>(b[at])) | (uint32_t(static_cast<unsigned char>(b[at + 1])) << 8) |
           (uint32_t(static_cast<unsigned char>(b[at + 2])) << 16) |
           (uint32_t(static_cast<unsigned char>(b[at + 3])) << 24);
}

int32_t i32_at(const std::string& b, std::size_t at)
{
    return static_cast<int32_t>(u32_at(b, at));
}

}  // namespace

TEST_F(PlotTest, PlotEmfRecordsReadBackByTheFormatsRules)
{
    // Read with the record layouts of the published EMF format: the header
    // (type 1, " EMF" at byte 40, the file's size and record count, the
    // handle count), records of whole 4-byte words, objects selected only
    // after they were made, and the end record last.
    plotted_model();
    const std::string b = plot(PlotFormat::Emf);
    ASSERT_GE(b.size(), 108u);
    ASSERT_EQ(u32_at(b, 0), 1u);
    const uint32_t header_size = u32_at(b, 4);
    EXPECT_GE(header_size, 88u);
    EXPECT_EQ(u32_at(b, 40), 0x464D4520u);
    EXPECT_EQ(u32_at(b, 44), 0x00010000u);
    EXPECT_EQ(u32_at(b, 48), b.size());
    const uint32_t records = u32_at(b, 52);
    const uint32_t handles = u32_at(b, 56) & 0xFFFF;
    // The picture's bounds: the client of 800 by 600 pixels.
    EXPECT_EQ(i32_at(b, 8), 0);
    EXPECT_EQ(i32_at(b, 16), 799);
    EXPECT_EQ(i32_at(b, 20), 599);
    EXPECT_EQ(i32_at(b, 72), 800);
    EXPECT_EQ(i32_at(b, 76), 600);
    std::vector<bool> made(handles, false);
    std::size_t at = 0;
    uint32_t count = 0, last_type = 0, lines = 0;
    std::vector<std::string> texts;
    while (at < b.size()) {
        ASSERT_LE(at + 8, b.size());
        const uint32_t type = u32_at(b, at), size = u32_at(b, at + 4);
        ASSERT_GE(size, 8u) << "record " << count;
        ASSERT_EQ(size % 4, 0u) << "record " << count;
        ASSERT_LE(at + size, b.size());
        switch (type) {
        case 38:   // EMR_CREATEPEN: handle, style, width, colour
        case 39:   // EMR_CREATEBRUSHINDIRECT
        case 82: { // EMR_EXTCREATEFONTINDIRECTW
            const uint32_t h = u32_at(b, at + 8);
            ASSERT_GT(h, 0u);
            ASSERT_LT(h, handles);
            EXPECT_FALSE(made[h]) << "handle " << h << " made twice";
            made[h] = true;
            EXPECT_EQ(size, type == 38 ? 28u : type == 39 ? 24u : 104u);
            break;
        }
        case 37: { // EMR_SELECTOBJECT: a stock object or one made before
            const uint32_t h = u32_at(b, at + 8);
            if (!(h & 0x80000000u)) {
                ASSERT_LT(h, handles);
                EXPECT_TRUE(made[h]) << "handle " << h << " selected before it was made";
            }
            break;
        }
        case 27:   // EMR_MOVETOEX, EMR_LINETO: a point within the picture
        case 54: {
            const int32_t x = i32_at(b, at + 8), y = i32_at(b, at + 12);
            EXPECT_GE(x, 0);
            EXPECT_LE(x, 800);
            EXPECT_GE(y, 0);
            EXPECT_LE(y, 600);
            lines += type == 54 ? 1 : 0;
            break;
        }
        case 86:   // EMR_POLYGON16, EMR_POLYBEZIER16: bounds, count, points
        case 85:
            EXPECT_EQ(size, 28 + 4 * u32_at(b, at + 24));
            break;
        case 84: { // EMR_EXTTEXTOUTW: the UTF-16 text at its offset
            const uint32_t chars = u32_at(b, at + 44), offset = u32_at(b, at + 48);
            ASSERT_LE(offset + 2 * chars, size);
            std::string text;
            for (uint32_t k = 0; k < chars; ++k)
                text.push_back(static_cast<char>(b[at + offset + 2 * k]));
            texts.push_back(text);
            break;
        }
        default: break;
        }
        last_type = type;
        at += size;
        ++count;
    }
    EXPECT_EQ(count, records);
    EXPECT_EQ(last_type, 14u);
    EXPECT_EQ(u32_at(b, b.size() - 4), 20u);
    EXPECT_GT(lines, 20u);
    // The node numbers of the model are among the texts.
    for (const char* n : {"10", "50", "90"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), n), texts.end()) << n;
}

// ---- The metafile's title line ------------------------------------------------------------------

namespace {

// The texts of a metafile (EMR_EXTTEXTOUTW, read by the format's layout:
// bounds at 8, the reference point at 36, the count and offset of the
// UTF-16 characters at 44 and 48) with their place among the records.
struct EmfText {
    std::string text;
    int32_t x = 0, y = 0, left = 0, top = 0, right = 0, bottom = 0;
    std::size_t record = 0;
};

std::vector<EmfText> emf_texts(const std::string& b, std::size_t& first_line)
{
    std::vector<EmfText> out;
    first_line = 0;
    std::size_t at = 0, record = 0;
    while (at + 8 <= b.size()) {
        const uint32_t type = u32_at(b, at), size = u32_at(b, at + 4);
        if (size < 8)
            break;
        if (type == 54 && first_line == 0)
            first_line = record;
        if (type == 84) {
            EmfText t;
            const uint32_t chars = u32_at(b, at + 44), offset = u32_at(b, at + 48);
            t.text = utf16le_text(b, at + offset, chars);
            t.left = i32_at(b, at + 8);
            t.top = i32_at(b, at + 12);
            t.right = i32_at(b, at + 16);
            t.bottom = i32_at(b, at + 20);
            t.x = i32_at(b, at + 36);
            t.y = i32_at(b, at + 40);
            t.record = record;
            out.push_back(t);
        }
        at += size;
        ++record;
    }
    return out;
}

}  // namespace

class EmfTitleLine : public PlotTest {};

TEST_F(EmfTitleLine, TitleAtTheLeftAndFileNameAtTheRightOfThePagesTopAboveTheCaption)
{
    // As the HP-GL and EPS pages: the model's title from the left edge and
    // the file's name ending at the right edge, on one base line, drawn
    // before the model; the results' caption centred on the line below.
    plotted_model();
    model_file_path() = "/plans/unit 7/feed line.mod";
    graphics_hooks().plot_title = [] { return std::string("Deflected shape: Sustained"); };
    std::size_t first_line = 0;
    const std::vector<EmfText> texts = emf_texts(plot(PlotFormat::Emf), first_line);
    auto find = [&](const std::string& text) {
        const auto it = std::find_if(texts.begin(), texts.end(), [&](const EmfText& t) { return t.text == text; });
        EXPECT_NE(it, texts.end()) << text;
        return it == texts.end() ? EmfText{} : *it;
    };
    const EmfText title = find("Line (A) \\ B");
    const EmfText name = find("feed line");
    const EmfText caption = find("Deflected shape: Sustained");
    // Within the 800 by 600 page, at its top.
    EXPECT_EQ(title.x, 0);
    EXPECT_GE(title.top, 0);
    EXPECT_LT(title.bottom, 40);
    EXPECT_NEAR(name.right, 800, 2);
    EXPECT_EQ(name.y, title.y);
    EXPECT_LT(title.right, name.left);
    EXPECT_LT(title.record, first_line);
    EXPECT_LT(name.record, first_line);
    // The caption: centred, wholly under the title line.
    EXPECT_NEAR(0.5 * (caption.left + caption.right), 400.0, 2.0);
    EXPECT_GT(caption.top, std::max(title.bottom, name.bottom));
    EXPECT_LT(caption.bottom, 80);
}

// ---- DXF texts as a DXF reader reads them ----------------------------------------------------

namespace {

// The characters of code page 1252 at 0x80..0x9F (Microsoft's table of the
// code page; 0 where it has none).
constexpr uint32_t CP1252_80_9F[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                       0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// A DXF TEXT value (group 1) as a DXF reader takes it, by the rules of the
// format: the bytes are code page 1252 (a drawing without $DWGCODEPAGE);
// as the drawing is loaded, "\U+XXXX" is the character of that code and
// "\M+nXXXX" a character of a multibyte code page (read here as U+FFFD),
// "^ " is a caret and "^" before any other character the control character
// of its code less 64 (ASCII caret notation); then, as the text is shown,
// "%%%" is "%", "%%" with three digits the character of that decimal code,
// "%%c", "%%d" and "%%p" the diameter, degree and plus-minus signs, and
// "%%u", "%%o" and "%%k" switch under-, over- and strike-lining and show
// nothing (any case).
std::string dxf_read_text(const std::string& value)
{
    std::vector<uint32_t> chars;
    for (unsigned char b : value)
        chars.push_back(b >= 0x80 && b < 0xA0 ? CP1252_80_9F[b - 0x80] : b);
    const auto hex = [](const std::vector<uint32_t>& c, std::size_t from, std::size_t n, uint32_t& v) {
        v = 0;
        for (std::size_t i = from; i < from + n; ++i) {
            const uint32_t d = i >= c.size()             ? 99
                               : c[i] >= '0' && c[i] <= '9' ? c[i] - '0'
                               : c[i] >= 'A' && c[i] <= 'F' ? c[i] - 'A' + 10
                               : c[i] >= 'a' && c[i] <= 'f' ? c[i] - 'a' + 10
                                                            : 99;
            if (d > 15)
                return false;
            v = v * 16 + d;
        }
        return true;
    };
    // Loading: the coded characters, then the caret notation.
    std::vector<uint32_t> loaded;
    for (std::size_t i = 0; i < chars.size(); ++i) {
        uint32_t v = 0;
        const bool coded = chars[i] == '\\' && i + 2 < chars.size() && chars[i + 2] == '+';
        if (coded && (chars[i + 1] == 'U' || chars[i + 1] == 'u') && hex(chars, i + 3, 4, v)) {
            loaded.push_back(v);
            i += 6;
        } else if (coded && (chars[i + 1] == 'M' || chars[i + 1] == 'm') && i + 3 < chars.size() &&
                   chars[i + 3] >= '0' && chars[i + 3] <= '9' && hex(chars, i + 4, 4, v)) {
            loaded.push_back(0xFFFD);
            i += 7;
        } else {
            loaded.push_back(chars[i]);
        }
    }
    std::vector<uint32_t> uncareted;
    for (std::size_t i = 0; i < loaded.size(); ++i) {
        if (loaded[i] == '^' && i + 1 < loaded.size()) {
            const uint32_t next = loaded[++i];
            uncareted.push_back(next == ' ' ? uint32_t{'^'} : (next - 64) & 0x7F);
        } else {
            uncareted.push_back(loaded[i]);
        }
    }
    // Showing: the percent codes.
    std::string text;
    const std::vector<uint32_t>& c = uncareted;
    for (std::size_t i = 0; i < c.size(); ++i) {
        if (c[i] != '%' || i + 2 >= c.size() || c[i + 1] != '%') {
            append_utf8(text, c[i]);
            continue;
        }
        const uint32_t code = c[i + 2] >= 'A' && c[i + 2] <= 'Z' ? c[i + 2] + ('a' - 'A') : c[i + 2];
        const auto digit = [&c](std::size_t k) { return k < c.size() && c[k] >= '0' && c[k] <= '9'; };
        if (digit(i + 2) && digit(i + 3) && digit(i + 4)) {
            append_utf8(text, (c[i + 2] - '0') * 100 + (c[i + 3] - '0') * 10 + (c[i + 4] - '0'));
            i += 4;
            continue;
        }
        if (code == '%') {
            text += "%";
        } else if (code == 'c') {
            text += "\u2300";
        } else if (code == 'd') {
            text += "\u00B0";
        } else if (code == 'p') {
            text += "\u00B1";
        } else if (code != 'u' && code != 'o' && code != 'k') {
            text += "%%";
            append_utf8(text, c[i + 2]);
        }
        i += 2;
    }
    return text;
}

// The TEXT entities of a DXF file on a layer, as the reader reads them.
std::vector<std::string> dxf_layer_texts(const std::string& file, const std::string& layer)
{
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < file.size();) {
        const std::size_t end = file.find("\r\n", at);
        lines.push_back(file.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end == std::string::npos ? file.size() : end + 2;
    }
    std::vector<std::string> texts;
    std::string entity, entity_layer;
    for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
        const std::string code = lines[i].substr(lines[i].find_first_not_of(' '));
        if (code == "0")
            entity = lines[i + 1];
        else if (code == "8")
            entity_layer = lines[i + 1];
        else if (code == "1" && entity == "TEXT" && entity_layer == layer)
            texts.push_back(dxf_read_text(lines[i + 1]));
    }
    return texts;
}

class DxfTextAsWritten : public PlotTest {};

}  // namespace

TEST_F(DxfTextAsWritten, TitleAndFileNameReadBackAsTheMetafileShowsThem)
{
    plotted_model();
    // Carets and percent pairs, which a DXF reader would take for control
    // characters, lining switches and symbols; a backslash before the
    // reader's character codes; a BEL byte, which every format shows as its
    // code; letters in and outside code page 1252.
    model_title() = "Caret ^[[2J ^G ^M x ^^ y %%u z %%c%%D %%p 50% %%%%123 %\\U+0041 \\m+18140 \x07 "
                    "\xC3\xA9\xE2\x82\xAC\xCE\x94";
    model_file_path() = "/plans/a^b %%d.mod";
    const std::string title_shown =
        "Caret ^[[2J ^G ^M x ^^ y %%u z %%c%%D %%p 50% %%%%123 %\\U+0041 \\m+18140 \\x07 \xC3\xA9\xE2\x82\xAC\xCE\x94";
    std::size_t first_line = 0;
    std::vector<std::string> emf;
    for (const EmfText& t : emf_texts(plot(PlotFormat::Emf), first_line))
        emf.push_back(t.text);
    // The metafile (UTF-16) shows both whole, as the screen does.
    ASSERT_NE(std::find(emf.begin(), emf.end(), title_shown), emf.end());
    ASSERT_NE(std::find(emf.begin(), emf.end(), "a^b %%d"), emf.end());
    EXPECT_EQ(dxf_layer_texts(plot(PlotFormat::Dxf), "TITLE"), (std::vector<std::string>{title_shown, "a^b %%d"}));
}

TEST_F(DxfTextAsWritten, EveryCodeOfTheReaderReadsBackAsWritten)
{
    // Each text alone and after and before a letter, so that an escape is
    // read back also at either end of a text.
    const char* const texts[] = {
        "^",       "^^",      "^ ",       "^@",     "%",        "%%",        "%%%",       "%%%%",
        "%%u",     "%%O",     "%%k",      "%%c",    "%%d",      "%%p",       "%%065",     "%%%065",
        "50%",     "%5",      "%\\U+0041", "\\U+0041", "\\u+00e9", "\\M+18140", "%%\\M+18140", "\\",
        "\\U",     "\\U+",    "\\x41",    "%^%",    "^%%",      "\xCE\x94",  "%\xCE\x94", "\xE2\x82\xAC",
    };
    for (const char* t : texts) {
        for (const std::string& text : {std::string(t), "a" + std::string(t), std::string(t) + "a"}) {
            const std::string value = dxf_text_value(text);
            EXPECT_EQ(dxf_read_text(value), text) << text << " written " << value;
        }
    }
    // A plain text is written as it is.
    EXPECT_EQ(dxf_text_value("Line (A) \\ B 50% 1/2"), "Line (A) \\ B 50% 1/2");
}
