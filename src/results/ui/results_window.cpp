#include "results/ui/results_window.h"

#include "analysis/ui/analysis_ui.h"
#include "codes/stress_display.h"
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "framework/sha256.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/file_dialogs.h"
#include "framework/ui/frame.h"
#include "framework/ui/menus.h"
#include "framework/ui/messages.h"
#include "framework/ui/printing_commands.h"
#include "framework/ui/qa_block_dialog.h"
#include "framework/ui/shell.h"
#include "framework/ui/table.h"
#include "model/model.h"
#include "model/nodes.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"
#include "results/results_load_cases.h"
#include "results/results_session.h"
#include "results/results_state.h"
#include "results/support_summary.h"
#include "results/time_history.h"
#include "results/ui/code_stress_ui.h"
#include "results/ui/result_choosers.h"
#include "results/ui/result_tables.h"
#include "results/ui/stress_result_tables.h"
#include "results/ui/results_ui_state.h"
#include "results/ui/hanger_report_ui.h"
#include "results/ui/modal_results_ui.h"
#include "results/ui/time_history_ui.h"

#include <filesystem>

namespace {

ResultsHooks& hooks()
{
    return results_hooks();
}

Frame& rf()
{
    return results_frame();
}

using menu::item;
using menu::SEPARATOR;

void refresh_menu()
{
    Frame& f = rf();
    if (!f.window)
        return;
    frame_refresh_command_states(f);
    frame_update_menu(f);
}

bool table_shown()
{
    const TableView& v = results_table_view();
    return v.shown() && v.table() != nullptr;
}

// ---- Whether results are of the model they stand beside ----------------------------------

// True when the results are not those of the model in memory: it has
// changed since it was read or saved, or the results carry the fingerprint
// of another model file's contents; results without one are judged by the
// times, older than the model file.
bool older_than_model(const std::string& model_path, const std::string& results_path)
{
    if (model_modified())
        return true;
    Sha256Digest of_results{}, of_model{};
    if (results_file_fingerprint(results_path, of_results))
        return !sha256_of_file(model_path, of_model) || of_model != of_results;
    std::error_code a, b;
    const auto model_time = std::filesystem::last_write_time(model_path, a);
    const auto results_time = std::filesystem::last_write_time(results_path, b);
    return !a && !b && model_time > results_time;
}

// A batch run's results are those of the model it has just saved and
// analysed, whatever has become of the model file since: they are out of
// date only when they carry another model's fingerprint than that run's.
bool batch_results_of_another_model()
{
    const Sha256Digest& analysed = last_analysis_model_fingerprint();
    const ResultsRunRecord& record = results().run_record;
    return record.has_fingerprint() && fingerprint_given(analysed) && record.model_fingerprint != analysed;
}

// ---- The layout and list windows in results mode --------------------------------------

// Replaces a frame's command while results are shown, keeping the old one.
void replace_command(Frame& frame, std::map<int, std::function<void(int)>>& saved, int id,
                     std::function<void(int)> handler)
{
    auto it = frame.commands.find(id);
    saved[id] = it == frame.commands.end() ? nullptr : it->second;
    frame_register_command(frame, id, std::move(handler));
}

void restore_commands(Frame& frame, std::map<int, std::function<void(int)>>& saved)
{
    for (auto& [id, handler] : saved)
        frame_register_command(frame, id, handler);
    saved.clear();
}

void to_results_window()
{
    frame_activate(rf(), nullptr);
}

// Shows the graphics window with what it draws now behind the window the
// user chose, which stays in front.
void show_graphics_behind(Frame& chosen)
{
    if (hooks().show_graphics_behind)
        hooks().show_graphics_behind();
    frame_bring_to_front(chosen);
}

void disable_input_menus()
{
    ResultsUiState& ui = results_ui();
    for (Frame* f : {&main_frame(), &list_frame()}) {
        if (!f->window)
            continue;
        f->menu.enable_position(1, false);
        frame_disable_button(*f, CMD_SAVE);
        // The Misc menus' model tables that are empty: nothing to browse.
        for (const DataList& list : data_lists())
            if (list.misc_command != 0 && list.count && list.count() == 0)
                f->menu.enable(list.misc_command, false);
    }
    Frame& main = main_frame();
    for (int id : {CMD_ELEMENT_TYPES, CMD_DATA_TYPES, CMD_CHECK_BENDS})
        main.menu.enable(id, false);
    // F3 of the layout and list windows returns to the results; "&List"
    // and "L&ayout" (257) lead to the other input window.
    if (main.window) {
        const auto layout_go_back = main.commands.count(CMD_GO_BACK) ? main.commands[CMD_GO_BACK] : nullptr;
        main.menu.append_beside(CMD_GO_BACK, item("&List", CMD_SWITCH_LIST_LAYOUT));
        main.menu.set_text(CMD_GO_BACK, "&Results\tF3");
        replace_command(main, ui.saved_main_commands, CMD_GO_BACK, [](int) { to_results_window(); });
        replace_command(main, ui.saved_main_commands, CMD_SWITCH_LIST_LAYOUT, [layout_go_back](int) {
            if (layout_go_back)
                layout_go_back(CMD_GO_BACK);
        });
    }
    Frame& list = list_frame();
    if (list.window) {
        const auto list_go_back = list.commands.count(CMD_GO_BACK) ? list.commands[CMD_GO_BACK] : nullptr;
        list.menu.append_beside(CMD_GO_BACK, item("L&ayout", CMD_SWITCH_LIST_LAYOUT));
        list.menu.set_text(CMD_GO_BACK, "&Results\tF3");
        replace_command(list, ui.saved_list_commands, CMD_GO_BACK, [](int) { to_results_window(); });
        replace_command(list, ui.saved_list_commands, CMD_GO_BACK_BUTTON, [](int) { to_results_window(); });
        // The list window's own F3, which serves the command it is given.
        replace_command(list, ui.saved_list_commands, CMD_SWITCH_LIST_LAYOUT, [list_go_back](int) {
            if (list_go_back)
                list_go_back(CMD_GO_BACK);
        });
    }
    graphics_frame().previous_frame = &rf();
    rf().previous_frame = &list_frame();
    for (Frame* f : {&main_frame(), &list_frame()})
        if (f->window) {
            frame_refresh_command_states(*f);
            frame_update_menu(*f);
        }
}

void enable_input_menus()
{
    ResultsUiState& ui = results_ui();
    for (Frame* f : {&main_frame(), &list_frame()}) {
        if (!f->window)
            continue;
        f->menu.enable_position(1, true);
        frame_enable_button(*f, CMD_SAVE);
        for (const DataList& list : data_lists())
            if (list.misc_command != 0)
                f->menu.enable(list.misc_command, true);
        f->menu.remove(CMD_SWITCH_LIST_LAYOUT);
    }
    Frame& main = main_frame();
    for (int id : {CMD_ELEMENT_TYPES, CMD_DATA_TYPES, CMD_CHECK_BENDS})
        main.menu.enable(id, true);
    main.menu.set_text(CMD_GO_BACK, "&List\tF3");
    list_frame().menu.set_text(CMD_GO_BACK, "L&ayout\tF3");
    restore_commands(main, ui.saved_main_commands);
    restore_commands(list_frame(), ui.saved_list_commands);
    graphics_frame().previous_frame = &main_frame();
    for (Frame* f : {&main_frame(), &list_frame()})
        if (f->window) {
            frame_refresh_command_states(*f);
            frame_update_menu(*f);
        }
}

// ---- Menu item sets --------------------------------------------------------------------

void insert_items(const std::vector<MenuItem>& items)
{
    for (const MenuItem& i : items)
        rf().menu.insert_before(CMD_RESULTS, i);
}

void remove_items(std::initializer_list<int> ids, int separator_after)
{
    if (separator_after)
        rf().menu.remove_separator_after(separator_after);
    for (int id : ids)
        rf().menu.remove(id);
}

void show_buttons(std::initializer_list<int> ids, bool shown)
{
    for (int id : ids)
        shown ? frame_show_button(rf(), id) : frame_hide_button(rf(), id);
}

void item_sets_changed()
{
    update_results_tooltips();
    refresh_menu();
}

// ---- The results frame's own commands -------------------------------------------------------

void print_command()
{
    const WindowId owner = rf().window;
    if (hooks().print_results) {
        hooks().print_results(owner);
        return;
    }
    if (TableWindow* t = results_table_view().table(); t && table_shown())
        print_results_sheet(owner, table_report_job(*t));
}

void results_results_command()
{
    if (batch_mode()) {
        // The report of the whole results, then the window closes and so
        // the program ends.
        bool written = true;
        if (hooks().write_batch_report)
            written = hooks().write_batch_report(rf().window);
        close_model();
        request_exit(!written ? 1 : last_analysis_unconverged() ? EXIT_NOT_CONVERGED : 0);
        return;
    }
    run_result_chooser(rf().window);
    show_graphics_behind(rf());
}

// The Right and Left keys (Down and Up in the mode tables) of the shown table.
void step_load_case(bool next)
{
    const int kind = current_result();
    const bool modes = kind == RESULT_FREQUENCIES || kind == RESULT_DYNAMIC_SUSCEPTIBILITY;
    if (TableWindow* t = results_table_view().table(); t && table_shown()) {
        t->on_key(modes ? (next ? KEY_DOWN : KEY_UP) : (next ? KEY_RIGHT : KEY_LEFT), MOD_NONE);
        return;
    }
    next ? next_load_case() : previous_load_case();
    results_load_case_changed();
}

void input_command()
{
    frame_hide(list_frame());
    if (hooks().hide_graphics)
        hooks().hide_graphics();
    terminate_results();
    set_title_file_text(title_file_for_path(model_file_path()));
    present_layout_window();
    show_graphics_behind(main_frame());
}

void switch_list_layout()
{
    Frame& f = rf();
    if (f.previous_frame == &list_frame())
        f.previous_frame = &main_frame();
    else if (f.previous_frame == &main_frame())
        f.previous_frame = &list_frame();
    else
        return;
    frame_bring_to_front(*f.previous_frame);
}

void export_command()
{
    const WindowId owner = rf().window;
    if (current_result() == RESULT_HANGER_REPORT) {
        if (hooks().export_hanger_interface)
            hooks().export_hanger_interface(owner);
        return;
    }
    // Every other result: the shown table as CSV.
    if (TableWindow* t = results_table_view().table(); t && table_shown())
        t->export_csv(owner);
}

bool export_available()
{
    if (current_result() == RESULT_HANGER_REPORT)
        return static_cast<bool>(hooks().export_hanger_interface);
    return table_shown();
}

// File > Open Results: a results file, which opens its model first.
void open_results_dialog()
{
    FileDialogRequest request;
    request.title = "Open Results";
    request.filters = {{"Results files (*.res)", "*.res"}};
    request.default_extension = "res";
    request.initial_path = model_file_path().empty() ? std::string() : replace_extension(model_file_path(), "res");
    request.must_exist = true;
    if (open_file_dialog_path(rf().window, request))
        open_by_extension(ofn_file_path());
}

void find_node_command()
{
    if (TableWindow* t = results_table_view().table(); t && table_shown())
        table_find_node_command(*t, [](const std::string& text, int& node) {
            return parse_node_text_code(text, node) == 0;
        });
}

// The colour-coding item: "No color coding" while the sorted stresses are
// shown colour-coded.
std::string colour_coding_text()
{
    return current_result() == RESULT_SORTED_STRESSES && stress_display_flags().colour_coding ? "No color coding"
                                                                                              : "Color code stresses";
}

// A command that others serve: enabled while they do.
void register_hooked(int id)
{
    frame_register_command(
        rf(), id,
        [](int command) {
            auto it = hooks().commands.find(command);
            if (it != hooks().commands.end() && it->second)
                it->second(command);
        },
        [id] {
            auto it = hooks().commands.find(id);
            return it != hooks().commands.end() && static_cast<bool>(it->second) &&
                   (!hooks().command_available || hooks().command_available(id));
        });
}

void register_results_commands()
{
    Frame& f = rf();
    auto on = [&f](int id, std::function<void()> run, std::function<bool()> available = {}) {
        frame_register_command(f, id, [run](int) { run(); }, std::move(available));
    };
    auto with_results = [] { return in_results(); };
    on(CMD_SAVE, [] {});   // Ctrl+S does nothing here
    // The QA block heads the reports of the results: it is edited here too
    // (the model's other data stay locked).
    on(CMD_QA_BLOCK, [] {
        const bool locked = input_locked();
        input_locked() = false;
        try {
            qa_block_dialog(rf().window);
        } catch (...) {
            input_locked() = locked;
            throw;
        }
        input_locked() = locked;
    });
    on(CMD_PRINT, print_command, [] { return static_cast<bool>(results_hooks().print_results) || table_shown(); });
    on(CMD_EXIT, [] {
        if (rf().close_handler)
            rf().close_handler();
    });
    on(CMD_INPUT, input_command, with_results);
    on(CMD_RESULTS, results_results_command, with_results);
    on(CMD_NEXT_RESULT, next_result, [] { return !result_list().empty(); });
    on(CMD_PREVIOUS_RESULT, previous_result, [] { return !result_list().empty(); });
    on(CMD_NEXT_LOAD_CASE, [] { step_load_case(true); }, [] { return results().load_case_count() > 0; });
    on(CMD_PREVIOUS_LOAD_CASE, [] { step_load_case(false); }, [] { return results().load_case_count() > 0; });
    on(CMD_LOAD_CASES, [] {
        const int kind = current_result();
        if (kind >= 0 && kind < RESULT_KINDS && hooks().choose_load_case[static_cast<std::size_t>(kind)])
            hooks().choose_load_case[static_cast<std::size_t>(kind)](rf().window);
        else
            choose_results_load_case(rf().window);
    }, [] { return results().load_case_count() > 1; });
    on(CMD_GRAPHICS, [] { frame_activate(graphics_frame(), &rf()); });
    on(CMD_GRAPHICS_BUTTON, [] {
        frame_activate(graphics_frame(), &rf());
        frame_point_to_button_at(graphics_frame(), 3);
    });
    on(CMD_GO_BACK, [] { frame_go_back(rf()); });
    on(CMD_GO_BACK_BUTTON, [] { frame_go_back(rf()); });
    on(CMD_SWITCH_LIST_LAYOUT, switch_list_layout);
    on(CMD_OTHER_ITEM, other_item_command);
    on(CMD_NEXT_ITEM, next_item_command);
    on(CMD_PREVIOUS_ITEM, previous_item_command);
    on(CMD_LOCAL_GLOBAL, local_global_command);
    on(CMD_CLOSE_POPUPS, [] { frame_cancel_popups(rf()); });
    // The thresholds mark what the colour coding colours: greyed while it is on.
    on(CMD_THRESHOLDS, [] { thresholds_dialog(rf().window); }, [] { return !stress_display_flags().colour_coding; });
    on(CMD_COLOUR_CODING, [] {
        colour_coding_command();
        rf().menu.set_text(CMD_COLOUR_CODING, colour_coding_text());
        frame_refresh_command_states(rf());
    }, colour_coding_available);
    on(CMD_FIRST_LEVEL_CHECKS, [] { first_level_checks_dialog(rf().window); }, with_results);
    on(CMD_EXPORT, export_command, export_available);
    on(CMD_OPEN_RESULTS, open_results_dialog);
    on(CMD_FIND_NODE, find_node_command, [] { return table_window_flag(); });
    for (int id : {CMD_VIEWPOINT, CMD_ZOOM_ALL, CMD_PREVIOUS_VIEW, CMD_SHAPE, CMD_ANIMATE, CMD_MAGNIFICATION,
                   CMD_LOCAL_AXES, CMD_SHOW_STRESSES, CMD_SHOW_STRESS_RATIOS, CMD_RATIOS_COLUMN,
                   CMD_SORTED_STRESS_OPTION, CMD_CENTER_OF_GRAVITY, CMD_COLOURING_OFF,
                   CMD_EXPORT_PLANT_DESIGN_RESULTS, CMD_DISPLACEMENT_TABLE_1, CMD_DISPLACEMENT_TABLE_2})
        register_hooked(id);
    for (int id : {CMD_SHAPE, CMD_ANIMATE, CMD_SHOW_STRESSES, CMD_SHOW_STRESS_RATIOS})
        frame_register_toggle(
            f, id, [id] { return hooks().command_checked && hooks().command_checked(id); },
            [id] { return results_tooltip(id); });
    f.close_handler = [] {
        // Closing the results window closes the model and then the program;
        // changes made here (QA block, units) are offered for saving first.
        if (!confirm_discard_model(rf().window))
            return false;
        close_model();
        request_exit(0);
        return false;
    };
    f.menu_opening = [](Frame&) { results_menu_popup(); };
    f.activated = [](Frame&, bool active) {
        if (!active)
            return;
        for (Frame* other : {&main_frame(), &list_frame(), &graphics_frame()})
            if (other->window)
                frame_cancel_popups(*other);
        if (table_shown())
            table_window_refocus();
    };
}

// Opens the results of a ".res" file: its model first.
void open_results_file(const std::string& path)
{
    const std::string model_path = replace_extension(path, "mod");
    std::error_code ec;
    if (!std::filesystem::is_regular_file(model_path, ec))
        throw MessageText(missing_file_text("Model file", model_path));
    // The model in memory is read again when it is not the file's: changed,
    // or the file replaced by another run.
    if (model_file_path() != model_path || model_modified() || model_file_replaced())
        open_model_file(model_path);
    if (model_file_path() == model_path)
        open_results();
}

}  // namespace

