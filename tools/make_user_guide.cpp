// Makes the user guide, one HTML file the program's help window shows:
//   korvane_make_user_guide <folder of help/ sources> <output folder>
// writes <output folder>/index.html from
//   - topics.html: the hand-written topics and windows (HTML, with their anchors);
//   - menus.html:  the hand-written chapter of every window's menus, after them;
//   - pages.txt:   a short hand-written text for each dialog and table,
//                  each under a line "== NAME" (a template name or a table title);
// and, for each dialog, the fields of its template, and for each table of the
// list window, its columns, as the program itself defines them: the pages of
// the dialogs and tables cannot say other than what the program shows; the
// page of a table names the commands of its right-button menu, as the table
// builds it with and without results open. Each
// table of the results window has a page of the text under its name, which
// says what its columns hold (their headings depend on the results). The
// pages whose dialog or table asks for help by a context number carry the
// anchor "context-<n>" that the help window opens. A source it cannot read
// ends it with exit code 1.
#include "app/program_dialogs.h"
#include "app/program_subsystems.h"
#include "elements/element_dialog_ids.h"
#include "framework/errors.h"
#include "framework/ui/dialog_fields.h"
#include "framework/app_state.h"
#include "framework/ui/help.h"
#include "framework/ui/menus.h"
#include "framework/ui/shell.h"
#include "framework/ui/table.h"
#include "materials/ui/library_mode.h"
#include "model/analysis_options.h"
#include "model/piping_codes.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"
#include "platform/headless/headless_backend.h"
#include "results/ui/result_pages.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

// The pages that a help request opens by its context number.
const std::map<std::string, int> CONTEXTS = {
    {"TIE_ROD_DIALOG", TIE_ROD_HELP_CONTEXT},
    {"BEND1_DIALOG", BEND_DIALOG_HELP_CONTEXT},
    {"Bends", BENDS_TABLE_HELP_CONTEXT},
};

// The documents of File New that are libraries, each edited in a table.
constexpr int LIBRARY_KINDS[] = {NEW_KIND_MATERIAL_LIBRARY, NEW_KIND_BEAM_LIBRARY, NEW_KIND_SPECTRUM_LIBRARY,
                                 NEW_KIND_VALVE_LIBRARY};

// What each unit label shows.
const char* const QUANTITY_NAMES[] = {"",         "length",         "dimension", "displacement", "angle",
                                      "force",    "moment",         "weight per length",
                                      "weight",   "density",        "weight density",
                                      "temperature", "expansion",   "pressure",  "stress",
                                      "modulus",  "stiffness",      "rotational stiffness",
                                      "area",     "moment of inertia", "speed"};

