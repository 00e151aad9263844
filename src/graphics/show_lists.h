// The Show and Show Nodes lists: which kinds of symbols and labels the
// graphics view draws, and at which kinds of nodes the node numbers appear,
// offered only for the kinds the model contains; their dialog's layout
// (SHOW_33_DIALOG, 33 check boxes in three columns) and the rules applied
// when the user changes them.
#pragma once

#include <string>
#include <vector>

struct ShowEntry {
    std::string label;
    bool* flag = nullptr;
};

struct ShowList {
    std::vector<ShowEntry> entries;
    std::vector<bool> initial;   // each entry's state when the dialog opened or was last applied
    std::vector<int> ids;        // each entry's check box
    // Entries with a rule of their own (-1: not in the list).
    int render_dots = -1;
    int render_numbers = -1;
    int local_axes = -1;
    int numbers = -1;            // the node numbers of the mode shown
};

// The Show list of the model as it is now (recounted): "Anchors", "Conc
// masses", "Generic supports", ... "Specified displ", the line view's and the
// render mode's entries by the mode; "Local coord system" only in the line
// view while a table or result with local axes is shown.
ShowList build_show_list(bool local_axes_applicable);
// The Show Nodes list: the node kinds of the model, in their order.
ShowList build_show_nodes_list();

// SHOW_33_DIALOG for n entries: r = ceil(n / 3) rows; entries 1..r take the
// boxes 1101.., the next r 1112.., the rest 1123..; four entries are laid out
// two, one and one. The buttons (OK, Cancel, Apply, All, None) at y = 14 r +
// 10 and x = 8, 56, 104, 152, 200 dialog units, the dialog 250 by 14 r + 32.
struct ShowDialogLayout {
    int rows = 0;
    std::vector<int> ids;
    std::vector<int> row_of;      // each entry's row in its column (0-based)
    int button_y = 0;
    int width = 250;
    int height = 0;
};
ShowDialogLayout show_dialog_layout(int entries);
inline constexpr int SHOW_FIRST_BOX = 1101;
inline constexpr int SHOW_BOXES = 33;
inline constexpr int SHOW_BUTTON_X[5] = {8, 56, 104, 152, 200};

// What the window must do after the Show list was applied.
struct ShowApplyResult {
    bool changed = false;        // anything changed
    bool new_scene = false;      // the symbols and picture drawn anew
    bool overlays_only = false;  // render mode: only the dots or numbers over the scene
    bool local_axes = false;     // "Local coord system" changed: the highlight is redone
};
// Reads the boxes' states (one per entry, in order) into the flags and
// applies the rules: a changed node-number flag resets the Show Nodes
// selection to all kinds; in the line view the render mode's numbers go off
// with the line view's, in render mode the line view's come on with the
// render mode's. Nothing changes when no state differs from the initial one.
// The states become the new initial ones.
ShowApplyResult show_apply(ShowList& list, const std::vector<bool>& checked);
// The Show Nodes boxes: numbers at every kind only when every box is
// checked, the line view's numbers on when any is (and the render mode's
// with them in render mode).
void show_nodes_apply(ShowList& list, const std::vector<bool>& checked);
// F3: the line view's dots and numbers both off when either is on, both on
// when both are off; a change of the numbers resets the Show Nodes
// selection.
void show_toggle_dots_and_numbers();