// ---- Entering and leaving ---------------------------------------------------------

void open_results()
{
    const WindowId layout = main_frame().window;
    const std::string model_path = model_file_path();
    if (model_path.empty())
        throw MessageText("The model has not been saved and analyzed yet.");
    const std::string results_path = replace_extension(model_path, "res");
    std::error_code ec;
    if (!std::filesystem::is_regular_file(results_path, ec)) {
        message_error(layout, missing_file_text("Results file", results_path));
        if (batch_mode())
            request_exit(1);
        return;
    }
    if (in_results())
        terminate_results();
    ResultsUiState& ui = results_ui();
    // A batch run's results are those of the model it has just analysed,
    // whatever has become of the model file since. Results beside a model
    // file that another run has replaced are of that run's model, not of the
    // one in memory.
    const bool replaced = !batch_mode() && model_file_replaced();
    const bool older = !batch_mode() && older_than_model(model_path, results_path);
    ui.modified_at_entry = model_modified();
    ui.results_only_changes.clear();
    backend().set_wait_cursor(true);
    ui.return_to_layout = false;
    if (!batch_mode())
        table_reset(layout_table());
    set_title_file_text(title_file_for_path(results_path));
    try {
        init_results();
        const bool out_of_date = replaced || older || (batch_mode() && batch_results_of_another_model());
        ui.out_of_date = out_of_date;
        set_results_title("Results");
        frame_hide(main_frame());
        if (!batch_mode()) {
            frame_bring_to_front(rf());
            show_graphics_behind(rf());
        }
        if (replaced)
            message_warning(rf().window, model_path + " has been replaced by another run since this model was "
                                                      "opened or saved: the results are not of this model.\n"
                                                      "They are shown marked (out of date); analyze the model again.");
        else if (out_of_date)
            message_warning(rf().window, "The results are older than the model.\n"
                                         "They are shown marked (out of date); analyze the model again.");
        frame_post_command(rf(), CMD_RESULTS);
    } catch (const MessageText& m) {
        backend().set_wait_cursor(false);
        message_error_foreground(m.text);
        if (in_results())
            terminate_results();
        if (batch_mode()) {
            request_exit(1);
            return;
        }
        set_title_file_text(title_file_for_path(model_path));
        // The model stays as it was; the input windows come back.
        present_layout_window();
        return;
    }
    backend().set_wait_cursor(false);
}

