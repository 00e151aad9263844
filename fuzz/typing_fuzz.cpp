// Typing into every table and every dialog of the program, on the sample
// model with a material library at hand: the input is a sequence of user
// actions (open a data list or the layout, move to a cell, type a text, press
// a key, choose a menu command, answer the next question),
// and every dialog that comes up takes field texts, choices and clicks from
// the input too, then OK or Cancel. Whatever was typed, the program never
// fails a check, the document holds only finite numbers, no record its
// editors completed is out of their range and no name clashes
// (property_set_checks.h), and the model then saves, reads back and saves
// again byte for byte.
#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/ui/frame.h"
#include "framework/ui/shell.h"
#include "framework/ui/table.h"
#include "harness/fuzz_program.h"
#include "loads/response_spectrum.h"
#include "materials/beam_material.h"
#include "materials/beam_section.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/property_set_checks.h"
#include "materials/soil.h"
#include "materials/ui/pipe_material_library.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"
#include "platform/headless/headless_backend.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// KV_FUZZ_TRACE=1 writes each action and dialog to standard error, to follow
// what an input that was kept does.
const bool TRACE = [] {
    const char* v = std::getenv("KV_FUZZ_TRACE");
    return v && *v == '1';
}();

void trace(const std::string& text)
{
    if (TRACE)
        std::fprintf(stderr, "typing: %s\n", text.c_str());
}

// The input of the run in progress.
FuzzedDataProvider* input = nullptr;
// How deep dialogs opened from dialogs go before the next one is cancelled.
constexpr int MAX_DIALOG_DEPTH = 3;
int dialog_depth = 0;

// What users type: digits, signs, points, exponents, feet and inches,
// names, blanks, and now and then any byte.
std::string typed_text()
{
    static const char TYPED[] = "0123456789.-+E'\" ABCSWJ/*x,\t";
    const std::size_t length = input->ConsumeIntegralInRange<std::size_t>(0, 14);
    std::string text;
    for (std::size_t i = 0; i < length && input->remaining_bytes() > 0; ++i) {
        const uint8_t b = input->ConsumeIntegral<uint8_t>();
        text += b < 240 ? TYPED[b % (sizeof TYPED - 1)] : static_cast<char>(b);
    }
    return text;
}

const int KEYS[] = {KEY_RETURN, KEY_TAB, KEY_ESCAPE, KEY_F2, KEY_BACK, KEY_DELETE, KEY_UP, KEY_DOWN,
                    KEY_LEFT, KEY_RIGHT, KEY_HOME, KEY_END, KEY_PRIOR, KEY_NEXT, KEY_INSERT, KEY_F6, 'E', 'X',
                    'C', 'V'};

void press_key(WindowId window)
{
    const int key = KEYS[input->ConsumeIntegralInRange<std::size_t>(0, std::size(KEYS) - 1)];
    const unsigned mods = input->ConsumeIntegralInRange<unsigned>(0, 3);   // none, Shift, Ctrl, both
    trace("key " + std::to_string(key) + " with " + std::to_string(mods));
    headless_backend().script().key(window, key, mods);
}

// Types into a window's client as the window system delivers typing.
void type_into(WindowId window)
{
    const HeadlessWindow* w = headless_backend().window(window);
    if (!w || !w->client_events)
        return;
    const std::string text = typed_text();
    trace("type \"" + text + "\"");
    for (char c : text)
        w->client_events->on_char(std::string(1, c));
}

