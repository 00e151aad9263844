// The plot files read by independent programs of the system (Debian's
// python3-ezdxf, ghostscript and hp2xx): the CTest test plot_files_external
// runs these with KV_PLOT_EXTERNAL=1; elsewhere they are skipped.
#include "graphics/data/plot_fixture.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>

namespace {

struct Outcome {
    int status = -1;
    std::string output;
};

// Runs a command line, its standard output and error together.
Outcome run(const std::string& command)
{
    Outcome r;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return r;
    std::array<char, 4096> buffer{};
    while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe))
        r.output += buffer.data();
    r.status = ::pclose(pipe);
    return r;
}

std::string quoted(const std::string& path)
{
    return "'" + path + "'";
}

class PlotExternal : public PlotTest {
protected:
    void SetUp() override
    {
        PlotTest::SetUp();
        const char* wanted = std::getenv("KV_PLOT_EXTERNAL");
        if (!wanted || std::string(wanted) != "1")
            GTEST_SKIP() << "run by the CTest test plot_files_external";
    }

    std::string write(PlotFormat format, const std::string& name)
    {
        const std::string path = file_path(name);
        write_plot_file(format, path);
        return path;
    }
};

}  // namespace

TEST_F(PlotExternal, EzdxfReadsTheDrawingWithItsLayersOnTheSheet)
{
    plotted_model();
    displaced_shape();
    for (bool portrait : {false, true}) {
        drawing_size() = DrawingSize{0, portrait};
        const std::string path = write(PlotFormat::Dxf, portrait ? "portrait.dxf" : "landscape.dxf");
        // R12 without handles: no group code 5 anywhere.
        const std::string text = read_file(path);
        EXPECT_EQ(text.find("\r\n  5\r\n"), std::string::npos);
        float w = 0, h = 0;
        plot_page_size(PlotFormat::Dxf, drawing_size(), w, h);
        const Outcome r = run("/usr/bin/python3 " + quoted(std::string(KV_SOURCE_DIR) + "/tests/graphics/data/check_dxf.py") +
                          " " + quoted(path) + " " + std::to_string(w) + " " + std::to_string(h));
        EXPECT_EQ(r.status, 0) << r.output;
        EXPECT_EQ(r.output, "ok\n");
    }
}

TEST_F(PlotExternal, GhostscriptRendersTheEpsWithInkInsideItsBox)
{
    plotted_model();
    displaced_shape();
    const std::string path = write(PlotFormat::Eps, "page.eps");
    const std::string picture = file_path("page.ppm");
    const Outcome render = run("gs -q -dSAFER -dBATCH -dNOPAUSE -dEPSCrop -sDEVICE=ppmraw -r72 -o " + quoted(picture) +
                           " " + quoted(path));
    EXPECT_EQ(render.status, 0) << render.output;
    EXPECT_EQ(render.output.find("Error"), std::string::npos) << render.output;
    EXPECT_TRUE(std::filesystem::exists(picture));
    // The ink's box, as ghostscript finds it, lies inside the declared one.
    const Outcome box = run("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=bbox " + quoted(path));
    ASSERT_EQ(box.status, 0) << box.output;
    std::smatch ink, declared;
    static const std::regex hires(R"(%%HiResBoundingBox: ([-\d.]+) ([-\d.]+) ([-\d.]+) ([-\d.]+))");
    static const std::regex bounding(R"(%%BoundingBox:(\d+) (\d+) (\d+) (\d+))");
    ASSERT_TRUE(std::regex_search(box.output, ink, hires)) << box.output;
    const std::string text = read_file(path);
    ASSERT_TRUE(std::regex_search(text, declared, bounding));
    for (int k = 1; k <= 2; ++k)
        EXPECT_GE(std::stod(ink[k]), std::stod(declared[k]));
    for (int k = 3; k <= 4; ++k)
        EXPECT_LE(std::stod(ink[k]), std::stod(declared[k]));
}

TEST_F(PlotExternal, GhostscriptPageIsWhiteWhenTheFirstPrimitiveIsAFill)
{
    // One node and no axes: the first thing after the clip is a dot's fill,
    // which without a new path would fill the whole clip rectangle.
    from(10);
    graphics_settings().axes_corner = 0;
    view_model();
    const std::string path = write(PlotFormat::Eps, "dot.eps");
    const std::string picture = file_path("dot.pgm");
    const Outcome render = run("gs -q -dSAFER -dBATCH -dNOPAUSE -dEPSCrop -sDEVICE=pgmraw -r72 -o " + quoted(picture) +
                           " " + quoted(path));
    ASSERT_EQ(render.status, 0) << render.output;
    // A binary PGM: "P5", width, height, the maximum (comment lines between),
    // then one byte a pixel.
    const std::string pgm = read_file(picture);
    std::istringstream head(pgm);
    std::string magic;
    std::vector<int> values;
    head >> magic;
    for (std::string word; values.size() < 3 && head >> word;) {
        if (word[0] == '#') {
            std::getline(head, word);
            continue;
        }
        values.push_back(std::stoi(word));
    }
    ASSERT_EQ(values.size(), 3u);
    const int width = values[0], height = values[1];
    ASSERT_EQ(magic, "P5");
    ASSERT_GT(width * height, 0);
    const std::string pixels = pgm.substr(pgm.size() - static_cast<std::size_t>(width * height));
    long dark = 0;
    for (char c : pixels)
        dark += static_cast<unsigned char>(c) < 128 ? 1 : 0;
    EXPECT_LT(double(dark) / (double(width) * height), 0.03);
}

TEST_F(PlotExternal, Hp2xxConvertsTheHpglJob)
{
    plotted_model();
    displaced_shape();
    for (bool portrait : {false, true}) {
        drawing_size() = DrawingSize{0, portrait};
        const std::string path = write(PlotFormat::Hpgl, portrait ? "portrait.plt" : "landscape.plt");
        const std::string picture = file_path(portrait ? "portrait.pbm" : "landscape.pbm");
        const Outcome r = run("hp2xx -q -m pbm -f " + quoted(picture) + " " + quoted(path));
        EXPECT_EQ(r.status, 0) << r.output;
        ASSERT_TRUE(std::filesystem::exists(picture)) << r.output;
        EXPECT_EQ(read_file(picture).substr(0, 2), "P4");
    }
}