void init_results()
{
    ResultsUiState& ui = results_ui();
    in_results() = true;
    input_locked() = true;
    table_window_detach();
    reset_time_history_tables();
    ui.current_result = RESULT_NONE;
    ui.out_of_date = false;
    ui.title_base = "Results";
    disable_input_menus();
    const std::string model_path = model_file_path();
    const std::vector<std::string> warnings =
        load_results(replace_extension(model_path, "res"), replace_extension(model_path, "rth"));
    for (const std::function<void()>& opened : hooks().opened)
        if (opened)
            opened();
    build_support_kind_list();
    build_result_list();
    for (const std::string& warning : warnings)
        message_warning(rf().window, warning);
    item_sets_changed();
}

void terminate_results()
{
    if (!in_results())
        return;
    ResultsUiState& ui = results_ui();
    if (hooks().stop_animation)
        hooks().stop_animation();
    table_window_detach();
    remove_load_case_menu_items();
    remove_support_menu_items();
    remove_force_menu_items();
    remove_displacement_menu_items();
    remove_time_history_menu_items();
    if (rf().window)
        frame_hide(rf());
    for (const std::function<void()>& closing : hooks().closing)
        if (closing)
            closing();
    close_results();
    enable_input_menus();
    if (model_modified() && !ui.modified_at_entry && !ui.out_of_date)
        ui.results_only_changes = model_file_path();
    reset_time_history_tables();
    set_current_result(RESULT_NONE);
    ui.result_list.clear();
    ui.support_kinds.clear();
    ui.current_support_kind = -1;
    ui.out_of_date = false;
    input_locked() = false;
    in_results() = false;
}

