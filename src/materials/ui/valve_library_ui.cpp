#include "materials/ui/valve_library_ui.h"

#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/frame.h"
#include "framework/ui/messages.h"
#include "framework/ui/report.h"
#include "framework/ui/shell.h"
#include "framework/units.h"
#include "materials/size_tables.h"
#include "materials/ui/dialogs_libraries.h"
#include "materials/ui/valve_pick.h"
#include "model/model.h"
#include "model/ui/dialogs_layout.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"

#include <algorithm>

namespace {

enum Column { COL_DESCRIPTION = 1, COL_SIZE, COL_OD, COL_RATING, COL_CONNECTION, COL_LENGTH, COL_WEIGHT, COLUMNS = 7 };

WindowId owner() { return list_frame().window ? list_frame().window : command_owner(); }

// The editor's defaults for the next new record, and the last find and
// replace texts.
struct ValveEditorMemory {
    std::string description;
    int standard = 0;
    int rating = -1;
    int connection = -1;
    std::string find;
    std::string replace;
};
ValveEditorMemory& memory() { return session_part<ValveEditorMemory>(); }

LibraryWindow valve_window()
{
    LibraryWindow w;
    w.kind = LibraryKind::Valve;
    w.menu = "VALVLIB_MENU";
    w.accelerators = "VALVLIB_ACCEL";
    w.commands = {CMD_FIND_REPLACE};
    w.command = [](int id) {
        if (id == CMD_FIND_REPLACE)
            replace_valve_descriptions(owner());
    };
    w.ask_save = [](WindowId o) { return ask_save_library(valve_library_file(), o); };
    w.save = [](WindowId o) { save_library_command(valve_library_file(), o); };
    w.save_as = [](WindowId o) { save_library_as(valve_library_file(), o); };
    w.open_table = open_valves_table;
    w.empty_records = [] {
        valve_library_table().input = ValveRecord{};
        valve_records().clear();
    };
    w.path = []() -> std::string& { return valve_library_path().path; };
    w.set_mode_flag = [](bool on) { valve_library_mode() = on; };
    return w;
}

// ---- The record dialog ---------------------------------------------------------------

// A Non Std valve is picked by the outside diameter it is given.
constexpr const char* NON_STD_OD_REQUIRED = "Outside diameter is required for Non Std";

int index_of_code(const std::string& code)
{
    for (int i = 0; i < VALVE_CONNECTION_COUNT; ++i)
        if (code == std::string(valve_connection_name(i)).substr(0, 2))
            return i;
    return -1;
}

class ValveDialog final : public DialogProc {
public:
    explicit ValveDialog(int row) : row_(row) {}

    void init(Dialog& d) override
    {
        const ValveRecord r = record();
        ValveEditorMemory& m = memory();
        dialog_set_unit_label(VALVE_OD_UNIT, DIMENSION);
        dialog_set_unit_label(VALVE_LENGTH_UNIT, LENGTH);
        dialog_set_unit_label(VALVE_WEIGHT_UNIT, WEIGHT);
        dialog_set_text_limit(VALVE_DESCRIPTION, r.description.empty() ? m.description : r.description,
                              static_cast<int>(VALVE_DESCRIPTION_LENGTH));
        const int standard = r.standard != 0 ? r.standard : m.standard;
        choose_standard(standard);
        const PipeSizeTable& sizes = pipe_size_table(standard);
        int size = 0;
        for (int i = 1; i < sizes.row_count(); ++i)
            if (sizes.rows[static_cast<std::size_t>(i)].name == r.nominal_size)
                size = i;
        dialog_list_select(VALVE_SIZE, size);
        show_size_diameter();
        if (size == 0 && r.outside_diameter != 0.0f)
            dialog_set_text(VALVE_OD, format_dimension(r.outside_diameter));
        int rating = -1;
        for (int i = 0; i < VALVE_RATING_COUNT; ++i)
            if (rating < 0 && upper_case(valve_rating_name(standard, i)) == upper_case(r.rating))
                rating = i;
        if (r.rating.empty())
            dialog_list_select(VALVE_RATING, m.rating);
        else
            dialog_list_select(VALVE_RATING, std::max(rating, 0));
        const int connection = index_of_code(r.connection);
        if (r.connection.empty())
            dialog_list_select(VALVE_CONNECTION, m.connection);
        else
            dialog_list_select(VALVE_CONNECTION, std::max(connection, 0));
        dialog_list_select(VALVE_TYPE, r.valve_type);
        dialog_set_text(VALVE_LENGTH, format_or_empty(r.length, format_length));
        dialog_set_text(VALVE_WEIGHT, format_or_empty(r.weight, format_weight));
        if (input_locked()) {
            for (int id : {VALVE_DESCRIPTION, VALVE_LENGTH, VALVE_WEIGHT})
                dialog_set_readonly(id);
            for (int id : std::initializer_list<int>{VALVE_ANSI, VALVE_ANSI + 1, VALVE_ANSI + 2, VALVE_ANSI + 3, VALVE_SIZE, VALVE_RATING,
                           VALVE_CONNECTION, VALVE_TYPE})
                dialog_disable(id);
            dialog_set_focus(IDOK);
        } else {
            dialog_select_focus(VALVE_DESCRIPTION);
        }
        center_window(d);
    }

