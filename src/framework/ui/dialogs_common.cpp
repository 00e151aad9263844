#include "framework/ui/dialogs_common.h"

namespace {
using K = ControlKind;
}  // namespace

// The text is set by the procedure: "Save changes to <name> ?"
const DialogTemplate SAVE_CHANGES_DIALOG = {
    "SAVE_CHANGES_DIALOG",
    "Korvane",
    {
        control(SAVE_CHANGES_TEXT, K::Static, "", 0, 0, 3, CF_ICON_QUESTION | CF_MULTILINE),
        control(IDYES, K::Button, "&Yes", 1, 0, 1, CF_DEFAULT),
        control(IDNO, K::Button, "&No", 1, 1),
        control(IDCANCEL, K::Button, "Cancel", 1, 2),
    },
};

// No buttons: the note closes itself shortly after it is drawn (or on Escape).
const DialogTemplate INFO_DIALOG = {
    "INFO_DIALOG",
    "Korvane",
    {
        control(INFO_TEXT, K::Static, "", 0, 0, 2, CF_ICON_INFO | CF_CENTER | CF_MULTILINE),
    },
};

const DialogTemplate ABOUT_DIALOG = {
    "ABOUT_DIALOG",
    "About Korvane",
    {
        control(ABOUT_NAME, K::Static, "Korvane", 0, 0, 2, CF_ICON_INFO | CF_CENTER),
        control(ABOUT_VERSION, K::Static, "Version 10.20", 1, 0, 2, CF_CENTER),
        control(ABOUT_PURPOSE, K::Static, "Stress analysis of piping systems", 2, 0, 2, CF_CENTER),
        control(IDOK, K::Button, "OK", 3, 1, 1, CF_DEFAULT),
    },
};

const DialogTemplate TUTORIAL_DIALOG = {
    "TUTORIAL_DIALOG",
    "Tutorial",
    {
        control(TUTORIAL_TEXT, K::Static, "", 0, 0, 2, CF_ICON_INFO | CF_MULTILINE),
        control(IDOK, K::Button, "OK", 1, 1, 1, CF_DEFAULT),
    },
};

const DialogTemplate FIND_NODE_DIALOG = {
    "FIND_NODE_DIALOG",
    "Find Node",
    {
        control(FIND_NODE_TEXT, K::Edit, "&Node", 0, 0, 2, CF_NONE, 10),
        control(IDOK, K::Button, "OK", 1, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 1, 1),
    },
};

const DialogTemplate QA_BLOCK_DIALOG = {
    "QA_BLOCK_DIALOG",
    "QA Block",
    {
        control(QA_CLIENT, K::Edit, "&Client", 0, 0, 2),
        control(QA_PROJECT, K::Edit, "&Project", 1, 0, 2),
        control(QA_FILE_NUMBER, K::Edit, "&File number", 2, 0, 2),
        control(QA_REPORT_NUMBER, K::Edit, "&Report number", 3, 0, 2),
        control(QA_PREPARED_BY_1, K::Edit, "Prepared &by", 4, 0, 2),
        control(QA_PREPARED_BY_2, K::Edit, "", 5, 0, 2),
        control(QA_CHECKED_BY_1, K::Edit, "C&hecked by", 6, 0, 2),
        control(QA_CHECKED_BY_2, K::Edit, "", 7, 0, 2),
        control(IDOK, K::Button, "OK", 8, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 8, 1),
    },
};
