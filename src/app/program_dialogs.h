// Every dialog of the program, each with the page of the user guide that F1
// in it opens: the page carries the template's name as its anchor, and
// lists the fields of the template. A dialog whose template is made for a
// count of entries (the choosers of the results window) or is one of a
// family (the AISC shape families) has one page, which the other names open
// too.
#pragma once

#include "platform/resources.h"

#include <string>
#include <vector>

struct DialogPage {
    std::string name;                          // the template's name, the page's anchor
    std::string caption;                       // the page's heading unless its text gives one
    const DialogTemplate* fields = nullptr;    // the template whose fields it lists, if any
    std::vector<std::string> also = {};        // other template names whose F1 opens the page
};

// The pages in the order of the guide, by subject.
std::vector<DialogPage> program_dialog_pages();
// The dialogs of the library files (their control ids share names with the
// elements' dialogs, so they are listed in a unit of their own).
std::vector<const DialogTemplate*> library_file_dialogs();
