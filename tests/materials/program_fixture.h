// The program started on the scripted backend as main() starts it, with the
// model, materials and layout subsystems (and those a test of a higher layer
// adds), in a scratch program folder.
#pragma once

#include "framework/ui/frame.h"
#include "framework/ui/shell.h"
#include "materials/ui/materials_subsystem.h"
#include "model/ui/layout_install.h"
#include "model/ui/model_subsystem.h"
#include "platform/headless/headless_backend.h"
#include "platform/resources.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

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
    Script& script() const { return hb->script(); }

    // A key into the list window's table.
    void key(int k) const { script().key(list_frame().client, k); }
    // Enter on the list window's current row; the message it brought up, ""
    // when none.
    std::string enter() const
    {
        const std::size_t said = script().messages().size();
        key(KEY_RETURN);
        return script().messages().size() > said ? script().last_message() : std::string();
    }

    // A text typed into the list window's table, a character a key.
    void type_into_list(const std::string& text) const
    {
        ClientEvents* events = hb->window(list_frame().client)->client_events;
        for (char c : text)
            events->on_char(std::string(1, c));
    }
    // Cells of the list window's current row typed one after the other,
    // Tab after each.
    void type_list_cells(const std::vector<std::string>& cells) const
    {
        for (const std::string& text : cells) {
            type_into_list(text);
            hb->script().key(list_frame().client, KEY_TAB);
        }
    }

    HeadlessBackend* hb = nullptr;
    std::filesystem::path folder;
};
