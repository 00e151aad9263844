// The program started on the scripted backend as main() starts it, with the
// subsystems up to the qualification windows, for the flange, lug and nozzle
// modes: starting a data set from File New, the list window's state, the
// report's window lines and its text form.
#pragma once

#include "analysis/ui/analysis_ui.h"
#include "codes/code_driver.h"
#include "elements/element_analysis.h"
#include "elements/ui/element_ui.h"
#include "framework/commands.h"
#include "framework/document.h"
#include "framework/ui/frame.h"
#include "framework/ui/printing_commands.h"
#include "framework/ui/report.h"
#include "framework/units.h"
#include "golden.h"
#include "loads/ui/loads_subsystem.h"
#include "materials/program_fixture.h"
#include "model/ui/dialogs_model_file.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"
#include "qualification/ui/lug_ui.h"
#include "qualification/ui/nozzle_ui.h"
#include "qualification/ui/qualification_mode.h"
#include "qualification/ui/qualification_report_table.h"
#include "qualification/ui/qualification_ui.h"
#include "results/ui/results_window.h"
#include "supports/ui/supports_ui.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class QualificationProgramTest : public HeadlessProgramTest {
protected:
    void register_higher_subsystems() override
    {
        register_subsystem(install_elements_ui);
        register_subsystem(install_element_analysis);
        register_subsystem(install_supports_ui);
        register_subsystem(install_loads_subsystem);
        register_subsystem(install_analysis_commands);
        register_subsystem(install_code_evaluation);
        register_subsystem(install_results_ui);
        register_subsystem(install_qualification_ui);
    }
    void SetUp() override
    {
        HeadlessProgramTest::SetUp();
        set_report_date("1 Jan 2025");
    }
    void TearDown() override
    {
        // Every control a procedure used is in its template.
        for (const std::string& fault : script().faults())
            ADD_FAILURE() << fault;
        HeadlessProgramTest::TearDown();
    }

    Script& script() const { return hb->script(); }
    const HeadlessWindow& list() const { return *hb->window(list_frame().window); }
    const HeadlessWindow& main() const { return *hb->window(main_frame().window); }

    // File New with the choice of a kind.
    void start_new(int kind)
    {
        script().once("NEW_DIALOG", [kind](HeadlessDialog& d) {
            d.press(new_choice_radio(kind));
            d.press(IDOK);
        });
        new_file_command(main_frame().window);
    }
    bool command(int id) { return script().menu_command(list_frame().window, id); }

    // The report's lines as the window shows them.
    static std::vector<std::string> window_texts(const QualificationReportTable& t)
    {
        std::vector<std::string> texts;
        for (const ReportLine& l : t.lines())
            texts.push_back(std::to_string(l.kind) + "|" + l.text);
        return texts;
    }
    static std::string joined(const std::vector<std::string>& lines)
    {
        std::string s;
        for (const std::string& l : lines)
            s += l + "\n";
        return s;
    }
    // The text report of the mode (as Print to a text file writes it).
    static std::string text_report(const std::function<void()>& write)
    {
        return report_render_text(ReportJob{"report", write, false}, false);
    }
    static std::string bytes(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void write_bytes(const std::string& file, const std::string& b)
    {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << b;
    }

    // A new rectangular lug (1 x 1.5 in) on a 10.75 x 0.5 in pipe with its
    // allowables and a thrust of 1500 lb, analysed.
    void start_analysed_lug()
    {
        start_new(NEW_KIND_LUG);
        LugInput& in = lug_qualification().input;
        in.Do = 10.75f;
        in.T = 0.5f;
        in.L1 = 1.0f;
        in.L2 = 1.5f;
        in.sh = 15000;
        in.sy = 30000;
        in.sa = 22500;
        in.maxima.W = 1500;
        lug_qualification().analyzed = true;
    }
    // A new EN 13445 nozzle of 6.625 in on a shell of radius 40 in,
    // evaluated.
    void start_evaluated_nozzle()
    {
        start_new(NEW_KIND_NOZZLE);
        NozzleEvaluation& n = nozzle_qualification().data;
        n.R = 40;
        n.e = 0.5f;
        n.de = 6.625f;
        n.eb = 0.5f;
        n.d = 6.345f;
        n.ec = 0.9f;
        n.f = 20000;
        n.fb = 17000;
        nozzle_qualification().evaluate = true;
    }
};