bool results_out_of_date()
{
    return results_ui().out_of_date;
}

void set_results_title(const std::string& text)
{
    ResultsUiState& ui = results_ui();
    ui.title_base = text;
    std::string title = results_title_text(text);
    if (ui.out_of_date)
        title += " (out of date)";
    if (rf().window)
        frame_set_title(rf(), title);
    else
        rf().title_text = title;
}

void set_results_title_fixed(const std::string& text)
{
    results_ui().title_base = text;
    std::string title = text;
    if (results_ui().out_of_date)
        title += " (out of date)";
    if (rf().window)
        frame_set_title(rf(), title);
    else
        rf().title_text = title;
}

const std::string& results_title_base()
{
    return results_ui().title_base;
}

// ---- Menu item sets --------------------------------------------------------------------

void add_load_case_menu_items()
{
    ResultsUiState& ui = results_ui();
    if (ui.load_case_items || results().load_case_count() <= 1)
        return;
    insert_items({item("&Load Cases...", CMD_LOAD_CASES), item("Next load case\tRight Arrow", CMD_NEXT_LOAD_CASE),
                  item("Previous load case\tLeft Arrow", CMD_PREVIOUS_LOAD_CASE), SEPARATOR});
    show_buttons({CMD_LOAD_CASES, CMD_PREVIOUS_LOAD_CASE, CMD_NEXT_LOAD_CASE}, true);
    ui.load_case_items = true;
    item_sets_changed();
}