    void command(Dialog&, int id, int notification) override
    {
        if (input_locked())
            return;
        if (id >= VALVE_ANSI && id < VALVE_ANSI + VALVE_STANDARD_COUNT) {
            choose_standard(id - VALVE_ANSI);
        } else if (id == VALVE_SIZE && notification != NOTIFY_CHANGE) {
            show_size_diameter();
        }
    }

    bool ok(Dialog& d) override
    {
        if (input_locked()) {
            d.end(IDCANCEL);
            return false;
        }
        ValveRecord v;
        dialog_get_record_text(VALVE_DESCRIPTION, VALVE_DESCRIPTION_LENGTH);
        if (item_text().empty())
            throw_required("Description");
        v.description = item_text();
        v.standard = standard_;
        v.valve_type = std::max(dialog_list_selection(VALVE_TYPE), 0);
        v.nominal_size = list_text(d, VALVE_SIZE).substr(0, VALVE_SIZE_LENGTH);
        dialog_get_text(VALVE_OD);
        if (parse_dimension_buffer(v.outside_diameter) != 0)
            throw_invalid("Outside Diameter");
        if (v.nominal_size == NON_STANDARD_SIZE && v.outside_diameter <= 0.0f)
            dialog_throw(VALVE_OD, NON_STD_OD_REQUIRED);
        v.rating = list_text(d, VALVE_RATING).substr(0, VALVE_RATING_LENGTH);
        const int connection = dialog_list_selection(VALVE_CONNECTION);
        v.connection = connection >= 0 ? std::string(valve_connection_name(connection)).substr(0, 2) : "";
        dialog_get_text(VALVE_LENGTH);
        if (parse_length_buffer(v.length) != 0)
            throw_invalid("Length");
        dialog_get_text(VALVE_WEIGHT);
        if (parse_weight_buffer(v.weight) != 0)
            throw_invalid("Weight");
        ValveEditorMemory& m = memory();
        m.description = v.description;
        m.standard = v.standard;
        m.rating = dialog_list_selection(VALVE_RATING);
        m.connection = connection;
        if (find_valve(valve_records(), v, row_) != 0)
            dialog_throw(VALVE_DESCRIPTION, "Valve is already defined.");
        if (valve_records().valid(row_)) {
            if (!(valve_records()[row_] == v)) {
                valve_records()[row_] = v;
                model_modified() = true;
            }
        } else {
            row_ = valve_records().push_back(v);
            valve_library_table().input = ValveRecord{};
            model_modified() = true;
        }
        d.end(IDOK);
        return false;
    }

private:
    ValveRecord record() const
    {
        if (valve_records().valid(row_))
            return valve_records()[row_];
        return valve_library_table().input;
    }

    static std::string list_text(Dialog& d, int id)
    {
        const int selected = d.list_selection(id);
        return selected >= 0 ? d.list_text(id, selected) : std::string();
    }

