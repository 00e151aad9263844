#include "materials/ui/aisc_chooser.h"

#include "framework/errors.h"
#include "framework/state.h"
#include "framework/ui/dialog_helper.h"
#include "materials/ui/dialogs_beams.h"

#include <array>
#include <vector>

namespace {

// What the chooser remembers for the program run.
struct ChooserState {
    int family = AISC_W;
    std::array<int, AISC_FAMILY_COUNT + 1> group{};      // per family, from 0
    std::vector<int> shape;                              // per table group, from 0
    BeamSection buffer;
};

ChooserState& chooser() {
    ChooserState& s = session_part<ChooserState>();
    if (s.shape.empty()) s.shape.assign(static_cast<std::size_t>(aisc_table().group_count), 0);
    return s;
}

const AiscFamilyData& family_data(int family) { return aisc_table().families[family - 1]; }

int& last_shape_ref(int family, int group) {
    return chooser().shape[static_cast<std::size_t>(family_data(family).first_group + group)];
}

constexpr int CLICK_TIMER = 1;

class FamilyChooser : public DialogProc {
public:
    int chosen = AISC_W;
    int result = 0;     // the family chosen; 0 when cancelled

    void init(Dialog&) override {
        chosen = chooser().family;
        dialog_set_radio(AISC_FIRST_FAMILY, AISC_FIRST_FAMILY + AISC_FAMILY_COUNT - 1,
                         AISC_FIRST_FAMILY + chosen - 1);
    }
    void command(Dialog& d, int id, int notification) override {
        if (id < AISC_FIRST_FAMILY || id >= AISC_FIRST_FAMILY + AISC_FAMILY_COUNT) return;
        chosen = id - AISC_FIRST_FAMILY + 1;
        if (notification == NOTIFY_SETFOCUS) {
            dialog_set_radio(AISC_FIRST_FAMILY, AISC_FIRST_FAMILY + AISC_FAMILY_COUNT - 1, id);
        } else if (notification == NOTIFY_CLICKED) {
            // A click chooses: after a short pause, so that the check shows.
            d.set_timer(CLICK_TIMER, 100);
        }
    }
    void timer(Dialog& d, int timer_id) override {
        if (timer_id != CLICK_TIMER) return;
        d.kill_timer(CLICK_TIMER);
        choose(d);
    }
    bool ok(Dialog&) override {
        result = chosen;
        chooser().family = chosen;
        return true;
    }

private:
    void choose(Dialog& d) {
        result = chosen;
        chooser().family = chosen;
        d.end(IDOK);
    }
};

class ShapeChooser : public DialogProc {
public:
    explicit ShapeChooser(int family) : family_(family) {}

    void init(Dialog&) override {
        group_ = chooser().group[static_cast<std::size_t>(family_)];
        if (group_ < 0 || group_ >= family_data(family_).group_count) group_ = 0;
        fill();
    }
    void command(Dialog& d, int id, int notification) override {
        const int groups = family_data(family_).group_count;
        if (id >= AISC_FIRST_GROUP && id < AISC_FIRST_GROUP + groups &&
            (notification == NOTIFY_SETFOCUS || notification == NOTIFY_CLICKED)) {
            const int group = id - AISC_FIRST_GROUP;
            if (group == group_) return;
            store_selection();
            group_ = group;
            chooser().group[static_cast<std::size_t>(family_)] = group_;
            fill();
        } else if (id == AISC_SHAPE_LIST && notification == NOTIFY_DBLCLK) {
            if (take()) d.end(IDOK);
        }
    }
    bool ok(Dialog&) override { return take(); }
    bool cancel(Dialog&) override {
        store_selection();
        return true;
    }

private:
    const AiscGroupData& group_data() const {
        return aisc_table().groups[family_data(family_).first_group + group_];
    }
    void fill() {
        const AiscGroupData& g = group_data();
        dialog_set_radio(AISC_FIRST_GROUP, AISC_FIRST_GROUP + family_data(family_).group_count - 1,
                         AISC_FIRST_GROUP + group_);
        Dialog& d = *current_dialog_helper()->dialog;
        d.list_reset(AISC_SHAPE_LIST);
        for (int i = 0; i < g.shape_count; ++i)
            d.list_add(AISC_SHAPE_LIST, aisc_table().shapes[g.first_shape + i].designation);
        int selected = last_shape_ref(family_, group_);
        if (selected < 0 || selected >= g.shape_count) selected = 0;
        dialog_listbox_select(AISC_SHAPE_LIST, selected);
    }
    void store_selection() {
        const int selected = dialog_listbox_selection(AISC_SHAPE_LIST);
        if (selected >= 0 && selected < group_data().shape_count) last_shape_ref(family_, group_) = selected;
    }
    // Copies the selected shape into the shape buffer; false when none is selected.
    bool take() {
        store_selection();
        const int selected = dialog_listbox_selection(AISC_SHAPE_LIST);
        if (selected < 0 || selected >= group_data().shape_count) return false;
        const AiscShape& shape = aisc_table().shapes[group_data().first_shape + selected];
        BeamSection& b = chooser().buffer;
        b = BeamSection{};
        b.description = shape.designation;
        for (int i = 0; i < BS_VALUE_COUNT; ++i) b.values[static_cast<std::size_t>(i)] = shape.values[i];
        return true;
    }

    int family_;
    int group_ = 0;
};

}  // namespace

bool choose_aisc_shape(int owner) {
    FamilyChooser families;
    // The dialog's result cannot carry the family: code 2 would read as Cancel.
    if (run_dialog(AISC_SECTIONS_DIALOG, families, owner) != IDOK) return false;
    const int family = families.result;
    KV_ASSERT(family >= 1 && family <= AISC_FAMILY_COUNT);
    ShapeChooser shapes(family);
    return run_dialog(aisc_family_dialog(family), shapes, owner) == IDOK;
}

const BeamSection& aisc_shape_buffer() { return chooser().buffer; }
int aisc_last_family() { return chooser().family; }
int aisc_last_group(int family) { return chooser().group[static_cast<std::size_t>(family)]; }
int aisc_last_shape(int family, int group) { return last_shape_ref(family, group); }

