// The report printed to a text file from the results window holds every
// line the run said of its nonlinear cases ("Operating (W+P1+T1): converged
// in ...", "Seismic (g): from the state of Operating (W+P1+T1), ..."), each
// above the first table of its case, as the batch run's report has them;
// the results file carries them, so that results opened again in another
// session print them too.
#include "exchange_fixture.h"

#include "analysis/ui/analysis_ui.h"
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "model/load_cases.h"
#include "platform/headless/headless_dialog.h"
#include "results/results_state.h"
#include "results/ui/results_window.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

// 1000 in of filled 6 in STD between anchors on rests with friction at
// nodes 20 to 50 under a seismic factor across: Operating and Seismic (g)
// are nonlinear.
const std::string LINE_ON_RESTS = "Line on rests\n"
                                  "OPTIONS\n"
                                  "B313,IN\n"
                                  "MATERIAL\n"
                                  "A106B,0.283,0.3\n"
                                  "A106B,70,27.9E6,6.0E-6,20000\n"
                                  "A106B,700,27.9E6,8.1E-6,16000\n"
                                  "PIPE\n"
                                  "P6,6.625,0.28\n"
                                  "LOADS\n"
                                  "L1,200,0,1.14\n"
                                  "SEISMIC\n"
                                  "0,0,1\n"
                                  "LAYOUT\n"
                                  "F10,MA106B,PP6,KA,CL=L1\n"
                                  "T20,X200,CLS(0,NONE),DV(0,1,0),MU=0.3\n"
                                  "T30,X200,CLS(0,NONE),DV(0,1,0),MU=0.3\n"
                                  "T40,X200,CLS(0,NONE),DV(0,1,0),MU=0.3\n"
                                  "T50,X200,CLS(0,NONE),DV(0,1,0),MU=0.3\n"
                                  "T60,X200,KA\n";

class WindowReportCaseLines : public ExchangeProgramTest {
protected:
    void TearDown() override
    {
        terminate_results();
        ExchangeProgramTest::TearDown();
    }
    // Analyses the model as saved and opens its results.
    void analyse_saved()
    {
        ASSERT_TRUE(analyze_command(0));
        open_results();
        hb->run_loop();
        ASSERT_TRUE(in_results());
    }
    // Each case line stands once in the report, the line after it the title
    // of one of its case's tables.
    static void expect_case_lines(const std::string& text, const std::vector<std::string>& case_lines)
    {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line.substr(0, line.find_last_not_of("\r ") + 1));
        for (const std::string& note : case_lines) {
            const std::string name = note.substr(0, note.find(':'));
            int found = 0;
            for (std::size_t i = 0; i + 1 < lines.size(); ++i)
                if (lines[i].find(note) != std::string::npos) {
                    ++found;
                    EXPECT_NE(lines[i + 1].find(name), std::string::npos)
                        << "\"" << note << "\" is followed by \"" << lines[i + 1] << "\"";
                }
            EXPECT_EQ(found, 1) << note;
        }
    }
};

}  // namespace

TEST_F(WindowReportCaseLines, PrintedToATextFileAfterAnalyzeAndAgainFromTheFiles)
{
    ASSERT_FALSE(batch_mode());
    open_saved_batch(LINE_ON_RESTS, "line.mod");
    ASSERT_NO_FATAL_FAILURE(analyse_saved());
    const std::vector<std::string> notes = last_analysis_case_notes();
    ASSERT_GE(notes.size(), 2u);
    bool seismic = false;
    for (const std::string& note : notes)
        seismic = seismic || note.rfind("Seismic (g): from the state of Operating (W+P1+T1)", 0) == 0;
    EXPECT_TRUE(seismic);
    EXPECT_EQ(results().run_record.case_lines, notes);
    expect_case_lines(printed_report(), notes);

    // Another model analysed since, a linear one whose run says nothing of
    // its cases; the first model's results opened again from their files
    // bring their own lines.
    terminate_results();
    std::string linear = LINE_ON_RESTS;
    for (std::size_t at; (at = linear.find(",CLS(0,NONE),DV(0,1,0),MU=0.3")) != std::string::npos;)
        linear.erase(at, std::string(",CLS(0,NONE),DV(0,1,0),MU=0.3").size());
    open_saved_batch(linear, "linear.mod");
    ASSERT_NO_FATAL_FAILURE(analyse_saved());
    EXPECT_TRUE(last_analysis_case_notes().empty());
    EXPECT_EQ(printed_report().find("converged"), std::string::npos);
    terminate_results();
    open_by_extension(path("line.res"));
    hb->run_loop();
    ASSERT_TRUE(in_results());
    EXPECT_FALSE(results_out_of_date());
    expect_case_lines(printed_report(), notes);
}