// A dialog: some of its controls used, then OK or Cancel.
void answer_dialog(HeadlessDialog& d)
{
    if (!input || input->remaining_bytes() == 0 || dialog_depth >= MAX_DIALOG_DEPTH) {
        d.press(IDCANCEL);
        return;
    }
    ++dialog_depth;
    trace("dialog " + d.templ().name);
    const std::vector<ControlSpec>& controls = d.templ().controls;
    const int steps = input->ConsumeIntegralInRange(0, 10);
    for (int step = 0; step < steps && !d.ended() && !controls.empty() && input->remaining_bytes() > 0; ++step) {
        const ControlSpec& c = controls[input->ConsumeIntegralInRange<std::size_t>(0, controls.size() - 1)];
        const HeadlessDialog::Control* state = d.control(c.id);
        switch (c.kind) {
        case ControlKind::Edit: {
            const std::string text = typed_text();
            trace("field " + std::to_string(c.id) + " \"" + text + "\"");
            d.type(c.id, text);
            break;
        }
        case ControlKind::Combo:
        case ControlKind::List:
            if ((c.flags & CF_EDITABLE) && input->ConsumeBool())
                d.type(c.id, typed_text());
            else if (state && !state->items.empty())
                d.select(c.id, input->ConsumeIntegralInRange<int>(0, static_cast<int>(state->items.size()) - 1));
            break;
        case ControlKind::Radio:
        case ControlKind::Check:
        case ControlKind::Button:
            if (c.id != IDOK && c.id != IDCANCEL) {
                trace("press " + std::to_string(c.id));
                d.press(c.id);
            }
            break;
        case ControlKind::Table:
            if (state && state->client) {
                if (input->ConsumeBool())
                    type_into(state->client);
                press_key(state->client);
            }
            break;
        default:
            d.click_into(c.id);
            break;
        }
        run_posted_calls();
    }
    // OK may be refused with a message and leave the dialog open; then
    // Cancel, as a user gives up.
    for (int attempt = 0; attempt < 2 && !d.ended(); ++attempt) {
        const int button = input->ConsumeBool() ? IDOK : IDCANCEL;
        trace(button == IDOK ? "OK" : "Cancel");
        d.press(button);
    }
    --dialog_depth;
}

// A record the user is still making: one of the values its editors require
// is not given yet (a blank line a table inserted, a dialog cancelled before
// its diameter was typed). The analysis refuses it, and no editor is wrong
// to keep it meanwhile.
bool in_progress(const PipeMaterial& m) { return m.name.empty() || m.description.empty() || m.numtemps() == 0; }
bool in_progress(const PipeSection& s)
{
    return s.name.empty() || s.outside_diameter == 0.0f || s.thickness == 0.0f;
}
bool in_progress(const BeamMaterial& m) { return m.name.empty() || m.E == 0.0f; }
bool in_progress(const BeamSection& s)
{
    return s.name.empty() || s.values[BS_AREA] == 0.0f || s.values[BS_MAJOR_I] == 0.0f ||
           s.values[BS_MINOR_I] == 0.0f;
}
bool in_progress(const Soil& s)
{
    return s.name.empty() || s.density == 0.0f ||
           (s.type == SOIL_COHESIVE ? s.strength == 0.0f : s.delta == 0.0f || s.ks == 0.0f);
}

// The record as the user leaves its table row: the sections table keeps
// one value of the insulation or lining pair while the row is being typed,
// and clears a pair that is not whole when the row is left.
template <typename T>
T as_left(T record)
{
    return record;
}
template <>
PipeSection as_left(PipeSection s)
{
    if ((s.insulation_density == 0.0f) != (s.insulation_thickness == 0.0f))
        s.insulation_density = s.insulation_thickness = 0.0f;
    if ((s.lining_density == 0.0f) != (s.lining_thickness == 0.0f))
        s.lining_density = s.lining_thickness = 0.0f;
    return s;
}

// The editors refuse what the analysis cannot take: every record they
// completed is in its range.
template <typename T>
void expect_in_range(std::vector<std::string> (*problems)(const T&))
{
    for (const T& record : named_set<T>())
        if (!in_progress(record))
            if (const std::vector<std::string> found = problems(as_left(record)); !found.empty())
                finding("an editor stored what the analysis refuses: " + found.front());
}

// The enabled commands of a frame's menu.
void menu_commands(const std::vector<MenuItem>& items, std::vector<int>& out)
{
    for (const MenuItem& item : items) {
        if (!item.items.empty())
            menu_commands(item.items, out);
        else if (item.id != 0 && !item.disabled && item.id != CMD_EXIT)
            out.push_back(item.id);
    }
}

// The frame and view that the user works in.
struct Place {
    Frame* frame;
    TableView* view;
};

Place current_place()
{
    if (list_window_table() && list_frame().window && backend().is_visible(list_frame().window))
        return {&list_frame(), list_lower_pane_active() ? &list_lower_view() : &list_view()};
    return {&main_frame(), &layout_view()};
}

