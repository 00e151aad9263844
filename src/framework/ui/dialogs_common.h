// Templates of the framework's own dialogs: the save-changes question, the
// self-closing information note, About, the missing tutorial, Find Node and
// the QA block.
#pragma once

#include "platform/resources.h"

// Control ids of these dialogs.
enum : int {
    SAVE_CHANGES_TEXT = 1001,
    INFO_TEXT = 1001,
    ABOUT_NAME = 1001,
    ABOUT_VERSION = 1002,
    ABOUT_PURPOSE = 1003,
    TUTORIAL_TEXT = 1001,
    FIND_NODE_TEXT = 1301,
    QA_CLIENT = 1301,
    QA_PROJECT = 1302,
    QA_FILE_NUMBER = 1303,
    QA_REPORT_NUMBER = 1304,
    QA_PREPARED_BY_1 = 1305,
    QA_PREPARED_BY_2 = 1306,
    QA_CHECKED_BY_1 = 1307,
    QA_CHECKED_BY_2 = 1308,
};

extern const DialogTemplate SAVE_CHANGES_DIALOG;
extern const DialogTemplate INFO_DIALOG;
extern const DialogTemplate ABOUT_DIALOG;
extern const DialogTemplate TUTORIAL_DIALOG;
extern const DialogTemplate FIND_NODE_DIALOG;
extern const DialogTemplate QA_BLOCK_DIALOG;