void remove_load_case_menu_items()
{
    ResultsUiState& ui = results_ui();
    if (!ui.load_case_items)
        return;
    if (hooks().highlight_erase)
        hooks().highlight_erase();
    remove_items({CMD_LOAD_CASES, CMD_NEXT_LOAD_CASE, CMD_PREVIOUS_LOAD_CASE}, CMD_PREVIOUS_LOAD_CASE);
    show_buttons({CMD_LOAD_CASES, CMD_PREVIOUS_LOAD_CASE, CMD_NEXT_LOAD_CASE}, false);
    ui.load_case_items = false;
    item_sets_changed();
}

namespace {

void add_other_items(const std::string& other, const std::string& next, const std::string& previous)
{
    insert_items({item(other + "\tF6", CMD_OTHER_ITEM), item(next + "\tCtrl+Right Arrow", CMD_NEXT_ITEM),
                  item(previous + "\tCtrl+Left Arrow", CMD_PREVIOUS_ITEM), SEPARATOR});
    show_buttons({CMD_OTHER_ITEM, CMD_PREVIOUS_ITEM, CMD_NEXT_ITEM}, true);
}

void remove_other_items()
{
    remove_items({CMD_OTHER_ITEM, CMD_NEXT_ITEM, CMD_PREVIOUS_ITEM}, CMD_PREVIOUS_ITEM);
    show_buttons({CMD_OTHER_ITEM, CMD_PREVIOUS_ITEM, CMD_NEXT_ITEM}, false);
}

}  // namespace

void add_support_menu_items()
{
    ResultsUiState& ui = results_ui();
    if (!ui.support_items && several_support_kinds()) {
        add_other_items("&Other supports...", "Next support", "Previous support");
        ui.support_items = true;
    }
    add_load_case_menu_items();
    item_sets_changed();
}

void remove_support_menu_items()
{
    ResultsUiState& ui = results_ui();
    if (ui.support_items) {
        remove_other_items();
        ui.support_items = false;
    }
    remove_load_case_menu_items();
    item_sets_changed();
}

void remove_summary_menu_items()
{
    ResultsUiState& ui = results_ui();
    if (!ui.support_items)
        return;
    remove_other_items();
    ui.support_items = false;
    item_sets_changed();
}

void add_force_menu_items(bool other_forces, bool global)
{
    ResultsUiState& ui = results_ui();
    if (!ui.force_items) {
        if (other_forces)
            insert_items({item("&Other forces...\tF6", CMD_OTHER_ITEM), item("Next force\tCtrl+Right Arrow", CMD_NEXT_ITEM),
                          item("Previous force\tCtrl+Left Arrow", CMD_PREVIOUS_ITEM)});
        insert_items({item(global ? "Local &forces\tF7" : "Global &forces\tF7", CMD_LOCAL_GLOBAL), SEPARATOR});
        if (other_forces)
            show_buttons({CMD_OTHER_ITEM, CMD_PREVIOUS_ITEM, CMD_NEXT_ITEM}, true);
        show_buttons({CMD_LOCAL_GLOBAL}, true);
        ui.force_items = true;
    }
    add_load_case_menu_items();
    item_sets_changed();
}

void remove_force_menu_items()
{
    ResultsUiState& ui = results_ui();
    if (ui.force_items) {
        remove_items({CMD_OTHER_ITEM, CMD_NEXT_ITEM, CMD_PREVIOUS_ITEM, CMD_LOCAL_GLOBAL}, CMD_LOCAL_GLOBAL);
        show_buttons({CMD_OTHER_ITEM, CMD_PREVIOUS_ITEM, CMD_NEXT_ITEM, CMD_LOCAL_GLOBAL}, false);
        ui.force_items = false;
    }
    remove_load_case_menu_items();
    item_sets_changed();
}

