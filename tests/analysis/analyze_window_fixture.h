// The Analyze command on the scripted backend: the backend, the analysis
// commands and (for the tests that read its status line) the main window.
#pragma once

#include "analysis/data/analysis_fixture.h"
#include "analysis/ui/analysis_ui.h"
#include "framework/app_state.h"
#include "framework/ui/frame.h"
#include "platform/headless/headless_backend.h"

namespace analysis_test {

class AnalyzeWindowTest : public AnalysisTest {
protected:
    // `with_frame`: the main window too, its status line empty.
    void start(bool with_frame)
    {
        hb = &install_headless_backend();
        install_analysis_commands();
        framed = with_frame;
        if (framed) {
            frame_create(main_frame(), "Korvane", "Korvane", nullptr, "", nullptr, "");
            frame_set_status(main_frame(), "");
        }
    }
    void TearDown() override
    {
        if (framed)
            frame_destroy(main_frame());
        remove_backend();
        AnalysisTest::TearDown();
    }
    // The status line as the main window shows it.
    std::string status() const { return hb->status_text(main_frame().window); }
    bool analyze() { return analyze_command(main_frame().window); }

    HeadlessBackend* hb = nullptr;
    bool framed = false;
};

}  // namespace analysis_test
