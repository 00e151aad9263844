// The pages of the user guide on the tables of the results window: every
// table the window shows has a page of its own, which says what its columns
// hold. F1 in a table opens its page; the guide generator writes the pages
// in this order, each with its text from help/pages.txt under its name, and
// the tests go through the same list.
#pragma once

#include "platform/handles.h"
#include "results/ui/results_hooks.h"

#include <array>
#include <functional>
#include <string>

class TableWindow;

enum ResultPageId : int {
    PAGE_SORTED_STRESSES,
    PAGE_CODE_COMPLIANCE,
    PAGE_BRANCH_CONNECTION,
    PAGE_HANGER_REPORT,
    PAGE_FLANGE_REPORT,
    PAGE_PUMP_REPORT,
    PAGE_COMPRESSOR_REPORT,
    PAGE_SOIL_RESTRAINTS,
    PAGE_SUPPORT_SUMMARY,                                        // one per support kind
    PAGE_SUPPORT_LOADS = PAGE_SUPPORT_SUMMARY + SUPPORT_KINDS,   // likewise
    PAGE_LIMIT_STOP_STATUS = PAGE_SUPPORT_LOADS + SUPPORT_KINDS,
    PAGE_PIPE_FORCES,
    PAGE_BEAM_FORCES,
    PAGE_FRP_FORCES,
    PAGE_OTHER_FORCES,
    PAGE_FRP_STRESSES,
    PAGE_SORTED_FRP_STRESSES,
    PAGE_DISPLACEMENTS,
    PAGE_DISPLACEMENT_EXTREMES,
    PAGE_FREQUENCIES,
    PAGE_MODE_SHAPES,
    PAGE_DYNAMIC_SUSCEPTIBILITY,
    PAGE_DYNAMIC_STRESSES,
    PAGE_ACCELERATIONS,
    PAGE_SUPPORT_LOADS_HISTORY,
    PAGE_ELEMENT_FORCES_HISTORY,
    PAGE_DISPLACEMENTS_HISTORY,
    RESULT_PAGES,
};

struct ResultPage {
    // The page's name: its heading, its anchor (help_page_anchor) and the
    // key of its text in help/pages.txt.
    std::string name;
    int result = RESULT_NONE;   // the result whose table it is
};
ResultPage result_page(int page);

// The table of each page, registered by the module that makes it (a table
// of a higher layer, the mode shapes or the equipment reports, too); null
// when none is registered.
std::array<std::function<TableWindow*()>, RESULT_PAGES>& result_page_tables();
TableWindow* result_page_table(int page);

// F1 in a result table: the guide at the table's page, else at the guide's
// topic on the results.
void open_result_page(int page, WindowId owner);