void act()
{
    Script& script = headless_backend().script();
    const Place place = current_place();
    switch (input->ConsumeIntegralInRange(0, 7)) {
    case 0: {   // a data list
        const std::vector<DataList>& lists = data_lists();
        if (!lists.empty()) {
            const DataList& list = lists[input->ConsumeIntegralInRange<std::size_t>(0, lists.size() - 1)];
            trace("list " + list.name);
            if (list.open)
                list.open();
        }
        break;
    }
    case 1:   // back to the layout
        trace("layout");
        present_layout_window();
        focus_layout_table();
        break;
    case 2:   // a cell
        if (TableWindow* t = place.view->table(); t && t->row_count > 0) {
            const int row = input->ConsumeIntegralInRange(1, t->row_count);
            const int column = input->ConsumeIntegralInRange(1, t->columns());
            trace("cell " + std::to_string(row) + ", " + std::to_string(column) + " of " + t->title);
            table_goto_row(*t, row, column);
        }
        break;
    case 3:   // typing, then a key
        type_into(place.view->window());
        press_key(place.view->window());
        break;
    case 4:
        press_key(place.view->window());
        break;
    case 5: {   // a menu command of the frame in front
        std::vector<int> ids;
        if (const HeadlessWindow* w = headless_backend().window(place.frame->window); w && w->frame_events) {
            w->frame_events->on_menu_opening();   // as the menu drops down: its items brought up to date
            menu_commands(w->menu.items(), ids);
        }
        if (!ids.empty()) {
            const int id = ids[input->ConsumeIntegralInRange<std::size_t>(0, ids.size() - 1)];
            trace("menu command " + std::to_string(id));
            script.menu_command(place.frame->window, id);
        }
        break;
    }
    case 6:   // the row's dialog
        trace("edit row");
        script.key(place.view->window(), 'E', MOD_CONTROL);
        break;
    case 7: {   // how the next question is answered (Yes when none is given)
        const int answer = input->PickValueInArray({IDYES, IDNO, IDCANCEL, IDOK});
        trace("answer " + std::to_string(answer));
        script.answer(answer);
        break;
    }
    }
    run_posted_calls();
    if (TRACE) {
        static std::size_t shown = 0;
        const std::vector<std::string> messages = script.messages();
        for (shown = std::min(shown, messages.size()); shown < messages.size(); ++shown)
            trace("message \"" + messages[shown] + "\"");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    start_program();
    read_sample_model();
    // A material library to pick from, as one the user opened before.
    try {
        const std::string path = std::string(KV_SOURCE_DIR) + "/fuzz/corpus/libraries/materials.mat";
        const MaterialLibraryContents read = read_material_library_file(path);
        material_library() = MaterialLibrary{};
        material_library().path = path;
        material_library().code = read.code;
        material_library().units = read.units;
        material_library().records = read.records;
    } catch (const MessageText& m) {
        finding("the seed library does not read: " + m.text);
    }
    FuzzedDataProvider provider(data, size);
    input = &provider;
    dialog_depth = 0;
    headless_backend().script().on_any(answer_dialog);
    for (int step = 0; step < 40 && provider.remaining_bytes() > 0; ++step)
        act();
    input = nullptr;
    // What the windows still hold is stored (or refused) as before a save.
    commit_pending_edits();
    run_posted_calls();
    expect_finite_document("typing");
    expect_in_range(pipe_material_problems);
    expect_in_range(pipe_section_problems);
    expect_in_range(beam_material_problems);
    expect_in_range(beam_section_problems);
    expect_in_range(soil_problems);
    if (const std::string fault = response_spectrum_fault(response_spectrum_input()); !fault.empty())
        finding("an editor stored a response-spectrum input the model file refuses: " + fault);
    // Names that clash or that no editor takes (a row may name a set still
    // to come, and a blank record wait for its name).
    for (const std::string& problem : named_set_problems())
        if (problem.find("more than once") != std::string::npos || problem.find(" is defined as ") != std::string::npos ||
            problem.find(": Name ") != std::string::npos)
            finding("an editor stored a name the analysis refuses: " + problem);
    expect_saves_and_reads_back("typing");
    return 0;
}