void add_displacement_menu_items()
{
    ResultsUiState& ui = results_ui();
    if (ui.displacement_items)
        return;
    add_other_items("&Other displacements...", "Next displacement", "Previous displacement");
    ui.displacement_items = true;
    item_sets_changed();
}

void remove_displacement_menu_items()
{
    ResultsUiState& ui = results_ui();
    if (!ui.displacement_items)
        return;
    remove_other_items();
    ui.displacement_items = false;
    item_sets_changed();
}

void add_time_history_menu_items()
{
    ResultsUiState& ui = results_ui();
    if (ui.time_history_items)
        return;
    insert_items({item("&Other Time History...\tF6", CMD_OTHER_ITEM), SEPARATOR});
    show_buttons({CMD_OTHER_ITEM}, true);
    ui.time_history_items = true;
    item_sets_changed();
}

void remove_time_history_menu_items()
{
    ResultsUiState& ui = results_ui();
    if (!ui.time_history_items)
        return;
    remove_items({CMD_OTHER_ITEM}, CMD_OTHER_ITEM);
    show_buttons({CMD_OTHER_ITEM}, false);
    ui.time_history_items = false;
    item_sets_changed();
}

namespace {

// A command's text as the view's state makes it, else `fallback`.
std::string state_text(int command, const char* fallback)
{
    const std::string text = hooks().command_text ? hooks().command_text(command) : std::string();
    return text.empty() ? std::string(fallback) : text;
}

}  // namespace

bool result_shows_shapes(int kind)
{
    switch (kind) {
    case RESULT_DISPLACEMENTS: return results().load_case_count() > 0;
    case RESULT_FREQUENCIES:
    case RESULT_MODE_SHAPES:
    case RESULT_DYNAMIC_SUSCEPTIBILITY:
    case RESULT_DYNAMIC_STRESSES: return results().modal.modes > 0;
    default: return false;
    }
}

bool result_colours_stresses(int kind)
{
    return kind == RESULT_SORTED_STRESSES;
}

void follow_current_result()
{
    ResultsUiState& ui = results_ui();
    const auto served = [](int command) { return hooks().commands.count(command) != 0; };
    const bool shapes = in_results() && result_shows_shapes(ui.current_result) && served(CMD_SHAPE);
    const bool stresses =
        in_results() && result_colours_stresses(ui.current_result) && served(CMD_SHOW_STRESSES);
    if (shapes == ui.shape_items && stresses == ui.stress_items)
        return;
    Menu& menu = rf().menu;
    if (shapes != ui.shape_items) {
        if (shapes) {
            for (const MenuItem& i : {item(state_text(CMD_SHAPE, "&Show deflected shape\t Ctrl+D"), CMD_SHAPE),
                                      item(state_text(CMD_ANIMATE, "&Show animated deflected shape\t Ctrl+Shift+A"),
                                           CMD_ANIMATE),
                                      item("&Magnification...", CMD_MAGNIFICATION), SEPARATOR})
                menu.insert_before(CMD_GRAPHICS, i);
        } else {
            menu.remove_separator_after(CMD_MAGNIFICATION);
            for (int id : {CMD_SHAPE, CMD_ANIMATE, CMD_MAGNIFICATION})
                menu.remove(id);
        }
        show_buttons({CMD_SHAPE, CMD_ANIMATE}, shapes);
        ui.shape_items = shapes;
    }
    if (stresses != ui.stress_items) {
        if (stresses) {
            menu.insert_before(CMD_THRESHOLDS, item(state_text(CMD_SHOW_STRESSES, "&Show Stresses"), CMD_SHOW_STRESSES));
            menu.insert_before(CMD_THRESHOLDS,
                               item(state_text(CMD_SHOW_STRESS_RATIOS, "Show Stress &Ratios"), CMD_SHOW_STRESS_RATIOS));
        } else {
            menu.remove(CMD_SHOW_STRESSES);
            menu.remove(CMD_SHOW_STRESS_RATIOS);
        }
        show_buttons({CMD_SHOW_STRESSES, CMD_SHOW_STRESS_RATIOS}, stresses);
        ui.stress_items = stresses;
    }
    item_sets_changed();
}

// ---- Popups ---------------------------------------------------------------------------

void append_results_menu_items(MenuItem& popup)
{
    popup.items.push_back(item("&Results...", CMD_RESULTS));
    popup.items.push_back(item("&Next Result", CMD_NEXT_RESULT));
    popup.items.push_back(item("&Previous Result", CMD_PREVIOUS_RESULT));
}

void append_load_case_menu_items(MenuItem& popup)
{
    popup.items.push_back(item("&Load Cases...", CMD_LOAD_CASES));
    popup.items.push_back(item("Next load case", CMD_NEXT_LOAD_CASE));
    popup.items.push_back(item("Previous load case", CMD_PREVIOUS_LOAD_CASE));
}

void append_displacement_menu_items(MenuItem& popup)
{
    popup.items.push_back(item("&Other displacements...", CMD_OTHER_ITEM));
    popup.items.push_back(item("Next displacement", CMD_NEXT_ITEM));
    popup.items.push_back(item("Previous displacement", CMD_PREVIOUS_ITEM));
}

MenuItem plain_results_popup()
{
    MenuItem p;
    append_results_menu_items(p);
    return p;
}

