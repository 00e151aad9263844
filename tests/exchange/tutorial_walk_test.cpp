// The user guide's Tutorial followed key by key, as the guide writes it: the
// steps are read from the built guide itself, so that the text and what is
// tested cannot drift apart. In the Tutorial a key is written <kbd>Tab</kbd>,
// a text to type <kbd>A106B</kbd>, a menu command <b>File &gt; New</b>; in a
// dialog, a field <i>Weight</i> before the value typed into it and a button,
// radio button or check box <b>OK</b>. The walk must raise no message, build
// the sample model (the same model as examples/sample.mbf), and its analysis
// must hold the pipe up with the weight worked out by hand.
#include "exchange/batch_export.h"
#include "exchange/batch_import.h"
#include "exchange_fixture.h"
#include "guide_text.h"
#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/ui/dialog_fields.h"
#include "framework/ui/frame.h"
#include "framework/ui/help.h"
#include "materials/pipe_section.h"
#include "model/load_cases.h"
#include "model/model.h"
#include "model/row_kinds.h"
#include "results/results_reader.h"
#include "results/results_session.h"
#include "results/results_state.h"
#include "results/ui/results_window.h"
#include "graphics/shapes.h"
#include "framework/ui/table.h"
#include "supports/guide.h"
#include "supports/support_item.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The HTML of the Tutorial's steps: from its first numbered paragraph (the
// one before shows how keys are written) to the next page's anchor.
std::string tutorial_html(const std::string& guide)
{
    const std::size_t anchor = guide.find("<a name=\"" + std::string(TUTORIAL_ANCHOR) + "\">");
    const std::size_t start = anchor == std::string::npos ? anchor : guide.find("<p>1. ", anchor);
    if (start == std::string::npos)
        return {};
    const std::size_t end = guide.find("<a name=\"", start + 10);
    return guide.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// One step of the Tutorial.
struct Step {
    enum Kind { Text, Command, Field } kind;
    std::string text;
};

// The steps in the order of the text: <kbd>, <b> and <i> elements.
std::vector<Step> tutorial_steps(const std::string& html)
{
    std::vector<Step> steps;
    for (std::size_t at = html.find('<'); at != std::string::npos; at = html.find('<', at + 1)) {
        for (const auto& [tag, kind] : {std::pair{"kbd", Step::Text}, std::pair{"b", Step::Command},
                                        std::pair{"i", Step::Field}}) {
            const std::string open = std::string("<") + tag + ">";
            if (html.compare(at, open.size(), open) != 0)
                continue;
            const std::size_t close = html.find(std::string("</") + tag + ">", at);
            steps.push_back(Step{kind, guide_plain(html.substr(at + open.size(), close - at - open.size()))});
            at = close;
            break;
        }
    }
    return steps;
}

// The words of a <kbd> that is keys alone ("Tab Tab Tab"); empty for a text.
std::vector<std::pair<int, unsigned>> keys_of(const std::string& text)
{
    std::vector<std::pair<int, unsigned>> keys;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        int key = 0;
        unsigned mods = 0;
        if (!read_guide_key(word, key, mods, true))
            return {};
        keys.emplace_back(key, mods);
    }
    return keys;
}

// Follows the steps: keys and texts go to the window that has the keys, a
// command to the menu of that window, and while a dialog is open the steps
// that name its fields and buttons go to it.
class TutorialWalker {
public:
    TutorialWalker(HeadlessBackend& backend, std::vector<Step> steps) : hb_(backend), steps_(std::move(steps))
    {
        hb_.script().on_any([this](HeadlessDialog& d) { in_dialog(d); });
    }
    ~TutorialWalker() { hb_.script().on_any({}); }

