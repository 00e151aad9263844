// A window test of the program: the Qt backend, the start-up settings and
// commands, a scratch folder of its own as the program folder, the
// subsystems the test registers, and the program started; at the end the
// results closed, the program shut down and the folder removed.
#pragma once

#include "app/program_subsystems.h"
#include "framework/app_state.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/shell.h"
#include "gui/gui_fixture.h"
#include "results/ui/results_window.h"

#include <QCoreApplication>
#include <QEvent>

#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>
#include <utility>

class GuiProgramTest : public ::testing::Test {
protected:
    // The scratch folder is `name` with the process id under the test temporary folder.
    // Without `start` the tests register what they need and start the program themselves.
    explicit GuiProgramTest(std::string name, bool start = true) : name_(std::move(name)), start_(start) {}

    // The subsystems and window installers; by default the program's, as main() registers them.
    virtual void install_subsystems() { register_program_subsystems(); }
    // Runs in the program folder before the program starts: the files it should find.
    virtual void before_startup() {}
    // Runs after the program shut down, before its windows are deleted.
    virtual void after_shutdown() {}

    void SetUp() override
    {
        {
#ifdef __SANITIZE_ADDRESS__
            // The window system's libraries keep what they allocate at start until the process ends.
            __lsan::ScopedDisabler system_libraries;
#endif
            gui_backend();
        }
        reset_app_state();
        reset_app_settings();
        clear_command_registry();
        folder = std::filesystem::path(::testing::TempDir()) / (name_ + "_" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        set_program_folder(folder.string());
        if (!start_)
            return;
        before_startup();
        install_subsystems();
        app_startup();
    }

    void TearDown() override
    {
        terminate_results();
        app_shutdown();
        after_shutdown();
        // The backend deletes windows later; windows left to the application's
        // own end outlive Qt's thread data.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        set_program_folder("");
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::filesystem::path folder;

private:
    std::string name_;
    bool start_;
};
