// Typing into every table and every dialog of the program, on the sample
// model: the input is a sequence of user actions (open a data list or the
// layout, move to a cell, type a text, press a key, choose a menu command),
// and every dialog that comes up takes field texts, choices and clicks from
// the input too, then OK or Cancel. Whatever was typed, the program never
// fails a check, the document holds only finite numbers, and the model then
// saves, reads back and saves again byte for byte.
#include "framework/commands.h"
#include "framework/ui/frame.h"
#include "framework/ui/shell.h"
#include "framework/ui/table.h"
#include "harness/fuzz_program.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"
#include "platform/headless/headless_backend.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

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
    headless_backend().script().key(window, key, mods);
}

// Types into a window's client as the window system delivers typing.
void type_into(WindowId window)
{
    const HeadlessWindow* w = headless_backend().window(window);
    if (!w || !w->client_events)
        return;
    for (char c : typed_text())
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
    const std::vector<ControlSpec>& controls = d.templ().controls;
    const int steps = input->ConsumeIntegralInRange(0, 10);
    for (int step = 0; step < steps && !d.ended() && !controls.empty() && input->remaining_bytes() > 0; ++step) {
        const ControlSpec& c = controls[input->ConsumeIntegralInRange<std::size_t>(0, controls.size() - 1)];
        const HeadlessDialog::Control* state = d.control(c.id);
        switch (c.kind) {
        case ControlKind::Edit:
            d.type(c.id, typed_text());
            break;
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
            if (c.id != IDOK && c.id != IDCANCEL)
                d.press(c.id);
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
    for (int attempt = 0; attempt < 2 && !d.ended(); ++attempt)
        d.press(input->ConsumeBool() ? IDOK : IDCANCEL);
    --dialog_depth;
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
    switch (input->ConsumeIntegralInRange(0, 6)) {
    case 0: {   // a data list
        const std::vector<DataList>& lists = data_lists();
        if (!lists.empty()) {
            const DataList& list = lists[input->ConsumeIntegralInRange<std::size_t>(0, lists.size() - 1)];
            if (list.open)
                list.open();
        }
        break;
    }
    case 1:   // back to the layout
        present_layout_window();
        focus_layout_table();
        break;
    case 2:   // a cell
        if (TableWindow* t = place.view->table(); t && t->row_count > 0)
            table_goto_row(*t, input->ConsumeIntegralInRange(1, t->row_count),
                           input->ConsumeIntegralInRange(1, t->columns()));
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
        if (!ids.empty())
            script.menu_command(place.frame->window, ids[input->ConsumeIntegralInRange<std::size_t>(0, ids.size() - 1)]);
        break;
    }
    case 6:   // the row's dialog
        script.key(place.view->window(), 'E', MOD_CONTROL);
        break;
    }
    run_posted_calls();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    start_program();
    read_sample_model();
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
    expect_saves_and_reads_back("typing");
    return 0;
}