    void choose_standard(int standard)
    {
        standard_ = std::clamp(standard, 0, VALVE_STANDARD_COUNT - 1);
        dialog_set_radio(VALVE_ANSI, VALVE_ANSI + 3, VALVE_ANSI + standard_);
        dialog_list_reset(VALVE_SIZE);
        for (const PipeSizeRow& r : pipe_size_table(standard_).rows)
            dialog_list_add(r.name);
        dialog_list_reset(VALVE_RATING);
        for (int i = 0; i < VALVE_RATING_COUNT; ++i)
            dialog_list_add(valve_rating_name(standard_, i));
        dialog_list_reset(VALVE_CONNECTION);
        for (int i = 0; i < VALVE_CONNECTION_COUNT; ++i)
            dialog_list_add(valve_connection_name(i));
        dialog_list_reset(VALVE_TYPE);
        for (int i = 0; i < VALVE_TYPE_COUNT; ++i)
            dialog_list_add(valve_type_name(i));
        dialog_set_text(VALVE_OD, "");
        dialog_set_readonly(VALVE_OD);
    }

    // The outside diameter of the chosen size; a Non Std valve's is typed.
    void show_size_diameter()
    {
        const int size = dialog_list_selection(VALVE_SIZE);
        const PipeSizeTable& sizes = pipe_size_table(standard_);
        const float od = size > 0 && size < sizes.row_count() ? sizes.rows[static_cast<std::size_t>(size)].outside_diameter
                                                                : 0.0f;
        dialog_set_text(VALVE_OD, od == 0.0f ? std::string("0") : format_dimension(od));
        if (size == 0 && !input_locked())
            dialog_clear_readonly(VALVE_OD);
        else
            dialog_set_readonly(VALVE_OD);
    }

    int row_;
    int standard_ = 0;
};

// ---- Find and replace --------------------------------------------------------------------

class FindReplaceDialog final : public DialogProc {
public:
    void init(Dialog& d) override
    {
        d.set_caption("Find and Replace Description");
        dialog_hide(REPLACE_FIELD);
        dialog_set_radio(REPLACE_ALL, REPLACE_PROMPT, REPLACE_ALL);
        dialog_set_text_limit(REPLACE_FIND, memory().find, 25);
        dialog_set_text_limit(REPLACE_WITH, memory().replace, 25);
        if (input_locked()) {
            dialog_set_readonly(REPLACE_FIND);
            dialog_set_readonly(REPLACE_WITH);
            dialog_disable(REPLACE_ALL);
            dialog_disable(REPLACE_PROMPT);
            dialog_set_focus(IDOK);
        }
        center_window(d);
    }
    bool ok(Dialog&) override
    {
        if (input_locked())
            return true;
        dialog_get_trimmed(REPLACE_FIND);
        if (item_text().empty())
            throw_required("Find String");
        find = item_text();
        dialog_get_trimmed(REPLACE_WITH);
        if (item_text().empty())
            throw_required("Replace String");
        replace = item_text();
        prompt = dialog_is_checked(REPLACE_PROMPT);
        memory().find = find;
        memory().replace = replace;
        return true;
    }
    std::string find, replace;
    bool prompt = false;
};

// ---- Printing ---------------------------------------------------------------------------------

constexpr int PRINT_COLUMNS[COLUMNS] = {4, 32, 42, 50, 57, 62, 71};
constexpr int PRINT_LAST_COLUMN = 80;

void print_rule()
{
    report_dashes(REPORT_LEFT_COLUMN, PRINT_LAST_COLUMN);
    report_next_line();
}

void print_heading()
{
    report_print_centred("Valve Library", REPORT_LEFT_COLUMN, PRINT_LAST_COLUMN);
    report_next_line();
    print_rule();
    const char* const first[COLUMNS] = {"Description", "Nom.Dia", "OD", "Rating", "Con.", "Length", "Weight"};
    for (int c = 0; c < COLUMNS; ++c)
        report_print_at(first[c], PRINT_COLUMNS[c]);
    report_next_line();
    report_print_at(unit_label(DIMENSION), 42);
    report_print_at("Type", 57);
    report_print_at(unit_label(LENGTH), 62);
    report_print_at(unit_label(WEIGHT), 71);
    report_next_line();
    print_rule();
}

std::vector<std::string> record_cells(const ValveRecord& v)
{
    return {v.description, v.nominal_size, format_or_empty(v.outside_diameter, format_dimension), v.rating,
            v.connection,  format_or_empty(v.length, format_length),  format_or_empty(v.weight, format_weight)};
}

}  // namespace

// ---- Path and file ----------------------------------------------------------------------------

