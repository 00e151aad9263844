#include "model/ui/dialogs_layout.h"

#include "framework/units.h"

namespace {

using K = ControlKind;

DialogTemplate chooser(const char* name, const char* caption) {
    return {name,
            caption,
            {
                control(LAYOUT_CHOICE_LIST, K::List, "", 0, 0, 2, CF_NONE, 0, 12),
                control(IDOK, K::Button, "OK", 12, 0, 1, CF_DEFAULT),
                control(IDCANCEL, K::Button, "Cancel", 12, 1),
            }};
}

// The row range every editing dialog starts with.
std::vector<ControlSpec> row_range(std::vector<ControlSpec> more) {
    std::vector<ControlSpec> controls = {
        control(EDIT_FIRST_ROW, K::Edit, "&From row", 0, 0, 1, CF_NONE, 5),
        control(EDIT_LAST_ROW, K::Edit, "&To row", 0, 1, 1, CF_NONE, 5),
    };
    for (ControlSpec& c : more) controls.push_back(std::move(c));
    controls.push_back(control(IDOK, K::Button, "OK", 10, 0, 1, CF_DEFAULT));
    controls.push_back(control(IDCANCEL, K::Button, "Cancel", 10, 1));
    return controls;
}

}  // namespace

const DialogTemplate ELEMENT_TYPES_DIALOG = chooser("ELEMENT_TYPES_DIALOG", "Element Types");
const DialogTemplate DATA_TYPES_DIALOG = chooser("DATA_TYPES_DIALOG", "Data Types");
const DialogTemplate DATA_LISTS_DIALOG = chooser("DATA_LISTS_DIALOG", "List");

// The caption is set by the procedure with the row's two nodes.
const DialogTemplate SPLIT_DIALOG = {
    "SPLIT_DIALOG",
    "Split",
    {
        control(SPLIT_PARTS, K::Edit, "Number of &parts", 0, 0, 1, CF_NONE, 4),
        control(SPLIT_FIRST_NODE, K::Edit, "&First new node", 1, 0, 1, CF_NONE, 6),
        control(SPLIT_INCREMENT, K::Edit, "Node &increment", 2, 0, 1, CF_NONE, 5),
        control(IDOK, K::Button, "OK", 3, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 3, 1),
    },
};

const DialogTemplate GENERATE_DIALOG = {
    "GENERATE_DIALOG",
    "Generate",
    row_range({
        control(GENERATE_COPIES, K::Edit, "Number of &copies", 1, 0, 1, CF_NONE, 4),
        control(GENERATE_INCREMENT, K::Edit, "Node &increment", 2, 0, 1, CF_NONE, 6),
    }),
};

const DialogTemplate RENUMBER_DIALOG = {
    "RENUMBER_DIALOG",
    "Renumber Nodes",
    row_range({
        control(RENUMBER_FIRST_NODE, K::Edit, "First &node", 1, 0, 1, CF_NONE, 6),
        control(RENUMBER_INCREMENT, K::Edit, "Node &increment", 2, 0, 1, CF_NONE, 5),
    }),
};

const DialogTemplate ROTATE_DIALOG = {
    "ROTATE_DIALOG",
    "Rotate",
    row_range({
        control(ROTATE_ANGLE, K::Edit, "&Angle", 1, 0, 1, CF_NONE, 12),
        unit_control(ROTATE_ANGLE_UNIT, 1, 1, ANGLE),
        control(ROTATE_ABOUT_X, K::Radio, "About &X axis", 2, 0),
        control(ROTATE_ABOUT_Y, K::Radio, "About &Y axis", 3, 0),
        control(ROTATE_ABOUT_Z, K::Radio, "About &Z axis", 4, 0),
    }),
};

const DialogTemplate CHANGE_DIALOG = {
    "CHANGE_DIALOG",
    "Change",
    row_range({
        control(CHANGE_MATERIAL, K::Edit, "&Material", 1, 0, 1, CF_NONE, 5),
        control(CHANGE_SECTION, K::Edit, "&Section", 2, 0, 1, CF_NONE, 5),
        control(CHANGE_LOAD, K::Edit, "&Load", 3, 0, 1, CF_NONE, 5),
    }),
};

const DialogTemplate FINDANDREPLACE = {
    "FINDANDREPLACE",
    "Find and Replace",
    {
        control(REPLACE_FIELD, K::Combo, "&In", 0, 0),
        control(REPLACE_FIND, K::Edit, "&Find", 1, 0, 1, CF_NONE, 25),
        control(REPLACE_WITH, K::Edit, "&Replace", 2, 0, 1, CF_NONE, 25),
        control(REPLACE_ALL, K::Radio, "Replace &All", 3, 0),
        control(REPLACE_PROMPT, K::Radio, "&Prompt for Replace", 3, 1),
        control(IDOK, K::Button, "OK", 4, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 4, 1),
    },
};

const DialogTemplate FIND_TEXT_DIALOG = {
    "FIND_TEXT_DIALOG",
    "Find Text",
    {
        control(FIND_TEXT, K::Edit, "&Text", 0, 0, 2, CF_NONE, 40),
        control(IDOK, K::Button, "OK", 1, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 1, 1),
    },
};
