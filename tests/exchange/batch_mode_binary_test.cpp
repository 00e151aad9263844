// Start-up batch mode of the program binary on a machine without a display:
// `korvane sample.mbf` writes sample.mod and the results and ends with 0; a
// broken batch file ends with 1 and its message on standard error, at once.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

struct ProgramRun {
    int exit_code = -1;
    std::string err;
    double seconds = 0.0;
};

class BatchModeBinaryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        scratch = fs::path(::testing::TempDir()) /
                  ("korvane_batch_mode_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(scratch);
        fs::create_directories(scratch);
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(scratch, ignored);
    }

    // Runs the program in the scratch folder with no display.
    ProgramRun run(const std::string& args) const
    {
        const fs::path err_file = scratch / "stderr.txt";
        const std::string command = "cd '" + scratch.string() +
                                    "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" + KV_PROGRAM_PATH +
                                    "' " + args + " </dev/null >/dev/null 2>'" + err_file.string() + "'";
        ProgramRun r;
        const auto start = std::chrono::steady_clock::now();
        const int status = std::system(command.c_str());
        r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (status != -1 && WIFEXITED(status))
            r.exit_code = WEXITSTATUS(status);
        std::ifstream in(err_file);
        std::stringstream text;
        text << in.rdbuf();
        r.err = text.str();
        return r;
    }
    void copy_sample(const std::string& name) const
    {
        fs::copy_file(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf", scratch / name);
    }

    fs::path scratch;
};

}  // namespace

TEST_F(BatchModeBinaryTest, SampleWritesItsModelAndResultsAndEndsWith0)
{
    copy_sample("sample.mbf");
    // An older model file beside it is replaced without a question.
    std::ofstream(scratch / "sample.mod") << "older";
    const ProgramRun r = run("sample.mbf");
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_GT(fs::file_size(scratch / "sample.mod"), 1000u);
    EXPECT_GT(fs::file_size(scratch / "sample.res"), 1000u);
}

TEST_F(BatchModeBinaryTest, UpperCaseExtensionIsABatchFile)
{
    copy_sample("PUMP.MBF");
    const ProgramRun r = run("PUMP.MBF");
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_TRUE(fs::exists(scratch / "PUMP.mod"));
}

TEST_F(BatchModeBinaryTest, BrokenFileEndsWith1AndItsMessageAtOnce)
{
    std::ofstream(scratch / "broken.mbf") << "A title\nLAYOUT\nF10\nT20,X10\nT30,X10,CWGT=-1\nT40,X10\n";
    const ProgramRun r = run("broken.mbf");
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("Line = 5 :  T30,X10,CWGT=-1\nInvalid weight (WGT) :  -1"), std::string::npos) << r.err;
    EXPECT_LT(r.seconds, 10.0);
    EXPECT_FALSE(fs::exists(scratch / "broken.mod"));

    // A file that is not there, and one whose model file would be itself.
    ProgramRun missing = run("missing.mbf");
    EXPECT_EQ(missing.exit_code, 1);
    EXPECT_NE(missing.err.find("Unable to open import file:"), std::string::npos) << missing.err;
    copy_sample("a.mbf.mod");
    ProgramRun self = run("a.mbf.mod");
    EXPECT_EQ(self.exit_code, 1);
    EXPECT_NE(self.err.find("would be the batch file itself"), std::string::npos) << self.err;
}

// ---- The results report of batch mode --------------------------------------------------------

namespace {

std::string file_text(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The numbers on the report line that starts with `start`, after it.
std::vector<double> numbers_after(const std::string& text, const std::string& heading, const std::string& start)
{
    std::vector<double> out;
    const std::size_t at = text.find(heading);
    if (at == std::string::npos)
        return out;
    std::istringstream in(text.substr(at));
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t first = line.find_first_not_of(' ');
        if (first == std::string::npos || line.compare(first, start.size(), start) != 0)
            continue;
        std::istringstream values(line.substr(first + start.size()));
        double v = 0.0;
        while (values >> v)
            out.push_back(v);
        break;
    }
    return out;
}

}  // namespace

