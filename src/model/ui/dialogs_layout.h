// Templates of the layout window's dialogs: the element-type and data-type
// choosers, the data-list chooser of the list window, and the dialogs of the
// model editing commands (split, generate, renumber, rotate, change, find
// and replace, find text).
#pragma once

#include "platform/resources.h"

// Control ids shared by these dialogs.
enum : int {
    LAYOUT_CHOICE_LIST = 1701,      // the list box of a chooser

    EDIT_FIRST_ROW = 1301,          // row ranges of the editing dialogs
    EDIT_LAST_ROW = 1302,

    SPLIT_PARTS = 1301,
    SPLIT_FIRST_NODE = 1302,
    SPLIT_INCREMENT = 1303,

    GENERATE_COPIES = 1303,
    GENERATE_INCREMENT = 1304,

    RENUMBER_FIRST_NODE = 1303,
    RENUMBER_INCREMENT = 1304,

    ROTATE_ANGLE = 1303,
    ROTATE_ANGLE_UNIT = 1603,
    ROTATE_ABOUT_X = 1401,
    ROTATE_ABOUT_Y = 1402,
    ROTATE_ABOUT_Z = 1403,

    CHANGE_MATERIAL = 1303,
    CHANGE_SECTION = 1304,
    CHANGE_LOAD = 1305,

    REPLACE_FIND = 1301,
    REPLACE_WITH = 1302,
    REPLACE_ALL = 1401,
    REPLACE_PROMPT = 1402,
    REPLACE_FIELD = 1201,           // combo: what the names are searched in

    FIND_TEXT = 1301,
};

// The chooser of a row's element type: the 20 element types by name.
extern const DialogTemplate ELEMENT_TYPES_DIALOG;
// The chooser of a row's data item: "None" and the 21 data types by name.
extern const DialogTemplate DATA_TYPES_DIALOG;
// The list window's chooser of the data lists, each with its count.
extern const DialogTemplate DATA_LISTS_DIALOG;

extern const DialogTemplate SPLIT_DIALOG;
extern const DialogTemplate GENERATE_DIALOG;
extern const DialogTemplate RENUMBER_DIALOG;
extern const DialogTemplate ROTATE_DIALOG;
extern const DialogTemplate CHANGE_DIALOG;
// Find and replace of the names rows give their material, section or load.
extern const DialogTemplate FINDANDREPLACE;
extern const DialogTemplate FIND_TEXT_DIALOG;
