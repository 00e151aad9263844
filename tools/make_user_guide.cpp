// Makes the user guide, one HTML file the program's help window shows:
//   korvane_make_user_guide <folder of help/ sources> <output folder>
// writes <output folder>/index.html from
//   - topics.html: the hand-written topics and windows (HTML, with their anchors);
//   - pages.txt:   a short hand-written text for each dialog and table,
//                  each under a line "== NAME" (a template name or a table title);
// and, for each dialog, the fields of its template, and for each table of the
// list window, its columns, as the program itself defines them: the pages of
// the dialogs and tables cannot say other than what the program shows. The
// pages whose dialog or table asks for help by a context number carry the
// anchor "context-<n>" that the help window opens. A source it cannot read
// ends it with exit code 1.
#include "analysis/ui/analysis_dialogs_ui.h"
#include "app/program_subsystems.h"
#include "elements/element_dialog_ids.h"
#include "elements/ui/dialogs_attributes.h"
#include "elements/ui/dialogs_elements.h"
#include "elements/ui/dialogs_special_elements.h"
#include "framework/errors.h"
#include "framework/ui/dialogs_common.h"
#include "framework/ui/help.h"
#include "framework/ui/printing_commands.h"
#include "framework/ui/shell.h"
#include "framework/ui/table.h"
#include "graphics/ui/graphics_dialogs.h"
#include "graphics/ui/plot_commands.h"
#include "graphics/ui/shape_commands.h"
#include "graphics/ui/show_dialogs.h"
#include "loads/ui/dialogs_loads.h"
#include "materials/ui/dialogs_beams.h"
#include "materials/ui/dialogs_materials.h"
#include "materials/ui/dialogs_sections.h"
#include "model/ui/dialogs_layout.h"
#include "model/ui/dialogs_model.h"
#include "model/ui/dialogs_model_file.h"
#include "model/ui/list_window.h"
#include "platform/headless/headless_backend.h"
#include "qualification/ui/qualification_dialogs.h"
#include "supports/ui/support_dialogs.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

// The dialogs of the library files (make_user_guide_libraries.cpp).
std::vector<const DialogTemplate*> library_file_dialogs();

namespace {

// The dialogs of the guide, in the order of its pages: by subject (the
// library files' follow the materials').
const DialogTemplate* const DIALOGS[] = {
    // The model and its layout
    &NEW_DIALOG, &UNITS_DIALOG, &ANALYSIS_OPTIONS_DIALOG, &QA_BLOCK_DIALOG, &ELEMENT_TYPES_DIALOG,
    &DATA_TYPES_DIALOG, &DATA_LISTS_DIALOG, &FIND_NODE_DIALOG, &FIND_TEXT_DIALOG, &FINDANDREPLACE,
    &CHANGE_DIALOG, &GENERATE_DIALOG, &RENUMBER_DIALOG, &ROTATE_DIALOG, &SPLIT_DIALOG, &SAVE_CHANGES_DIALOG,
    // Materials, sections, soils and libraries
    &MATERIAL1_DIALOG, &MATERIAL2_DIALOG, &MATERIAL3_DIALOG, &MATERIAL_PROPERTIES_DIALOG, &MATERIAL_TYPES_DIALOG,
    &SECTION_DIALOG, &INSULATION_DIALOG, &SOIL_DIALOG, &BEAM_MATERIAL_DIALOG, &BEAM_SECTION_DIALOG,
    &AISC_SECTIONS_DIALOG, &LIBRARY_USE_DIALOG, &VALVE_LIBRARY_USE_DIALOG,
    // Elements
    &BEND1_DIALOG, &BEND2_DIALOG, &MITER_DIALOG, &REDUCER_DIALOG, &CUTPIPE_DIALOG, &JPIPE_DIALOG, &JBEND_DIALOG,
    &VALVE_DIALOG, &BELLOWS_DIALOG, &SLIP_DIALOG, &HINGE_DIALOG, &BALL_DIALOG, &RIGID_DIALOG, &ELASTIC_DIALOG,
    &BEAM_DIALOG1, &TIE_ROD_DIALOG,
    // Row attributes
    &FLANGE_DIALOG, &FLANGE_LIBRARY_DIALOG, &BRANCH_SIF_DIALOG, &USER_SIF1_DIALOG, &USER_SIF2_DIALOG,
    &USER_SIF3_DIALOG, &WELD_DIALOG,
    // Supports
    &ANCHOR_DIALOG, &RESTRAINT_DIALOG, &SKEWED_RESTRAINT_DIALOG, &GUIDE_DIALOG, &LIMIT_STOP_DIALOG, &HANGER_DIALOG,
    &SNUBBER_DIALOG, &NOZZLE_DIALOG, &GENERIC_SUPPORT_DIALOG,
    // Loads
    &PIPE_LOAD_DIALOG, &BEAM_LOAD_DIALOG, &FORCE_DIALOG, &CONC_MASS_DIALOG, &TIME_VARYING_LOAD_DIALOG,
    &HARMONIC_LOAD_DIALOG, &FORCE_SPECTRUM_LOAD_DIALOG, &HYDROTEST_DIALOG, &WIND_DIALOG, &ASCE_WIND_DIALOG,
    &SEISMIC_DIALOG, &ASCE_SEISMIC_DIALOG, &SPECTRUM_DIALOG, &SPECTRUM_OPTIONS_DIALOG, &TIME_FUNCTION_DIALOG,
    &TIME_HISTORY_DIALOG,
    // Analysis
    &LOAD_CASES_DIALOG, &ANALYSIS_DIALOG,
    // The graphics window
    &VIEWPOINT_DIALOG, &HIDE_ELEMENTS_DIALOG, &PRINT_OPENGL_DIALOG, &SHOW_33_DIALOG, &MAGNIFICATION_DIALOG,
    &DRAWING_SIZE_DIALOG, &PLOT_TITLE_DIALOG,
    // Component qualification
    &FLANGE_DATA_DIALOG, &BOLT_GASK_DATA_DIALOG, &LOAD_DATA_DIALOG, &LUG_EVAL, &NOZZLE_QUAL,
    // The program
    &PRINT_DIALOG, &INFO_DIALOG, &ABOUT_DIALOG, &TUTORIAL_DIALOG,
};

// The pages that a help request opens by its context number.
const std::map<std::string, int> CONTEXTS = {
    {"TIE_ROD_DIALOG", TIE_ROD_HELP_CONTEXT},
    {"BEND1_DIALOG", BEND_DIALOG_HELP_CONTEXT},
    {"Bends", BENDS_TABLE_HELP_CONTEXT},
};

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

// A control's text as the user reads it: no "&" accelerators, no printf
// patterns, no trailing colons or blanks.
std::string shown(std::string text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size() && text[i + 1] != '&')
            continue;
        if (text[i] == '%' && i + 1 < text.size()) {
            ++i;
            out += "...";
            continue;
        }
        out += text[i];
    }
    while (!out.empty() && (out.back() == ' ' || out.back() == ':'))
        out.pop_back();
    return out;
}


