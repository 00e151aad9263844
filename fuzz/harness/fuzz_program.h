// What the fuzz targets share: the program started as main() starts it (every
// subsystem installed, the windows made) on the headless backend, scratch
// files, and the checks that turn a wrong outcome into a finding.
//
// A finding aborts the process with a line on standard error, so that
// libFuzzer keeps the input; an internal check that fails (KV_ASSERT) aborts
// too. A damaged input that the program refuses with a message is the
// expected outcome, never a finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class MemorySettings;

// Starts the program as main() does, on a fresh headless backend whose
// settings store holds `settings` (none when null); a program started before
// is shut down and every state dropped first (reset_all), so that each input
// meets the same program.
void start_program(const MemorySettings* settings = nullptr);
// An untitled, empty model as a new program has it (default units, no piping
// code, no QA block), the windows showing it, posted calls run, and the
// script's log and queued answers gone.
void new_model();
// Imports the bundled sample batch file (property sets, loads, bends,
// supports, comments) as the model in memory, untitled.
void read_sample_model();

// A path in a folder of this process, removed at exit.
std::string scratch_path(const std::string& name);
void write_file(const std::string& path, const uint8_t* data, std::size_t size);
std::vector<unsigned char> file_bytes(const std::string& path);
// The bytes the current model saves as.
std::vector<unsigned char> model_bytes();

// Runs the calls the program posted to its main loop.
void run_posted_calls();

[[noreturn]] void finding(const std::string& what);

// Every float of the document is a finite number (no file may bring another).
void expect_finite_document(const char* after);
// The model saves, the file reads back and saves again byte for byte.
void expect_saves_and_reads_back(const char* after);
// Shows every data list and the layout table and writes each as the text and
// CSV reports do (every cell formatted), and lists the model's problems for
// the analysis: nothing there may fail on what was accepted.
void show_every_table();

// Runs `take` (a read of the input, a merge) on the model in memory: when it
// refuses with a message the model must be as it was; when it takes the
// input the model must hold finite numbers only, show in every table, and
// save and read back.
void expect_refused_or_sound(const char* what, const std::function<void()>& take);
