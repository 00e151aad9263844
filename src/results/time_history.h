// The time-history results (".rth" beside the model): read when results
// open (the results hold Time history and its option "Save results" is on),
// then one item's history at a time: a support's loads, one end of an
// element's forces, or a node's displacements, at every output step.
#pragma once

#include "results/results_state.h"

#include <array>
#include <string>
#include <vector>

inline constexpr const char* TIME_HISTORY_READ_ERROR_TEXT = "There was an error while reading time history";

// Opens the time-history file at `path` and reads its header: magic,
// interval and T, checked against the file's length (24 + T (24 N + 48 E +
// B)). Returns the warning to show when it cannot be used ("Time history
// file: %s\nDoes not exist." or "Unable to read time history file"), with
// the result not offered; "" when it was read.
std::string read_time_history_results(const std::string& path);
// True when the time-history file was read ("&Time history" is offered).
bool time_history_available();
// Closes the file and withdraws the result.
void close_time_history();

// The history of one item into results().history (records 0..T; record 0,
// time 0, is zero). A read error closes the file, withdraws the result and
// throws TIME_HISTORY_READ_ERROR_TEXT.
//   a support row: its support_word_count values;
//   an element end (1 or 2): the six forces of that end, local axes;
//   a node index: its six displacements.
void read_support_history(int row);
void read_element_force_history(int element, int end);
void read_displacement_history(int node);

// The maximum row of a history: per value the one of largest magnitude
// over records 0..T with its sign; on equal magnitudes the earliest wins.
std::array<float, 6> history_maximum(const std::vector<std::array<float, 6>>& history);
// The time of record r: r times the interval.
double history_time(int record);

// The CSV file name of a history table: the prefix, the node's text, ".csv".
std::string time_history_csv_name(const std::string& prefix, int node_number);
