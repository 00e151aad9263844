// The program started on the scripted backend as main() starts it, with every
// subsystem up to the exchange layer, in a scratch program folder; batch
// files written there.
#pragma once

#include "analysis/ui/analysis_ui.h"
#include "codes/code_driver.h"
#include "elements/element_analysis.h"
#include "elements/ui/element_ui.h"
#include "exchange/batch_import.h"
#include "exchange/ui/exchange_ui.h"
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "framework/ui/table.h"
#include "graphics/ui/graphics_window.h"
#include "loads/ui/loads_subsystem.h"
#include "model/model.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"
#include "materials/program_fixture.h"
#include "page_layout.h"
#include "platform/headless/headless_dialog.h"
#include "qualification/ui/qualification_ui.h"
#include "results/ui/results_report.h"
#include "results/ui/results_window.h"
#include "supports/ui/supports_ui.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

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
    // What the steps posted runs, as the message loop runs it.
    void settle() const
    {
        while (hb->posted_count() != 0)
            hb->process_events();
    }
    // A batch text imported in place of the model and shown.
    void open_batch(const std::string& text) const
    {
        close_model();
        std::istringstream in(text);
        import_batch_text(in);
        show_imported_model();
        settle();
    }
    // The same, saved as `name`, so that nothing is modified.
    void open_saved_batch(const std::string& text, const std::string& name)
    {
        open_batch(text);
        set_model_file_path(path(name));
        ASSERT_TRUE(save_model(0));
        ASSERT_FALSE(model_modified());
        script().clear_log();
    }
    // The element row (not a From row) of a node; 0 for none.
    static int row_of_node(int node)
    {
        for (int row = 1; row <= numrows(); ++row)
            if (model().rows[row].node == node && model().rows[row].etype != ET_FROM)
                return row;
        return 0;
    }
    // Each row's element dialog and data-item dialog, as the layout's Type
    // and Data cells and a pick in the view open them.
    static void open_every_row_dialog()
    {
        const LayoutHooks& hooks = layout_hooks();
        for (int row = 1; row <= numrows(); ++row) {
            const LayoutRow& r = model().rows[row];
            select_layout_row(row);
            if (r.etype >= 0 && r.etype <= MAX_ETYPE)
                if (const auto& open = hooks.element_dialog[static_cast<std::size_t>(r.etype)])
                    open(row);
            if (r.dtype > DT_NONE && r.dtype <= MAX_DTYPE)
                if (const auto& open = hooks.data_dialog[static_cast<std::size_t>(r.dtype)])
                    open(row);
        }
    }
    // Every data list with rows (with `empty_too` every list the list window
    // opens) opened in the list window, and its table.
    static void for_every_data_list_table(const std::function<void(const DataList&, TableWindow&)>& use,
                                          bool empty_too = false)
    {
        for (const DataList& list : data_lists()) {
            if (!list.open || (!empty_too && (!list.count || list.count() == 0)))
                continue;
            list.open();
            TableWindow* table = list_window_table();
            ASSERT_NE(table, nullptr) << list.name;
            use(list, *table);
        }
    }
    // The data list of that name opened in the list window, and its table;
    // null when there is none.
    static TableWindow* open_data_list(const std::string& name)
    {
        for (const DataList& list : data_lists())
            if (list.name == name && list.open) {
                list.open();
                return list_window_table();
            }
        ADD_FAILURE() << "no data list " << name;
        return nullptr;
    }
    // Row 1 of every data list with rows, by the list window's Edit command.
    void open_every_data_list_row() const
    {
        for_every_data_list_table([this](const DataList&, TableWindow& table) {
            table_goto_row(table, 1);
            script().menu_command(list_frame().window, CMD_EDIT_ROW);
        });
    }
    // The whole report of the open results as the results window's Print
    // command writes it to a text file.
    std::string printed_report()
    {
        const std::string file = path("report.txt");
        script().once("PRINT_RESULTS_DIALOG", [](HeadlessDialog& d) {
            d.check(1501, false);   // Printer
            d.check(1504, true);    // Text file
            d.press(IDOK);
        });
        script().answer_file(file);
        frame_command(results_frame(), CMD_PRINT);
        return bytes(file);
    }
    // The texts that the whole report of the open results draws on its
    // pages, in order, as the results window's Print command prints it.
    static std::vector<std::string> drawn_report()
    {
        HeadlessPrintDocument doc(PageSetup{}, 96);
        EXPECT_TRUE(report_render_pages(doc, results_report_job(default_report_selection())));
        std::vector<std::string> drawn;
        for (const auto& page : doc.pages())
            for (const DrawnText& t : drawn_texts(*page))
                drawn.push_back(t.text);
        return drawn;
    }
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

// The same on a batch file of the test's own, imported, analysed and its
// results open; the results are left after the test.
class ExchangeResultsTest : public ExchangeProgramTest {
protected:
    void TearDown() override
    {
        terminate_results();
        ExchangeProgramTest::TearDown();
    }
    // Imports the text as model.mbf (the results open before are left).
    void open_analysed(const std::string& batch_text)
    {
        terminate_results();
        script().answer_file(write("model.mbf", batch_text));
        ASSERT_TRUE(run_command(CMD_IMPORT));
        ASSERT_NO_FATAL_FAILURE(analyse_and_open_results());
    }
};
