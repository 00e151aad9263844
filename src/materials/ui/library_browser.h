// The browser of a loaded library (LIBRARY_USE_DIALOG and, with more
// columns, VALVE_LIBRARY_USE_DIALOG): a table of the library's entries,
// OK, Cancel and "&Library" (another library file). It returns the 1-based
// row chosen, or 0. Enter or a double-click on a row chooses it.
#pragma once

#include "platform/backend.h"

#include <functional>
#include <string>
#include <vector>

struct BrowserColumn {
    std::string heading;
    std::string second_line;   // a unit label, or empty
    std::function<std::string(int row)> cell;
};

// What "&Library" came to.
enum class OtherLibrary {
    Unchanged,   // nothing read: the browser stays as it was
    Shown,       // the browser shows the entries now
    Ended,       // the browser ends with 0
};

struct LibraryBrowser {
    std::string caption;                          // "Beam Library": the caption is "<caption> - [<file>]"
    std::vector<BrowserColumn> columns;
    std::function<int()> count;                   // entries shown
    std::function<std::string()> path;            // the library file, empty when untitled
    std::function<std::string()> note;            // the static 1501; empty function: hidden
    std::function<OtherLibrary(WindowId dialog)> other_library;
};

// The dialog on a template with LIBUSE_TABLE (1500), LIBUSE_NOTE (1501),
// OK, Cancel and LIBUSE_LIBRARY (1001). Needs at least one entry.
int run_library_browser(const DialogTemplate& templ, const LibraryBrowser& browser, WindowId owner);
