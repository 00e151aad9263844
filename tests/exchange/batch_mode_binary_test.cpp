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

TEST_F(BatchModeBinaryTest, TitledFileOfMaxRowsIsAnalysedAndOneRowMoreEndsWith1)
{
    // A title line and exactly 7,000 layout rows: a line of 1 ft spools
    // anchored at both ends. The title takes row 1 besides them.
    auto write = [&](const std::string& name, int rows) {
        std::ofstream out(scratch / name);
        out << "A line of spools\nMATERIAL\nA106B,0.283,0.3,1.0,1.0,CS,Carbon steel\nA106B,70,29.5E6,6.07E-6,20000\n"
               "PIPE\n6,6.625,0.28\nLAYOUT\nF10,MA106B,P6,KA\n";
        for (int r = 2; r <= rows; ++r)
            out << "T" << 10 * r << ",X1-0" << (r == rows ? ",KA" : "") << "\n";
    };
    write("full.mbf", 7000);
    const ProgramRun full = run("full.mbf");
    EXPECT_EQ(full.exit_code, 0) << full.err;
    EXPECT_TRUE(fs::exists(scratch / "full.mod"));
    EXPECT_TRUE(fs::exists(scratch / "full.res"));

    write("over.mbf", 7001);
    const ProgramRun over = run("over.mbf");
    EXPECT_EQ(over.exit_code, 1);
    EXPECT_NE(over.err.find("Line = 7008 :  T70010,X1-0,KA\nMaximum number of rows exceeded"), std::string::npos)
        << over.err;
    EXPECT_FALSE(fs::exists(scratch / "over.mod"));
}