// The hand-written texts by page name.
std::map<std::string, std::string> page_texts(const std::string& source)
{
    std::map<std::string, std::string> texts;
    std::istringstream in(source);
    std::string name, text;
    auto flush = [&] {
        if (!name.empty())
            texts[name] = text;
    };
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("== ", 0) == 0) {
            flush();
            name = line.substr(3);
            text.clear();
        } else if (!name.empty()) {
            text += line + "\n";
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
// that of the title a table's F1 looks for when the name is another.
std::string page_heading(const std::string& name, const std::string& title, const std::string& table_title = {})
{
    std::string html;
    if (const auto c = CONTEXTS.find(name); c != CONTEXTS.end())
        html += "<a name=\"" + help_anchor(c->second) + "\"></a>";
    if (!table_title.empty() && help_page_anchor(table_title) != help_page_anchor(name))
        html += "<a name=\"" + help_page_anchor(table_title) + "\"></a>";
    return html + "<a name=\"" + help_page_anchor(name) + "\"></a><h2>" + escaped(title) + "</h2>\n";
}

// The fields of a dialog, row by row of its grid: each field with the label
// beside it and the quantity its unit label shows.
std::string dialog_fields(const DialogTemplate& t)
{
    std::vector<const ControlSpec*> controls;
    for (const ControlSpec& c : t.controls)
        controls.push_back(&c);
    std::stable_sort(controls.begin(), controls.end(), [](const ControlSpec* a, const ControlSpec* b) {
        return a->row != b->row ? a->row < b->row : a->col < b->col;
    });
    std::string rows;
    std::string group;
    int group_end = 0;   // the grid row below the group
    for (const ControlSpec* c : controls) {
        std::string what, label, unit;
        if (c->row >= group_end)
            group.clear();
        switch (c->kind) {
        case ControlKind::Group:
            group = shown(c->text);
            group_end = c->row + std::max(c->rows, 2);
            continue;
        case ControlKind::Edit: what = "typed"; label = shown(c->text); break;
        case ControlKind::Combo: what = "chosen from a list"; label = shown(c->text); break;
        case ControlKind::List: what = "a list"; break;
        case ControlKind::Check: what = "a check box"; label = shown(c->text); break;
        case ControlKind::Radio: what = "one of a choice"; label = shown(c->text); break;
        case ControlKind::Table: what = "a table"; break;
        case ControlKind::Button:
            if (c->id == IDOK || c->id == IDCANCEL || c->id == IDHELP)
                continue;
            what = "a button";
            label = shown(c->text);
            break;
        default: continue;
        }
        // The label of a field: the text before it in its row; its unit: a
        // unit label in its row.
        for (const ControlSpec* other : controls) {
            if (other->row != c->row)
                continue;
            if (label.empty() && other->kind == ControlKind::Static && other->col < c->col && !other->text.empty())
                label = shown(other->text);
            if (other->kind == ControlKind::Unit && other->quantity > 0 &&
                other->quantity < static_cast<int>(std::size(QUANTITY_NAMES)))
                unit = std::string("in the ") + QUANTITY_NAMES[other->quantity] + " unit";
        }
        // Else the label over it, in its column of the row above.
        for (const ControlSpec* other : controls)
            if (label.empty() && other->row == c->row - 1 && other->col == c->col &&
                other->kind == ControlKind::Static)
                label = shown(other->text);
        if (label.empty())
            continue;
        rows += "<tr><td>" + escaped(label) + "</td><td>" + escaped(group) + "</td><td>" + what +
                (unit.empty() ? "" : ", " + unit) + "</td></tr>\n";
    }
    if (rows.empty())
        return {};
    return "<table border=\"1\" cellpadding=\"3\"><tr><th>Field</th><th>Group</th><th>Kind</th></tr>\n" + rows +
           "</table>\n";
}

// The columns of a table, with their headings.
std::string table_columns(TableWindow& t)
{
    std::string rows;
    for (int c = 1; c <= t.columns(); ++c) {
        std::string heading;
        for (int line = 0; line < t.header_lines; ++line) {
            const std::string h = t.header_text(c, line);
            if (!h.empty())
                heading += (heading.empty() ? "" : " ") + h;
        }
        if (heading.empty())
            continue;
        rows += "<tr><td>" + std::to_string(c) + "</td><td>" + escaped(heading) + "</td></tr>\n";
    }
    if (rows.empty())
        return {};
    return "<table border=\"1\" cellpadding=\"3\"><tr><th>Column</th><th>Heading</th></tr>\n" + rows + "</table>\n";
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
        const std::map<std::string, std::string> texts = page_texts(read_source(sources + "/pages.txt"));

        // The program as main() starts it, without windows, in English units.
        install_headless_backend();
        const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                             ("korvane_guide_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        set_program_folder(folder.string());
        register_program_subsystems();
        app_startup();

        std::string dialogs, tables, contents_dialogs, contents_tables;
        std::vector<const DialogTemplate*> dialog_list(std::begin(DIALOGS), std::end(DIALOGS));
        const std::vector<const DialogTemplate*> libraries = library_file_dialogs();
        const auto after = std::find(dialog_list.begin(), dialog_list.end(), &VALVE_LIBRARY_USE_DIALOG);
        dialog_list.insert(after == dialog_list.end() ? after : after + 1, libraries.begin(), libraries.end());
        for (const DialogTemplate* t : dialog_list) {
            const std::string title = shown(t->caption).empty() ? t->name : shown(t->caption);
            contents_dialogs += "<li><a href=\"#" + help_page_anchor(t->name) + "\">" + escaped(title) + "</a></li>\n";
            dialogs += page_heading(t->name, title);
            if (const auto text = texts.find(t->name); text != texts.end())
                dialogs += paragraphs(text->second);
            dialogs += dialog_fields(*t);
        }
        for (const DataList& list : data_lists()) {
            if (!list.open)
                continue;
            list.open();
            TableWindow* t = list_window_table();
            if (!t)
                continue;
            const std::string& name = list.name;
            const std::string title = t->title.empty() ? list.name : t->title;
            contents_tables += "<li><a href=\"#" + help_page_anchor(name) + "\">" + escaped(title) + "</a></li>\n";
            tables += page_heading(name, title + " (table)", t->title);
            if (const auto text = texts.find(name); text != texts.end())
                tables += paragraphs(text->second);
            tables += table_columns(*t);
        }
        app_shutdown();
        remove_backend();
        std::filesystem::remove_all(folder);

        std::filesystem::create_directories(out);
        std::ofstream html(out / "index.html", std::ios::binary);
        html << "<html><head><meta charset=\"utf-8\"><title>Korvane user guide</title></head><body>\n"
             << "<h1>Korvane user guide</h1>\n"
             << topics << "<h1>Dialogs</h1>\n<ul>\n"
             << contents_dialogs << "</ul>\n<a name=\"tables\"></a><h1>Tables</h1>\n<ul>\n"
             << contents_tables << "</ul>\n"
             << dialogs << tables << "</body></html>\n";
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
