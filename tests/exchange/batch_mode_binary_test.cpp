// Start-up batch mode of the program binary on a machine without a display:
// `korvane sample.mbf` writes sample.mod and the results and ends with 0; a
// broken batch file ends with 1 and its message on standard error, at once.
#include "batch_runs.h"
#include "control_bytes.h"
#include "exchange/data/seed_batch_files.h"
#include "exchange/data/settling_line.h"
#include "exchange/text_pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <numbers>
#include <regex>
#include <sstream>
#include <string>
#include <vector>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void expect_case_notes_only(const std::string& err);

using batch_runs::bytes_of;

struct ProgramRun {
    int exit_code = -1;
    std::string err;
    double seconds = 0.0;
};

class BatchModeBinaryTest : public batch_runs::ScratchFolderTest {
protected:
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
};

}  // namespace

TEST_F(BatchModeBinaryTest, SampleWritesItsModelAndResultsAndEndsWith0)
{
    copy_sample("sample.mbf");
    // An older model file beside it is replaced without a question.
    std::ofstream(scratch / "sample.mod") << "older";
    const ProgramRun r = run("sample.mbf");
    EXPECT_EQ(r.exit_code, 0) << r.err;
    expect_case_notes_only(r.err);
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

    // A file that is not there, and one whose model file would be itself
    // (the model file's name links to the batch file).
    ProgramRun missing = run("missing.mbf");
    EXPECT_EQ(missing.exit_code, 1);
    EXPECT_NE(missing.err.find("Unable to open import file:"), std::string::npos) << missing.err;
    copy_sample("a.mbf");
    fs::create_symlink("a.mbf", scratch / "a.mod");
    ProgramRun self = run("a.mbf");
    EXPECT_EQ(self.exit_code, 1);
    EXPECT_NE(self.err.find("would be the batch file itself"), std::string::npos) << self.err;
    EXPECT_EQ(bytes_of(scratch / "a.mbf"), bytes_of(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf"));
}

// ---- Which paths are batch files ----------------------------------------------------------------

class BatchPathExtension : public BatchModeBinaryTest {};

// A batch file is a file whose name ends in .mbf, in any case; a name that
// only holds ".mbf" somewhere else is opened by its own extension.
TEST_F(BatchPathExtension, OnlyANameEndingInMbfRunsAsABatchFile)
{
    copy_sample("Pump.Mbf");
    const ProgramRun mixed = run("Pump.Mbf");
    EXPECT_EQ(mixed.exit_code, 0) << mixed.err;
    EXPECT_TRUE(fs::exists(scratch / "Pump.mod"));
    for (const char* name : {"weird.mbfx", "run.mbf.txt"}) {
        copy_sample(name);
        const ProgramRun r = run(name);
        EXPECT_EQ(r.exit_code, 1) << name;
        EXPECT_NE(r.err.find("Invalid file extension"), std::string::npos) << r.err;
    }
    for (const char* written : {"weird.mmod", "weird.mod", "run.mbf.mod", "run.mod", "run.mbf.res"})
        EXPECT_FALSE(fs::exists(scratch / written)) << written;
}

// A model file in a folder whose name ends in .mbf is a model file: it is
// opened (a broken one is refused as a model file), never imported, and
// nothing is written beside it.
TEST_F(BatchPathExtension, AModelFileInAFolderNamedLikeABatchFileOpensAsAModel)
{
    copy_sample("sample.mbf");
    ASSERT_EQ(run("sample.mbf").exit_code, 0);
    fs::create_directories(scratch / "jobs.mbf");
    fs::copy_file(scratch / "sample.mod", scratch / "jobs.mbf/model.mod");
    const std::string model = bytes_of(scratch / "jobs.mbf/model.mod");
    const ProgramRun r = run("jobs.mbf/model.mod");
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.err.find("would be the batch file itself"), std::string::npos) << r.err;
    EXPECT_EQ(bytes_of(scratch / "jobs.mbf/model.mod"), model);
    EXPECT_FALSE(fs::exists(scratch / "jobs.mbf/model.res"));
    EXPECT_FALSE(fs::exists(scratch / "jobs.mbf/model.txt"));

    std::ofstream(scratch / "jobs.mbf/broken.mod") << "not a model";
    const ProgramRun broken = run("jobs.mbf/broken.mod");
    EXPECT_EQ(broken.exit_code, 1);
    EXPECT_NE(broken.err.find("jobs.mbf/broken.mod"), std::string::npos) << broken.err;
    EXPECT_EQ(broken.err.find("batch file"), std::string::npos) << broken.err;
}

// ---- The results report of batch mode --------------------------------------------------------

namespace {

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

// The sample's supports make its three static cases nonlinear: standard
// error holds one line for each, with its iterations and factorisations,
// and nothing else.
void expect_case_notes_only(const std::string& err)
{
    const std::regex note(R"((Sustained \(W\+P\)|Operating \(W\+P[12]\+T[12]\)): converged in [1-9][0-9]* )"
                          R"(iterations, [1-9][0-9]* factorisations)");
    std::istringstream lines(err);
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        EXPECT_TRUE(std::regex_match(line, note)) << line;
        ++count;
    }
    EXPECT_EQ(count, 3) << err;
}

}  // namespace