    // Runs the steps up to the end; false (with the reason) at the first
    // step that cannot be done.
    bool run()
    {
        while (next_ < steps_.size() && failure_.empty())
            step();
        return failure_.empty();
    }
    const std::string& failure() const { return failure_; }
    // What was said on the way: every message and the step it followed.
    const std::vector<std::string>& messages() const { return messages_; }
    std::vector<std::string> dialogs;   // the dialogs the walk went through
    // Called after each step, with the step's text, once what it posted ran.
    std::function<void(const std::string& step)> after_step;

private:
    WindowId keys_window() const
    {
        const WindowId active = hb_.active_window();
        const HeadlessWindow* w = hb_.window(active);
        return w && !w->is_client ? active : main_frame().window;
    }
    std::string where() const
    {
        std::string text = "step " + std::to_string(next_);
        for (std::size_t i = next_ > 3 ? next_ - 3 : 0; i < std::min(next_ + 1, steps_.size()); ++i)
            text += " [" + steps_[i].text + "]";
        return text;
    }
    void note_messages()
    {
        const std::vector<std::string> all = hb_.script().messages();
        for (std::size_t i = seen_messages_; i < all.size(); ++i)
            messages_.push_back(all[i] + "  (after " + where() + ")");
        seen_messages_ = all.size();
    }
    void fail(const std::string& why)
    {
        if (failure_.empty())
            failure_ = why + " at " + where();
    }

    void step()
    {
        const Step& s = steps_[next_];
        ++next_;
        switch (s.kind) {
        case Step::Text: {
            const WindowId frame = keys_window();
            // The window as the user sees it: drawn, its columns measured.
            if (const HeadlessWindow* w = hb_.window(frame); w && w->client)
                hb_.script().paint(w->client);
            if (const auto keys = keys_of(s.text); !keys.empty()) {
                for (const auto& [key, mods] : keys)
                    hb_.script().key(frame, key, mods);
            } else {
                const HeadlessWindow* w = hb_.window(frame);
                const HeadlessWindow* client = w ? hb_.window(w->client) : nullptr;
                if (!client || !client->client_events) {
                    fail("no window takes the typing");
                    return;
                }
                for (const char c : s.text)
                    client->client_events->on_char(std::string(1, c));
            }
            break;
        }
        case Step::Command: command(s.text); break;
        case Step::Field: fail("a field named outside a dialog"); break;
        }
        // What the step posted runs before the next key, as the message
        // loop runs it.
        while (hb_.posted_count() != 0)
            hb_.process_events();
        note_messages();
        if (after_step)
            after_step(s.text);
    }

    // A menu command "File > New" of the window that has the keys.
    void command(const std::string& path)
    {
        std::vector<std::string> names;
        for (std::size_t at = 0;;) {
            const std::size_t gt = path.find(" > ", at);
            names.push_back(path.substr(at, gt == std::string::npos ? std::string::npos : gt - at));
            if (gt == std::string::npos)
                break;
            at = gt + 3;
        }
        const WindowId frame = keys_window();
        const HeadlessWindow* w = hb_.window(frame);
        const std::vector<MenuItem>* items = &w->menu.items();
        const MenuItem* found = nullptr;
        for (const std::string& name : names) {
            found = nullptr;
            for (const MenuItem& item : *items) {
                std::string text = without_mnemonics(item.text.substr(0, item.text.find('\t')));
                while (!text.empty() && (text.back() == '.' || text.back() == ' '))
                    text.pop_back();
                if (text == name)
                    found = &item;
            }
            if (!found) {
                fail("no menu item \"" + name + "\"");
                return;
            }
            items = &found->items;
        }
        if (!hb_.script().menu_command(frame, found->id))
            fail("the menu item \"" + path + "\" is greyed");
    }