ValveLibraryPath& valve_library_path() { return session_part<ValveLibraryPath>(); }

void set_valve_library_path(const std::string& path)
{
    valve_library_path().path = path;
    valve_library_path().directory = folder_of(path);
    library_path_changed(LibraryKind::Valve, path);
}

const LibraryFile& valve_library_file()
{
    static const LibraryFile file = [] {
        LibraryFile f;
        f.kind = LibraryKind::Valve;
        f.path = []() -> std::string& { return valve_library_path().path; };
        f.directory = []() -> std::string& { return valve_library_path().directory; };
        f.set_path = set_valve_library_path;
        f.write = [](const std::string& path) {
            KV_ASSERT(!path.empty());
            write_valve_library_file(path, current_unit_choices(VALVE_LIBRARY_UNIT_QUANTITIES), valve_records());
        };
        return f;
    }();
    return file;
}

bool read_valve_library(WindowId o, OneBased<ValveRecord>& into)
{
    KV_ASSERT(!valve_library_path().path.empty());
    into.clear();
    try {
        into = read_valve_library_file(valve_library_path().path).records;
    } catch (const MessageText& m) {
        message_error(o, m.text);
        into.clear();
        valve_library_path().path.clear();
        return false;
    }
    return true;
}

bool open_valve_library(WindowId o, OneBased<ValveRecord>& into)
{
    const std::string path = choose_library_file(valve_library_file(), o);
    if (path.empty() || !check_library_extension(valve_library_file(), o, path))
        return false;
    set_valve_library_path(path);
    return read_valve_library(o, into);
}

// ---- The table ---------------------------------------------------------------------------------

ValveLibraryTable::ValveLibraryTable() : TableWindow(&list_frame(), COLUMNS, 2, {25, 7, 7, 4, 2, 7, 7})
{
    for (int c : {COL_OD, COL_LENGTH, COL_WEIGHT})
        alignments[static_cast<std::size_t>(c)] = TextAlign::Right;
}

ValveLibraryTable& valve_library_table() { return session_part<ValveLibraryTable>(); }

void ValveLibraryTable::load()
{
    table_set_input_rows(*this, "Valve Library", numlibvalves());
    measure_needed = true;
}

ValveRecord* ValveLibraryTable::record(int row)
{
    if (valve_records().valid(row))
        return &valve_records()[row];
    return input_row && row == numlibvalves() + 1 ? &input : nullptr;
}

std::string ValveLibraryTable::header_text(int column, int line)
{
    static const char* const first[COLUMNS + 1] = {"", "Description", "Nom", "OD", "Rating", "Connection",
                                                    "Length", "Weight"};
    if (column < 1 || column > COLUMNS)
        return {};
    if (line == 0)
        return first[column];
    if (line != 1)
        return {};
    switch (column) {
    case COL_SIZE: return "Dia";
    case COL_OD: return unit_label(DIMENSION);
    case COL_CONNECTION: return "Type";
    case COL_LENGTH: return unit_label(LENGTH);
    case COL_WEIGHT: return unit_label(WEIGHT);
    default: return {};
    }
}

std::string ValveLibraryTable::cell_text(int row, int column, int line)
{
    const ValveRecord* v = record(row);
    if (!v || line != 0 || column < 1 || column > COLUMNS)
        return {};
    return record_cells(*v)[static_cast<std::size_t>(column - 1)];
}

bool ValveLibraryTable::cell_editable(int row, int column)
{
    // A size of the table gives the outside diameter; a Non Std valve's is typed.
    const ValveRecord* v = record(row);
    return v &&
           (column == COL_DESCRIPTION || column == COL_SIZE || column == COL_LENGTH || column == COL_WEIGHT ||
            (column == COL_OD && v->nominal_size == NON_STANDARD_SIZE)) &&
           TableWindow::cell_editable(row, column);
}

void ValveLibraryTable::filter_char(int, std::string&) {}

