// The program started on the scripted backend as main() starts it, with every
// subsystem up to the exchange layer, in a scratch program folder; batch
// files written there.
#pragma once

#include "analysis/ui/analysis_ui.h"
#include "codes/code_driver.h"
#include "elements/element_analysis.h"
#include "elements/ui/element_ui.h"
#include "exchange/ui/exchange_ui.h"
#include "framework/app_state.h"
#include "graphics/ui/graphics_window.h"
#include "loads/ui/loads_subsystem.h"
#include "model/ui/model_commands.h"
#include "materials/program_fixture.h"
#include "qualification/ui/qualification_ui.h"
#include "results/ui/results_window.h"
#include "supports/ui/supports_ui.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

class ExchangeProgramTest : public HeadlessProgramTest {
protected:
    // Every subsystem above the materials, as main() registers them.
    void register_higher_subsystems() override
    {
        register_subsystem(install_elements_ui);
        register_subsystem(install_element_analysis);
        register_subsystem(install_supports_ui);
        register_subsystem(install_loads_subsystem);
        register_subsystem(install_analysis_commands);
        register_subsystem(install_graphics_ui);
        register_subsystem(install_code_evaluation);
        register_subsystem(install_results_ui);
        register_subsystem(install_qualification_ui);
        register_subsystem(install_exchange_ui);
        register_window_installer(create_graphics_window);
    }

    std::string write(const std::string& name, const std::string& text) const
    {
        std::ofstream(path(name), std::ios::binary) << text;
        return path(name);
    }
    static std::string bytes(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    Script& script() const { return hb->script(); }
    // Saves the model as model.mod, analyses it and opens its results.
    void analyse_and_open_results()
    {
        set_model_file_path(path("model.mod"));
        ASSERT_TRUE(save_model(0));
        ASSERT_TRUE(analyze_command(0));
        open_results();
        hb->run_loop();
        ASSERT_TRUE(in_results());
    }
};
