// The lock of what a run writes beside a model file: the model file itself,
// its results and its report. Whatever writes them holds it (a batch run for
// the whole run, the Analyze command from before it saves the model until
// the results are written, Save while it writes), so that two runs never
// interleave their files. It is the kernel's lock on the lock file beside
// the model file (platform/file_lock), which the holds of one process share.
#pragma once

#include <string>

// The lock file of a model file's outputs: "<model file>.lock", shorter
// where the system's limits need it.
std::string outputs_lock_path(const std::string& model_path);
// Why the lock cannot be taken: "Unable to lock the model file and its
// results:\n<lock file>\n<reason>".
std::string outputs_lock_failure_text(const std::string& lock_path, const std::string& reason);
// "Another run is writing <model file> and its results".
std::string outputs_busy_text(const std::string& model_path);