    // The steps that belong to an open dialog, until it closes or the next
    // step is none of its own.
    void in_dialog(HeadlessDialog& d)
    {
        dialogs.push_back(d.templ().name);
        while (!d.ended() && next_ < steps_.size() && failure_.empty()) {
            const Step& s = steps_[next_];
            if (s.kind == Step::Field) {
                ++next_;
                if (next_ >= steps_.size() || steps_[next_].kind != Step::Text) {
                    fail("no value after the field " + s.text);
                    return;
                }
                const std::string& value = steps_[next_++].text;
                const ControlSpec* c = control(d, s.text);
                if (!c)
                    return;
                const bool done = c->kind == ControlKind::Combo ? type_entry(d, c->id, value) : d.type(c->id, value);
                if (!done)
                    fail(d.templ().name + ": " + s.text + " does not take \"" + value + "\"");
            } else if (s.kind == Step::Command && s.text.find(" > ") == std::string::npos) {
                ++next_;
                if (s.text == "OK" || s.text == "Cancel") {
                    d.press(s.text == "OK" ? IDOK : IDCANCEL);
                } else if (!click_entry(d, s.text)) {
                    if (const ControlSpec* c = control(d, s.text); c && !d.press(c->id))
                        fail(d.templ().name + ": " + s.text + " cannot be pressed");
                }
            } else if (s.kind == Step::Text && keys_of(s.text) == std::vector<std::pair<int, unsigned>>{{KEY_RETURN, 0}}) {
                ++next_;
                d.press(IDOK);
            } else {
                return;   // not this dialog's: the dialog is left as it is
            }
            note_messages();
        }
    }

    // The control of a dialog by its label as the guide lists it: the whole
    // label, or a unique leading part of it.
    const ControlSpec* control(HeadlessDialog& d, const std::string& label)
    {
        const std::vector<DialogField> fields = dialog_fields(d.templ());
        const DialogField* match = nullptr;
        int leading = 0;
        for (const DialogField& f : fields) {
            if (f.label == label)
                return f.control;
            if (f.label.rfind(label, 0) == 0) {
                match = &f;
                ++leading;
            }
        }
        if (leading == 1)
            return match->control;
        fail(d.templ().name + " has no field \"" + label + "\"");
        return nullptr;
    }
    // An entry of a list with that text (the choosers' lists), clicked.
    bool click_entry(HeadlessDialog& d, const std::string& text)
    {
        for (const ControlSpec& control : d.templ().controls) {
            const HeadlessDialog::Control* c = d.control(control.id);
            if (control.kind != ControlKind::List || !c)
                continue;
            for (std::size_t i = 0; i < c->items.size(); ++i)
                if (c->items[i] == text)
                    return d.click_item(control.id, static_cast<int>(i));
        }
        return false;
    }
    // A combo's entry typed key by key, as the user types it: the entry
    // chosen is the text typed, or begins with it.
    bool type_entry(HeadlessDialog& d, int id, const std::string& text)
    {
        if (!d.type(id, text))
            return false;
        return lower_case(d.text(id)).rfind(lower_case(text), 0) == 0;
    }

    HeadlessBackend& hb_;
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    std::size_t seen_messages_ = 0;
    std::string failure_;
    std::vector<std::string> messages_;
};

class TutorialWalk : public ExchangeProgramTest {};

// A table as the window shows it: its headings (without their units) and
// the text of its cells.
struct ShownTable {
    std::vector<std::string> headings;
    std::vector<std::vector<std::string>> rows;
    // The numbers of the column of that heading.
    std::vector<double> column_values(const std::string& heading) const
    {
        std::vector<double> values;
        const auto at = std::find(headings.begin(), headings.end(), heading);
        if (at == headings.end())
            return values;
        const auto c = static_cast<std::size_t>(at - headings.begin());
        for (const std::vector<std::string>& row : rows) {
            std::string text = row[c];
            std::erase(text, ',');
            values.push_back(std::stod(text));
        }
        return values;
    }
};

ShownTable shown_table(TableWindow& t)
{
    ShownTable shown;
    for (int c = 1; c <= t.columns(); ++c) {
        const std::string h = t.header_text(c, 0);
        shown.headings.push_back(h.substr(0, h.find(" (")));
    }
    for (int r = 1; r <= t.row_count; ++r) {
        std::vector<std::string> cells;
        for (int c = 1; c <= t.columns(); ++c)
            cells.push_back(t.cell_text(r, c, 0));
        shown.rows.push_back(std::move(cells));
    }
    return shown;
}

}  // namespace