void ValveLibraryTable::store_cell(int row, int column, const std::string& text)
{
    ValveRecord* v = record(row);
    if (!v)
        return;
    ValveRecord next = *v;
    switch (column) {
    case COL_DESCRIPTION:
        if (!text.empty())
            next.description = text.substr(0, VALVE_DESCRIPTION_LENGTH);
        break;
    case COL_SIZE: {
        // A size of the record's size table, as the dialog lists them; the
        // table gives the outside diameter.
        if (text.empty())
            return;
        // A record without a size takes the dialog's standard for a new one.
        const int standard = std::clamp(next.standard != 0 || !next.nominal_size.empty() ? next.standard
                                                                                          : memory().standard,
                                        0, VALVE_STANDARD_COUNT - 1);
        next.standard = standard;
        const PipeSizeTable& sizes = pipe_size_table(standard);
        const int size = sizes.find_typed_row(text);
        if (size < 0)
            throw_cell_error("Nominal Size " + text + " is not in the " + valve_standard_name(standard) +
                                 " size table",
                             COL_SIZE);
        // Non Std again keeps the diameter typed for it; Non Std chosen
        // anew starts without one (row 0 has none), which Enter asks for.
        if (size > 0 || next.nominal_size != NON_STANDARD_SIZE)
            next.outside_diameter = sizes.rows[static_cast<std::size_t>(size)].outside_diameter;
        next.nominal_size = sizes.rows[static_cast<std::size_t>(size)].name.substr(0, VALVE_SIZE_LENGTH);
        break;
    }
    case COL_OD:
        if (parse_dimension(text, next.outside_diameter) != 0)
            throw_invalid("Outside Diameter");
        break;
    case COL_LENGTH:
        if (parse_length(text, next.length) != 0)
            throw_invalid("Length");
        break;
    case COL_WEIGHT:
        if (parse_weight(text, next.weight) != 0)
            throw_invalid("Weight");
        break;
    default: return;
    }
    // The input row keeps what is typed into it before its description,
    // which Enter asks for.
    if (!(next == *v)) {
        *v = next;
        model_modified() = true;
    }
}

void ValveLibraryTable::leave_row(int row)
{
    ValveRecord* v = record(row);
    if (!v)
        return;
    if (v->description.empty())
        throw_cell_required("Description", COL_DESCRIPTION);
    if (v->nominal_size.empty())
        throw_cell_required("Nominal Size", COL_SIZE);
    // No pipe would pick a valve of no diameter.
    if (v->nominal_size == NON_STANDARD_SIZE && v->outside_diameter <= 0.0f)
        throw_cell_error(NON_STD_OD_REQUIRED, COL_OD);
    if (valve_records().valid(row)) {
        TableWindow::leave_row(row);
        return;
    }
    valve_records().push_back(input);
    input = ValveRecord{};
    model_modified() = true;
    load();
    table_goto_row(*this, numlibvalves());
}

bool ValveLibraryTable::can_insert(int row)
{
    if (input_locked() || !valve_records().valid(row) || valve_records()[row].description.empty())
        return false;
    return row == 1 || !valve_records()[row - 1].description.empty();
}

bool ValveLibraryTable::can_delete(int row) { return !input_locked() && record(row) != nullptr; }

void ValveLibraryTable::insert_row(int row)
{
    if (!can_insert(row)) {
        beep();
        return;
    }
    valve_records().insert(row, ValveRecord{});
    load();
}

void ValveLibraryTable::delete_row(int row)
{
    if (!valve_records().valid(row)) {
        input = ValveRecord{};
        load();
        return;
    }
    valve_records().erase(row);
    model_modified() = true;
    load();
}

bool ValveLibraryTable::edit_row(int row)
{
    if (!record(row))
        return false;
    if (edit_library_valve(row, owner()) == IDOK) {
        load();
        table_window_refocus(*this);
    }
    return true;
}

void ValveLibraryTable::on_row_changed(int)
{
    if (const auto& erase = model_hooks().erase_highlight)
        erase();
}

void ValveLibraryTable::context_menu(Point) { table_popup_menu(*this, table_popup_insert_delete(*this)); }

void ValveLibraryTable::print() { table_print(*this, "Valve Library", numlibvalves()); }