MenuItem load_case_results_popup()
{
    MenuItem p;
    append_results_menu_items(p);
    if (results().load_case_count() > 1) {
        p.items.push_back(SEPARATOR);
        append_load_case_menu_items(p);
    }
    return p;
}

MenuItem support_summary_popup()
{
    MenuItem p;
    if (results().numsupports() > 1) {
        p.items.push_back(item("&Other supports...", CMD_OTHER_ITEM));
        p.items.push_back(item("Next support", CMD_NEXT_ITEM));
        p.items.push_back(item("Previous support", CMD_PREVIOUS_ITEM));
        p.items.push_back(SEPARATOR);
    }
    append_results_menu_items(p);
    return p;
}

MenuItem time_history_popup()
{
    MenuItem p;
    p.items.push_back(item("&Other Time History...", CMD_OTHER_ITEM));
    p.items.push_back(SEPARATOR);
    append_results_menu_items(p);
    return p;
}

// ---- Commands whose meaning follows the shown result --------------------------------------

namespace {

const ResultItemCommands* item_commands_of(int kind)
{
    const auto& all = results_ui().item_commands;
    auto it = all.find(kind);
    return it == all.end() ? nullptr : &it->second;
}

std::string tip_of(int command)
{
    const int kind = current_result();
    if (const ResultItemCommands* c = item_commands_of(kind); c && c->tip)
        if (std::string text = c->tip(command); !text.empty())
            return text;
    const bool supports = (kind == RESULT_SUPPORT_LOADS && several_support_kinds()) ||
                          (kind == RESULT_SUPPORT_SUMMARY && results().numsupports() > 1);
    switch (command) {
    case CMD_OTHER_ITEM:
        return supports ? "Other supports" : kind == RESULT_TIME_HISTORY ? "Other Time History" : "";
    case CMD_NEXT_ITEM: return supports ? "Next support" : "";
    case CMD_PREVIOUS_ITEM: return supports ? "Previous support" : "";
    default: return {};
    }
}

}  // namespace

void update_results_tooltips()
{
    Frame& f = rf();
    bool changed = false;
    for (ToolBar* bar : {&f.large_bar, &f.small_bar})
        for (ToolButton& b : bar->buttons) {
            if (b.id == 0)
                continue;
            const std::string tip = results_tooltip(b.id);
            if (!tip.empty() && tip != b.tip) {
                b.tip = tip;
                changed = true;
            }
        }
    if (changed && f.window)
        frame_set_bar_a(f);
}

std::string results_tooltip(int command)
{
    const int kind = current_result();
    const bool modes = kind == RESULT_MODE_SHAPES || kind == RESULT_DYNAMIC_STRESSES;
    switch (command) {
    case CMD_PRINT: return "Print";
    case CMD_VIEWPOINT: return "Viewpoint";
    case CMD_ZOOM_ALL: return "Zoom All";
    case CMD_RESULTS: return "Results";
    case CMD_NEXT_RESULT: return "Next result";
    case CMD_PREVIOUS_RESULT: return "Previous result";
    case CMD_NEXT_LOAD_CASE: return modes ? "Next mode" : "Next load case";
    case CMD_PREVIOUS_LOAD_CASE: return modes ? "Previous mode" : "Previous load case";
    case CMD_LOAD_CASES: return "Load cases";
    case CMD_GRAPHICS_BUTTON: return "Graphics Window";
    case CMD_GO_BACK_BUTTON:
        return rf().previous_frame == &list_frame()   ? "List Window"
               : rf().previous_frame == &main_frame() ? "Layout Window"
                                                       : "??? Window";
    case CMD_LIST: return "List";
    case CMD_OTHER_ITEM:
    case CMD_NEXT_ITEM:
    case CMD_PREVIOUS_ITEM:
    case CMD_LOCAL_GLOBAL: return tip_of(command);
    case CMD_SHOW_STRESSES: return stress_display_flags().stresses_shown ? "Hide stresses" : "Show stresses";
    case CMD_SHOW_STRESS_RATIOS:
        return stress_display_flags().ratios_shown ? "Hide stress ratios" : "Show stress ratios";
    case CMD_SHAPE: return menu_tip_text(state_text(CMD_SHAPE, "Show deflected shape"));
    case CMD_ANIMATE: return menu_tip_text(state_text(CMD_ANIMATE, "Show animated deflected shape"));
    default: return {};
    }
}

void results_menu_popup()
{
    Frame& f = rf();
    const int kind = current_result();
    f.menu.enable(CMD_EXPORT, export_available());
    f.menu.enable(CMD_EXPORT_PLANT_DESIGN_RESULTS,
                  kind == RESULT_DISPLACEMENTS && hooks().commands.count(CMD_EXPORT_PLANT_DESIGN_RESULTS));
    f.menu.enable(CMD_FIND_NODE, table_window_flag());
    f.menu.set_text(CMD_COLOUR_CODING, colour_coding_text());
    if (hooks().command_text)
        for (int id : {CMD_SHAPE, CMD_ANIMATE, CMD_LOCAL_AXES, CMD_SHOW_STRESSES, CMD_SHOW_STRESS_RATIOS})
            if (const std::string text = hooks().command_text(id); !text.empty())
                f.menu.set_text(id, text);
    const bool from_list = f.previous_frame == &list_frame();
    f.menu.set_text(CMD_GO_BACK, from_list ? "&List\tF3" : "L&ayout\tF3");
    f.menu.set_text(CMD_SWITCH_LIST_LAYOUT, from_list ? "L&ayout" : "&List");
    update_results_tooltips();
    frame_refresh_command_states(f);
    // The items enabled above by state stay greyed while nothing serves them.
    f.menu.enable(CMD_EXPORT, export_available());
    f.menu.enable(CMD_FIND_NODE, table_window_flag());
    if (f.window)
        frame_update_menu(f);
}