namespace {

// The lines of a model's batch file that say what the model is: without
// its title and comments, in capitals (the batch reader keeps a material's
// description in capitals).
std::vector<std::string> model_lines(const std::string& batch)
{
    std::vector<std::string> lines;
    std::istringstream in(batch);
    std::string line;
    std::getline(in, line);   // the title
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '*')
            continue;
        lines.push_back(upper_case(line));
    }
    return lines;
}

// Weight per inch of a pipe (lb/in) full of water and insulated, from its
// outside diameter, wall, insulation thickness and density: steel 0.283
// lb/in3, water 62.37 lb/ft3 (at 60 degF, Crane TP-410 A-6), insulation
// 7.5 lb/ft3.
double pipe_weight_per_inch(double od, double wall, double insulation)
{
    const double pi = std::acos(-1.0);
    const double id = od - 2.0 * wall;
    const double steel = 0.283 * pi / 4.0 * (od * od - id * id);
    const double water = 62.37 / 1728.0 * pi / 4.0 * id * id;
    const double outer = od + 2.0 * insulation;
    const double lagging = 7.5 / 1728.0 * pi / 4.0 * (outer * outer - od * od);
    return steel + water + lagging;
}

// The sample's weight full, worked by hand from its rows. The centreline of
// the 6 in line: 6 + 50 + 36 + 84 + 48 + 48 in of legs, each of its two
// 90-degree bends of 9 in radius an arc of 9 pi/2 in place of two legs of 9
// in; of the 4 in line: 48 + 48 in with one bend of 6 in radius. The valve:
// 325 lb and its operator's 60 lb, with the water of its 16 in and 1.75
// times the insulation. The reducer: a 12 in frustum from 6.625 by 0.28 in
// to 4.5 by 0.237 in, integrated by Simpson's rule (exact for the quadratic
// section terms).
double sample_weight_by_hand()
{
    const double pi = std::acos(-1.0);
    const double w6 = pipe_weight_per_inch(6.625, 0.28, 2.0);
    const double w4 = pipe_weight_per_inch(4.5, 0.237, 1.5);
    const double line6 = 6 + 50 + 36 + 84 + 48 + 48 - 2 * (2 * 9 - 9 * pi / 2);
    const double line4 = 48 + 48 - (2 * 6 - 6 * pi / 2);
    const double id6 = 6.625 - 2 * 0.28;
    const double valve_water = 62.37 / 1728.0 * pi / 4.0 * id6 * id6 * 16.0;
    const double valve_lagging = 1.75 * 7.5 / 1728.0 * pi / 4.0 * (10.625 * 10.625 - 6.625 * 6.625) * 16.0;
    const double valve = 325.0 + 60.0 + valve_water + valve_lagging;
    auto reducer_at = [](double s) {   // s from 0 at node 40 to 1 at node 45
        return pipe_weight_per_inch(6.625 + (4.5 - 6.625) * s, 0.28 + (0.237 - 0.28) * s, 2.0);
    };
    const double reducer = 12.0 / 6.0 * (reducer_at(0.0) + 4.0 * reducer_at(0.5) + reducer_at(1.0));
    return w6 * line6 + w4 * line4 + valve + reducer;
}

}  // namespace