void ValveLibraryTable::print_text()
{
    ReportTable table(print_heading, 3);
    report_contents_line("Valve Library");
    // The texts (description, size, rating, connection type) within the room
    // before the next column; the numbers as they are.
    constexpr bool TEXT_COLUMN[COLUMNS] = {true, true, false, true, true, false, false};
    const auto room = [](int c) { return PRINT_COLUMNS[c + 1] - PRINT_COLUMNS[c] - 1; };
    for (const ValveRecord& v : valve_records()) {
        const std::vector<std::string> cells = record_cells(v);
        int lines = 1;
        for (int c = 0; c < COLUMNS; ++c)
            if (TEXT_COLUMN[c])
                lines = std::max(lines, report_lines_within(cells[static_cast<std::size_t>(c)], room(c)));
        table.keep(lines);
        for (int c = 0; c < COLUMNS; ++c) {
            if (TEXT_COLUMN[c])
                report_print_within(cells[static_cast<std::size_t>(c)], PRINT_COLUMNS[c], room(c));
            else
                report_print_at(cells[static_cast<std::size_t>(c)], PRINT_COLUMNS[c]);
        }
        report_next_line();
    }
    table.end();
    if (report_current_line() != REPORT_FIRST_LINE)
        print_rule();
}

void ValveLibraryTable::print_csv()
{
    csv_add_text("Valve Library");
    report_next_line();
    for (const char* cell : {"Description", "Nom.Dia", "OD", "Rating", "Con.", "Length", "Weight"})
        csv_add_text(cell);
    report_next_line();
    csv_add_text("");
    csv_add_text("");
    csv_add_unit_cell(DIMENSION);
    csv_add_text("");
    csv_add_text("Type");
    csv_add_unit_cell(LENGTH);
    csv_add_unit_cell(WEIGHT);
    report_next_line();
    for (const ValveRecord& v : valve_records()) {
        for (const std::string& cell : record_cells(v))
            csv_add_text(cell);
        report_next_line();
    }
}

void ValveLibraryTable::contents_entry() { add_contents_entry("Valve Library", 0); }

void open_valves_table()
{
    open_in_list_window(valve_library_table(), 1, false);
}

int edit_library_valve(int row, WindowId o)
{
    ValveDialog proc(row);
    return run_dialog(VALVE_LIBRARY_DIALOGNEW, proc, o);
}

void replace_valve_descriptions(WindowId o)
{
    FindReplaceDialog proc;
    if (run_dialog(FINDANDREPLACE, proc, o) != IDOK || input_locked())
        return;
    ValveLibraryTable& t = valve_library_table();
    for (int i = 1; i <= numlibvalves(); ++i) {
        ValveRecord& v = valve_records()[i];
        if (upper_case(v.description) != upper_case(proc.find))
            continue;
        if (table_is_shown(t))
            table_goto_row(t, i, 0, false);
        model_modified() = true;
        if (proc.prompt) {
            const int answer = backend().message_box(
                o, c_format("Do you want to change valve description from %s to %s", v.description.c_str(),
                            proc.replace.c_str()),
                PRODUCT_NAME, MessageIcon::Question, MessageButtons::YesNoCancel);
            if (answer == IDCANCEL)
                break;
            if (answer != IDYES)
                continue;
        }
        v.description = proc.replace.substr(0, VALVE_DESCRIPTION_LENGTH);
    }
    if (table_is_shown(t))
        table_invalidate_rows(t);
}

// ---- The window -----------------------------------------------------------------------------

void open_valve_library_window()
{
    // The pick reads the library again once it has been edited.
    forget_valve_pick_library();
    enter_library_mode(valve_window());
}

void close_valve_library_window()
{
    if (library_mode_is(LibraryKind::Valve))
        leave_library_mode();
}

void open_valve_library_file(const std::string& path)
{
    const WindowId o = command_owner();
    if (!open_discard_confirmed() && !confirm_discard_model(o))
        return;
    const ValveLibraryPath before = valve_library_path();
    valve_library_path().path = path;
    OneBased<ValveRecord> read;
    if (!read_valve_library(o, read)) {
        valve_library_path() = before;
        return;
    }
    close_model_for_library();
    set_valve_library_path(path);
    valve_records() = std::move(read);
    open_valve_library_window();
}

void new_valve_library()
{
    close_model_for_library();
    valve_library_path().path.clear();
    valve_records().clear();
    set_title_file_text("Untitled");
    open_valve_library_window();
}

void install_valve_library_ui()
{
    register_opener("val", open_valve_library_file);
    model_file_hooks().new_document[NEW_KIND_VALVE_LIBRARY] = [](WindowId) { new_valve_library(); };
}
