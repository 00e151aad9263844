// Opening and closing the results of the current model, as far as it
// concerns data: the reader, the piping-code evaluation, the support load
// summary and the time-history file. The results window (ui/) runs it.
#pragma once

#include <string>
#include <vector>

// Reads the results file (read_results; a bad file throws and changes
// nothing), runs the registered piping-code evaluation over the records,
// builds the support load summary when wanted, and, when the results hold
// Time history and its option "Save results" is on, reads the time-history
// file at `time_history_path`. Returns the warnings to show (an evaluation
// that failed, a time-history file that cannot be used).
std::vector<std::string> load_results(const std::string& results_path, const std::string& time_history_path);
// Runs the registered evaluation again over freshly initialised records; the
// message of a failure, "" when it ran (or there is none).
std::string run_code_evaluation();
// Frees everything: the summary records of the supports, the time-history
// file, the results file and every array.
void close_results();
