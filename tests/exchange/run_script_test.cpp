// The scripts of a fresh clone build the four libraries the program ships
// beside it: run.sh names their target, test.sh builds every target, and the
// build puts them in the program's folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string text_of(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The script's "cmake --build" line.
std::string build_line(const std::string& script)
{
    std::istringstream in(text_of(std::string(KV_SOURCE_DIR) + "/scripts/" + script));
    for (std::string line; std::getline(in, line);)
        if (line.rfind("cmake --build", 0) == 0)
            return line;
    return {};
}

}  // namespace

TEST(ShippedLibrariesTest, BothScriptsBuildThemAndTheBuildPutsThemBesideTheProgram)
{
    const std::string run = build_line("run.sh");
    ASSERT_FALSE(run.empty());
    EXPECT_NE(run.find(" korvane_libraries"), std::string::npos) << run;
    // test.sh builds every target, the libraries among them.
    const std::string test = build_line("test.sh");
    ASSERT_FALSE(test.empty());
    EXPECT_EQ(test.find("--target"), std::string::npos) << test;

    const std::filesystem::path folder = std::filesystem::path(KV_PROGRAM_PATH).parent_path();
    for (const char* name : {"materials.mat", "beams.bli", "valves.val", "spectra.spe"})
        EXPECT_TRUE(std::filesystem::is_regular_file(folder / name)) << name;
}
