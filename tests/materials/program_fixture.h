// The program started on the scripted backend as main() starts it, with the
// model, materials and layout subsystems (and those a test of a higher layer
// adds), in a scratch program folder.
#pragma once

#include "framework/ui/shell.h"
#include "materials/ui/materials_subsystem.h"
#include "model/ui/layout_install.h"
#include "model/ui/model_subsystem.h"
#include "platform/headless/headless_backend.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <unistd.h>

class HeadlessProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        hb = &install_headless_backend();
        // The process id keeps apart the executables that CTest runs at once.
        folder = std::filesystem::temp_directory_path() /
                 ("korvane_program_" + std::to_string(::getpid()) + "_" +
                  std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        set_program_folder(folder.string());
        register_subsystem(install_model_subsystem);
        register_subsystem(install_materials_subsystem);
        register_subsystem(install_layout_subsystem);
        register_higher_subsystems();
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

    // The subsystems of the layers above the materials that a test needs.
    virtual void register_higher_subsystems() {}

    std::string path(const std::string& name) const { return (folder / name).string(); }

    HeadlessBackend* hb = nullptr;
    std::filesystem::path folder;
};