void other_item_command()
{
    const int kind = current_result();
    const WindowId owner = rf().window;
    if (kind == RESULT_SUPPORT_LOADS && several_support_kinds())
        choose_support_kind(owner);
    else if (kind == RESULT_SUPPORT_SUMMARY && results().numsupports() > 1)
        choose_summary_support(owner);
    else if (kind == RESULT_TIME_HISTORY)
        choose_time_history(owner);
    else if (const ResultItemCommands* c = item_commands_of(kind); c && c->other)
        c->other();
}

void next_item_command()
{
    const int kind = current_result();
    if (kind == RESULT_SUPPORT_LOADS && several_support_kinds())
        next_support_kind();
    else if (kind == RESULT_SUPPORT_SUMMARY && results().numsupports() > 1)
        show_next_summary_support();
    else if (const ResultItemCommands* c = item_commands_of(kind); c && c->next)
        c->next();
}

void previous_item_command()
{
    const int kind = current_result();
    if (kind == RESULT_SUPPORT_LOADS && several_support_kinds())
        previous_support_kind();
    else if (kind == RESULT_SUPPORT_SUMMARY && results().numsupports() > 1)
        show_previous_summary_support();
    else if (const ResultItemCommands* c = item_commands_of(kind); c && c->previous)
        c->previous();
}

void local_global_command()
{
    if (const ResultItemCommands* c = item_commands_of(current_result()); c && c->local_global)
        c->local_global();
}

void set_result_item_commands(int result_kind, ResultItemCommands commands)
{
    results_ui().item_commands[result_kind] = std::move(commands);
}

// ---- Installation ---------------------------------------------------------------------

void install_results_ui()
{
    ResultsHooks& h = hooks();
    h.show[RESULT_SUPPORT_LOADS] = [] { show_support_loads(); };
    h.available[RESULT_SUPPORT_LOADS] = [] { return !support_kind_list().empty(); };
    h.show[RESULT_SUPPORT_SUMMARY] = [] { show_support_load_summary(); };
    h.available[RESULT_SUPPORT_SUMMARY] = [] {
        // Offered when a summary table exists for the kinds the model has.
        for (int32_t row : results().supports_by_kind)
            if (results_hooks().support_summary[static_cast<std::size_t>(support_kind_of(model().rows[row].dtype))])
                return true;
        return false;
    };
    h.show[RESULT_TIME_HISTORY] = [] { show_time_history(); };
    install_time_history_tables();
    install_result_tables();
    install_code_stress_tables();
    install_hanger_report();
    install_modal_results();

    ModelFileHooks& files = model_file_hooks();
    files.open_results = [](WindowId) { open_results(); };
    // Another model, or none: results mode ends first.
    files.close_windows = [previous = files.close_windows] {
        terminate_results();
        if (previous)
            previous();
    };
    register_opener("res", open_results_file);
    // Units changed while results are shown: the table shows its values
    // again. An edit after results mode: the results are older now.
    subscribe_document_changed("results window", [](const DocumentChange&) {
        if (in_results() && table_shown())
            table_window_refocus();
        if (!in_results())
            results_ui().results_only_changes.clear();
    });
    // A model saved unchanged, or with only the changes made in results mode
    // (QA block, units), keeps its results current: they are as new as the
    // model. A changed model's results are older than its file.
    files.saving = [previous = files.saving](const std::string& path) {
        if (previous)
            previous(path);
        std::error_code ec;
        const std::string results_path = replace_extension(path, "res");
        results_ui().unchanged_save_of_current = path == model_file_path() && !model_modified() &&
                                                 std::filesystem::is_regular_file(path, ec) &&
                                                 std::filesystem::is_regular_file(results_path, ec) &&
                                                 !older_than_model(path, results_path);
    };
    files.saved = [previous = files.saved](const std::string& path) {
        if (previous)
            previous(path);
        ResultsUiState& ui = results_ui();
        const bool results_only = in_results() ? !ui.modified_at_entry && !ui.out_of_date
                                               : !ui.results_only_changes.empty() && ui.results_only_changes == path;
        const bool unchanged = ui.unchanged_save_of_current;
        ui.results_only_changes.clear();
        ui.unchanged_save_of_current = false;
        if (!(results_only || unchanged) || path != model_file_path())
            return;
        std::error_code ec;
        const std::string results_path = replace_extension(path, "res");
        if (!std::filesystem::is_regular_file(results_path, ec))
            return;
        // The results name the file saved now; where that fails they are
        // judged out of date the next time they open, as a changed model's.
        Sha256Digest saved{};
        if (sha256_of_file(path, saved)) {
            try {
                restamp_results_fingerprint(results_path, saved);
            } catch (const MessageText&) {
                return;
            }
        }
        std::filesystem::last_write_time(results_path, std::filesystem::last_write_time(path, ec), ec);
    };
    register_window_installer([] {
        if (rf().window)
            register_results_commands();
    });
    if (rf().window)
        register_results_commands();
}