TEST_F(TutorialWalk, TheTutorialAsWrittenBuildsTheSampleModel)
{
    const std::string html = tutorial_html(built_guide());
    ASSERT_FALSE(html.empty()) << "the guide has no Tutorial";
    const std::vector<Step> steps = tutorial_steps(html);
    ASSERT_GT(steps.size(), 100u);
    // The sample as its batch file gives it; the Tutorial starts a new model.
    import_batch_file_at(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf");
    const std::string sample = batch_export_text();
    model_modified() = false;
    script().answer_file(path("tutorial.mod"));
    TutorialWalker walker(*hb, steps);
    // What the windows show as the walk goes: every table of the results
    // window by its title, as a user reads it, and the window in front
    // after each step.
    std::map<std::string, ShownTable> shown;
    std::vector<std::pair<std::string, WindowId>> in_front;
    walker.after_step = [&](const std::string& step) {
        in_front.emplace_back(step, hb->active_window());
        if (in_results() && results_table_view().table())
            shown[results_frame().title_text] = shown_table(*results_table_view().table());
    };
    EXPECT_TRUE(walker.run()) << walker.failure();
    for (const std::string& m : walker.messages())
        ADD_FAILURE() << "message: " << m;
    EXPECT_EQ(numrows(), 11);
    const std::string typed = batch_export_text();

    // The end of the analysis is shown as the Tutorial says.
    EXPECT_EQ(hb->status_text(main_frame().window), "Analysis done");
    EXPECT_NE(html.find("says \"Analysis done\""), std::string::npos);

    // The analysis the Tutorial ran: in the Sustained case the supports
    // carry the pipe's whole weight (the sum of their upward forces on the
    // pipe), the rest pushing up, not pulling.
    ASSERT_TRUE(std::filesystem::exists(path("tutorial.res")));
    ASSERT_TRUE(in_results());
    // The case the Tutorial says its click shows.
    ASSERT_GE(results().current, 1);
    EXPECT_EQ(results().load_cases[results().current].code, LC_SUSTAINED);
    for (int i = 1; i <= results().load_case_count(); ++i)
        if (results().load_cases[i].code == LC_SUSTAINED)
            results().current = i;
    read_load_case_support_loads();
    double upward = 0.0;
    int supports = 0;
    for (const int row : results().supports_by_row) {
        const LayoutRow& r = model().rows[row];
        const auto* item = dynamic_cast<const SupportItem*>(r.data.get());
        ASSERT_NE(item, nullptr);
        const std::vector<float>& f = item->current_loads;
        ++supports;
        switch (r.dtype) {
        case DT_ANCHOR:
        case DT_RESTRAINT: upward += f[1]; break;
        case DT_LIMIT_STOP:
            EXPECT_GE(f[0], 0.0f) << "the rest pulls the pipe down";
            upward += f[0];   // along its direction, +Y
            break;
        case DT_GUIDE: {
            const LocalAxes& a = dynamic_cast<const Guide&>(*item).axes;
            upward += f[0] * a.x.y + f[1] * a.y.y + f[2] * a.z.y;
            break;
        }
        default: ADD_FAILURE() << "a support the Tutorial gives none of at row " << row;
        }
    }
    EXPECT_EQ(supports, 5);
    const double weight = sample_weight_by_hand();
    EXPECT_NEAR(weight, 1327.5, 1.0);   // the rounding of the sample's own notes
    EXPECT_NEAR(upward, weight, 5e-4 * weight);

    // The model the Tutorial typed is the sample's, field for field.
    EXPECT_EQ(model_lines(typed), model_lines(sample));

    // Step 5 as the user reads it: the four kinds of support reached from
    // the loads on the anchors, and the vertical loads their tables show in
    // the Sustained case (FY of the anchors and the restraint, the Load of
    // the rest along +Y; the guide's loads across the pipe) add up to the
    // weight worked by hand, within the rounding of the shown pounds.
    double shown_upward = 0.0;
    for (const auto& [kind, column] : {std::pair{"Anchors", "FY"}, std::pair{"Guides", "fy"},
                                       std::pair{"Limit stops", "Load"}, std::pair{"Restraints", "FY"}}) {
        const auto table = shown.find(std::string("Loads on ") + kind + ": Sustained (W+P)");
        ASSERT_NE(table, shown.end()) << "the walk never showed the loads on " << kind;
        const std::vector<double> values = table->second.column_values(column);
        ASSERT_FALSE(values.empty()) << kind;
        for (const double v : values)
            if (std::string(kind) == "Guides")
                EXPECT_LT(std::fabs(v), 1.0) << "the guide carries weight";
            else
                shown_upward += v;
    }
    EXPECT_NEAR(shown_upward, weight, 3.0);
    EXPECT_NE(html.find("about 1328 lb"), std::string::npos);
    EXPECT_NEAR(weight, 1328.0, 0.5);

    // Ctrl+D on the displacements draws the deflected shape behind the
    // results window, F2 brings the graphics window to the front, titled as
    // the Tutorial says, and F2 there goes back to the results.
    const auto displacements = std::find_if(shown.begin(), shown.end(), [](const auto& t) {
        return t.first.rfind("Displacements in global coordinates: Sustained (W+P)", 0) == 0;
    });
    EXPECT_NE(displacements, shown.end());
    EXPECT_TRUE(shape_state().deflected_shape_shown);
    std::vector<WindowId> after_f2;
    for (std::size_t i = 1; i < in_front.size(); ++i)
        if (in_front[i].first == "F2" && in_front[i - 1].first == "Ctrl+D")
            after_f2 = {in_front[i].second, i + 1 < in_front.size() ? in_front[i + 1].second : 0};
    ASSERT_EQ(after_f2.size(), 2u) << "the Tutorial has no F2 after Ctrl+D";
    EXPECT_EQ(after_f2[0], graphics_frame().window);
    EXPECT_EQ(after_f2[1], results_frame().window);
    EXPECT_EQ(graphics_frame().title_text, "Deflected shape: Sustained (W+P)");
    EXPECT_NE(html.find("\"Deflected shape: Sustained (W+P)\""), std::string::npos);
}

// A From row starts the pipe and names no material, section or load: a key
// typed into those cells says so once (Tab passes them by), and nothing is
// stored there.
TEST_F(TutorialWalk, AFromRowSaysWhyItTakesNoMaterial)
{
    LayoutTable& t = layout_table();
    const WindowId client = main_frame().client;
    script().paint(client);
    auto type = [&](const std::string& text) {
        for (const char c : text)
            hb->window(client)->client_events->on_char(std::string(1, c));
    };
    type("10");
    script().key(main_frame().window, KEY_TAB);
    ASSERT_EQ(numrows(), 1);
    ASSERT_EQ(model().rows[1].etype, ET_FROM);
    // Tab from DZ passes the names to the Data cell.
    table_goto_row(t, 1, LAYOUT_DZ);
    script().key(main_frame().window, KEY_TAB);
    EXPECT_EQ(t.current_column, LAYOUT_DATA);
    // The arrow keys reach the Material cell.
    script().key(main_frame().window, KEY_LEFT);
    ASSERT_EQ(t.current_column, LAYOUT_LOAD);
    script().key(main_frame().window, KEY_LEFT);
    script().key(main_frame().window, KEY_LEFT);
    ASSERT_EQ(t.current_column, LAYOUT_MATERIAL);
    script().clear_log();
    type("A106B");
    EXPECT_EQ(script().messages(),
              std::vector<std::string>{
                  "A From row takes no material, section or load: type them on the rows of the elements after it"});
    EXPECT_FALSE(t.edit.active);
    EXPECT_TRUE(model().rows[1].material.empty());
}

// Enter on a new pipe section's row stores it and goes on to the input row
// below, ready for the next section, as Enter goes on from any row.
TEST_F(TutorialWalk, EnterOnANewSectionGoesOnToTheInputRow)
{
    ASSERT_TRUE(script().menu_command(main_frame().window, CMD_SECTIONS));
    TableWindow* t = list_window_table();
    ASSERT_NE(t, nullptr);
    script().paint(list_frame().client);
    auto type = [&](const std::string& text) {
        for (const char c : text)
            hb->window(list_frame().client)->client_events->on_char(std::string(1, c));
    };
    for (const char* size : {"6", "4"}) {
        type(size);
        script().key(list_frame().window, KEY_TAB);
        type(size);
        script().key(list_frame().window, KEY_TAB);
        type("40");
        script().key(list_frame().window, KEY_RETURN);
    }
    EXPECT_TRUE(script().messages().empty()) << script().last_message();
    ASSERT_EQ(numsections(), 2);
    EXPECT_FLOAT_EQ(pipe_sections()[2].outside_diameter, 4.5f);   // ASME B36.10M NPS 4
    EXPECT_FLOAT_EQ(pipe_sections()[2].thickness, 0.237f);        // its schedule 40 wall
    EXPECT_EQ(t->current_row, 3);
    EXPECT_EQ(t->current_column, 1);
}
