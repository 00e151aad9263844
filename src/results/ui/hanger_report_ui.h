// The "&Hanger report" result: a row per hanger of the model in row order
// with the design of the results (the records after the last load case):
// node, tag, type, number of hangers, figure and size, spring rate, vertical
// and horizontal travel, cold and hot load (per hanger) and the load
// variation in percent (rate times travel over hot load). It prints as
// graphic pages, a text report and CSV; File > Export writes the hanger
// interface file while it is shown.
#pragma once

#include <string>

class TableWindow;

// The result's show operation.
void show_hanger_report();
// The table (shown or not).
TableWindow& hanger_report_table();
// Registers the show operation with the results window.
void install_hanger_report();