std::string read_source(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("Cannot read " + path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string escaped(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// A hand-written page: its heading where the caption would not do (two
// dialogs of one caption), and its text.
struct PageText {
    std::string heading;
    std::string text;
};

// The hand-written texts by page name: each under a line "== NAME" or
// "== NAME | Heading".
std::map<std::string, PageText> page_texts(const std::string& source)
{
    std::map<std::string, PageText> texts;
    std::istringstream in(source);
    std::string name;
    PageText page;
    auto flush = [&] {
        if (!name.empty() && !texts.emplace(name, page).second)
            throw std::runtime_error("pages.txt: the page " + name + " stands twice");
    };
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("== ", 0) == 0) {
            flush();
            name = line.substr(3);
            page = {};
            if (const std::size_t bar = name.find(" | "); bar != std::string::npos) {
                page.heading = name.substr(bar + 3);
                name.erase(bar);
            }
        } else if (!name.empty()) {
            page.text += line + "\n";
        }
    }
    flush();
    return texts;
}

// Paragraphs of a hand-written text (blank lines between them), escaped.
std::string paragraphs(const std::string& text)
{
    std::string html, paragraph;
    std::istringstream in(text);
    auto flush = [&] {
        if (!paragraph.empty())
            html += "<p>" + escaped(paragraph) + "</p>\n";
        paragraph.clear();
    };
    for (std::string line; std::getline(in, line);) {
        if (line.find_first_not_of(' ') == std::string::npos)
            flush();
        else
            paragraph += (paragraph.empty() ? "" : " ") + line;
    }
    flush();
    return html;
}

// The heading of a page with its anchors: the context's, the name's, and
// those of the other names whose help opens it (a table's title, the other
// templates of a dialog).
std::string page_heading(const std::string& name, const std::string& title, const std::vector<std::string>& also = {})
{
    std::string html;
    if (const auto c = CONTEXTS.find(name); c != CONTEXTS.end())
        html += "<a name=\"" + help_anchor(c->second) + "\"></a>";
    for (const std::string& other : also)
        if (!other.empty() && help_page_anchor(other) != help_page_anchor(name))
            html += "<a name=\"" + help_page_anchor(other) + "\"></a>";
    return html + "<a name=\"" + help_page_anchor(name) + "\"></a><h2>" + escaped(title) + "</h2>\n";
}

// The fields of a dialog, row by row of its grid: each field with its label,
// group and the quantity its unit label shows.
std::string dialog_fields_table(const DialogTemplate& t)
{
    std::string rows;
    for (const DialogField& f : dialog_fields(t)) {
        std::string what;
        switch (f.control->kind) {
        case ControlKind::Edit: what = "typed"; break;
        case ControlKind::Combo: what = "chosen from a list"; break;
        case ControlKind::List: what = "a list"; break;
        case ControlKind::Check: what = "a check box"; break;
        case ControlKind::Radio: what = "one of a choice"; break;
        case ControlKind::Table: what = "a table"; break;
        default: what = "a button"; break;
        }
        if (f.quantity > 0 && f.quantity < static_cast<int>(std::size(QUANTITY_NAMES)))
            what += std::string(", in the ") + QUANTITY_NAMES[f.quantity] + " unit";
        rows += "<tr><td>" + escaped(f.label) + "</td><td>" + escaped(f.group) + "</td><td>" + what + "</td></tr>\n";
    }
    if (rows.empty())
        return {};
    return "<table border=\"1\" cellpadding=\"3\"><tr><th>Field</th><th>Group</th><th>Kind</th></tr>\n" + rows +
           "</table>\n";
}

// A column of a table as the guide lists it: the heading it takes under
// the options the guide is made with, or else under the first piping code
// and options (B31J for SIFs and flexibility factors, the number of thermal
// load sets) that show it; and whether it shows under every code and option.
struct ListedColumn {
    std::string heading;
    bool everywhere = true;
};

// The columns of a table under the guide's options and under every piping
// code, with and without B31J, with one thermal load set and with ten: a
// column shows when the table gives it a heading and a width.
std::vector<ListedColumn> listed_columns(TableWindow& t)
{
    std::vector<ListedColumn> listed(static_cast<std::size_t>(t.columns()) + 1);
    auto look = [&t, &listed] {
        const std::vector<bool> shown = table_columns_shown(t);
        for (int c = 1; c <= t.columns(); ++c) {
            ListedColumn& column = listed[static_cast<std::size_t>(c)];
            const std::string heading = t.heading_words(c);
            if (heading.empty() || !shown[static_cast<std::size_t>(c)])
                column.everywhere = false;
            else if (column.heading.empty())
                column.heading = heading;
        }
    };
    look();
    const AnalysisOptions options = analysis_options();
    const int32_t code = piping_code();
    for (const int32_t id : piping_code_ids())
        for (const bool b31j : {false, true})
            for (const int32_t sets : {1, 10}) {
                piping_code() = id;
                analysis_options().use_b31j = b31j;
                numtloads() = sets;
                look();
            }
    piping_code() = code;
    analysis_options() = options;
    t.measure_needed = true;
    return listed;
}

// The columns of a table, with their headings; a column that some piping
// code or option hides (or shows only then) is marked so.
std::string table_columns(TableWindow& t)
{
    std::string rows;
    const std::vector<ListedColumn> listed = listed_columns(t);
    for (int c = 1; c <= t.columns(); ++c) {
        const ListedColumn& column = listed[static_cast<std::size_t>(c)];
        if (column.heading.empty())
            continue;
        const std::string mark = column.everywhere ? "" : " (under some piping codes and options only)";
        rows += "<tr><td>" + std::to_string(c) + "</td><td>" + escaped(column.heading + mark) + "</td></tr>\n";
    }
    if (rows.empty())
        return {};
    return "<table border=\"1\" cellpadding=\"3\"><tr><th>Column</th><th>Heading</th></tr>\n" + rows + "</table>\n";
}

// The commands of the right-button menu that a table builds now, each once,
// in the order they come, as the scripted backend was shown them.
std::vector<std::string> popup_commands(TableWindow& t, HeadlessBackend& backend)
{
    backend.script().clear_log();
    t.context_menu({});
    std::vector<std::string> names;
    for (const ScriptEvent& e : backend.script().log()) {
        if (e.kind != ScriptEvent::PopupMenu)
            continue;
        std::istringstream lines(e.text);
        for (std::string line; std::getline(lines, line);) {
            const std::string name = menu_command_name(line);
            if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
                names.push_back(name);
        }
    }
    return names;
}

std::string command_list(const std::vector<std::string>& names)
{
    std::string html;
    for (const std::string& name : names)
        html += (html.empty() ? "" : ", ") + std::string("<b>") + escaped(name) + "</b>";
    return html.empty() ? "none" : html;
}

// What a table's right-button menu offers, in the model and while results
// are open (when the table then offers other commands); empty when the table
// has no menu of its own. Not a paragraph of the page's own text.
std::string table_popup_line(TableWindow& t, HeadlessBackend& backend)
{
    const std::vector<std::string> editing = popup_commands(t, backend);
    const bool locked = input_locked();
    input_locked() = true;
    const std::vector<std::string> results = popup_commands(t, backend);
    input_locked() = locked;
    if (editing.empty() && results.empty())
        return {};
    std::string html = "<div>Right-button menu: " + command_list(editing);
    if (results != editing)
        html += "; while results are open: " + command_list(results);
    return html + ". The chapter <a href=\"#menus-popups\">Popup menus</a> says what each does.</div>\n";
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: korvane_make_user_guide <help sources> <output folder>\n");
        return 2;
    }
    const std::string sources = argv[1];
    const std::filesystem::path out = argv[2];
    try {
        const std::string topics = read_source(sources + "/topics.html");
        const std::string menus = read_source(sources + "/menus.html");
        const std::map<std::string, PageText> texts = page_texts(read_source(sources + "/pages.txt"));

        // The program as main() starts it, without windows, in English units.
        HeadlessBackend& backend = install_headless_backend();
        const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                             ("korvane_guide_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        set_program_folder(folder.string());
        register_program_subsystems();
        app_startup();

        std::string dialogs, tables, contents_dialogs, contents_tables;
        std::map<std::string, PageText> unused = texts;
        // The text of a page by its name or (a table's) title.
        auto text_of = [&](const std::string& name, const std::string& title) -> PageText {
            for (const std::string& key : {name, title})
                if (const auto text = texts.find(key); text != texts.end()) {
                    unused.erase(key);
                    return text->second;
                }
            return {};
        };
        for (const DialogPage& dialog : program_dialog_pages()) {
            const PageText text = text_of(dialog.name, dialog.name);
            const std::string title = !text.heading.empty()        ? text.heading
                                      : !dialog_shown_text(dialog.caption).empty() ? dialog_shown_text(dialog.caption)
                                                                       : dialog.name;
            contents_dialogs += "<li><a href=\"#" + help_page_anchor(dialog.name) + "\">" + escaped(title) + "</a></li>\n";
            dialogs += page_heading(dialog.name, title, dialog.also);
            dialogs += paragraphs(text.text);
            if (dialog.fields)
                dialogs += dialog_fields_table(*dialog.fields);
        }
        // The tables of the libraries, as a new library of each kind shows
        // them: most are a model's table under the library's title, which
        // then opens that table's page; a table of a library alone has a
        // page of its own.
        std::map<TableWindow*, std::string> library_tables;
        for (const int kind : LIBRARY_KINDS) {
            model_file_hooks().new_document[static_cast<std::size_t>(kind)](0);
            if (TableWindow* t = list_window_table())
                library_tables[t] = t->title;
            leave_library_mode();
        }
        auto table_page = [&](const std::string& name, TableWindow& t) {
            const PageText text = text_of(name, t.title);
            // A heading of the page's own stands as written (two tables of
            // one title).
            const std::string title = !text.heading.empty() ? text.heading : t.title.empty() ? name : t.title;
            std::vector<std::string> also = {t.title};
            if (const auto library = library_tables.find(&t); library != library_tables.end()) {
                also.push_back(library->second);
                library_tables.erase(library);
            }
            contents_tables += "<li><a href=\"#" + help_page_anchor(name) + "\">" + escaped(title) + "</a></li>\n";
            tables += page_heading(name, text.heading.empty() ? title + " (table)" : title, also);
            tables += paragraphs(text.text);
            tables += table_columns(t);
            tables += table_popup_line(t, backend);
        };
        for (const DataList& list : data_lists()) {
            if (!list.open)
                continue;
            list.open();
            if (TableWindow* t = list_window_table())
                table_page(list.name, *t);
        }
        for (const int kind : LIBRARY_KINDS) {
            model_file_hooks().new_document[static_cast<std::size_t>(kind)](0);
            if (TableWindow* t = list_window_table(); t && library_tables.count(t))
                table_page(t->title, *t);
            leave_library_mode();
        }
        std::string results_pages, contents_results;
        for (int p = 0; p < RESULT_PAGES; ++p) {
            const std::string name = result_page(p).name;
            const PageText text = text_of(name, name);
            // A result table without its text would be a heading alone.
            if (text.text.find_first_not_of(" \n") == std::string::npos)
                throw std::runtime_error("pages.txt: the result table " + name + " has no page");
            const std::string title = text.heading.empty() ? name : text.heading;
            contents_results += "<li><a href=\"#" + help_page_anchor(name) + "\">" + escaped(title) + "</a></li>\n";
            results_pages += page_heading(name, title);
            results_pages += paragraphs(text.text);
        }
        // A text that no page takes would be lost from the guide unseen.
        if (!unused.empty())
            throw std::runtime_error("pages.txt: no dialog or table has the page " + unused.begin()->first);
        app_shutdown();
        remove_backend();
        std::filesystem::remove_all(folder);

        std::filesystem::create_directories(out);
        std::ofstream html(out / "index.html", std::ios::binary);
        html << "<html><head><meta charset=\"utf-8\"><title>Korvane user guide</title></head><body>\n"
             << "<h1>Korvane user guide</h1>\n"
             << topics << menus << "<h1>Dialogs</h1>\n<ul>\n"
             << contents_dialogs << "</ul>\n<a name=\"tables\"></a><h1>Tables</h1>\n<ul>\n"
             << contents_tables << "</ul>\n<a name=\"result-tables\"></a><h1>Result tables</h1>\n<ul>\n"
             << contents_results << "</ul>\n"
             << dialogs << tables << results_pages << "</body></html>\n";
        if (!html)
            throw std::runtime_error("Cannot write " + (out / "index.html").string());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    } catch (const MessageText& m) {
        std::fprintf(stderr, "%s\n", m.text.c_str());
        return 1;
    }
    return 0;
}