class ResultsReportBatch : public BatchModeBinaryTest {};

TEST_F(ResultsReportBatch, TheSampleWritesItsReportWithEveryCase)
{
    copy_sample("sample.mbf");
    const ProgramRun r = run("sample.mbf");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    expect_case_notes_only(r.err);
    ASSERT_TRUE(fs::exists(scratch / "sample.txt"));
    const std::string text = bytes_of(scratch / "sample.txt");
    // The contents in front, then the model report and the results.
    EXPECT_NE(text.find("Contents"), std::string::npos);
    EXPECT_LT(text.find("Contents"), text.find("Pipe material A106B"));
    for (const char* part : {"Sustained (W+P): Loads on anchors", "Sustained (W+P): Pipe element forces (local)",
                             "Sustained (W+P): Element forces (global)", "Operating (W+P2+T2): Displacements (global)",
                             "Loads on Anchors: Sustained (W+P)", "Pipe element forces in local coordinates: Sustained (W+P)",
                             "Element forces in global coordinates: Expansion (T1)", "Support load summary for anchor at node 10",
                             "Sorted stresses", "Code compliance", "Operating (W+P1+T1): converged in"})
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
    const std::string text = bytes_of(scratch / "cantilever.txt");
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

TEST_F(ResultsReportBatch, PipelineHoopStressAboveItsAllowableIsAFailingRowOfTheReport)
{
    // An L-shaped B31.4 line of 8.625 x 0.322 in API 5L X52 (SMYS 52 000 psi,
    // column 4; joint factor 1) at 4 000 psi with a welding tee and a bend:
    // SH = P D/2t = 53 571 psi against 0.72 E Sy = 37 440 psi (para.
    // 403.3.1), 143.1 %, in the Sustained and Operating cases alike.
    std::ofstream(scratch / "line.mbf") << "Pipeline\nOPTIONS\nB314,IN\nMATERIAL\nX52,0.283,0.3,1,1\n"
                                           "X52,70,29.5E6,6.5E-6,0,52000\nX52,400,27.7E6,7.1E-6,0,52000\n"
                                           "PIPE\nP8,8.625,0.322\nP4,4.5,0.237\nLOADS\nL1,200,4000\nLAYOUT\n"
                                           "F10,MX52,PP8,KA,CL=L1\nT20,X120,KT\nT30,X120,B12\nT40,Z96,KA\n"
                                           "F20,PP4\nT50,Y60,KA\n";
    const ProgramRun r = run("line.mbf");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const std::string text = bytes_of(scratch / "line.txt");
    const double sh = 4000 * 8.625 / (2 * 0.322), allowable = 0.72 * 1.0 * 52000;
    for (const char* start : {"10      Sustained (W+P): hoop", "10      Operating (W+P1+T1): hoop"}) {
        const std::vector<double> row = numbers_after(text, "Code compliance: B31.4 (2019)", start);
        ASSERT_EQ(row.size(), 3u) << start;
        EXPECT_NEAR(row[0], sh, 0.05);
        EXPECT_NEAR(row[1], allowable, 0.5);
        EXPECT_NEAR(row[2], 100 * sh / allowable, 0.05);
        EXPECT_GT(row[2], 100.0);
    }
    // The sorted hoop stresses lead with it (after the contents, which name
    // them too).
    const std::string body = text.substr(text.find("Pipe material X52"));
    const std::vector<double> sorted = numbers_after(body, "Sorted stresses: Hoop stress", "10      Sustained (W+P)");
    ASSERT_EQ(sorted.size(), 3u);
    EXPECT_NEAR(sorted[2], 143.1, 0.05);
}

TEST_F(ResultsReportBatch, AReportThatCannotBeWrittenEndsWith1)
{
    copy_sample("sample.mbf");
    // A folder where the report would go: found before the run writes
    // anything.
    fs::create_directories(scratch / "sample.txt");
    const ProgramRun r = run("sample.mbf");
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("txt file:"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(scratch / "sample.res"));
    EXPECT_FALSE(fs::exists(scratch / "sample.mod"));
    // A batch file its own report would replace (the report's name links
    // to it) is not run at all.
    copy_sample("run.mbf");
    fs::create_symlink("run.mbf", scratch / "run.txt");
    const ProgramRun self = run("run.mbf");
    EXPECT_EQ(self.exit_code, 1);
    EXPECT_NE(self.err.find("results report of this batch file would be the batch file itself"), std::string::npos)
        << self.err;
    EXPECT_FALSE(fs::exists(scratch / "run.mod"));
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

class LoadPathLine : public BatchModeBinaryTest {};

TEST_F(LoadPathLine, FrictionOfWedgedRisersSettlesAlongTheirLoadPathAndSaysSo)
{
    // A generated network with risers between guides and rests spaced wide,
    // with a friction of 2 (far beyond steel on steel): guides on risers
    // that wedge the pipe, whose states the iterations of a case solved at
    // once do not settle within the limit of 100. Each case follows its
    // load path instead and settles; the run ends with 0 and one line per
    // case, whose iterations count the path's, saying that it followed its
    // load path, on standard error and above the case's tables.
    std::ofstream(scratch / "wedged.mbf") << piping_network::batch_text(batch_runs::wedged_risers());
    const ProgramRun r = run("wedged.mbf");
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.err.find("did not converge"), std::string::npos) << r.err;
    const std::string said = "Operating (W+P1+T1): converged along its load path in ";
    const std::size_t line = r.err.find(said);
    ASSERT_NE(line, std::string::npos) << r.err;
    EXPECT_GT(std::stoi(r.err.substr(line + said.size())), 100) << r.err;
    EXPECT_EQ(r.err.find("Operating (W+P1+T1): converged in "), std::string::npos) << r.err;
    EXPECT_TRUE(fs::exists(scratch / "wedged.res"));
    // The report gives the same line before the case's first table (broken
    // at its blanks within the page).
    const std::string whole = r.err.substr(line, r.err.find('\n', line) - line);
    const std::string report = read_as_one(bytes_of(scratch / "wedged.txt"));
    const std::size_t noted = report.find(whole);
    ASSERT_NE(noted, std::string::npos) << whole;
    const std::size_t table = report.find("Operating (W+P1+T1)", noted + whole.size());
    EXPECT_NE(table, std::string::npos);
}

class SettlementState : public BatchModeBinaryTest {};

TEST_F(SettlementState, UnderB313IsNamedOnStandardErrorWithItsNode)
{
    // B31.3 has no Settlement case: the settlement of the anchor at node 10
    // is not analysed, and standard error says so before the run, which
    // goes on and ends with 0.
    std::ofstream(scratch / "settled.mbf") << "Settled anchor\n"
                                              "OPTIONS\nB313,IN\n"
                                              "MATERIAL\nA106B,0.283,0.3\nA106B,70,27.9E6,6.0E-6,20000\n"
                                              "A106B,700,27.9E6,8.1E-6,16000\n"
                                              "PIPE\nP6,6.625,0.28\n"
                                              "LOADS\nL1,200,0\n"
                                              "LAYOUT\n"
                                              "F10,MA106B,PP6,KA,CL=L1,SETT(0,-2.053,0)\n"
                                              "T20,X200,CFY\n"
                                              "T30,X200,KA\n";
    const ProgramRun r = run("settled.mbf");
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_NE(r.err.find("The settlement given at node 10 is not analysed: B31.3 (2018) has no Settlement load case"),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(fs::exists(scratch / "settled.res"));
}

TEST_F(BatchModeBinaryTest, NanGuardRefusesTheSampleWithAnOffsetOf1E30)
{
    // The sample with one more row 1E30 in long: the model check refuses
    // it, naming the row, and no results are written.
    copy_sample("far.mbf");
    std::ofstream(scratch / "far.mbf", std::ios::app) << "T70,X1E30\n";
    const ProgramRun r = run("far.mbf");
    EXPECT_EQ(r.exit_code, 1) << r.err;
    EXPECT_NE(r.err.find("the offset DX of 1E+30"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("is beyond what a piping model can hold"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(scratch / "far.res"));
}

namespace {

// The bytes of a results file.
std::string file_bytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

int32_t int_at(const std::string& bytes, std::size_t at)
{
    int32_t v = 0;
    if (at + 4 <= bytes.size())
        std::memcpy(&v, bytes.data() + at, 4);
    return v;
}

// The blocks of a results file without the run record that ends it (int32
// L, L lines of an int32 byte count and their bytes; int32 H, H hanger
// notes of three int32, a byte count and their bytes; a 32-byte
// fingerprint; the 4-byte check): the record is found from the end, the
// last place from which it reads to the fingerprint exactly.
std::string without_run_record(const std::string& bytes)
{
    if (bytes.size() < 44)
        return {};
    const std::size_t fingerprint = bytes.size() - 32 - 4;
    // Reads `count` items at `at`, each `head` int32s and a text; false when
    // they overrun the fingerprint.
    const auto items = [&](std::size_t& at, int head) {
        const int32_t count = at + 4 <= fingerprint ? int_at(bytes, at) : -1;
        at += 4;
        bool sound = count >= 0 && static_cast<std::size_t>(count) <= (fingerprint - std::min(at, fingerprint)) / 4;
        for (int32_t k = 0; sound && k < count; ++k) {
            at += 4 * static_cast<std::size_t>(head);
            const int32_t n = at + 4 <= fingerprint ? int_at(bytes, at) : -1;
            sound = n >= 0 && static_cast<std::size_t>(n) <= fingerprint - at - 4;
            at += 4 + static_cast<std::size_t>(std::max(n, 0));
        }
        return sound && at <= fingerprint;
    };
    for (std::size_t p = fingerprint - 8 + 1; p-- > 0 && fingerprint - p < 1000000;) {
        std::size_t at = p;
        if (items(at, 0) && items(at, 3) && at == fingerprint)
            return bytes.substr(0, p);
    }
    return {};
}

const char* const BATCH_HEAD = "VERSION\n10.20\nOPTIONS\nHGRA,B313\nOPTEMP\n70,7000,1\n"
                               "MATERIAL\nA106B,0.283,0.3,1.0,1.0,CS,Carbon steel\n"
                               "A106B,70,29.5E6,6.07E-6,20000\nA106B,700,25.5E6,7.9E-6,16000\n";

// A 20 ft riser of 6 in pipe at 400 degF with a Grinnell spring at its top
// (HGRA), and a catalogue of these springs in the folder "hangers" beside
// the batch file.
void write_riser(const fs::path& folder, const std::string& springs)
{
    std::ofstream(folder / "riser.mbf") << "Riser with a spring hanger\n"
                                        << BATCH_HEAD
                                        << "PIPE\n6,6.625,0.28\nLOADS\nOPER,400,0\nLAYOUT\n"
                                           "F10,MA106B,P6,KA,CL=OPER\nT20,Y20-0,CVS\n";
    fs::create_directories(folder / "hangers");
    std::ofstream(folder / "hangers" / "16.txt") << "CATALOGUE 16 Grinnell\n" << springs;
}

}  // namespace

TEST_F(BatchModeBinaryTest, HangerDesignRunsFromABatchFile)
{
    // A riser with a Grinnell spring at its top (HGRA), the catalogue in the
    // folder "hangers" beside the batch file: the results end with the
    // design record of the hanger, the spring of the catalogue.
    write_riser(scratch, "SPRING S 1 LONG 100 2000 20 # test values\n");
    const ProgramRun r = run("riser.mbf");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const std::string bytes = without_run_record(file_bytes(scratch / "riser.res"));
    ASSERT_GT(bytes.size(), 32u);
    const std::string record = bytes.substr(bytes.size() - 32);
    EXPECT_EQ(record.substr(0, 2), std::string("S\0", 2));
    EXPECT_EQ(record.substr(6, 2), std::string("1\0", 2));

    // A catalogue that carries no data, here or beside the program, stops
    // the design, naming it, and the run fails.
    fs::remove_all(scratch / "hangers");
    std::ofstream(scratch / "riser.mbf") << "Riser with a spring hanger\n"
                                         << BATCH_HEAD
                                         << "PIPE\n6,6.625,0.28\nLOADS\nOPER,400,0\nLAYOUT\n"
                                            "F10,MA106B,P6,KA,CL=OPER\nT20,Y20-0,CVS,HTYP=27\n";
    const ProgramRun none = run("riser.mbf");
    EXPECT_NE(none.exit_code, 0);
    EXPECT_NE(none.err.find("No data is available for the Piping Tech & Products spring catalogue"),
              std::string::npos)
        << none.err;
}

namespace {

float float_at(const std::string& bytes, std::size_t at)
{
    float v = 0.0f;
    if (at + 4 <= bytes.size())
        std::memcpy(&v, bytes.data() + at, 4);
    return v;
}

// The design record that ends a results file: figure and size (6 bytes
// each), rate, vertical and horizontal travel, cold and hot load.
struct DesignRecord {
    std::string figure, size;
    double rate = 0, travel = 0, horizontal = 0, cold = 0, hot = 0;
};

DesignRecord last_design(const std::string& bytes)
{
    DesignRecord d;
    if (bytes.size() < 32)
        return d;
    const std::size_t at = bytes.size() - 32;
    d.figure = std::string(bytes.c_str() + at, strnlen(bytes.c_str() + at, 6));
    d.size = std::string(bytes.c_str() + at + 6, strnlen(bytes.c_str() + at + 6, 6));
    d.rate = float_at(bytes, at + 12);
    d.travel = float_at(bytes, at + 16);
    d.horizontal = float_at(bytes, at + 20);
    d.cold = float_at(bytes, at + 24);
    d.hot = float_at(bytes, at + 28);
    return d;
}

}  // namespace

TEST_F(BatchModeBinaryTest, HangerSizedFromTheShippedGrinnellTable)
{
    // A 40 ft riser of 6 in pipe (6.625 x 0.28 in, 0.283 lb/in3) from an
    // anchor at node 10 to a Grinnell spring at node 20, operating at 440
    // degF, with no catalogue beside the batch file: the one shipped beside
    // the program is used.
    const std::string layout = "F10,MA106B,P6,KA,CL=OPER\nT20,Y40-0,CVS";
    auto write = [&](const std::string& hanger_items) {
        std::ofstream(scratch / "riser.mbf") << "Riser on the shipped catalogue\n"
                                             << BATCH_HEAD
                                             << "PIPE\n6,6.625,0.28\nLOADS\nOPER,440,0\nLAYOUT\n"
                                             << layout << hanger_items << "\n";
    };

    // Hot load: the rigid hanger and the anchor share the riser's weight,
    // and the axial strain w (l - y) / EA of the part below the top,
    // integrated, equals the top's R l / EA when R = w l / 2 (for any EA and
    // any rigid spring at either end).
    const double ro = 6.625 / 2, ri = ro - 0.28, l = 480;
    const double w = 0.283 * std::numbers::pi * (ro * ro - ri * ri);
    const double hot = w * l / 2;
    // Travel: the free growth of the riser, the hanger pushing up with R
    // leaving the top where the weight case left it (the same axial forces):
    // u = alpha (T - 70) l, alpha the mean coefficient of the material
    // table, linear between 6.07e-6 (70 degF) and 7.9e-6 (700 degF).
    const double alpha = 6.07e-6 + (7.9e-6 - 6.07e-6) * (440.0 - 70.0) / (700.0 - 70.0);
    const double u = alpha * (440 - 70) * l;

    // Hand selection from the shipped table (Anvil PP-SUB-82-C82-v01,
    // pp. 6-7): working ranges of sizes 5 (221-378 lb) and 6 (294-504 lb);
    // rates of size 6: Fig. B-268 84 lb/in, Fig. 98 42 lb/in. The pipe
    // rises, so the cold load is hot + k u and the variation k u / hot.
    ASSERT_GT(hot, 378.0);   // above size 5: size 6 is the smallest
    ASSERT_LT(hot, 504.0);
    const double b268 = 84, fig98 = 42;
    ASSERT_LE(hot + b268 * u, 504.0);            // B-268 6 holds both loads
    ASSERT_GT(b268 * u / hot, 0.25);             // but varies by more than 25 %
    ASSERT_LE(b268 * u / hot, 0.30);             // and less than 30 %
    ASSERT_LE(hot + fig98 * u, 504.0);           // Fig. 98 6 holds both loads
    ASSERT_LE(fig98 * u / hot, 0.25);            // within 25 %

    // At the default 25 %: Fig. 98 size 6, the mid-range spring rejected.
    write("");
    ProgramRun r = run("riser.mbf");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    DesignRecord d = last_design(without_run_record(file_bytes(scratch / "riser.res")));
    EXPECT_EQ(d.figure, "98");
    EXPECT_EQ(d.size, "6");
    EXPECT_EQ(d.rate, fig98);
    EXPECT_NEAR(d.hot, hot, 1e-5 * hot);
    EXPECT_NEAR(d.travel, u, 1e-5 * u);
    EXPECT_NEAR(d.cold, hot + fig98 * u, 1e-5 * hot);
    EXPECT_NEAR(d.horizontal, 0.0, 1e-6);

    // Allowed 30 %: the mid-range Fig. B-268 size 6.
    write(",MLV=30");
    r = run("riser.mbf");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    d = last_design(without_run_record(file_bytes(scratch / "riser.res")));
    EXPECT_EQ(d.figure, "B-268");
    EXPECT_EQ(d.size, "6");
    EXPECT_EQ(d.rate, b268);
    EXPECT_NEAR(d.cold, hot + b268 * u, 1e-5 * hot);
}

TEST_F(BatchModeBinaryTest, BuriedPipingRunsFromABatchFile)
{
    // A line 10 ft below the ground of a sand: one soil-restraint record per
    // buried element follows the element records.
    std::ofstream(scratch / "buried.mbf") << "Buried line\n"
                                          << BATCH_HEAD
                                          << "SOILS\nS1,0,120,10-0,30,1.0\n"
                                             "PIPE\n6,6.625,0.28,,,,,,,S1\nLOADS\nOPER,200,0\nLAYOUT\n"
                                             "F10,MA106B,P6,KA,CL=OPER\nT20,X20-0\nT30,X20-0\nT40,X20-0\nT50,X20-0\n";
    const ProgramRun r = run("buried.mbf");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const std::string bytes = file_bytes(scratch / "buried.res");
    const int32_t elements = int_at(bytes, 16);
    EXPECT_EQ(elements, 4);
    EXPECT_EQ(int_at(bytes, 20 + 44 * static_cast<std::size_t>(elements)), 4);   // 44-byte element records
}

// `korvane --headless <file>` of every kind the program opens: a refusal is
// written to standard error and ends the program with 1, whether the opener
// throws its text or shows it itself.
class HeadlessOpen : public BatchModeBinaryTest {};

TEST_F(HeadlessOpen, AFolderInPlaceOfAFileOfAnyKindIsRefusedOnStandardError)
{
    for (const char* ext : {"mod", "res", "mat", "mdb", "spe", "val", "bli", "flg", "noz", "lug"}) {
        const std::string name = std::string("x.") + ext;
        fs::create_directories(scratch / name);
        const ProgramRun r = run("--headless " + name);
        EXPECT_EQ(r.exit_code, 1) << name;
        EXPECT_EQ(r.err.rfind("Korvane: ", 0), 0u) << name << ": " << r.err;
        // The message names the file (a results file names its model file).
        const std::string named = std::string(ext) == "res" ? "x.mod" : name;
        EXPECT_NE(r.err.find((scratch / named).string()), std::string::npos) << name << ": " << r.err;
    }
}

TEST_F(HeadlessOpen, ADamagedResultsFileIsRefusedOnStandardError)
{
    copy_sample("sample.mbf");
    ASSERT_EQ(run("sample.mbf").exit_code, 0);
    ProgramRun r = run("--headless sample.res");
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    // Cut short, the results are damaged.
    fs::resize_file(scratch / "sample.res", fs::file_size(scratch / "sample.res") / 2);
    r = run("--headless sample.res");
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("sample.res is damaged: its contents are not those the analysis wrote.\nPlease reanalyze "
                         "the model.\n"),
              std::string::npos)
        << r.err;
    // A damaged model file as well.
    std::ofstream(scratch / "sample.mod", std::ios::trunc) << "not a model";
    r = run("--headless sample.mod");
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.err.rfind("Korvane: ", 0), 0u) << r.err;
}

class ResultsFileChecked : public BatchModeBinaryTest {};

// The riser's results with the note of its hanger design (no spring holds
// its load, a constant support is chosen) open from the command line; one
// byte changed anywhere (the header's modulus mark, an element's record,
// the note's "designed" flag, its load, the check itself) refuses them on
// standard error.
TEST_F(ResultsFileChecked, AChangedByteEndsTheOpeningWith1)
{
    write_riser(scratch, "SPRING S 1 LONG 100 180 20 # test values\nSPRING S 2 LONG 200 2000 20 # test values\n");
    ASSERT_EQ(run("riser.mbf").exit_code, 0);
    ASSERT_EQ(run("--headless riser.res").exit_code, 0);
    // The file ends with the note's flag, load, travel, the two sizes'
    // loads, the variation allowed, the catalogue's name after its byte
    // count, the 32 bytes of the fingerprint and the 4 of the check.
    const std::string good = file_bytes(scratch / "riser.res");
    const std::size_t name_at = good.size() - 4 - 32 - 8;
    ASSERT_EQ(good.substr(name_at, 8), "Grinnell");
    const std::size_t load_at = name_at - 4 - 4 - 16;
    for (const std::size_t at : {std::size_t{15}, std::size_t{24}, load_at - 4, load_at + 2, good.size() - 1}) {
        std::string bytes = good;
        bytes[at] = static_cast<char>(bytes[at] ^ 1);
        std::ofstream(scratch / "riser.res", std::ios::binary | std::ios::trunc) << bytes;
        const ProgramRun r = run("--headless riser.res");
        EXPECT_EQ(r.exit_code, 1) << at;
        EXPECT_NE(r.err.find("riser.res is damaged: its contents are not those the analysis wrote."),
                  std::string::npos)
            << at << r.err;
    }
}

// ---- Section bounds ----------------------------------------------------------------------------

class SectionBounds : public BatchModeBinaryTest {
protected:
    // A batch file of one pipe section and a reducer row.
    static std::string file(const std::string& od, const std::string& reducer_od)
    {
        return seed_batch_files::section_bounds(od, reducer_od);
    }
};

TEST_F(SectionBounds, BatchFileWithAnOutsideDiameterOf1E19EndsWith1NamingTheSection)
{
    // The import refuses the section's line by the table of what a piping
    // model can hold, as the model check would; nothing is written.
    std::ofstream(scratch / "huge.mbf") << file("1E19", "8.625");
    const ProgramRun r = run("huge.mbf");
    EXPECT_EQ(r.exit_code, 1) << r.err;
    EXPECT_NE(r.err.find("Section P6: Outside diameter of 1E+19 inch is beyond what a piping model can hold (0.001 "
                         "inch to 1000 inch)"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("Assertion"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(scratch / "huge.mod"));
    EXPECT_FALSE(fs::exists(scratch / "huge.res"));

    std::ofstream(scratch / "sound.mbf") << file("6.625", "8.625");
    const ProgramRun sound = run("sound.mbf");
    EXPECT_EQ(sound.exit_code, 0) << sound.err;
}

TEST_F(BatchModeBinaryTest, HangerDesignMessageGoesIntoTheReportBesideTheHangerReport)
{
    // The 20 ft riser of HangerDesignRunsFromABatchFile on a catalogue of two
    // sizes that leave a gap, 180 to 200 lb, around its load: the rigid
    // hanger and the anchor share the riser's weight, R = w l / 2, w the
    // steel's weight per inch (0.283 lb/in3, 6.625 x 0.28 in), l 240 in.
    write_riser(scratch, "SPRING S 1 LONG 100 180 20 # test values\nSPRING S 2 LONG 200 2000 20 # test values\n");
    const double ro = 6.625 / 2, ri = ro - 0.28;
    const double load = 0.283 * std::numbers::pi * (ro * ro - ri * ri) * 240 / 2;
    char pounds[32];
    std::snprintf(pounds, sizeof pounds, "%.5G lb", load);
    ASSERT_EQ(std::string(pounds), "189.54 lb");
    const std::string head = "Row 3: the hanger at node 20 is held by no spring of the Grinnell catalogue: no size's "
                             "working range holds its load of 189.54 lb over a travel of ";
    const std::string tail = " inch (the nearest sizes end at 180 lb and begin at 200 lb); a constant support is chosen";
    const ProgramRun r = run("riser.mbf");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_NE(r.err.find("The hanger design:\n" + head), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(tail), std::string::npos) << r.err;
    // In the report after the hanger report's rows, before the next part
    // (broken at its blanks within the page).
    const std::string text = read_as_one(bytes_of(scratch / "riser.txt"));
    const std::size_t report = text.find("Hanger Report (1)");
    ASSERT_NE(report, std::string::npos);
    const std::size_t heading = text.find("The hanger design:", report);
    ASSERT_NE(heading, std::string::npos) << text.substr(report);
    const std::size_t line = text.find(head, heading);
    ASSERT_NE(line, std::string::npos);
    EXPECT_NE(text.find(tail, line), std::string::npos);
    EXPECT_LT(line, text.find("Support load summary", heading));
}

class NotesWithinPage : public BatchModeBinaryTest {};

// The notes that only a batch run's report holds, of its hanger design (a
// constant support where no spring holds the load, 187 columns) and of its
// model (a settlement that B31.3 does not analyse, 153 columns), stand
// under their headings from column 6, broken at their blanks within the
// page's 88 columns, and read whole again as standard error gives them.
TEST_F(NotesWithinPage, BatchNotesOfTheHangerDesignAndOfTheModelBreakAtTheirBlanks)
{
    write_riser(scratch, "SPRING S 1 LONG 100 180 20 # test values\nSPRING S 2 LONG 200 2000 20 # test values\n");
    std::ofstream(scratch / "tank.mbf") << settling_line("B313");
    const std::pair<const char*, const char*> runs[] = {{"riser", "The hanger design:"},
                                                        {"tank", "The model is analysed as follows:"}};
    for (const auto& [name, heading] : runs) {
        SCOPED_TRACE(name);
        const ProgramRun r = run(std::string(name) + ".mbf");
        ASSERT_EQ(r.exit_code, 0) << r.err;
        // The note as standard error gives it, on the line after its heading.
        const std::size_t said = r.err.find(std::string(heading) + "\n");
        ASSERT_NE(said, std::string::npos) << r.err;
        const std::size_t from = said + std::strlen(heading) + 1;
        const std::string note = r.err.substr(from, r.err.find('\n', from) - from);
        ASSERT_GT(note.size(), 88u) << note;
        std::vector<std::string> lines;
        std::istringstream report(bytes_of(scratch / (std::string(name) + ".txt")));
        for (std::string line; std::getline(report, line);) {
            if (!line.empty() && line.front() == '\f')   // a new page
                line.erase(0, 1);
            EXPECT_LE(line.size(), 88u) << line;
            lines.push_back(line);
        }
        // Under the heading (at column 4) the note's lines from column 6 on,
        // up to the blank line after them.
        const auto at = std::find(lines.begin(), lines.end(), "   " + std::string(heading));
        ASSERT_NE(at, lines.end());
        std::string read;
        int note_lines = 0;
        for (auto l = at + 1; l != lines.end() && !l->empty(); ++l, ++note_lines) {
            EXPECT_EQ(l->find_first_not_of(' '), 5u) << *l;
            read += (read.empty() ? "" : " ") + l->substr(5);
        }
        EXPECT_GE(note_lines, 2);
        EXPECT_EQ(read, note);
    }
}

class ReportControlBytesOfABatchRun : public BatchModeBinaryTest {};

// A batch file whose name and title hold ESC with the OSC and CSI sequences
// that would retitle and clear a terminal, BEL, the 8-bit CSI (U+009B), a
// byte that is no UTF-8 and the right-to-left override: the run's report
// holds them as the codes of their bytes in every page header, and
// neither it nor standard error holds any of them as it is.
TEST_F(ReportControlBytesOfABatchRun, HostileNameAndTitleStandAsCodes)
{
    const std::string name = "net\x1B]2;x\x07";
    const std::string title = "Unit 4\x1B]0;pwned\x07\x1B[2J\xC2\x9B" "31m\xFF\xE2\x80\xAE" "cba";
    std::ofstream(scratch / (name + ".mbf")) << title << "\n" << BATCH_HEAD
                                             << "PIPE\n6,6.625,0.28\nLOADS\nOPER,400,0\nLAYOUT\n"
                                                "F10,MA106B,P6,KA,CL=OPER\nT20,X100,KA\n";
    const ProgramRun r = run("'" + name + ".mbf'");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(raw_control_bytes(r.err), std::vector<std::string>{}) << r.err;
    const std::string report = bytes_of(scratch / (name + ".txt"));
    ASSERT_FALSE(report.empty());
    EXPECT_EQ(raw_control_bytes(report, "\n\f"), std::vector<std::string>{});
    const std::string header = "   net\\x1B]2;x\\x07 - Unit 4\\x1B]0;pwned\\x07";
    const auto pages = static_cast<std::size_t>(std::count(report.begin(), report.end(), '\f')) + 1;
    std::size_t headers = report.rfind(header, 0) == 0 ? 1 : 0;
    for (std::size_t at = report.find("\f" + header); at != std::string::npos; at = report.find("\f" + header, at + 1))
        ++headers;
    EXPECT_EQ(headers, pages);
}

TEST_F(BatchModeBinaryTest, BatchDynamicLoadsThatTheRunLeavesOutAreNamedOnStandardErrorAndInTheReport)
{
    // A harmonic force of 10 Hz on a beam of pipe between two anchors; the
    // batch file chooses no load cases, so the run takes the static ones.
    std::ofstream(scratch / "harmonic.mbf") << "Harmonic\nOPTIONS\nB313,IN\nMATERIAL\nA106B,0.283,0.3\n"
                                               "A106B,70,27.9E6,6.0E-6,20000\nA106B,700,25.5E6,8.1E-6,16000\n"
                                               "PIPE\n6,6.625,0.28\nLAYOUT\nF10,MA106B,P6,KA\n"
                                               "T20,X100,CFOR(0,-100,0),FRE=10\nT30,X100,KA\n";
    const std::string warning = "The model's harmonic loads are not analysed: choose their load case, Harmonic "
                                "response, in the Load Cases dialog";
    const ProgramRun r = run("harmonic.mbf");
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_NE(r.err.find("The model is analysed as follows:\n" + warning + "\n"), std::string::npos) << r.err;
    // The report says so on its first page of text, before the model report
    // (broken at its blanks within the page).
    const std::string text = read_as_one(bytes_of(scratch / "harmonic.txt"));
    const std::size_t at = text.find(warning);
    ASSERT_NE(at, std::string::npos);
    EXPECT_NE(text.rfind("The model is analysed as follows:", at), std::string::npos);
    EXPECT_LT(at, text.find("Pipe material A106B"));
}

// A reducer's ends are its own, no section's: each is checked at its line,
// before anything is written, and the message names the line, the reducer
// and the value of the end as it was typed (not the mean of the two ends).
class ReducerBounds : public SectionBounds {};

TEST_F(ReducerBounds, AnEndDiameterOf1E19EndsWith1AtItsLineQuotingWhatWasTyped)
{
    std::ofstream(scratch / "reducer.mbf") << file("6.625", "1E19");
    const ProgramRun r = run("reducer.mbf");
    EXPECT_EQ(r.exit_code, 1) << r.err;
    EXPECT_NE(r.err.find("Line = 17 :  T30,X2-0,JD,COD1=1E19,THK1=0.322,OD2=6.625,THK2=0.28\nThe reducer at node 30: "
                         "OD1 of 1E+19 inch is beyond what a piping model can hold (0.001 inch to 1000 inch)"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("5E+18"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(scratch / "reducer.mod"));
    EXPECT_FALSE(fs::exists(scratch / "reducer.res"));
}

class ReducerWall : public SectionBounds {};

TEST_F(ReducerWall, AnEndWallThickerThanItsRadiusEndsWith1NamingTheRow)
{
    // 6.625 in with a 4 in wall at the first end, 4.5 in with a 3 in wall at
    // the second: more than half the diameter, a wall that closes the bore.
    const std::pair<std::string, std::string> ends[] = {
        {seed_batch_files::reducer_walls("4", "0.237"),
         "Line = 17 :  T30,X2-0,JD,COD1=6.625,THK1=4,OD2=4.5,THK2=0.237\nThe reducer at node 30: Thk1 > 0.5*OD1"},
        {seed_batch_files::reducer_walls("0.28", "3"),
         "Line = 17 :  T30,X2-0,JD,COD1=6.625,THK1=0.28,OD2=4.5,THK2=3\nThe reducer at node 30: Thk2 > 0.5*OD2"},
        {seed_batch_files::line_with_row("6.625", "0.28", "T30,Y2-0,KI,B9,CBTHK=5"),
         "Line = 17 :  T30,Y2-0,KI,B9,CBTHK=5\nThe bend at node 30: Thickness is greater than section radius"},
    };
    for (const auto& [text, message] : ends) {
        std::ofstream(scratch / "thick.mbf", std::ios::trunc) << text;
        const ProgramRun r = run("thick.mbf");
        EXPECT_EQ(r.exit_code, 1) << r.err;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("Section"), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(scratch / "thick.mod"));
    }
    // Half the diameter is a wall a reducer can have.
    std::ofstream(scratch / "half.mbf") << seed_batch_files::reducer_walls("3.3125", "0.237");
    const ProgramRun half = run("half.mbf");
    EXPECT_EQ(half.exit_code, 0) << half.err;
}