class ResultsReportBatch : public BatchModeBinaryTest {};

TEST_F(ResultsReportBatch, TheSampleWritesItsReportWithEveryCase)
{
    copy_sample("sample.mbf");
    const ProgramRun r = run("sample.mbf");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    ASSERT_TRUE(fs::exists(scratch / "sample.txt"));
    const std::string text = file_text(scratch / "sample.txt");
    // The contents in front, then the model report and the results.
    EXPECT_NE(text.find("Contents"), std::string::npos);
    EXPECT_LT(text.find("Contents"), text.find("Pipe material A106B"));
    for (const char* part : {"Sustained (W+P): Loads on anchors", "Sustained (W+P): Pipe element forces (local)",
                             "Sustained (W+P): Element forces (global)", "Operating (W+P2+T2): Displacements (global)",
                             "Loads on Anchors: Sustained (W+P)", "Pipe element forces in local coordinates: Sustained (W+P)",
                             "Element forces in global coordinates: Expansion (T1)", "Support load summary for anchor at node 10",
                             "Sorted stresses", "Code compliance"})
        EXPECT_NE(text.find(part), std::string::npos) << part;
    // No dialog, no "txt written." on the way.
    EXPECT_EQ(text.find("txt written"), std::string::npos);
}

TEST_F(ResultsReportBatch, TheCantileversAnchorLoadIsItsTipReaction)
{
    // A 100 in cantilever of 6.625 x 0.28 in steel (0.283 lb/in3, empty)
    // along +X from anchor 10, with 1000 lb down at its tip 20 in the
    // weight case. Statics: the anchor holds FY = P + w L and, about Z,
    // MZ = P L + w L^2 / 2 (w the steel's weight per inch).
    std::ofstream(scratch / "cantilever.mbf") << "Cantilever\n"
                                                 "OPTIONS\nB313,IN\n"
                                                 "MATERIAL\nA106B,0.283,0.3\nA106B,70,27.9E6,6.0E-6,20000\n"
                                                 "A106B,700,27.9E6,8.1E-6,16000\n"
                                                 "PIPE\n6,6.625,0.28\n"
                                                 "LAYOUT\n"
                                                 "F10,MA106B,P6,KA\n"
                                                 "T20,X100,CFOR(0,-1000,0)\n";
    const ProgramRun r = run("cantilever.mbf");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const std::string text = file_text(scratch / "cantilever.txt");
    const double area = 3.14159265358979 / 4 * (6.625 * 6.625 - 6.065 * 6.065);
    const double w = 0.283 * area, p = 1000.0, l = 100.0;
    const std::vector<double> anchor = numbers_after(text, "Loads on Anchors: Sustained (W+P)", "10 ");
    ASSERT_EQ(anchor.size(), 6u) << text;
    // Whole pounds, and the moment in the sample's display unit (ft-lb or
    // in-lb, by the heading).
    EXPECT_NEAR(anchor[1], p + w * l, 0.5 + 1e-9);
    const bool ft_lb = text.find("MZ (ft-lb)") != std::string::npos;
    const double mz = (p * l + w * l * l / 2) / (ft_lb ? 12.0 : 1.0);
    EXPECT_NEAR(anchor[5], mz, 0.5 + 1e-9);
    EXPECT_NEAR(anchor[0], 0.0, 0.5);
}

TEST_F(ResultsReportBatch, AReportThatCannotBeWrittenEndsWith1)
{
    copy_sample("sample.mbf");
    // A folder where the report would go.
    fs::create_directories(scratch / "sample.txt");
    const ProgramRun r = run("sample.mbf");
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("txt file:"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::exists(scratch / "sample.res"));
    // A batch file its own report would replace is not run at all.
    copy_sample("run.mbf.txt");
    const ProgramRun self = run("run.mbf.txt");
    EXPECT_EQ(self.exit_code, 1);
    EXPECT_NE(self.err.find("results report of this batch file would be the batch file itself"), std::string::npos)
        << self.err;
    EXPECT_FALSE(fs::exists(scratch / "run.mbf.mod"));
}
