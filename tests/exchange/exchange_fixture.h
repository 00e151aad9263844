// The program started on the scripted backend as main() starts it, with every
// subsystem up to the exchange layer, in a scratch program folder; batch
// files written there.
#pragma once

#include "analysis/ui/analysis_ui.h"
#include "elements/element_analysis.h"
#include "elements/ui/element_ui.h"
#include "exchange/ui/exchange_ui.h"
#include "framework/app_state.h"
#include "framework/ui/shell.h"
#include "loads/ui/loads_subsystem.h"
#include "materials/ui/materials_subsystem.h"
#include "model/ui/layout_install.h"
#include "model/ui/model_subsystem.h"
#include "platform/headless/headless_backend.h"
#include "qualification/equipment.h"
#include "supports/ui/supports_ui.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class ExchangeProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        hb = &install_headless_backend();
        folder = std::filesystem::temp_directory_path() /
                 ("korvane_exchange_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        set_program_folder(folder.string());
        register_subsystem(install_model_subsystem);
        register_subsystem(install_materials_subsystem);
        register_subsystem(install_layout_subsystem);
        register_subsystem(install_elements_ui);
        register_subsystem(install_element_analysis);
        register_subsystem(install_supports_ui);
        register_subsystem(install_loads_subsystem);
        register_subsystem(install_analysis_commands);
        register_subsystem(install_equipment);
        register_subsystem(install_exchange_ui);
        register_window_installer(create_layout_windows);
        app_startup();
    }
    void TearDown() override
    {
        app_shutdown();
        set_program_folder("");
        remove_backend();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::string path(const std::string& name) const { return (folder / name).string(); }
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

    HeadlessBackend* hb = nullptr;
    std::filesystem::path folder;
};
